#!/usr/bin/env bash
# Sets up, builds and starts the program. The program opens its edition files
# from the folder it starts in: run/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build_dir=$(realpath "${BUILD_DIR:-build}")
mkdir -p run
cd run
exec "$build_dir/bin/varindel" "$@"
