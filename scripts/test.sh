#!/usr/bin/env bash
# Installs what is missing, builds Velkor twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both builds through ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

velkor_install
jobs=$(nproc)

velkor_build build-asan -DVELKOR_WERROR=ON -DVELKOR_SANITIZE=ON
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir "$VELKOR_ROOT/build-asan" --output-on-failure -j "$jobs"

velkor_build build -DVELKOR_WERROR=ON -DVELKOR_BUILD_TESTS=ON
echo "== tests"
ctest --test-dir "$VELKOR_ROOT/build" --output-on-failure -j "$jobs"
