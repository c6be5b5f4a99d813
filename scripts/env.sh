# Sourced by the scripts: where the build and the Wine prefixes live, and the steps they
# all take (a virtual display, a network with only loopback, a wineserver, a peer).
TELVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TELVANE_BUILD="${TELVANE_BUILD_DIR:-$TELVANE_ROOT/build}"
# Each script runs Wine in prefixes of its own, named after this base ("-tests",
# "-bench-null", ...), so that none stops a wineserver or changes a registry that
# another script, running at the same time, is using.
TELVANE_PREFIXES="${TELVANE_WINEPREFIX:-$HOME/.cache/telvane/wine64}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

telvane_prefix() { echo "$TELVANE_PREFIXES-$1"; }

# What each prefix holds besides a bare wineboot's, as "theme driver managed": the theme as
# "1" (a fresh prefix's, and the way Windows draws) or "0"; the display driver ("x11" or
# "null", which draws nothing); "N" where no window manager runs, so that windows close
# without Wine's 2 s wait for one. "plain" is the bare wineboot, as a user who unzips the
# release has it; the others are copies of it with Wine's fonts added.
prefix_settings() {
  case $1 in
    plain) echo "- - -" ;;
    tests | run | screenshot | bench-xvfb) echo "0 x11 N" ;;
    tests-themed | bench-xvfb-themed) echo "1 x11 N" ;;
    bench-null) echo "0 null N" ;;
    bench-null-themed) echo "1 null N" ;;
    *) return 1 ;;
  esac
}

# Makes the prefix of a role unless it is there with the settings it should have. Only
# its own wineserver runs meanwhile, and only outside any virtual display.
make_prefix() {
  local role=$1 prefix settings lock
  prefix=$(telvane_prefix "$role")
  settings=$(prefix_settings "$role") || {
    echo "no Wine prefix is called $role" >&2
    return 2
  }
  [ "$(cat "$prefix/.telvane-ready" 2>/dev/null)" != "$settings" ] || return 0
  if [ "$role" != plain ]; then make_prefix plain || return; fi
  mkdir -p "$(dirname "$prefix")"
  exec {lock}>"$TELVANE_PREFIXES.lock"
  flock "$lock"
  if [ "$(cat "$prefix/.telvane-ready" 2>/dev/null)" != "$settings" ]; then
    echo "setup: making the Wine prefix $prefix" >&2
    rm -rf "$prefix"
    if [ "$role" = plain ]; then
      mkdir -p "$prefix"
      WINEPREFIX=$prefix wineboot -i >/dev/null 2>&1 </dev/null || true
      WINEPREFIX=$prefix wineserver -w
      # A crash must fail, not wait for someone to close a dialog.
      prefix_reg "$prefix" 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
    else
      copy_prefix "$(telvane_prefix plain)" "$prefix"
      cp --remove-destination /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
      local theme driver managed
      read -r theme driver managed <<<"$settings"
      prefix_reg "$prefix" 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        ThemeActive REG_SZ "$theme"
      # Wine picks its display driver when the prefix's desktop starts.
      if [ "$driver" = null ]; then
        prefix_reg "$prefix" 'HKCU\Software\Wine\Drivers' Graphics REG_SZ null
      fi
      if [ "$managed" = N ]; then
        prefix_reg "$prefix" 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
      fi
    fi
    WINEPREFIX=$prefix wineserver -w
    echo "$settings" >"$prefix/.telvane-ready"
  fi
  exec {lock}>&-
}

# A fresh copy's first start can fail once (seen under load): try again before giving up.
prefix_reg() {
  local try
  for try in 1 2 3; do
    WINEPREFIX=$1 wine reg add "$2" /v "$3" /t "$4" /d "$5" /f >/dev/null 2>&1 </dev/null && return 0
    WINEPREFIX=$1 wineserver -w 2>/dev/null || true
    sleep 1
  done
  echo "setup: could not set $2\\$3 in the Wine prefix $1" >&2
  return 1
}

# Wine installs the same libraries into every prefix and only reads them, so a copy links
# them (the prefixes are 700 MB each) and copies what Wine writes: the registry, ini files.
copy_prefix() {
  local from=$1 to=$2 file
  mkdir -p "$to"
  cp -a --link "$from/." "$to/"
  # Debian's Wine names the folder of the prefix's server in this file: one each.
  rm -f "$to/.telvane-ready" "$to/wineserver"
  (cd "$from" && find . -type f ! -path ./wineserver ! -path ./.telvane-ready \
    ! -regex '.*\.\(dll\|exe\|nls\|sys\|drv\|ocx\|cpl\|acm\|tlb\|ax\|ds\|com\|msstyles\|ttf\)' \
    -print0) |
    while IFS= read -r -d '' file; do
      cp -p --remove-destination "$from/$file" "$to/$file"
    done
}

use_prefix() { export WINEPREFIX; WINEPREFIX=$(telvane_prefix "$1"); }

# A persistent wineserver for the prefix in use, started here: Winsock's sockets live in
# the server, so it must run in the network it is to use. A server of this prefix left by
# an earlier run may sit in another network, so that one goes first.
start_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  # The prefix's background services, started now and detached: otherwise they inherit
  # the output pipe of whatever runs next, which then waits on them for ever.
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
stop_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# Runs the command (a function of this file too) in a network namespace of its own that
# has only loopback, where it may (root); elsewhere as it is.
loopback_only() {
  if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    unshare -n bash -c 'ip link set lo up && source "$0" && "$@"' "${BASH_SOURCE[0]}" "$@"
  else
    "$@"
  fi
}

# Runs the command on a virtual X display of its own (WIDTHxHEIGHT). The X server picks a
# free display number itself, so that scripts started together never race for one.
with_display() {
  local size=$1 dir xvfb status=0 number=""
  shift
  dir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
  xvfb=$!
  for _ in $(seq 200); do
    number=$(sed -n '1{/^[0-9][0-9]*$/p}' "$dir/display")
    [ -z "$number" ] && kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$number" ]; then
    echo "no virtual X display:" >&2
    cat "$dir/log" >&2
    kill "$xvfb" 2>/dev/null
    rm -rf "$dir"
    return 1
  fi
  DISPLAY=":$number" "$@" || status=$?
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$dir"
  return "$status"
}

# Starts a native peer on loopback: a Python script that prints its port as its first
# line. Sets peer_port and peer_pid; stop_peer ends it.
start_peer() {
  exec {peer_out}< <(exec python3 "$@")
  peer_pid=$!
  peer_port=""
  read -r -t 10 peer_port <&"$peer_out" || true
  if [ -z "$peer_port" ]; then
    echo "the peer $1 did not start" >&2
    stop_peer
    return 1
  fi
}
stop_peer() {
  kill "$peer_pid" 2>/dev/null || true
  exec {peer_out}<&-
}
