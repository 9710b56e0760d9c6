#!/usr/bin/env bash
# Installs every package the build, the tests and the interoperability peers need,
# from Debian's archive. Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libicu-dev
  nlohmann-json3-dev libcli11-dev libcsv-dev
  libgtest-dev libgmock-dev
  libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-wine qt6-translations-l10n
  xvfb xauth xdotool x11-apps netpbm
  desktop-file-utils
  python3 python3-dbfread python3-dbf libdbd-xbase-perl
  libshp-dev shapelib hyperfine sqlite3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

echo "Installing: ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
