#!/usr/bin/env bash
# Installs what is missing, builds Velkor twice (normal, and with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both builds through ctest.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

velkor_install
# Many tests wait on the simulated serial line at its true pace rather than on the processor, so
# twice as many run at once as there are cores.
jobs=$(($(nproc) * 2))

# Line tables (-g1) are all a backtrace needs, and compile in a fraction of the time full debug
# information takes; the sanitizers' own advice is -O1. Benchmarks are timed in the normal build
# only, so the sanitizer build leaves them out.
velkor_build build-asan -DVELKOR_WERROR=ON -DVELKOR_SANITIZE=ON -DVELKOR_BUILD_BENCHMARKS=OFF \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ctest --test-dir "$VELKOR_ROOT/build-asan" --output-on-failure -j "$jobs"

velkor_build build -DVELKOR_WERROR=ON -DVELKOR_BUILD_TESTS=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
echo "== tests"
ctest --test-dir "$VELKOR_ROOT/build" --output-on-failure -j "$jobs"
