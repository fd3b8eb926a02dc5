#!/usr/bin/env bash
# Central monitoring on one machine: a mosquitto broker of its own on
# 127.0.0.1, a simulated RS485 network of three GX520s, and gxctl serve
# publishing them; the topics are shown with mosquitto_sub -v. Lines typed
# (or piped) in are the simulator's run-time commands, e.g.
#   node 2 fault 17 shutdown     node 2 reset     node 3 off     node 1 remote on
# Ctrl-D or Ctrl-C ends the demo and stops everything it started.
#
#   BROKER_PORT   the broker's port (default 18883)
#   SERVE_ARGS    more options for gxctl serve, e.g. "--commands start,stop,reset"
#   TOPICS        what mosquitto_sub shows (default "gx520/#"; "#" adds the
#                 Home Assistant discovery configs)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja > /dev/null
cmake --build build -j"$(nproc)" --target gxsim gxctl > /dev/null

port=${BROKER_PORT:-18883}
work=$(mktemp -d)
pids=()
cleanup() {
  trap - EXIT INT TERM
  # The service first, so its "offline" reaches the broker and the subscriber.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2> /dev/null || true
    wait "${pids[$i]}" 2> /dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$port" > "$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" > "$work/mosquitto.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  mosquitto_pub -p "$port" -t gx520-demo/ping -n 2> /dev/null && break
  sleep 0.1
done

mosquitto_sub -p "$port" -v -t "${TOPICS:-gx520/#}" &
sub_pid=$!

coproc SIM { exec build/gxsim --nodes 1,2,3; }
pids+=($SIM_PID)
read -r -t 10 pty <&"${SIM[0]}"

# shellcheck disable=SC2086
build/gxctl --port "$pty" serve --nodes 1-3 --broker "mqtt://127.0.0.1:$port" ${SERVE_ARGS:-} 2> "$work/serve.log" &
serve_pid=$!
pids+=($serve_pid $sub_pid)
echo "broker on 127.0.0.1:$port, simulator on $pty, gxctl serve (its log: $work/serve.log)" >&2
echo "type simulator commands (node 2 fault 17 shutdown, node 3 off, ...); Ctrl-D ends" >&2

while read -r line; do
  echo "$line" >&"${SIM[1]}"
  read -r -t 5 answer <&"${SIM[0]}" && echo "gxsim: $answer" >&2
done
# The service ends first, and says so.
kill "$serve_pid" 2> /dev/null || true
wait "$serve_pid" 2> /dev/null || true
sed 's/^/  /' "$work/serve.log" >&2
sleep 0.5
