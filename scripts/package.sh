#!/usr/bin/env bash
# Builds the Debian package of the program and gxctl (build-package/gx520_*.deb).
# Install it with: sudo apt install ./build-package/gx520_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DGX_BUILD_TESTS=OFF > /dev/null
cmake --build build-package -j"$(nproc)" --target gx520 gxctl package-docs
(cd build-package && cpack -G DEB > /dev/null)
ls -1 build-package/gx520_*.deb
