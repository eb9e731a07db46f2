#!/usr/bin/env bash
# Runs one fuzz harness of tests/fuzz for a while, or every one of them briefly.
#   scripts/fuzz.sh NAME SECONDS [BUILD]   harness fuzz_NAME, over its seed corpus, then SECONDS of fuzzing
#   scripts/fuzz.sh --all SECONDS [BUILD]  every harness in turn, two at a time
# BUILD is a build folder configured with CC=clang CXX=clang++ -DTQ_FUZZ=ON (default build-asan,
# as scripts/test.sh --sanitize makes it). Inputs found are kept in BUILD/fuzz/NAME (the corpus in
# the tree is only read). A crash, leak, timeout (10 s) or out-of-memory (2 GB) fails, and the input
# is printed in base64 so that it can be taken from the log.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
  echo "usage: scripts/fuzz.sh NAME|--all SECONDS [BUILD]" >&2
  exit 2
fi
name=$1
seconds=$2
build=${3:-build-asan}

if [ "$name" = "--all" ]; then
  ls tests/fuzz/fuzz_*.cpp | sed 's|.*/fuzz_||; s|\.cpp$||' |
    xargs -P 2 -I{} bash scripts/fuzz.sh {} "$seconds" "$build"
  exit
fi

harness=$build/bin/fuzz_$name
if [ ! -x "$harness" ]; then
  echo "fuzz.sh: no $harness (configure with CC=clang CXX=clang++ -DTQ_FUZZ=ON and build)" >&2
  exit 2
fi
# Absolute paths: the harnesses work in a folder of their own.
mkdir -p "$build/fuzz/$name/corpus" "$build/fuzz/$name/found"
work=$(cd "$build/fuzz/$name" && pwd)
seeds=$PWD/tests/fuzz/corpus/$name
# -close_fd_mask=3 drops what the engine itself prints for bad input; the reports of libFuzzer and of
# the sanitizers still reach the log.
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -close_fd_mask=3
         -artifact_prefix="$work/found/")
[ -f "tests/fuzz/$name.dict" ] && options+=(-dict="$PWD/tests/fuzz/$name.dict")

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
rm -f "$work/found/"*
if "$harness" "${options[@]}" "$work/corpus" "$seeds" >"$work/log" 2>&1; then
  echo "fuzz_$name: $(grep -E '^stat::number_of_executed_units' "$work/log" | awk '{print $2}') runs in ${seconds} s, $(grep -oE 'cov: [0-9]+' "$work/log" | tail -1)"
  exit 0
fi
echo "fuzz_$name FAILED; its log from the fault on:"
report=$(grep -n -m1 -E '==ERROR|runtime error|ERROR: libFuzzer|ALARM|out-of-memory|ParseDictionaryFile' "$work/log" | cut -d: -f1)
tail -n +"${report:-1}" "$work/log" | grep -v '^tqplat: ' | head -n 120
for input in "$work/found/"*; do
  [ -f "$input" ] || continue
  echo "input $input (base64):"
  base64 "$input"
done
exit 1
