#!/usr/bin/env bash
# Fuzzes the log file reader with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#   scripts/fuzz.sh [SECONDS] [libFuzzer options...]      (default 60 seconds)
# Builds build-fuzz with clang, then runs on a working corpus in build-fuzz/corpus, seeded from
# fuzz/corpus (the committed seeds are never written to), with inputs up to 200000 bytes from the
# start so that lines past the 64 KB cut are tried. Inputs that crash the reader land in
# build-fuzz/crashes; replay one with: build-fuzz/log_reader_fuzz build-fuzz/crashes/<file>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=${1:-60}
shift $(($# > 0 ? 1 : 0))

VELKOR_PACKAGES+=(clang libclang-rt-14-dev)
velkor_install

dir=build-fuzz
CC=clang CXX=clang++ velkor_configure "$dir" -DVELKOR_FUZZ=ON -DVELKOR_BUILD_TESTS=OFF
cmake --build "$VELKOR_ROOT/$dir" --target log_reader_fuzz

work="$VELKOR_ROOT/$dir/corpus"
crashes="$VELKOR_ROOT/$dir/crashes"
mkdir -p "$work" "$crashes"
for seed in "$VELKOR_ROOT"/fuzz/corpus/*; do
    [ -e "$work/$(basename "$seed")" ] || cp "$seed" "$work/"
done

echo "== fuzzing the log reader for $seconds s"
"$VELKOR_ROOT/$dir/log_reader_fuzz" "$work" \
    -max_total_time="$seconds" -max_len=200000 -len_control=0 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/" -print_final_stats=1 "$@"
