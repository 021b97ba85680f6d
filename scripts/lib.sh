# Shared by the project's scripts: the Debian packages everything needs, and where things live.
# shellcheck shell=bash

LUMIVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

# Everything the build, the programs and the tests need, all from Debian.
LUMIVANE_PACKAGES=(
  cmake ninja-build g++ googletest libbenchmark-dev python3
  libx11-dev libxinerama-dev libgl-dev libgl1-mesa-dri libglx-mesa0
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine64 xvfb xserver-xephyr x11-utils xdotool imagemagick
  fonts-ipafont-gothic locales
  lame sox libasound2-plugins
  nsis
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
)

# Compiles a glibc locale such as ja_JP.UTF-8 into DIR once (Wine follows only compiled locales);
# the built-in C and POSIX locales need nothing.
lumivane_compile_locale() {
  local dir="$1" name="$2"
  case "$name" in C|C.*|POSIX) return 0 ;; esac
  mkdir -p "$dir"
  (
    flock 9
    [ -f "$dir/$name/LC_CTYPE" ] && exit 0
    rm -rf "$dir/$name.new"
    # localedef also warns (and exits non-zero) about characters its charmap lacks; the result counts.
    localedef -i "${name%%.*}" -f "${name#*.}" "$dir/$name.new" >/dev/null 2>&1
    [ -f "$dir/$name.new/LC_CTYPE" ] || { echo "localedef could not compile the locale $name" >&2; exit 1; }
    mv "$dir/$name.new" "$dir/$name"
  ) 9>"$dir/.lock"
}

# Runs what follows under the given locale, compiled beside the prefix: Wine takes a program's
# interface language and ANSI code page from the Unix locale, so the machine's own LANG must not reach it.
lumivane_use_locale() {
  local prefix="$1" name="$2" dir var
  dir="$(dirname "$prefix")/locale"
  lumivane_compile_locale "$dir" "$name" || return 1
  for var in $(compgen -e); do
    case "$var" in LC_*|LANGUAGE) unset "$var" ;; esac
  done
  export LOCPATH="$dir" LANG="$name"
}

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
