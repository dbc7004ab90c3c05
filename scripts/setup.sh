#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Safe to run again: apt-get skips what is already installed.
set -euo pipefail

packages=(
  # tool chain
  cmake g++ ninja-build ccache pkg-config git
  # Qt 6: widgets, printing, tests
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-image-formats-plugins
  # libraries
  libsqlite3-dev sqlite3 libsodium-dev libboost-dev libboost-graph-dev libflatbuffers-dev flatbuffers-compiler
  libcurl4-openssl-dev
  # OpenStreetMap import
  libosmium2-dev libprotozero-dev zlib1g-dev libbz2-dev libexpat1-dev
  # the document viewer and SVG button icons
  qt6-webengine-dev qt6-svg-dev adwaita-icon-theme
  # help and licence documents are compiled with chmcmd
  fp-utils
  # printing tests: a CUPS server with a PDF queue, PDFs read back
  cups printer-driver-cups-pdf poppler-utils
  # mail tests: an SMTP server on loopback
  python3-aiosmtpd
  # the map benchmarks compare frame times with Mapnik
  libmapnik-dev
  # tests and benchmarks; GNU time measures the peak memory of the programs benchmarks start
  libgtest-dev libgmock-dev libbenchmark-dev python3 time
  # offscreen and virtual displays, fonts for rendering
  xvfb xauth fonts-dejavu-core fontconfig
  # the .deb: icons, manual pages, CPack's dependency scan, the checks, the install test's window search
  librsvg2-bin scdoc file dpkg-dev lintian desktop-file-utils appstream xdotool x11-utils bash-completion
  # the walk through the real program: window manager, accessibility tree, keys, screenshots
  openbox at-spi2-core python3-pyatspi dbus dbus-x11 imagemagick
  # Qt's own texts (calendar, standard dialogs) in Russian
  qt6-translations-l10n
  # mail tests: certificates for STARTTLS; fuzz targets: clang with libFuzzer
  openssl clang libclang-rt-14-dev
  # static analysis of changed C++ files (scripts/tidy.sh)
  clang-tidy
  # export tests: vCard and iCalendar read back, GPX and KML checked against schemas
  python3-vobject libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
