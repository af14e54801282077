#!/bin/bash
# Builds everything and runs every suite: native (sanitizers, brief fuzzing), Windows-side in-process
# tests and end-to-end tests under Wine. Ends with one line: "N passed, N failed".
set -u
source "$(dirname "$0")/common.sh"
xirarp_ensure_packages || exit 1
mkdir -p "$XIRARP_BUILD"

passed=0
failed=0
arch="$(xirarp_test_arch)"

# Adds the counts of one build's ctest run: test cases from each GoogleTest report, one count for
# every other test, and one failure for a test binary that failed without a report saying why.
count_results() {
    local dir="$1" name report tests failures errors skipped
    local failed_list="$dir/Testing/Temporary/LastTestsFailed.log"
    while read -r name; do
        report="$dir/results/$name.xml"
        if [ -f "$report" ]; then
            read -r tests failures errors skipped < <(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)" disabled="[0-9]*" errors="\([0-9]*\)".*/\1 \2 \3 0/p' "$report" | head -1)
            tests=${tests:-0}; failures=${failures:-0}; errors=${errors:-0}
            passed=$((passed + tests - failures - errors))
            failed=$((failed + failures + errors))
            if [ "$((failures + errors))" -eq 0 ] && grep -q ":$name\$" "$failed_list" 2>/dev/null; then
                failed=$((failed + 1))
            fi
        elif grep -q ":$name\$" "$failed_list" 2>/dev/null; then
            failed=$((failed + 1))
        else
            passed=$((passed + 1))
        fi
    done < <(ctest --test-dir "$dir" -N 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: //p')
}

run_suite() {  # build-dir [ctest launcher...]
    local dir="$1"
    shift
    rm -rf "$dir/results" "$dir/Testing/Temporary/LastTestsFailed.log"
    "$@" ctest --test-dir "$dir" --output-on-failure
    count_results "$dir"
}

echo "== native: portable core under AddressSanitizer and UBSan, brief fuzzing"
if xirarp_configure_and_build native; then run_suite "$XIRARP_BUILD/native"; else failed=$((failed + 1)); fi

echo "== i686: the program we ship"
xirarp_configure_and_build i686 || failed=$((failed + 1))

echo "== Windows-side and end-to-end tests under Wine ($arch build)"
if [ "$arch" != i686 ]; then
    echo "   (this machine cannot run 32-bit code; the same sources are tested as a 64-bit build)"
    xirarp_configure_and_build "$arch" || failed=$((failed + 1))
fi
win_dir="$XIRARP_BUILD/win-$arch"
if [ -f "$win_dir/CMakeCache.txt" ]; then
    launcher=()
    [ -z "${DISPLAY:-}" ] && launcher=(xvfb-run -a -s "-screen 0 1024x768x24")
    run_suite "$win_dir" "${launcher[@]}"
    WINEPREFIX="$win_dir/wineprefix" wineserver -k 2>/dev/null
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
