#!/usr/bin/env bash
# The mutation check: how many small faults planted in velkor_core the test suite notices.
#
# For each mutant of the fixed sample in scripts/mutants.txt (one line of the core changed: a
# comparison flipped, a constant changed by one, a condition negated, a statement removed) it
# plants the change in a copy of the tree, rebuilds the test programs, runs the suite and puts
# the line back. A mutant is
#   killed    when a test fails or hangs past the timeout (the first failing test is named),
#   survived  when the whole suite passes with it,
#   invalid   when it does not build (left out of the ratio),
#   stale     when its line is no longer in the sources (left out of the ratio).
# The sources themselves are never changed: the copy and its build live in build-mutants/.
#
# Usage: scripts/mutants.sh [--only 3,7] [--list] [--timeout SECONDS] [--jobs N]
# Run it with `nice -n 19`: it keeps the cores busy for a while.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
HELPER="$ROOT/scripts/mutants.py"
SAMPLE="$ROOT/scripts/mutants.txt"
WORK="$ROOT/build-mutants"
TREE="$WORK/tree"
BUILD="$WORK/build"
LOGS="$WORK/logs"

only=""
timeout=30
jobs=2
while [ $# -gt 0 ]; do
    case "$1" in
        --only) only=${2//,/ }; shift 2 ;;
        --list) python3 "$HELPER" list "$SAMPLE"; exit 0 ;;
        --timeout) timeout=$2; shift 2 ;;
        --jobs) jobs=$2; shift 2 ;;
        -h|--help) sed -n '2,17p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "mutants.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

ids=${only:-$(python3 "$HELPER" ids "$SAMPLE")}

export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR-/work} CCACHE_DIR=${CCACHE_DIR-/work/.ccache}

# The file of the copy that holds a planted mutant, put back on every way out.
planted=""
restore() {
    if [ -n "$planted" ]; then
        cp "$ROOT/$planted" "$TREE/$planted"
        planted=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

# The test programs, the only targets that change with the core (the rest was built once).
test_targets() {
    grep -rhoE '^\s*(velkor_add_test|add_executable)\(\s*[A-Za-z0-9_]+' \
        --include=CMakeLists.txt "$TREE/tests" | sed -E 's/.*\(\s*//' | sort -u
}

mkdir -p "$TREE" "$LOGS"
python3 "$HELPER" sync "$ROOT" "$TREE"
if [ ! -f "$BUILD/build.ninja" ]; then
    cmake -S "$TREE" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVELKOR_WERROR=OFF -DVELKOR_BUILD_TESTS=ON >"$LOGS/configure.log"
fi
echo "building the copy in $BUILD"
if ! cmake --build "$BUILD" >"$LOGS/build.log" 2>&1; then
    echo "mutants.sh: the unmutated tree does not build, see $LOGS/build.log" >&2
    exit 1
fi
mapfile -t targets < <(test_targets)

run_suite() {
    # A failing test is run once more before it counts: a few tests that time the line's pauses
    # can fail once on a machine loaded far beyond its cores.
    ctest --test-dir "$BUILD" -j "$jobs" --timeout "$timeout" --stop-on-failure \
        --repeat until-pass:2
}

started=$SECONDS
if ! run_suite >"$LOGS/baseline.log" 2>&1; then
    echo "mutants.sh: the suite fails without any mutant, see $LOGS/baseline.log" >&2
    exit 1
fi
echo "the suite passes unmutated in $((SECONDS - started)) s; ${#targets[@]} test programs"

killed=0 survived=0 invalid=0 stale=0
for id in $ids; do
    name=$(printf 'M%02d' "$id")
    log="$LOGS/$name.log"
    started=$SECONDS
    read -r status place line < <(python3 "$HELPER" apply "$SAMPLE" "$id" "$TREE") || true
    if [ "$status" != ok ]; then
        echo "$name stale     ($place $line)"
        stale=$((stale + 1))
        continue
    fi
    planted=$place
    where="$place:$line"
    if ! cmake --build "$BUILD" --target "${targets[@]}" >"$log" 2>&1; then
        restore
        echo "$name invalid   $where (does not build, see $log)"
        invalid=$((invalid + 1))
        continue
    fi
    if run_suite >>"$log" 2>&1; then
        restore
        echo "$name survived  $where  ($((SECONDS - started)) s)"
        survived=$((survived + 1))
    else
        restore
        first=$(grep -m1 -oE 'Test +#[0-9]+: [^ ]+ .*\*\*\*[A-Za-z]+' "$log" |
            sed -E 's/Test +#[0-9]+: ([^ ]+) .*\*\*\*([A-Za-z]+)/\1 (\2)/' || true)
        echo "$name killed    $where  by ${first:-the suite (see $log)}  ($((SECONDS - started)) s)"
        killed=$((killed + 1))
    fi
done

counted=$((killed + survived))
if [ "$counted" -gt 0 ]; then
    ratio=$(awk -v k="$killed" -v n="$counted" 'BEGIN { printf "%.1f", 100 * k / n }')
else
    ratio="-"
fi
extra=""
if [ "$stale" -gt 0 ]; then
    extra=", $stale stale"
fi
echo "mutants: $killed killed, $survived survived, $invalid invalid$extra: kill ratio $ratio %"
