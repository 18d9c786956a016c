#!/usr/bin/env bash
# Runs one GUI test executable on a private Xvfb display with a private home,
# so that the engine's profile and the desktop settings are never the user's.
set -euo pipefail
home=$(mktemp -d /tmp/quorvane-test-home.XXXXXX)
trap 'rm -rf "$home"' EXIT
trap 'exit 143' TERM INT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
       XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" \
       TMPDIR="$home/tmp"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QTWEBENGINE_DISABLE_SANDBOX=1 QT_QPA_PLATFORM=xcb
# Not exec: the trap must run to remove the home when the test ends.
status=0
xvfb-run -a -s "-screen 0 1600x1000x24 -nolisten tcp" "$@" || status=$?
exit "$status"
