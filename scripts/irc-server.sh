#!/usr/bin/env bash
# An IRC server (ngIRCd) of the tests' own that outlives this script, as a CTest fixture starts and
# stops it: irc-server.sh start DIR [generous|default], irc-server.sh stop DIR. DIR holds its
# configuration and log, and the files "port" and "pid" that the tests and "stop" read
# (kelvaron_fixture_irc_port in common.sh). "start" first stops a server that an interrupted run left
# in DIR.
set -euo pipefail
source "$(dirname "$0")/common.sh"
action=$1
dir=$2

# Stops the server of DIR, if one runs: only a process whose command line names DIR's configuration,
# so that a process id used again since is never hit.
stop() {
  local pid
  pid=$(cat "$dir/pid" 2>/dev/null) || return 0
  if tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$dir/ngircd.conf"; then
    kill "$pid"
    local _
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
  fi
  rm -f "$dir/pid" "$dir/port"
}

case $action in
  start)
    limits=${3:-generous}
    stop
    rm -rf "$dir"
    mkdir -p "$dir"
    kelvaron_start_irc_server "$dir" "$limits"
    echo "$KELVARON_IRC_PID" >"$dir/pid"
    echo "$KELVARON_IRC_PORT" >"$dir/port"
    echo "an IRC server with $limits limits on 127.0.0.1:$KELVARON_IRC_PORT" ;;
  stop)
    stop ;;
  *)
    echo "usage: irc-server.sh start DIR [generous|default] | irc-server.sh stop DIR" >&2
    exit 2 ;;
esac
