#!/usr/bin/env bash
# Installs, with apt-get, the Debian 12 packages Mirlan needs to build, run and
# be tested; packages already present are skipped. Run as root.
set -euo pipefail

packages=(
  g++ cmake make pkg-config ccache     # build
  libfltk1.3-dev libx11-dev            # toolkit
  libspng-dev libjpeg62-turbo-dev libwebp-dev  # PNG, JPEG and WebP codecs
  libgtest-dev libgmock-dev googletest # tests
  libbenchmark-dev                     # benchmarks
  xvfb xauth xdotool x11-utils x11-apps # virtual display and X events
  graphicsmagick netpbm                # independent image readers
  libjpeg-turbo-progs webp             # djpeg, cjpeg, cwebp, dwebp
  fonts-dejavu-core fonts-dejavu-extra # the fonts the screenshots show
  dpkg-dev file lintian                # the Debian package: made, then checked
  desktop-file-utils man-db            # menu entry and manual pages checked
  valgrind clang libclang-rt-14-dev    # memory checks and fuzzing
)
if [ "${1:-}" = "--run-only" ]; then
  # dpkg-dev and file: cpack reads the package's dependencies with them.
  packages=(g++ cmake make pkg-config libfltk1.3-dev libx11-dev
            libspng-dev libjpeg62-turbo-dev libwebp-dev dpkg-dev file)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
