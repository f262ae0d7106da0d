#!/bin/bash
# Runs COMMAND with the service emulator (tools/emulator/vxemu.py, default fixtures) listening
# on a free loopback port, its base URL exported as VXTAILCAST_SERVICE_URL. The emulator is
# stopped when the command ends; the exit status is the command's.
#   tools/with-emulator.sh COMMAND [ARGS...]
set -euo pipefail
if [[ $# -eq 0 ]]; then
  echo "usage: with-emulator.sh COMMAND [ARGS...]" >&2
  exit 2
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
workdir=$(mktemp -d "${TMPDIR:-/tmp}/vxemu.XXXXXX")
port_file="$workdir/port"
emulator_pid=""

stop_emulator() {
  if [[ -n "$emulator_pid" ]] && kill -0 "$emulator_pid" 2>/dev/null; then
    kill -TERM "$emulator_pid" 2>/dev/null || true
    for _ in $(seq 50); do  # up to 5 s for a clean exit
      kill -0 "$emulator_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$emulator_pid" 2>/dev/null || true
    wait "$emulator_pid" 2>/dev/null || true
  fi
  rm -rf "$workdir"
}
trap stop_emulator EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

/usr/bin/python3 "$here/emulator/vxemu.py" --port 0 --port-file "$port_file" &
emulator_pid=$!

for _ in $(seq 100); do  # up to 10 s for the port file
  [[ -s "$port_file" ]] && break
  if ! kill -0 "$emulator_pid" 2>/dev/null; then
    status=0
    wait "$emulator_pid" || status=$?
    emulator_pid=""
    echo "with-emulator: the emulator exited with status $status before listening" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ ! -s "$port_file" ]]; then
  echo "with-emulator: the emulator did not start listening within 10 s" >&2
  exit 1
fi

export VXTAILCAST_SERVICE_URL="http://127.0.0.1:$(<"$port_file")"
status=0
"$@" || status=$?
exit "$status"
