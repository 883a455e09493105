# Sourced by the scripts that check rich text against LibreOffice Writer:
# installs Writer when it is missing, and defines office, which runs it
# headless with its own profile under $1 of writer_setup.
writer_setup() { # work folder
  if ! command -v soffice >/dev/null; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends libreoffice-writer unzip
  fi
  writer_profile="$1/profile"
  # Writer keeps its profile here, so that no user setting changes a result.
  export HOME="$1/home"
  mkdir -p "$HOME"
}
office() { soffice --headless --norestore "-env:UserInstallation=file://$writer_profile" "$@" >/dev/null 2>&1; }
