#!/usr/bin/env bash
# Builds Telvane and measures it under Wine on a headless X display, each figure beside
# a baseline measured in the same run, and prints one table:
#   rate     10 MB floods in ASCII, Advanced and Binary (random bytes) until the last
#            bytes are in the transcript, against the same window whose reads are thrown
#            away, plus key, timer and message probes
#   burst    64 MB that ends with the peer closing: until the close line is shown, and
#            the longest time the window took to answer another thread meanwhile
#   send     lines sent for 5 s to a peer that reads nothing: the longest answer time
#   startup  process start to a visible window, Telvane against a program that shows the
#            same window and controls and does nothing else, and against a bare window
#   udp      50-byte datagrams from a native peer, as fast as loopback takes them and
#            paced for 5 s, against the same window whose reads are thrown away
#   theme    short for "rate on": the floods with Wine's theme on only
#
#   scripts/bench.sh [PART ...] [xvfb|null ...] [off|on ...]
#   scripts/bench.sh compare [REV] [PART ...] [xvfb|null ...] [off|on ...] [--rounds N]
#
# All parts when none is named. The stream parts (rate, burst, udp) run once per display
# named, both when none is: on Xvfb, where drawing costs what it costs, and on Wine's null
# driver, which draws nothing; send and start-up on Xvfb only. Every part runs with Wine's
# theme off and on (as a fresh Wine prefix has it and as Windows draws), or as named.
# Each combination of display and theme has a Wine prefix of its own.
#
# compare builds REV (origin/main where there is one, else main) in a git worktree in
# build/compare-old with its own benchmarks and scripts, runs REV's and this working
# tree's benchmarks in turns, N rounds (5), and prints per figure both medians, the
# range of REV's and a mark where this tree's median falls outside it on the worse side.
# Raw figures: build/bench-last.txt (the last run), build/bench-compare.txt (compare).
#
# Like the tests, it runs in a network namespace with only loopback where it may (root).
# Benchmarks print figures; they assert nothing about timing.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

usage() {
  sed -n '/^#   scripts\/bench.sh/p' "$0" | sed 's/^#  //' >&2
  exit 2
}

