#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, if missing
# (clang with its libFuzzer runtime builds the fuzz targets; Qt 6 Widgets the drawing
# window, with a font that has Chinese glyphs and Qt's own Chinese translations; Xvfb,
# xdotool and ImageMagick's import run and photograph the real window in its end-to-end
# test).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libreadline-dev libcairo2-dev libpango1.0-dev fonts-wqy-microhei
  python3 python3-ezdxf
  clang libclang-rt-14-dev
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei
  xvfb xdotool imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
