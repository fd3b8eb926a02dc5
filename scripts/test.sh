#!/usr/bin/env bash
# Builds everything and runs every test, headless.
# GX_SANITIZE=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=build
extra=()
if [ "${GX_SANITIZE:-0}" = "1" ]; then
  build=build-asan
  extra=(-DGX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$build" -G Ninja "${extra[@]}" > /dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2 --timeout 120
