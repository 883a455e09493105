# Installing: the program and what must sit beside it go into one program
# folder, and the command in bin/ is a relative symbolic link to it, so the
# running executable's folder is still that program folder.
include(GNUInstallDirs)

set(PIXALTO_INSTALL_PROGRAMDIR "lib/pixalto" CACHE STRING
  "Program folder, relative to the prefix: the viewer with its companion, metafile helper, picture decoders and help file")

install(TARGETS pixalto pxtray pxmetafile pixalto_viewer pixalto_codecs
  RUNTIME DESTINATION ${PIXALTO_INSTALL_PROGRAMDIR} LIBRARY DESTINATION ${PIXALTO_INSTALL_PROGRAMDIR})
install(FILES help/pxhelp.hlp DESTINATION ${PIXALTO_INSTALL_PROGRAMDIR})

file(RELATIVE_PATH pixalto_link_target
  /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${PIXALTO_INSTALL_PROGRAMDIR}/pixalto)
install(CODE "
  set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/pixalto\")
  file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(REMOVE \"\${link}\")
  message(STATUS \"Installing: \${link} -> ${pixalto_link_target}\")
  file(CREATE_LINK \"${pixalto_link_target}\" \"\${link}\" SYMBOLIC)
")

# The desktop's menu entry, metadata and icon, all named by the application id.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${packaging}/${PIXALTO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${PIXALTO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/icons/pixalto.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${PIXALTO_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${packaging}/icons/pixalto-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${PIXALTO_APP_ID}.png)
endforeach()

# Debian wants the manual page and the changelog compressed reproducibly.
set(compressed ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${compressed})
foreach(pair "pixalto.1;pixalto.1.gz" "debian/changelog;changelog.gz")
  list(GET pair 0 source)
  list(GET pair 1 target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${packaging}/${source})
  execute_process(COMMAND gzip -9n -c ${packaging}/${source} OUTPUT_FILE ${compressed}/${target}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${compressed}/pixalto.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${compressed}/changelog.gz ${packaging}/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pixalto)

# make package: a Debian package, its run-time dependencies from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pixalto)
set(CPACK_PACKAGE_VENDOR "Orvenko Soft")
set(CPACK_PACKAGE_CONTACT "Orvenko Soft <pixalto@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for pictures and animations")
# The summary is the synopsis; this is the text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Pixalto shows the pictures and animations of a folder: pick a drive and a
folder, then click a file in the list to see it. It shows JPEG, BMP, GIF,
icons, Windows metafiles, PNG, WebP and TIFF pictures, plays AVI, MPEG,
QuickTime and Vivo movies, and copies, moves, renames and deletes files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.org/pixalto/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not name: the font the window layouts are made for,
# the WebP and TIFF readers, and the opener of pictures the viewer cannot read.
# libmpv is opened at run time, so the library scan does not see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-image-formats-plugins, libmpv2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
