#!/usr/bin/env bash
# Builds the program and starts it. When the controller simulator is built, a
# simulated GX520 is started on a pseudo-terminal as COM1 and the program is set
# to use it. The demo keeps its settings in build/demo-config, so a user's own
# settings are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja > /dev/null
cmake --build build -j"$(nproc)" --target gx520 $(grep -q 'add_executable(gxsim' tools/gxsim/CMakeLists.txt 2>/dev/null && echo gxsim)

export XDG_CONFIG_HOME="$PWD/build/demo-config"
ini="$XDG_CONFIG_HOME/GX520/GX520.ini"
if [ ! -f "$ini" ]; then
  mkdir -p "$(dirname "$ini")"
  printf '[Settings]\nuse=local\nCurrentPort=1\nCurrentModemPort=0\n' > "$ini"
fi

sim_pid=""
cleanup() { if [ -n "$sim_pid" ]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi; }
trap cleanup EXIT INT TERM

if [ -x build/gxsim ]; then
  # Its standard input stays open for run-time commands; its first line is the pty.
  coproc SIM { exec build/gxsim --com 1 ${GXSIM_ARGS:-}; }
  sim_pid=$SIM_PID
  read -r -t 10 pty <&"${SIM[0]}"
  echo "Simulated controller on $pty (COM1); stop the program to stop it."
fi

cd build && ./gx520
