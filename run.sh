#!/usr/bin/env bash
# ./run.sh        installs what is missing, builds, and runs the demo (examples/demo.scr)
# ./run.sh test   installs what is missing, builds, and runs every test
set -euo pipefail
cd "$(dirname "$0")"

what="${1:-demo}"
case "$what" in
  demo|test) ;;
  *) echo "usage: ./run.sh [demo|test]" >&2; exit 2 ;;
esac

tools/install-deps.sh
build="${ORV_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"

if [ "$what" = test ]; then
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
  exit
fi

# The demo runs in a module directory of its own, so that it starts from no draw.ini.
demo="$build/demo"
rm -rf "$demo" && mkdir -p "$demo/module"
ln -s "$(realpath "$build/stage/lib/orvcad/orvpipe07.arx")" "$demo/module/orvpipe07.arx"
ln -s "$(realpath "$build/stage/lib/orvcad/resource")" "$demo/module/resource"
"$build/stage/bin/orvcad" --module "$demo/module/orvpipe07.arx" --script examples/demo.scr \
  --save "$build/demo.dxf" --export "$build/demo.png" | tee "$demo/transcript.txt"
echo
echo "drawing:    $build/demo.dxf"
echo "picture:    $build/demo.png"
echo "transcript: $demo/transcript.txt"
echo "settings:   $demo/module/draw.ini"
