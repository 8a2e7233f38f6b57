#!/usr/bin/env bash
# Builds the program's own code (not the tests) with clang-tidy run on every
# file, as .clang-tidy configures it; any finding fails the build.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(pwd)/scripts/install-deps.sh"
cmake --preset tidy >/dev/null
cmake --build --preset tidy -j "$(nproc)"
