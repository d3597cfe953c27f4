#!/usr/bin/env bash
# Builds the fuzz targets with clang++ and runs each for FUZZ_SECONDS; a crash, hang, leak,
# sanitizer report or broken property fails the run and leaves its input in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
# The preset fuzz builds in build-fuzz, by the presets' rule build-NAME.
build=build-fuzz
cxx=${CLANGXX:-clang++}

bash tools/packages.sh fuzz || exit 1

cmake --preset fuzz -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
# The targets are listed once, where the build defines them.
mapfile -t targets <"$build/fuzz-targets.txt"
cmake --build --preset fuzz --target "${targets[@]}"

mkdir -p "$build/logs" "$build/artifacts"
failed=()
for target in "${targets[@]}"; do
  # New inputs go to the build folder's corpus; the seeds in the repo are only read.
  mkdir -p "$build/corpus/$target"
  log="$build/logs/$target.log"
  echo "== $target: ${seconds} s"
  status=0
  # A hang that libFuzzer's own timer cannot see (the dialogue holds it off) ends here too.
  timeout --kill-after=10 $((seconds + 120)) \
    "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: //p' "$log" | tail -1)
  corpus=$(grep -o 'corp: [0-9]*/[0-9]*[a-zA-Z]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    echo "   ${runs:-?} executions, corpus ${corpus:-?} (entries/size), no finding"
  else
    echo "   FAILED (exit $status) after ${runs:-?} executions; input kept under $build/artifacts/"
    grep -E 'property broken|ERROR|SUMMARY|Test unit written' "$log" || tail -n 30 "$log"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]} (logs in $build/logs/)"
  exit 1
fi
