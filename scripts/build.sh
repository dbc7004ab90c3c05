#!/usr/bin/env bash
# Sets up the machine and builds everything into build/ (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${BUILD_DIR:-build}
# Let ccache reuse objects between checkouts in different folders.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# ONE_SHOT=1 is for a build made once and thrown away, as CI makes it: each
# folder's sources compiled together a few at a time (a unity build) and no
# debug information, which take a good part off the compile time of a fresh
# machine. Without it every source is compiled on its own, as incremental
# work wants. Both are always given, so a folder switches cleanly.
if [ "${ONE_SHOT:-0}" = 1 ]; then
  unity=ON optimisation="-O2 -DNDEBUG"
else
  unity=OFF optimisation="-O2 -g -DNDEBUG"
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DCMAKE_UNITY_BUILD=$unity \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$optimisation" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$optimisation"
cmake --build "$build_dir" --parallel "$(nproc)"
