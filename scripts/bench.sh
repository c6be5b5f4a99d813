#!/usr/bin/env bash
# Builds Telvane and measures it under Wine on a headless X display, each figure beside
# a baseline measured in the same run, and prints one table:
#   rate     10 MB floods in ASCII, Advanced and Binary (random bytes) until the last
#            bytes are in the transcript, against the same window whose reads are thrown
#            away; with Wine's theme off, plus key, timer and message probes
#   theme    the same floods with Wine's default theme on (restored to off afterwards),
#            with the probes too
#   burst    64 MB that ends with the peer closing: until the close line is shown, and
#            the longest time the window took to answer another thread meanwhile
#   send     lines sent for 5 s to a peer that reads nothing: the longest answer time
#   startup  process start to a visible window, Telvane against a program that shows the
#            same window and controls and does nothing else, and against a bare window
#   udp      50-byte datagrams from a native peer, as fast as loopback takes them and
#            paced, against the same window whose reads are thrown away
#   scripts/bench.sh [rate|theme|burst|send|startup|udp ...] [xvfb|null ...]
# All parts when none is named. The stream parts (rate, theme, burst, udp) run once per
# display named, both when none is: on Xvfb, where drawing costs what it costs, and on
# Wine's null driver, which draws nothing. Send and start-up run on Xvfb only.
# Like the tests, it runs in a network namespace with only loopback where it may (root).
# Benchmarks print figures; they assert nothing about timing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ -z "${TELVANE_IN_XVFB:-}" ]; then
  "$TELVANE_ROOT/scripts/setup.sh" >/dev/null
  wineserver -k 2>/dev/null || true
  export TELVANE_IN_XVFB=1
  inner=(xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@")
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    exec unshare -n bash -c 'ip link set lo up && exec "$@"' bash "${inner[@]}"
  fi
  exec "${inner[@]}"
fi

parts=() displays=()
for word in "$@"; do
  case $word in
    xvfb | null) displays+=("$word") ;;
    *) parts+=("$word") ;;
  esac
done
((${#parts[@]})) || parts=(rate theme burst send startup udp)
((${#displays[@]})) || displays=(xvfb null)
wants() { [[ " ${parts[*]} " == *" $1 "* ]]; }

bin="$TELVANE_BUILD/bin"
log="$TELVANE_BUILD/bench-last.txt"  # every figure of the last run, as the programs print them
: >"$log"
theme_key='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
set_theme() { wine reg add "$theme_key" /v ThemeActive /t REG_SZ /d "$1" /f >/dev/null 2>&1; }
drivers_key='HKCU\Software\Wine\Drivers'
start_server() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
# Wine picks its display driver when its desktop starts: switch, then a fresh server.
driver=unknown  # the Graphics value the prefix holds now, "" for none (X11)
set_driver() {
  [ "$1" != "$driver" ] || return 0
  if [ -z "$1" ]; then
    wine reg delete "$drivers_key" /v Graphics /f >/dev/null 2>&1 || true
  else
    wine reg add "$drivers_key" /v Graphics /t REG_SZ /d "$1" /f >/dev/null 2>&1
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  start_server
  driver=$1
}
finish() {
  set_theme 0 || true  # the project's prefix runs with the theme off
  set_driver "$driver_before" || true
  wineserver -k 2>/dev/null || true
}

start_server
driver_before=$(wine reg query "$drivers_key" /v Graphics 2>/dev/null | tr -d '\r' |
  awk '$1 == "Graphics" { print $3 }') || true
driver=$driver_before
trap finish EXIT
set_theme 0

failures=0
out="$TELVANE_BUILD/bench-one.txt"
# Every figures line is marked with the display it was measured on.
tagged() { sed "s/^@ [^ ]*/& display=$display/" "$out" >>"$log"; }
run() {
  echo "bench ($display): $*" >&2
  wine "$bin/telvane_bench.exe" "$@" >"$out" || failures=$((failures + 1))
  tagged
}
floods() {  # theme name, extra arguments for Telvane's runs
  local theme=$1 mode
  shift
  for mode in ascii advanced binary; do
    run rate "$mode" --baseline --floods 9 --theme "$theme"
    run rate "$mode" --theme "$theme" "$@"
  done
}

streams() {  # the parts that run on every display
  if wants rate; then floods off --floods 9 --probes; fi
  if wants burst; then
    run burst --baseline
    run burst
  fi
  if wants udp; then
    # The peer is native (Python), as a real one would be: under Wine it could not send
    # as fast as loopback takes datagrams.
    exec 3< <(exec python3 "$TELVANE_ROOT/scripts/udp_peer.py")
    read -r udp_port <&3
    udp() { run udp "$@" --port "$udp_port"; }
    for round in 1 2 3; do
      udp ascii --datagrams 300000 --baseline
      udp ascii --datagrams 300000
    done
    udp binary --datagrams 300000 --baseline
    udp binary --datagrams 300000
    for pace in 2000 5000 10000 20000; do
      udp ascii --datagrams $((pace * 2)) --pace "$pace" --baseline
      udp ascii --datagrams $((pace * 2)) --pace "$pace"
    done
    python3 - "$udp_port" <<'PY'
import socket, sys
socket.socket(socket.AF_INET, socket.SOCK_DGRAM).sendto(b"quit", ("127.0.0.1", int(sys.argv[1])))
PY
  fi
  if wants theme; then
    # Wine's default theme ("Light", named by the prefix's DllName) is on for processes that
    # start now: it draws the scroll bars and the status bar (checked on a screenshot).
    set_theme 1
    floods on --floods 9 --probes
    set_theme 0
  fi
}

for display in "${displays[@]}"; do
  if [ "$display" = null ]; then set_driver null; else set_driver ""; fi
  streams
  if [ "$display" = xvfb ]; then
    if wants send; then
      run stalled-send --baseline
      run stalled-send
    fi
    if wants startup; then
      echo "bench ($display): startup" >&2
      wine "$bin/telvane_startup.exe" --runs 11 "$bin/telvane.exe" "$bin/controls_window.exe" \
        "$bin/bare_window.exe" >"$out" ||
        failures=$((failures + 1))
      tagged
    fi
  fi
done

python3 "$TELVANE_ROOT/scripts/bench_table.py" "$log"
exit $((failures > 0))
