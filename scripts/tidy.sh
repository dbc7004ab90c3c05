#!/usr/bin/env bash
# Runs clang-tidy with the checked-in .clang-tidy and fails on any warning.
#
#   bash scripts/tidy.sh [FILE...]
#
# Without files it checks the C++ files changed since TIDY_BASE (default the
# previous commit), uncommitted changes included. A changed header is checked
# through a source file that includes it. The compile database comes from the
# build folder BUILD_DIR (default build), which must be built, since sources
# include generated headers; TIDY_JOBS (default the number of cores) clang-tidy
# processes run side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${BUILD_DIR:-build}
base=${TIDY_BASE:-HEAD~1}
our_folders='^(core|data|shell|browse|map|outreach|windows|resources|app|tools|osm|routes|suggest|exports|bench|fuzz|tests)/'

if [ ! -f "$build_dir/compile_commands.json" ]; then
  echo "tidy: $build_dir/compile_commands.json is missing; build first (scripts/build.sh)" >&2
  exit 2
fi
database=$(mktemp -d)
trap 'rm -rf "$database"' EXIT
python3 scripts/tidy_database.py "$build_dir" "$database"

if [ $# -gt 0 ]; then
  candidates=("$@")
else
  mapfile -t candidates < <(git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h' | grep -E "$our_folders" || true)
fi

# A source file that includes the header, its own .cpp first.
source_for_header() {
  local header=$1 name
  name=$(basename "$header")
  if [ -f "${header%.h}.cpp" ]; then
    echo "${header%.h}.cpp"
    return
  fi
  { git grep -l -E "#include [\"<](.*/)?$name[\">]" -- '*.cpp' | grep -E "$our_folders" || true; } | head -n 1
}

sources=()
for file in "${candidates[@]}"; do
  case "$file" in
    *.h)
      source=$(source_for_header "$file")
      if [ -z "$source" ]; then
        echo "tidy: no source file includes $file, so it is not checked" >&2
        continue
      fi
      sources+=("$source") ;;
    *.cpp) sources+=("$file") ;;
  esac
done
mapfile -t sources < <(printf '%s\n' "${sources[@]}" | sed '/^$/d' | sort -u)
if [ ${#sources[@]} -eq 0 ]; then
  echo "tidy: no C++ files to check"
  exit 0
fi

echo "tidy: checking ${#sources[@]} files"
# Each file's report is kept apart and printed whole, so parallel runs do not interleave.
check_one() {
  local database=$1 file=$2
  local report="$database/reports/${file//\//_}.log"
  clang-tidy -p "$database" --quiet "$file" >"$report" 2>&1 || echo "$file" >>"$database/failed"
  grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated' "$report" || true
}
export -f check_one
mkdir "$database/reports"
printf '%s\0' "${sources[@]}" | xargs -0 -P "${TIDY_JOBS:-$(nproc)}" -n 1 bash -c 'check_one "$0" "$1"' "$database"
if [ -s "$database/failed" ] || grep -q -E ': (warning|error): ' "$database"/reports/*.log; then
  echo "tidy: clang-tidy found problems in the files above" >&2
  exit 1
fi
echo "tidy: clean"
