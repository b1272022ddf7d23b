#!/usr/bin/env bash
# Starts the program offscreen in a private home, lets it play for a moment,
# asks it to close as a desktop session would, and expects a clean exit that
# saved the settings and the workspace. With --early the signal comes while
# the windows are being made: as soon as the main window has made the user
# data folder.
set -u
early=0
if [ "$1" = "--early" ]; then early=1; shift; fi
program=$1
shift
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
QT_QPA_PLATFORM=offscreen "$program" "$@" &
pid=$!
if [ $early -eq 1 ]; then
  for _ in $(seq 1 3000); do
    [ -d "$XDG_DATA_HOME/orvane" ] && break
    sleep 0.01
  done
else
  sleep 3
fi
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid"
  echo "the program ended by itself (exit $?)"
  exit 1
fi
kill -TERM "$pid"
wait "$pid"
rc=$?
[ -d "$XDG_DATA_HOME/orvane" ] || { echo "no user data folder was made"; exit 1; }
# Closing saved the settings and the workspace.
grep -q '^BufferLength=10' "$XDG_DATA_HOME/orvane/orvane.ini" || { echo "no settings file was written"; exit 1; }
grep -q '^GroupIndex32=1' "$XDG_DATA_HOME/orvane/default.owk" || { echo "no workspace was written"; exit 1; }
echo "exit code $rc"
exit "$rc"
