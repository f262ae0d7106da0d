#!/bin/bash
# The layer check on the real tree, and on a scratch tree that breaks each rule once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
check="$root/tools/check-layers.py"

python3 "$check" "$root"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"/{common,favorites,follow,app,sharedobject,platform/Lumilib,platform/RidOdo}
printf '#include "common/a.h"\n#include "favorites/b.h"\n' >"$scratch/follow/down.cpp"
printf '#include "app/Messages.h"\n' >"$scratch/favorites/up.cpp"
printf '#  include "platform/RidOdo/TaskModule.h"\n' >"$scratch/platform/Lumilib/sideways.h"
printf '#include "platform/Lumilib/UISystem.h"\n' >"$scratch/sharedobject/sibling.cpp"
printf '#include "favorites/c.h"\n' >"$scratch/common/lowest.cpp"
printf '#include "app/x.h"\n' >"$scratch/app/own.cpp"

if output=$(python3 "$check" "$scratch"); then
  echo "FAIL: the check passed a tree with includes that point up"; exit 1
fi
expected="common/lowest.cpp:1: common includes favorites/c.h (favorites is not below it)
favorites/up.cpp:1: favorites includes app/Messages.h (app is not below it)
platform/Lumilib/sideways.h:1: platform/Lumilib includes platform/RidOdo/TaskModule.h (platform/RidOdo is not below it)
sharedobject/sibling.cpp:1: sharedobject includes platform/Lumilib/UISystem.h (platform/Lumilib is not below it)
layers: 4 include(s) pointing up or sideways"
if [[ $output != "$expected" ]]; then
  printf 'FAIL: unexpected report:\n%s\n' "$output"; exit 1
fi
echo "layer check: ok"
