# Sourced by the build_*_fuzz.sh scripts, not run on its own. Each of them
# builds one libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, outside the main build, and optionally runs it:
#
#   bash fuzz/build_NAME_fuzz.sh [OUT_DIR] [SECONDS]
#
# OUT_DIR (default build-fuzz-NAME) receives NAME_fuzz, its objects, the
# generated seeds (seeds/), the inputs the fuzzer finds (corpus/), its log
# and any crashing input (crash-*, leak-*, timeout-*). The seeds checked in
# under fuzz/corpus/NAME are read too, and the words of fuzz/dict/NAME.dict
# are offered to the mutations. A run fails on any crash, leak,
# undefined behaviour or input that takes longer than 30 seconds.
set -euo pipefail

FUZZ_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
FUZZ_CXXFLAGS=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
FUZZ_SANITIZERS=(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
FUZZ_CXX=(clang++)
if command -v ccache >/dev/null; then
  FUZZ_CXX=(ccache clang++)
fi

# fuzz_setup NAME [OUT_DIR] [SECONDS]
fuzz_setup() {
  FUZZ_NAME="$1"
  FUZZ_OUT="$(realpath -m "${2:-$FUZZ_ROOT/build-fuzz-$1}")"
  FUZZ_SECONDS="${3:-}"
  mkdir -p "$FUZZ_OUT/seeds" "$FUZZ_OUT/corpus" "$FUZZ_OUT/generated"
  cd "$FUZZ_ROOT"
}

# Each build script sets FUZZ_CFLAGS (include folders, package flags) and
# FUZZ_LIBS (libraries) before it calls the two functions below.
FUZZ_CFLAGS=()
FUZZ_LIBS=()

# fuzz_objects FOLDER EXTRA_FLAGS SOURCES...: compiles the sources into
# FOLDER/obj (two at a time, each through ccache when there is one) and prints
# the object files.
fuzz_objects() {
  local folder="$1" extra="$2"
  shift 2
  mkdir -p "$folder/obj"
  local source object failed=0
  for source in "$@"; do
    object="$folder/obj/$(basename "${source%.*}").o"
    # shellcheck disable=SC2086
    "${FUZZ_CXX[@]}" "${FUZZ_CXXFLAGS[@]}" $extra "${FUZZ_CFLAGS[@]}" -c "$source" -o "$object" >&2 &
    [ "$(jobs -rp | wc -l)" -lt 2 ] || wait -n || failed=1
    echo "$object"
  done
  while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || failed=1; done
  return "$failed"
}

# fuzz_target SOURCES...: the fuzz target NAME_fuzz; the first source is the
# target itself.
fuzz_target() {
  local objects
  objects="$(fuzz_objects "$FUZZ_OUT" "${FUZZ_SANITIZERS[*]} -fsanitize=fuzzer-no-link" "$@")"
  # shellcheck disable=SC2086
  clang++ "${FUZZ_SANITIZERS[@]}" -fsanitize=fuzzer $objects "${FUZZ_LIBS[@]}" -o "$FUZZ_OUT/${FUZZ_NAME}_fuzz"
}

# fuzz_seed_maker SOURCES...: a program that writes binary seeds into the
# folder it is given, built with AddressSanitizer and run on OUT_DIR/seeds.
fuzz_seed_maker() {
  local folder="$FUZZ_OUT/seed-maker" objects
  objects="$(fuzz_objects "$folder" -fsanitize=address "$@")"
  # shellcheck disable=SC2086
  clang++ -fsanitize=address $objects "${FUZZ_LIBS[@]}" -o "$folder/make_seeds"
  "$folder/make_seeds" "$FUZZ_OUT/seeds"
}

# Runs the target for SECONDS on its corpus, the generated and the checked-in
# seeds; the log goes to OUT_DIR/NAME.log and, with the final statistics,
# to the standard output.
fuzz_run() {
  local seconds="$1"
  local seeds=("$FUZZ_OUT/seeds")
  [ -d "$FUZZ_ROOT/fuzz/corpus/$FUZZ_NAME" ] && seeds+=("$FUZZ_ROOT/fuzz/corpus/$FUZZ_NAME")
  local dict=()
  [ -f "$FUZZ_ROOT/fuzz/dict/$FUZZ_NAME.dict" ] && dict=(-dict="$FUZZ_ROOT/fuzz/dict/$FUZZ_NAME.dict")
  local status=0
  LSAN_OPTIONS="suppressions=$FUZZ_ROOT/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    "$FUZZ_OUT/${FUZZ_NAME}_fuzz" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -timeout=30 \
      -print_final_stats=1 -artifact_prefix="$FUZZ_OUT/" "${dict[@]}" "$FUZZ_OUT/corpus" "${seeds[@]}" \
      >"$FUZZ_OUT/$FUZZ_NAME.log" 2>&1 || status=$?
  grep -E '^(stat::|#[0-9]+[[:space:]]+DONE|==[0-9]+==ERROR|SUMMARY|artifact_prefix)' "$FUZZ_OUT/$FUZZ_NAME.log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$FUZZ_OUT/$FUZZ_NAME.log"
    echo "$FUZZ_NAME: FAILED (exit $status), log in $FUZZ_OUT/$FUZZ_NAME.log"
  fi
  return "$status"
}

fuzz_finish() {
  echo "built $FUZZ_OUT/${FUZZ_NAME}_fuzz"
  if [ -n "$FUZZ_SECONDS" ]; then
    fuzz_run "$FUZZ_SECONDS"
  fi
}
