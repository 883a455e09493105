# Sourced by the scripts that check files against LibreOffice: installs
# Writer (and the further packages named) when missing, and defines office,
# which runs LibreOffice headless with its own profile under $1 of writer_setup.
writer_setup() { # work folder, further packages
  local wanted=(libreoffice-writer unzip "${@:2}") missing=() p
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
  fi
  writer_profile="$1/profile"
  # Writer keeps its profile here, so that no user setting changes a result.
  export HOME="$1/home"
  mkdir -p "$HOME"
}
office() { soffice --headless --norestore "-env:UserInstallation=file://$writer_profile" "$@" >/dev/null 2>&1; }
