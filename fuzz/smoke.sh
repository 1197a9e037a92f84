#!/bin/sh
# Builds the libFuzzer targets (build-fuzz, clang) and gives each a short run: every input kept under
# fuzz/regressions/ once, then about 20 seconds of fuzzing from the seed corpus (two targets at a time).
# Fails on any crash, hang (over 1 s), leak or sanitizer report.  FUZZ_SECONDS changes the run time.
set -e
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
jobs=$(nproc 2>/dev/null || echo 2)
targets="fuzz_deps_parse fuzz_exec_parse fuzz_template fuzz_normalize_path fuzz_gen_type"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVT_FUZZ=ON -DVT_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
set --
for t in $targets; do set -- "$@" --target "$t"; done
cmake --build build-fuzz -j "$jobs" "$@"
echo "fuzzing $(echo "$targets" | wc -w) targets, two at a time"

work=$(mktemp -d /tmp/vt-fuzz-smoke-XXXXXX)
trap 'rm -rf "$work"' EXIT
flags="-timeout=1 -rss_limit_mb=2048 -detect_leaks=1 -close_fd_mask=3"

# One target: its regressions, then the timed run; writes "ok" or "FAILED" into $work/$t.status and says
# when it starts and ends.
smoke() {
    t=$1
    began=$(date +%s)
    echo "$t: started (its regressions, then ${seconds} s of fuzzing)"
    dir=$work/$t
    mkdir -p "$dir/corpus"
    dict=
    case $t in fuzz_deps_parse | fuzz_exec_parse) dict=-dict=fuzz/vorn.dict ;; esac
    status=ok
    for input in fuzz/regressions/"$t"/*; do
        [ -f "$input" ] || continue
        # shellcheck disable=SC2086
        if ! build-fuzz/fuzz/"$t" $flags -artifact_prefix="$dir/" "$input" >>"$dir/log" 2>&1; then
            status=FAILED
            echo "$t: regression input $input fails" >>"$dir/log"
        fi
    done
    # New inputs go to the scratch corpus: the committed one is only read.
    # shellcheck disable=SC2086
    if ! build-fuzz/fuzz/"$t" $flags -max_total_time="$seconds" $dict -print_final_stats=1 -artifact_prefix="$dir/" \
        "$dir/corpus" "fuzz/corpus/$t" >>"$dir/log" 2>&1; then
        status=FAILED
    fi
    echo "$status" >"$dir.status"
    echo "$t: $status after $(($(date +%s) - began)) s"
}

# shellcheck disable=SC2086
set -- $targets
while [ $# -gt 0 ]; do
    smoke "$1" &
    if [ $# -gt 1 ]; then
        smoke "$2"
        shift
    fi
    wait
    shift
done

failed=0
for t in $targets; do
    line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$t/log" | tail -n 1 | sed -E 's/^#([0-9]+)[[:space:]]+DONE +/\1 runs, /')
    echo "$t: $(cat "$work/$t.status"), $line"
    if [ "$(cat "$work/$t.status")" != ok ]; then
        failed=1
        tail -n 60 "$work/$t/log"
        # The inputs that failed are kept for a look (and for fuzz/regressions/ once mended).
        mkdir -p build-fuzz/findings
        for f in "$work/$t"/crash-* "$work/$t"/leak-* "$work/$t"/timeout-* "$work/$t"/oom-*; do
            [ -f "$f" ] && cp "$f" "build-fuzz/findings/$t-${f##*/}" && echo "kept build-fuzz/findings/$t-${f##*/}"
        done
    fi
done
[ "$failed" -eq 0 ] || { echo "fuzz smoke run FAILED"; exit 1; }
echo "fuzz smoke run passed: $(echo $targets | wc -w) targets, ${seconds} s each"
