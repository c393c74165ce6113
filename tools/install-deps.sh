#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if missing
# (clang with its libFuzzer runtime builds the fuzz targets; Qt 6 Widgets the drawing
# window, with a font that has Chinese glyphs and Qt's own Chinese translations; Xvfb,
# xdotool and ImageMagick's import run and photograph the real window in its end-to-end
# test; poppler-utils rasterises and measures plotted PDF sheets in the plot tests;
# Node.js and npm run the DWG converter, whose LibreDWG package comes from the npm
# registry into tools/dwg/node_modules).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libreadline-dev libcairo2-dev libpango1.0-dev zlib1g-dev fonts-wqy-microhei
  python3 python3-ezdxf poppler-utils
  clang libclang-rt-14-dev
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei
  xvfb xdotool imagemagick
)
# Node.js and npm from Debian unless a Node.js (with its own npm) is there already.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# LibreDWG compiled to WebAssembly, for the DWG converter (tools/dwg), at the version the
# converter is written for. It needs Node.js 18 or newer (Debian 12 has 18).
dwg_dir="$(cd "$(dirname "$0")" && pwd)/dwg"
dwg_package="$dwg_dir/node_modules/@mlightcad/libredwg-web/package.json"
if ! grep -q '"version": "0.7.14"' "$dwg_package" 2>/dev/null; then
  node_major="$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)"
  if [ "$node_major" -lt 18 ]; then
    echo "the DWG converter needs Node.js 18 or newer (found: $(node --version 2>/dev/null || echo none));" \
         "DWG drawings will not open" >&2
  else
    echo "installing @mlightcad/libredwg-web 0.7.14 into $dwg_dir/node_modules"
    (cd "$dwg_dir" && npm install --no-audit --no-fund --no-save --loglevel=error --engine-strict=false \
       @mlightcad/libredwg-web@0.7.14) ||
      echo "npm could not install @mlightcad/libredwg-web; DWG drawings will not open" >&2
  fi
fi
