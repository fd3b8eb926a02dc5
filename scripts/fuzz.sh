#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 60) and
# prints, per target, the runs made, the coverage gained over the seed corpus
# and the crashes found. Built with clang in build-fuzz/ (libFuzzer, ASan,
# UBSan); new inputs collect in build-fuzz/corpus/, crashes in
# build-fuzz/crashes/. FUZZ_JOBS targets run at a time (default 2).
#
#   scripts/fuzz.sh 600            ten minutes each
#   scripts/fuzz.sh 60 status      one target
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fieldreader limits profilefile status identification profileimage printdata calllog addressbook statemessage)
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DGX_FUZZ=ON -DGX_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
run() {
  local t=$1
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/crashes/$t"
  build-fuzz/fuzz/fuzz_$t -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/crashes/$t/" "build-fuzz/corpus/$t" "fuzz/corpus/$t" \
    > "build-fuzz/$t.log" 2>&1 || true
}
pids=()
for t in "${targets[@]}"; do
  run "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "${FUZZ_JOBS:-2}" ]; then wait "${pids[0]}"; pids=("${pids[@]:1}"); fi
done
wait

printf '%-15s %8s %12s %10s %8s\n' target seconds runs "new cov" crashes
for t in "${targets[@]}"; do
  log="build-fuzz/$t.log"
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  first=$(grep -m1 -o 'INITED cov: [0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
  last=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || echo 0)
  crashes=$(find "build-fuzz/crashes/$t" -type f | wc -l)
  printf '%-15s %8s %12s %10s %8s\n' "$t" "$seconds" "${runs:-0}" "$((last - first))" "$crashes"
done
