#!/bin/bash
# Builds everything and runs every suite: native (sanitizers, brief fuzzing), the shipped image's check,
# Windows-side in-process tests and end-to-end tests under Wine. Ends with one line: "N passed, N failed"
# (followed by ", N skipped" when cases could not run here; they never count as passed).
# The Wine suites run on the shipped 32-bit build; on a machine that refuses 32-bit code they run on a
# 64-bit build of the same sources on the host and the 32-bit build's end-to-end suite inside the full-system
# emulator (scripts/emulator.sh). XIRARP_I686_LANE=host|emulator|none chooses instead (none: no emulator).
set -u
source "$(dirname "$0")/common.sh"
xirarp_ensure_packages || exit 1
mkdir -p "$XIRARP_BUILD"

passed=0
failed=0
skipped=0

# Adds the counts of one build's ctest run (of the tests whose names match the optional regular
# expression): test cases from each GoogleTest report, one count for every other test, and one failure
# for a test binary that failed without a report saying why. Skipped cases count apart, never as passed.
count_results() {
    local dir="$1" selection="${2:-.}" name report tests failures errors skips
    local failed_list="$dir/Testing/Temporary/LastTestsFailed.log"
    while read -r name; do
        report="$dir/results/$name.xml"
        if [ -f "$report" ]; then
            read -r tests failures errors < <(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)" disabled="[0-9]*" errors="\([0-9]*\)".*/\1 \2 \3/p' "$report" | head -1)
            skips=$(grep -c '<skipped' "$report")
            tests=${tests:-0}; failures=${failures:-0}; errors=${errors:-0}
            passed=$((passed + tests - failures - errors - skips))
            skipped=$((skipped + skips))
            [ "$skips" -gt 0 ] && echo "   $name: $skips skipped:" &&
                sed -n 's/.*<skipped message="\([^"]*&#x0A;\)\{0,1\}\([^"]*\)".*/     \2/p' "$report" | sort -u
            failed=$((failed + failures + errors))
            if [ "$((failures + errors))" -eq 0 ] && grep -q ":$name\$" "$failed_list" 2>/dev/null; then
                failed=$((failed + 1))
            fi
        elif grep -q ":$name\$" "$failed_list" 2>/dev/null; then
            failed=$((failed + 1))
        else
            passed=$((passed + 1))
        fi
    done < <(ctest --test-dir "$dir" -N -R "$selection" 2>/dev/null | sed -n 's/^ *Test *#[0-9]*: //p')
}

run_suite() {  # build-dir selection [launcher...]: runs the tests whose names match the selection
    local dir="$1" selection="$2"
    shift 2
    rm -rf "$dir/results" "$dir/Testing/Temporary/LastTestsFailed.log"
    "$@" ctest --test-dir "$dir" -R "$selection" --output-on-failure
    local status=$?
    if [ "$status" -ne 0 ] && [ ! -f "$dir/Testing/Temporary/LastTestsFailed.log" ]; then
        echo "   the tests in $dir did not run (exit status $status)"
        failed=$((failed + 1))
        return
    fi
    count_results "$dir" "$selection"
}

headless=()
[ -z "${DISPLAY:-}" ] && headless=(xvfb-run -a -s "-screen 0 1024x768x24")

# The Wine suites of one Windows build, on the host or through another launcher; ends its Wine session.
run_wine_suites() {  # build-dir selection [launcher...]
    local dir="$1"
    [ -f "$dir/CMakeCache.txt" ] || return 0
    run_suite "$@"
    WINEPREFIX="$dir/wineprefix" wineserver -k 2>/dev/null
}

echo "== native: portable core under AddressSanitizer and UBSan, brief fuzzing"
if xirarp_configure_and_build native; then run_suite "$XIRARP_BUILD/native" .; else failed=$((failed + 1)); fi

echo "== i686: the program we ship, and its image checked against the 64-bit build of the same sources"
xirarp_configure_and_build i686 || failed=$((failed + 1))
if xirarp_configure_and_build x86_64 XirARP >/dev/null &&
    "$XIRARP_ROOT/scripts/check-image.sh" "$XIRARP_BUILD/win-i686/bin/XirARP.exe" "$XIRARP_BUILD/win-x86_64/bin/XirARP.exe"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

lane="${XIRARP_I686_LANE:-$(xirarp_i686_lane)}"
if [ "$lane" = host ]; then
    echo "== Windows-side and end-to-end tests under Wine, i686 build"
    run_wine_suites "$XIRARP_BUILD/win-i686" . "${headless[@]}"
else
    echo "== Windows-side and end-to-end tests under Wine, x86_64 build of the same sources on the host"
    echo "   (this machine does not run 32-bit code)"
    xirarp_configure_and_build x86_64 || failed=$((failed + 1))
    run_wine_suites "$XIRARP_BUILD/win-x86_64" . "${headless[@]}"
fi

if [ "$lane" = emulator ]; then
    echo "== Windows-side and end-to-end tests under Wine, i686 build, inside the emulator"
    started=$SECONDS
    # The Wine prefix is made once and kept in the build folder; its making is no test's time.
    "$XIRARP_ROOT/scripts/emulator.sh" "$XIRARP_BUILD/win-i686/wine-run.sh" wineboot
    run_wine_suites "$XIRARP_BUILD/win-i686" "$XIRARP_EMULATOR_SUITES" \
        "$XIRARP_ROOT/scripts/emulator.sh" env XIRARP_TEST_PATIENCE="$XIRARP_EMULATOR_PATIENCE" \
        xvfb-run -a -s "-screen 0 1024x768x24"
    echo "   (the emulator lane took $((SECONDS - started)) s)"
fi

if [ "$skipped" -gt 0 ]; then
    echo "$passed passed, $failed failed, $skipped skipped"
else
    echo "$passed passed, $failed failed"
fi
[ "$failed" -eq 0 ]
