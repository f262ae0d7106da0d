#!/bin/bash
# Runs one libFuzzer target for a bounded time from the sample seeds, and fails on any crash,
# sanitizer report, leak, time-out or memory overrun, printing the input that caused it.
#   tests/fuzz/run_fuzz.sh FUZZ_TARGET MAKE_SOL_SAMPLES SEED_KIND SECONDS
# SEED_KIND is sol, amf0 or amf3. VX_FUZZ_SECONDS overrides SECONDS (a longer run by hand);
# VX_FUZZ_CORPUS names a folder that keeps the corpus between runs (default: a fresh one).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=$1
make_samples=$2
kind=$3
seconds=${VX_FUZZ_SECONDS:-$4}
name=$(basename "$target")

work=$(mktemp -d /tmp/vx-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/seeds/sol" "$work/seeds/amf0" "$work/seeds/amf3" "$work/artifacts"
"$make_samples" "$work/seeds" || { echo "FAILED: the seeds could not be written"; exit 1; }
corpus=${VX_FUZZ_CORPUS:-$work/corpus}
mkdir -p "$corpus"

# Inputs that once crashed a target stay in its regression folder and run first, every time.
regressions=$here/regressions/$name
if [[ -d $regressions ]] && compgen -G "$regressions/*" >/dev/null; then
  if ! "$target" "$regressions"/* >"$work/regressions.log" 2>&1; then
    cat "$work/regressions.log"
    echo "FAILED: $name fails on an input of $regressions"
    exit 1
  fi
fi

echo "$name: fuzzing for ${seconds}s from $(ls "$work/seeds/$kind" | wc -l) seeds"
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$corpus" "$work/seeds/$kind" >"$work/fuzz.log" 2>&1
status=$?
grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/fuzz.log" || true
if [[ $status -ne 0 ]] || compgen -G "$work/artifacts/*" >/dev/null; then
  tail -n 60 "$work/fuzz.log"
  for artifact in "$work"/artifacts/*; do
    [[ -f $artifact ]] || continue
    echo "----- $(basename "$artifact") ($(stat -c %s "$artifact") bytes), as hex:"
    od -An -v -tx1 "$artifact" | tr -s ' \n' ' ' | fold -w 96
    echo
    cp "$artifact" "/tmp/$name-$(basename "$artifact")" && echo "(kept as /tmp/$name-$(basename "$artifact"))"
  done
  echo "FAILED: $name (exit status $status)"
  exit 1
fi
echo "$name: no crash, leak, time-out or sanitizer report"
