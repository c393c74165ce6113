#!/usr/bin/env bash
# Builds orvcad and the benchmarks in Release, installs the peers it compares with where
# it can (dxflib, ezdxf, LibreCAD from Debian), generates the test drawings and runs every
# benchmark, printing the table. Nothing here is part of the test run.
#
#   bench/run.sh                  # everything, peers included
#   ORV_BENCH_PEERS=skip bench/run.sh   # without installing peers
#   ORV_BENCH_REPS=5 ORV_BENCH_PEER_REPS=3 ORV_BENCH_BUILD=DIR ORV_BENCH_WORK=DIR bench/run.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
build=${ORV_BENCH_BUILD:-$root/build-bench}
work=${ORV_BENCH_WORK:-$build/bench-work}

if [ "${ORV_BENCH_PEERS:-install}" != skip ]; then
  peers=(libdxflib-dev python3-ezdxf librecad)
  missing=()
  for p in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null && sudo="sudo -n"
    echo "installing the peers: ${missing[*]}" >&2
    # A peer that cannot be installed is left out of the table, not a failure.
    if ! { $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
           $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
             "${missing[@]}"; } >&2; then
      echo "could not install ${missing[*]}; the table leaves out what is missing" >&2
    fi
  fi
fi

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORV_BENCH=ON -DORV_TESTS=OFF >&2
cmake --build "$build" -j2 >&2

exec python3 "$here/run.py" --build "$build" --work "$work" \
  --reps "${ORV_BENCH_REPS:-5}" --peer-reps "${ORV_BENCH_PEER_REPS:-3}" "$@"