all_parts=(rate burst send startup udp)
args=("$@")
parts=() displays=() themes=() themed_rate=0 compare=0 rev="" rounds=5
[ "${1:-}" != compare ] || { compare=1 && shift; }
inside=0
[ "${1:-}" != --inside ] || { inside=1 && shift; }
while (($#)); do
  case $1 in
    rate | burst | send | startup | udp) parts+=("$1") ;;
    theme) themed_rate=1 ;;
    xvfb | null) displays+=("$1") ;;
    off | on) themes+=("$1") ;;
    --rounds) rounds=${2:-}; shift ;;
    --rounds=*) rounds=${1#--rounds=} ;;
    *)
      if ((compare)) && [ -z "$rev" ] && ((${#parts[@]} + ${#displays[@]} + ${#themes[@]} + themed_rate == 0)); then
        rev=$1
      else
        usage
      fi
      ;;
  esac
  shift
done
[[ "$rounds" =~ ^[1-9][0-9]*$ ]] || usage
words=("${parts[@]}" "${displays[@]}" "${themes[@]}")
((themed_rate == 0)) || words+=(theme)
((${#parts[@]} + themed_rate)) || parts=("${all_parts[@]}")
((${#displays[@]})) || displays=(xvfb null)
((${#themes[@]})) || themes=(off on)

wants() {  # part theme
  [[ " ${parts[*]} " == *" $1 "* && " ${themes[*]} " == *" $2 "* ]] ||
    [ "$themed_rate$1$2" = 1rateon ]
}
on_display() {  # part display: where each part runs
  case $1 in send | startup) [ "$2" = xvfb ] ;; *) true ;; esac
}
role() { echo "bench-$1$([ "$2" = off ] || echo -themed)"; }  # display theme
# The combinations of display and theme that some part wants, as "display theme".
combinations() {
  local display theme part
  for display in "${displays[@]}"; do
    for theme in off on; do
      for part in "${all_parts[@]}"; do
        if on_display "$part" "$display" && wants "$part" "$theme"; then
          echo "$display $theme"
          break
        fi
      done
    done
  done
}

# Old and new build, in turns.
compare_builds() {
  if [ -z "$rev" ]; then
    rev=main
    git -C "$TELVANE_ROOT" rev-parse -q --verify origin/main >/dev/null && rev=origin/main
  fi
  local sha old raw="$TELVANE_BUILD/bench-compare.txt" log="$TELVANE_BUILD/bench-compare.log"
  sha=$(git -C "$TELVANE_ROOT" rev-parse --verify "$rev^{commit}")
  old="$TELVANE_BUILD/compare-old"
  mkdir -p "$TELVANE_BUILD"
  if [ -e "$old/.git" ]; then
    git -C "$old" checkout -q -f --detach "$sha"
  else
    git -C "$TELVANE_ROOT" worktree add -q -f --detach "$old" "$sha"
  fi
  # REV's own harness, in prefixes of its own. One from before the theme words ran the
  # theme-on floods as "theme" and everything else with the theme off only.
  local old_words=("${words[@]}")
  if ! grep -q -- '--rounds' "$old/scripts/bench.sh"; then
    old_words=()
    local part display
    for part in "${parts[@]}"; do
      if [[ " ${themes[*]} " == *" off "* ]]; then old_words+=("$part"); fi
    done
    if wants rate on && [[ " ${old_words[*]} " != *" theme "* ]]; then old_words+=(theme); fi
    ((${#old_words[@]})) || {
      echo "bench compare: $rev's benchmarks measure none of these with the theme off" >&2
      exit 2
    }
    for display in "${displays[@]}"; do old_words+=("$display"); done
  fi
  old_bench() {
    (cd "$old" && env -u TELVANE_BUILD_DIR TELVANE_WINEPREFIX="$TELVANE_PREFIXES-old" "$@")
  }

  : >"$log"
  echo "bench compare: building $rev ($(git -C "$old" log -1 --format='%h %s' | cut -c1-60)) in $old" >&2
  if ! old_bench scripts/setup.sh "$(role "${displays[0]}" "${themes[0]}")" >>"$log" 2>&1; then
    echo "bench compare: $rev did not build; see $log" >&2
    exit 1
  fi
  echo "bench compare: building the working tree" >&2
  "$TELVANE_ROOT/scripts/setup.sh" "$(role "${displays[0]}" "${themes[0]}")" >>"$log" 2>&1 || {
    echo "bench compare: the working tree did not build; see $log" >&2
    exit 1
  }
  {
    echo "# compare $rev ($sha) against $(git -C "$TELVANE_ROOT" describe --always --dirty)"
    echo "# words: ${words[*]:-(all)}; old words: ${old_words[*]}; $(date -u +%FT%TZ)"
  } >"$raw"

  local round build failures=0 began
  for round in $(seq "$rounds"); do
    # Alternate which goes first, so that neither always meets a cooler machine.
    local order=(old new)
    ((round % 2)) || order=(new old)
    for build in "${order[@]}"; do
      began=$SECONDS
      local last="$TELVANE_BUILD/bench-last.txt" status=0
      [ "$build" = new ] || last="$old/build/bench-last.txt"
      rm -f "$last"
      echo "== round $round, $build" >>"$log"
      if [ "$build" = old ]; then
        old_bench scripts/bench.sh "${old_words[@]}" >>"$log" 2>&1 || status=$?
      else
        "$TELVANE_ROOT/scripts/bench.sh" "${words[@]}" >>"$log" 2>&1 || status=$?
      fi
      [ "$status" -eq 0 ] || failures=$((failures + 1))
      if [ -f "$last" ]; then
        sed -n "s/^@ [^ ]*/& build=$build round=$round/p" "$last" >>"$raw"
      fi
      echo "bench compare: round $round/$rounds, $build: $((SECONDS - began)) s$(
        [ "$status" -eq 0 ] || echo ", FAILED (see $log)")" >&2
    done
  done
  python3 "$TELVANE_ROOT/scripts/bench_table.py" --compare "$raw" "$rev"
  exit $((failures > 0))
}

if ((compare)); then compare_builds; fi

if ((!inside)); then
  roles=()
  while read -r display theme; do roles+=("$(role "$display" "$theme")"); done < <(combinations)
  "$TELVANE_ROOT/scripts/setup.sh" "${roles[@]}" >/dev/null
  loopback_only with_display 1280x1024 "$0" --inside "${args[@]}"
  exit
fi

bin="$TELVANE_BUILD/bin"
log="$TELVANE_BUILD/bench-last.txt"  # every figure of the last run, as the programs print them
: >"$log"
failures=0
out="$TELVANE_BUILD/bench-one.txt"
# Every figures line is marked with the display and theme it was measured with.
tagged() {
  sed -e "s/^@ [^ ]*/& display=$display/" -e "/^@.* theme=/!s/^@ [^ ]*/& theme=$theme/" \
    "$out" >>"$log"
}
run() {
  echo "bench ($display, theme $theme): $*" >&2
  local status=0
  wine "$bin/telvane_bench.exe" "$@" >"$out" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "bench ($display, theme $theme): $* ended with $status" >&2
    failures=$((failures + 1))
  fi
  tagged
}

measure() {  # the parts wanted with this display and theme
  if wants rate "$theme"; then
    local mode
    for mode in ascii advanced binary; do
      run rate "$mode" --baseline --floods 9 --theme "$theme"
      run rate "$mode" --theme "$theme" --floods 9 --probes
    done
  fi
  if wants burst "$theme"; then
    run burst --baseline
    run burst
  fi
  if wants udp "$theme"; then
    # The peer is native (Python), as a real one would be: under Wine it could not send
    # as fast as loopback takes datagrams.
    start_peer "$TELVANE_ROOT/scripts/udp_peer.py"
    udp() { run udp "$@" --port "$peer_port"; }
    local round pace
    for round in 1 2 3; do
      udp ascii --datagrams 300000 --baseline
      udp ascii --datagrams 300000
    done
    udp binary --datagrams 300000 --baseline
    udp binary --datagrams 300000
    # 5 s, so that the socket's 4 MB buffer (about 28,000 of these datagrams) cannot
    # hide the rate the reader keeps.
    for pace in 2000 5000 10000 20000; do
      udp ascii --datagrams $((pace * 5)) --pace "$pace" --baseline
      udp ascii --datagrams $((pace * 5)) --pace "$pace"
    done
    stop_peer
  fi
  if [ "$display" = xvfb ] && wants send "$theme"; then
    run stalled-send --baseline
    run stalled-send
  fi
  if [ "$display" = xvfb ] && wants startup "$theme"; then
    echo "bench ($display, theme $theme): startup" >&2
    wine "$bin/telvane_startup.exe" --runs 11 "$bin/telvane.exe" "$bin/controls_window.exe" \
      "$bin/bare_window.exe" >"$out" ||
      failures=$((failures + 1))
    tagged
  fi
}

# The programs' input is not the list.
while read -r display theme <&4; do
  use_prefix "$(role "$display" "$theme")"
  start_wineserver
  measure
  stop_wineserver
done 4< <(combinations)

python3 "$TELVANE_ROOT/scripts/bench_table.py" "$log"
echo "bench: $SECONDS s; raw figures in $log"
exit $((failures > 0))
