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
# Libraries: follow links favorites (down) and its own tasks; favorites reaches up to follow
# (commented calls are not read); one outside library links its sibling.
printf 'add_library(vx_follow STATIC\n  Follow.cpp)\nadd_library(vx_tasks STATIC Tasks.cpp)\ntarget_link_libraries(vx_follow PUBLIC vx_tasks vx_favorites user32)\n' \
  >"$scratch/follow/CMakeLists.txt"
printf 'add_library(vx_favorites STATIC Store.cpp)\n# target_link_libraries(vx_favorites PUBLIC vx_app)\ntarget_link_libraries(vx_favorites\n  PUBLIC vx_follow)\n' \
  >"$scratch/favorites/CMakeLists.txt"
printf 'add_library(vx_ui_library STATIC Lumilib/Paint.cpp)\nadd_library(vx_network STATIC RidOdo/Task.cpp)\ntarget_link_libraries(vx_ui_library PUBLIC vx_network)\n' \
  >"$scratch/platform/CMakeLists.txt"

if output=$(python3 "$check" "$scratch"); then
  echo "FAIL: the check passed a tree with includes and links that point up"; exit 1
fi
expected="common/lowest.cpp:1: common includes favorites/c.h (favorites is not below it)
favorites/up.cpp:1: favorites includes app/Messages.h (app is not below it)
platform/Lumilib/sideways.h:1: platform/Lumilib includes platform/RidOdo/TaskModule.h (platform/RidOdo is not below it)
sharedobject/sibling.cpp:1: sharedobject includes platform/Lumilib/UISystem.h (platform/Lumilib is not below it)
favorites/CMakeLists.txt:3: vx_favorites (favorites) links vx_follow (follow is not below it)
platform/CMakeLists.txt:3: vx_ui_library (platform/Lumilib) links vx_network (platform/RidOdo is not below it)
layers: 6 include(s) or link(s) pointing up or sideways"
if [[ $output != "$expected" ]]; then
  printf 'FAIL: unexpected report:\n%s\n' "$output"; exit 1
fi
echo "layer check: ok"
