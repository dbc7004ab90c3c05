#!/usr/bin/env bash
# Sets up, builds and starts the program. The program opens its edition files
# from the folder it starts in: run/. The two demo editions are generated
# there when they are missing or older than the generator.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build_dir=$(realpath "${BUILD_DIR:-build}")
mkdir -p run
cd run
generator="$build_dir/bin/varindel-edition"
generate_edition() {
  if [ ! -f "$2" ] || [ "$generator" -nt "$2" ]; then
    echo "Создаётся демонстрационное издание $2 ..."
    "$generator" generate --edition "$1" "$2"
  fi
}
generate_edition 1 dataomk.abs
generate_edition 2 datakrv.abs
# The build tree holds the program folder (help, licence, the package link).
export VARINDEL_DATA_DIR="$build_dir/share/varindel"
exec "$build_dir/bin/varindel" "$@"
