#!/usr/bin/env bash
# Builds every fuzz target (fuzz/build_*_fuzz.sh) and runs each for SECONDS
# (default 60), two at a time; fails when any of them finds a crash, a leak,
# undefined behaviour or a hang. Each target's log and any input that broke
# it stay in its folder build-fuzz-NAME.
#   bash fuzz/smoke.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

names=()
for script in fuzz/build_*_fuzz.sh; do
  name="$(basename "$script" _fuzz.sh)"
  names+=("${name#build_}")
done

for name in "${names[@]}"; do
  echo "== building $name"
  bash "fuzz/build_${name}_fuzz.sh"
done

run() {
  source fuzz/fuzz_common.sh
  fuzz_setup "$1"
  fuzz_run "$seconds" >"$FUZZ_OUT/smoke.out" 2>&1
}

declare -A pids=()
failed=()
finish_one() {
  local pid
  local status=0
  wait -n -p pid || status=$?
  local name="${pids[$pid]}"
  echo "== $name ($seconds s)"
  cat "build-fuzz-$name/smoke.out"
  [ "$status" -eq 0 ] || failed+=("$name")
  unset "pids[$pid]"
}
for name in "${names[@]}"; do
  [ "${#pids[@]}" -lt 2 ] || finish_one
  run "$name" &
  pids[$!]="$name"
done
while [ "${#pids[@]}" -gt 0 ]; do finish_one; done

if [ "${#failed[@]}" -gt 0 ]; then
  echo "fuzz smoke run failed: ${failed[*]}"
  exit 1
fi
echo "fuzz smoke run: ${#names[@]} targets clean, $seconds s each"
