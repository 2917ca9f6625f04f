#!/usr/bin/env bash
# Installs the Debian packages Ombrel needs to build and test, and only those
# that are missing, so that it costs nothing on a machine that has them all.
# `install-deps.sh --list` prints the packages instead, one a line: the
# dependency audit (scripts/dependency-audit.sh) reads the same list.
set -euo pipefail

list_only=0
if [ "${1:-}" = "--list" ]; then
  list_only=1
  shift
fi

packages=(
  cmake ninja-build g++ make pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  # CMake's OpenGL module looks for GLU too: have it everywhere or nowhere.
  libglu1-mesa-dev
  libgtest-dev googletest poppler-utils
  # The JSON writer of `ombrel-cli report --json`, and the schema check of its output.
  nlohmann-json3-dev python3-jsonschema
  # Workbook import: zip archives and their XML.
  libzip-dev libexpat1-dev
)
# `install-deps.sh fuzz` adds the compiler the fuzz targets need,
# `install-deps.sh format` the formatter that scripts/check-format.sh runs,
# `install-deps.sh package` what `make package` builds and checks the Debian
# package with (scripts/check-package.sh), `install-deps.sh icons` what
# scripts/make-icons.sh draws the PNG icons with.
case "${1:-}" in
  fuzz) packages+=(clang) ;;
  format) packages+=(clang-format) ;;
  package) packages+=(dpkg-dev file binutils lintian appstream desktop-file-utils man-db) ;;
  icons) packages+=(librsvg2-bin) ;;
esac

if [ "$list_only" -eq 1 ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "install-deps.sh: run it as root, or install sudo, to install: ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
