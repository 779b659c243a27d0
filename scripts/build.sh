#!/usr/bin/env bash
# Configures and builds Wellfit into ./build (extra CMake options may be passed).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build build -j"$(nproc)"
