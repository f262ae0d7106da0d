#!/bin/bash
# Runs one libFuzzer target for a bounded time from seeds written from the tree's test data, and
# fails on any crash, sanitizer report, leak, time-out or memory overrun, printing the input
# that caused it.
#   tests/fuzz/run_fuzz.sh FUZZ_TARGET SEED_KIND SECONDS SEED_WRITER [ARG...]
# SEED_WRITER (with its ARGs) is run with one more argument, a folder, and writes the seeds of
# each kind into a subfolder named after it (sol, amf0, amf3 from make_sol_samples; catalogue,
# reminder_feed, favorite, skin from make_fuzz_seeds.py); the target starts from SEED_KIND's.
# VX_FUZZ_SECONDS overrides SECONDS (a longer run by hand); VX_FUZZ_CORPUS names a folder that
# keeps the corpus between runs (default: a fresh one).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
target=$1
kind=$2
seconds=${VX_FUZZ_SECONDS:-$3}
shift 3
name=$(basename "$target")

work=$(mktemp -d /tmp/vx-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/seeds/sol" "$work/seeds/amf0" "$work/seeds/amf3" "$work/artifacts"
"$@" "$work/seeds" || { echo "FAILED: the seeds could not be written"; exit 1; }
[[ -d $work/seeds/$kind ]] || { echo "FAILED: no $kind seeds were written"; exit 1; }
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
