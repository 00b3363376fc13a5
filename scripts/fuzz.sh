#!/usr/bin/env bash
# Fuzzes the file readers with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer
# (leaks included).
#   scripts/fuzz.sh [SECONDS] [TARGET...] [-libFuzzer_option...]
# Each TARGET (default: every one) runs SECONDS (default 60): log_reader, log_fields,
# chart_template, branding (the _fuzz ending may be given too). fuzz/<Name>Fuzz.cpp is the target <name>_fuzz,
# seeded from fuzz/corpus/<name>/; a new reader's fuzz target needs only those two.
# Builds build-fuzz with clang, then runs each target on a working corpus in
# build-fuzz/corpus/<name> (the committed seeds are never written to). Inputs that crash a reader
# land in build-fuzz/crashes/<target>/; replay one with
#   build-fuzz/<target> build-fuzz/crashes/<target>/<file>
# Fails when any target found a fault.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=60
if [[ ${1:-} =~ ^[0-9]+$ ]]; then
    seconds=$1
    shift
fi
names=()
options=()
for arg in "$@"; do
    case "$arg" in
        -*) options+=("$arg") ;;
        *) names+=("${arg%_fuzz}") ;;
    esac
done
if [ ${#names[@]} -eq 0 ]; then
    for source in "$VELKOR_ROOT"/fuzz/*Fuzz.cpp; do
        name=$(basename "$source" Fuzz.cpp)
        names+=("$(sed -E 's/([a-z0-9])([A-Z])/\1_\2/g' <<<"$name" | tr '[:upper:]' '[:lower:]')")
    done
fi

VELKOR_PACKAGES+=(clang libclang-rt-14-dev)
velkor_install

dir=$VELKOR_ROOT/build-fuzz
CC=clang CXX=clang++ velkor_configure build-fuzz -DVELKOR_FUZZ=ON -DVELKOR_BUILD_TESTS=OFF
cmake --build "$dir" --target "${names[@]/%/_fuzz}"

failed=()
for name in "${names[@]}"; do
    target=${name}_fuzz
    work=$dir/corpus/$name
    crashes=$dir/crashes/$target
    mkdir -p "$work" "$crashes"
    for seed in "$VELKOR_ROOT/fuzz/corpus/$name"/*; do
        [ -e "$work/$(basename "$seed")" ] || cp "$seed" "$work/"
    done
    # The log reader gets inputs up to 200000 bytes from the start, so that lines past its 64 KB
    # cut are tried.
    extra=()
    if [ "$name" = log_reader ]; then
        extra=(-max_len=200000 -len_control=0)
    fi
    echo "== fuzzing $target for $seconds s"
    if ! "$dir/$target" "$work" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "${extra[@]}" "${options[@]}"; then
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "FAULT found by: ${failed[*]} (inputs in $dir/crashes/)" >&2
    exit 1
fi
echo "== no fault found in: ${names[*]}"
