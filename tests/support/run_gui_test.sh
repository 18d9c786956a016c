#!/usr/bin/env bash
# Runs one GUI test executable on a private Xvfb display with a private home,
# so that the engine's profile, the desktop settings and the user's own
# display (whatever DISPLAY or WAYLAND_DISPLAY say) are never touched.
# However this script ends, even by SIGKILL at a time-out, the display and
# the test end with it (the parent-death signal binds them to it) and the
# home is removed.
set -euo pipefail
home=$(mktemp -d /tmp/quorvane-test-home.XXXXXX)
# The remover is no child of this script, so that a kill of the script and
# all its children does not reach it: it waits for the script's end, however
# that comes, then for the display's end, removes the display's socket when
# the display could not (no lock of a server holds its number), and the home.
remover='
tail --pid="$1" -s 0.2 -f /dev/null
if read -r xvfb number <"$0/xvfb" 2>/dev/null; then
    tail --pid="$xvfb" -s 0.2 -f /dev/null
    [ -e "/tmp/.X$number-lock" ] || rm -f -- "/tmp/.X11-unix/X$number"
fi
rm -rf -- "$0"'
setsid -f bash -c "$remover" "$home" "$$" </dev/null >/dev/null 2>&1
trap 'rm -rf -- "$home"' EXIT
trap 'exit 143' TERM INT

export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
       XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" \
       TMPDIR="$home/tmp"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY XAUTHORITY
export QTWEBENGINE_DISABLE_SANDBOX=1 QT_QPA_PLATFORM=xcb

# Xvfb picks a free display number and writes it when it accepts clients.
mkfifo "$home/display"
setpriv --pdeathsig TERM -- Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp \
    3>"$home/display" 2>"$home/xvfb.log" &
read -r number <"$home/display" || { cat "$home/xvfb.log" >&2; exit 1; }
echo "$! $number" >"$home/xvfb"
export DISPLAY=":$number"

setpriv --pdeathsig KILL -- "$@" &
# Not exec, and the test waited for in the background: a TERM reaches the
# trap at once, and the bound processes end with this script.
wait $!
