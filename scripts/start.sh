#!/usr/bin/env bash
# Installs what is missing, builds Velkor and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

velkor_install
velkor_build build -DVELKOR_BUILD_TESTS=OFF
exec "$VELKOR_ROOT/build/velkor" "$@"
