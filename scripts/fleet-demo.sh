#!/usr/bin/env bash
# The fleet board on one machine: a broker of its own on 127.0.0.1 (port
# 18884), a simulated network of three GX520s behind gxctl serve (commands
# start, stop and reset allowed), two more sites as their services leave them
# on the broker (Harbour running, Quarry_east whose service has stopped), a
# service reminder that has come due, and the program showing the board, its
# settings and data in a temporary folder (yours are left alone; its own line
# is a second simulator). Lines typed in go to the network's simulator
# ("node 2 fault 17 shutdown", "node 3 off", ...); Ctrl-D ends.
#
#   scripts/fleet-demo.sh                       (the programs in build/)
#   SHOT=docs/fleet.png scripts/fleet-demo.sh   under Xvfb: a fault comes, the board is pictured
#   (SHOT_REMOTE=docs/fleet-remote.png as well: then the remote view of a node running on load)
set -euo pipefail
here=$(pwd)
cd "$(dirname "$0")/.."
build=$(cd "${BUILD:-build}" && pwd)
port=${PORT:-18884}
tmp=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

mosquitto -p "$port" > "$tmp/broker.log" 2>&1 & pids+=($!)
sleep 0.5
mkfifo "$tmp/sim.in"
"$build/gxsim" --nodes 1,2,3 --run "node 1 remote on" --run "node 2 hours 2480.4" --run "node 3 hours 5120.2" \
  < "$tmp/sim.in" > "$tmp/sim.out" 2> "$tmp/sim.err" & pids+=($!)
exec 7> "$tmp/sim.in"
mkfifo "$tmp/own.in"  # a simulator ends at the end of its input
"$build/gxsim" < "$tmp/own.in" > "$tmp/own.out" 2>&1 & pids+=($!)
exec 8> "$tmp/own.in"
for i in $(seq 50); do [ -s "$tmp/sim.out" ] && [ -s "$tmp/own.out" ] && break; sleep 0.1; done
"$build/gxctl" --port "$(head -1 "$tmp/sim.out")" serve --nodes 1-3 --broker "mqtt://127.0.0.1:$port" \
  --commands start,stop,reset --no-discovery 2> "$tmp/serve.log" & pids+=($!)

# Two more sites, as their services would have left them (retained).
pub() { mosquitto_pub -p "$port" -r -q 1 -t "gx520/$1" -m "$2"; }
state() {  # site node state text amps volts oil temp battery rpm hours lcd-top lcd-bottom
  printf '{"amps":[%s,%s,%s],"battery_v":%s,"engine_speed_rpm":%s,"engine_temperature_c":%s,"fault":"","fault_code":0,' "$5" "$5" "$5" "$9" "${10}" "$8"
  printf '"frequency_hz":%s,"hours_run":%s,"lcd":["%s","%s"],"mode":"AUTO","oil_pressure_psi":%s,"state":%s,' "$([ "${10}" -gt 0 ] && echo 50 || echo 0)" "${11}" "${12}" "${13}" "$7" "$3"
  printf '"state_text":"%s","time":"%s","volts":[%s,%s,%s]}' "$4" "$(date -Iseconds)" "$6" "$6" "$6"
}
info() { printf '{"commands":[],"firmware":"%s","model":"%s","site_name":"%s","unit_id":"%s V%s"}' "$3" "$2" "$1" "$2" "$3"; }
pub Harbour/status online
for n in 1 2; do pub "Harbour/$n/availability" online; pub "Harbour/$n/info" "$(info Harbour GX520 2.01)"; done
pub Harbour/1/state "$(state Harbour 1 4 'Running on load' 42 231 52 81 13.6 1500 8812.3 'AUTO On load' '231V   42A  50HZ')"
pub Harbour/2/state "$(state Harbour 2 3 'Running off load' 0 230 55 76 13.7 1500 3120.8 'AUTO Off load' '230V    0A  50HZ')"
pub Quarry_east/0/availability online
pub Quarry_east/0/info "$(info 'Quarry east' GX510 2.00)"
pub Quarry_east/0/state "$(state Quarry_east 0 0 Stopped 0 0 0 31 12.6 0 1904.7 'AUTO Standby' 'Battery  12.6 V')"
pub Quarry_east/status offline

# The program: its own line the second simulator, the board on the broker, a reminder due.
mkdir -p "$tmp/config/GX520" "$tmp/home/.local/share/GX520"
cat > "$tmp/config/GX520/GX520.ini" <<EOF
[Settings]
use=local
CurrentPort=1
Screen%20width=16500
Screen%20height=11000

[Ports]
COM1=$(head -1 "$tmp/own.out")

[Fleet]
Broker=mqtt://127.0.0.1:$port
EOF
cat > "$tmp/home/.local/share/GX520/service-reminders.json" <<EOF
{"reminders": [{"site": "Sim_site_1", "node": 3, "interval_h": 250, "last_service_h": 4850},
               {"site": "Harbour", "node": 1, "interval_h": 500, "last_service_h": 8500}]}
EOF
run() { (cd "$build/data" && HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/config" "$@"); }

if [ -n "${SHOT:-}" ]; then
  display=:$((90 + RANDOM % 9))
  Xvfb "$display" -screen 0 1280x900x24 > /dev/null 2>&1 & pids+=($!)
  sleep 1
  export DISPLAY=$display
  run "$build/gx520" > "$tmp/gx520.log" 2>&1 & pids+=($!)
  for i in $(seq 50); do xdotool search --name "GX510-520 Program" > /dev/null 2>&1 && break; sleep 0.2; done
  sleep 3
  window=$(xdotool search --name "GX510-520 Program" | head -1)
  xdotool mousemove --window "$window" 70 220 click 1   # Quick Launch > Fleet
  sleep 2
  echo "node 2 fault 17 shutdown" >&7
  sleep 12  # the alert's notice in the status window (no tray here) has gone
  xdotool mousemove --window "$window" 60 205 click 1   # a row, for its service reminder
  sleep 1
  case "$SHOT" in /*) ;; *) SHOT="$here/$SHOT" ;; esac
  import -window "$window" "$SHOT"
  echo "the board: $SHOT"
  if [ -n "${SHOT_REMOTE:-}" ]; then
    xdotool mousemove --window "$window" 60 265 click --repeat 2 --delay 100 1   # the remote view of a row
    sleep 2
    case "$SHOT_REMOTE" in /*) ;; *) SHOT_REMOTE="$here/$SHOT_REMOTE" ;; esac
    import -window "$window" "$SHOT_REMOTE"
    echo "a remote view: $SHOT_REMOTE"
  fi
  exit 0
fi
run "$build/gx520" > "$tmp/gx520.log" 2>&1 & pids+=($!)
echo "broker on 127.0.0.1:$port; View > Fleet shows the board; type simulator commands (node 2 fault 17 shutdown, node 3 off, ...); Ctrl-D ends"
while IFS= read -r line; do echo "$line" >&7; done
