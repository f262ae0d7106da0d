#!/bin/bash
# soldump on the sample files, its output compared byte for byte with the expected dumps, plus
# its exit status on accepted, refused and missing files and on a wrong command line.
#   tests/tools/soldump/soldump_test.sh MAKE_SOL_SAMPLES SOLDUMP [RUNNER...]
# RUNNER (e.g. tools/wine-run.sh) runs the two programs when they are Windows programs.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
make_samples=$(realpath "$1")
soldump=$(realpath "$2")
shift 2
runner=("$@")
[[ ${#runner[@]} -gt 0 ]] && runner[0]=$(realpath "${runner[0]}")

work=$(mktemp -d /tmp/vx-soldump.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/sol" "$work/amf0" "$work/amf3"
# Relative paths from here on: under Wine the working folder is reachable, /tmp paths are not.
cd "$work" || exit 1

checks=0
failures=0
check() {  # check DESCRIPTION COMMAND...
  checks=$((checks + 1))
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

"${runner[@]}" "$make_samples" . || { echo "FAILED: the sample files could not be written"; exit 1; }

for sample in sol/*.sol; do
  name=$(basename "$sample" .sol)
  expected=$here/expected/$name.txt
  if [[ ! -f $expected ]]; then
    check "$name has an expected dump" false
    continue
  fi
  "${runner[@]}" "$soldump" "$sample" >"out-$name" 2>"err-$name"
  status=$?
  if cmp -s "$expected" "out-$name"; then
    check "$name dumps exactly as expected" true
  else
    check "$name dumps exactly as expected" false
    diff <(od -c "$expected") <(od -c "out-$name") | head -20
  fi
  want=1
  [[ $(head -n 1 "$expected") == ok ]] && want=0
  check "$name exits with $want" test "$status" -eq "$want"
done
for expected in "$here"/expected/*.txt; do
  name=$(basename "$expected" .txt)
  check "expected dump $name has its sample file" test -f "sol/$name.sol"
done

"${runner[@]}" "$soldump" sol/no-such-file.sol >out-missing 2>/dev/null
status=$?
check "a missing file prints only rejected" cmp -s out-missing <(printf 'rejected\n')
check "a missing file exits with 1" test "$status" -eq 1

"${runner[@]}" "$soldump" >out-usage 2>/dev/null
status=$?
check "no file argument exits with 2" test "$status" -eq 2
check "no file argument prints nothing on stdout" test ! -s out-usage
"${runner[@]}" "$soldump" sol/desktvinfo.sol sol/desktvinfo.sol >out-usage 2>/dev/null
status=$?
check "two file arguments exit with 2" test "$status" -eq 2
check "two file arguments print nothing on stdout" test ! -s out-usage

echo "soldump: $((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
