#!/bin/bash
# Runs one Windows program under Wine inside the session made by tools/wine-session.sh
# (its own WINEPREFIX, HOME, display and wineserver). Used as CTest's emulator.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [[ -z "${VX_WINE_SESSION:-}" ]]; then
  echo "wine-run: no Wine session; run through tools/wine-session.sh (./vx test does)" >&2
  exit 2
fi
exec "$VX_WINE" "$@"
