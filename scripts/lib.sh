# Shared by the project's scripts: the Debian packages everything needs, and where things live.
# shellcheck shell=bash

LUMIVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

# Everything the build, the programs and the tests need, all from Debian.
LUMIVANE_PACKAGES=(
  cmake ninja-build g++ googletest libbenchmark-dev libgl-dev python3
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb x11-utils xdotool imagemagick
  fonts-ipafont-gothic
  lame sox libasound2-plugins
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
)

# Installs whatever is missing (as root), or says what to install.
lumivane_require_packages() {
  local missing=() p
  for p in "${LUMIVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install ${missing[*]}" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
