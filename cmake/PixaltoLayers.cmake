# Each folder of src/ is one static library. A library sees only the headers
# of itself and of the libraries it links: its headers are published through a
# folder of links of its own, so an include that skips a layer fails to compile.
function(pixalto_library name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  set(view ${CMAKE_BINARY_DIR}/layers/${name})
  file(REMOVE_RECURSE ${view})
  foreach(source ${L_SOURCES})
    if(source MATCHES "\\.h$")
      get_filename_component(absolute ${source} ABSOLUTE)
      file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/src ${absolute})
      get_filename_component(folder ${relative} DIRECTORY)
      file(MAKE_DIRECTORY ${view}/${folder})
      file(CREATE_LINK ${absolute} ${view}/${relative} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${name} PUBLIC ${view})
  target_link_libraries(${name} PUBLIC ${L_DEPENDS})
endfunction()

# The sources of one folder of src/ (not its sub-folders).
function(pixalto_sources out folder)
  file(GLOB found CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  set(${out} ${found} PARENT_SCOPE)
endfunction()
