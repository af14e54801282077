#!/bin/bash
# Throws bad input at the real program: hand-edited registry values, damaged client packages and a
# recreated taskbar, end to end under Wine (the Robustness* suites of the e2e driver).
#   scripts/robustness.sh          quick run, the same cases the README's test command runs
#   scripts/robustness.sh --long   many more random values and packages (seeded, seed printed), then
#                                  ten minutes of fuzzing the client configuration reader natively
# XIRARP_ROBUSTNESS_SEED=<n> replays the random inputs of an earlier run. Ends with a summary line;
# the exit status is non-zero on any failure.
set -u
source "$(dirname "$0")/common.sh"

long=0
case "${1:-}" in
    "") ;;
    --long) long=1 ;;
    *) echo "usage: $0 [--long]" >&2; exit 2 ;;
esac

xirarp_ensure_packages || exit 1
mkdir -p "$XIRARP_BUILD"
arch="$(xirarp_test_arch)"
dir="$XIRARP_BUILD/win-$arch"
failed=0
notes=()

echo "== building the end-to-end driver ($arch)"
if ! xirarp_configure_and_build "$arch" xirarp_e2e_tests; then
    echo "robustness: build failed"
    exit 1
fi

echo "== Robustness* end to end under Wine$([ "$long" = 1 ] && echo ", long run")"
report="$dir/results/robustness.xml"
output="$dir/results/robustness.txt"
mkdir -p "$dir/results"
rm -f "$report"
launcher=()
[ -z "${DISPLAY:-}" ] && launcher=(xvfb-run -a -s "-screen 0 1024x768x24")
started=$SECONDS
# Inside a Wine virtual desktop, as in the test command. Wine's server outlives the driver; its output
# goes to a file, never through a pipe we wait on.
GTEST_OUTPUT="xml:Z:${report//\//\\}" XIRARP_ROBUSTNESS_LONG="$long" \
    "${launcher[@]}" "$dir/wine-desktop-run.sh" "$dir/bin/xirarp_e2e_tests.exe" --gtest_filter='Robustness*' \
    >"$output" 2>&1
status=$?
WINEPREFIX="$dir/wineprefix" wineserver -k 2>/dev/null
e2e_seconds=$((SECONDS - started))
grep -E '^\[ *(RUN|OK|FAILED|PASSED|SKIPPED) *\]|robustness \]|Failure|Expected|Which is|: the |holds text' "$output"
tests=0; failures=0
if [ -f "$report" ]; then
    read -r tests failures < <(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1 \2/p' "$report" | head -1)
fi
tests=${tests:-0}; failures=${failures:-0}
if [ "$status" -ne 0 ] && [ "$failures" -eq 0 ]; then failures=1; fi
[ "$tests" -eq 0 ] && failures=$((failures + 1))
failed=$((failed + failures))
notes+=("end to end: $((tests - failures < 0 ? 0 : tests - failures)) of $tests passed in ${e2e_seconds}s (full output: $output)")

if [ "$long" = 1 ]; then
    echo "== fuzzing the client configuration reader for 10 minutes"
    if xirarp_configure_and_build native build_client_config_fuzz; then
        native="$XIRARP_BUILD/native"
        work="$native/robustness-fuzz"
        rm -rf "$work"
        mkdir -p "$work/corpus" "$work/findings"
        cp "$XIRARP_ROOT"/tests/fuzz/corpus/* "$work/corpus/"
        [ -d "$native/fuzz_corpus" ] && cp "$native"/fuzz_corpus/* "$work/corpus/" 2>/dev/null
        started=$SECONDS
        "$native/fuzz/client_config_fuzz" -max_total_time=600 -rss_limit_mb=2048 -print_final_stats=1 \
            -artifact_prefix="$work/findings/" "$work/corpus" >"$work/fuzz.log" 2>&1
        fuzz_status=$?
        tail -n 15 "$work/fuzz.log"
        findings=$(find "$work/findings" -type f | wc -l)
        if [ "$fuzz_status" -ne 0 ] || [ "$findings" -gt 0 ]; then
            failed=$((failed + 1))
            notes+=("fuzzing: FAILED after $((SECONDS - started))s, $findings finding(s) in $work/findings (log: $work/fuzz.log)")
        else
            notes+=("fuzzing: no finding in $((SECONDS - started))s ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/fuzz.log" | grep -o '[0-9]*$') runs)")
        fi
    else
        failed=$((failed + 1))
        notes+=("fuzzing: the fuzzer could not be built")
    fi
fi

for note in "${notes[@]}"; do echo "   $note"; done
if [ "$failed" -eq 0 ]; then
    echo "robustness: passed"
else
    echo "robustness: FAILED ($failed)"
fi
[ "$failed" -eq 0 ]
