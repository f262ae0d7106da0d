#!/bin/bash
# The program on a display at 150 %: its own Wine session whose display has 144 dpi, the local
# service emulator, then the pop-up drawn by the real program and the tray icon's image.
#   tests/e2e/dpi150_test.sh PUSH_PROCESS_TESTS.exe APP_WINDOW_TESTS.exe
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export VX_WINE_LOGPIXELS=144 LC_ALL=zh_CN.UTF-8
exec "$root/tools/wine-session.sh" "$root/tools/with-emulator.sh" bash -c '
  set -e
  "$0" "$1" --gtest_filter="*HighDpi*"
  "$0" "$2" --gtest_filter="*TrayIcon*"' "$root/tools/wine-run.sh" "$1" "$2"
