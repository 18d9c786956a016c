#!/usr/bin/env bash
# The release as a user gets it: the archive CPack makes from this build is
# unpacked, installed per user into a folder whose name needs quoting, its
# menu entry validated and used to start the client (window, icon and class
# checked on the test's display), installed again over changed user files,
# and removed without leaving anything behind.
#   release_test.sh <build folder> <version>
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
client=
cleanup() {
    [ -n "$client" ] && kill "$client" 2>/dev/null && wait "$client" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null
# This build trusts no key: its archive says so.
archive="$work/package/quorvane-$version-unsigned-linux-$(uname -m).tar.gz"
[ -f "$archive" ] || fail "no archive $archive"
tar xzf "$archive" -C "$work"
unpacked="$work/quorvane-$version-unsigned-linux-$(uname -m)"
for file in quorvane libquorvane-client.so libquorvane-updates.so Ruzozudo3 ico/star_full_ico.jpg ico/load.gif icons/quorvane_16.png \
            icons/quorvane_256.png quorvane.desktop.in install.sh uninstall.sh manifest-paths.sh RUNTIME-PACKAGES.txt; do
    [ -f "$unpacked/$file" ] || fail "the archive has no $file"
done
for program in quorvane libquorvane-client.so libquorvane-updates.so; do
    [[ $(readelf -S "$unpacked/$program") == *.symtab* ]] && fail "$program is not stripped"
done
[ "$("$unpacked/quorvane" --version)" = "quorvane $version" ] || fail "--version: $("$unpacked/quorvane" --version)"

# The user's home for the install; the client itself runs with the test's.
user_home="$work/home"
prefix="$work/my \"quorvane\" \$HOME 100%"
installer_env=(env HOME="$user_home" XDG_DATA_HOME="$user_home/.local/share")
"${installer_env[@]}" "$unpacked/install.sh" --prefix "$prefix" >/dev/null
entry="$user_home/.local/share/applications/quorvane.desktop"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
[ -f "$user_home/.local/share/icons/hicolor/48x48/apps/quorvane.png" ] || fail "no 48x48 icon"

# Exec and Path as a desktop reads them: string escapes, then quoting.
mapfile -t command < <(python3 - "$entry" <<'PY'
import re, sys
values = dict(line.rstrip("\n").split("=", 1) for line in open(sys.argv[1], encoding="utf-8") if "=" in line)
unescape = lambda v: re.sub(r"\\(.)", lambda m: {"s": " ", "n": "\n", "t": "\t", "r": "\r"}.get(m[1], m[1]), v)
print(unescape(values["Path"]))
words, word, quoted, chars = [], None, False, iter(unescape(values["Exec"]))
for c in chars:
    if c == " " and not quoted:
        if word is not None: words.append(word)
        word = None
        continue
    word = word or ""
    if c == '"': quoted = not quoted
    elif c == "\\" and quoted: word += next(chars)
    elif c == "%": word += next(chars)  # only "%%" is used
    else: word += c
words.append(word)
print("\n".join(words))
PY
)
[ "${command[0]}" = "$prefix" ] || fail "Path is '${command[0]}'"
[ "${command[1]}" = "$prefix/quorvane" ] || fail "Exec starts '${command[1]}'"
(cd "${command[0]}" && exec "${command[@]:1}") >"$work/client.log" 2>&1 &
client=$!
# The window maps before all its properties are set: wait for the icon too.
# (xprop's output is read whole: "grep -q" would cut it short, and with
# pipefail the cut counts as a failure.)
has_icon() { [[ $(xprop -id "$1" _NET_WM_ICON 2>/dev/null) == *"Icon (64 x 64)"* ]]; }
window=
for _ in $(seq 120); do
    window=$(xdotool search --onlyvisible --class '^Quorvane$' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && has_icon "$window" && break
    sleep 0.5
done
[ -n "$window" ] || { cat "$work/client.log" >&2; fail "no window of class Quorvane"; }
has_icon "$window" || fail "the window has no program icon"
[[ $(xprop -id "$window" WM_CLASS) == *'"quorvane", "Quorvane"'* ]] || fail "$(xprop -id "$window" WM_CLASS)"
kill "$client"
wait "$client" || fail "the client did not end with 0"
client=

# Installing again keeps the user's files byte for byte, ends an upgrade
# left unfinished and forgets a far-future release's record.
touch "$prefix/quorvane.pending-upgrade"
echo 4102444800 >"$prefix/quorvane.newest-update"
printf '\xd6\xf7\xd2\xb3\thttp://home.example/\r\n' > "$prefix/主页.txt"
printf 'A\thttp://a.example/\r\n-\r\n' > "$prefix/收藏夹.txt"
cp "$prefix/主页.txt" "$prefix/收藏夹.txt" "$work"
"${installer_env[@]}" "$unpacked/install.sh" --prefix "$prefix" >/dev/null
cmp "$prefix/主页.txt" "$work/主页.txt" && cmp "$prefix/收藏夹.txt" "$work/收藏夹.txt" ||
    fail "an install changed the user's files"
[ ! -e "$prefix/quorvane.pending-upgrade" ] || fail "an install left an unfinished upgrade's journal"
[ ! -e "$prefix/quorvane.newest-update" ] || fail "an install kept the newest-update record"

# Refused: /, the home folder, a folder of other files, a relative data folder.
mkdir "$work/theirs" && touch "$work/theirs/notes.txt"
for refused in "--prefix /" "--prefix $user_home" "--prefix $work/theirs" "XDG_DATA_HOME=share"; do
    status=0
    if [[ $refused == --* ]]; then
        "${installer_env[@]}" "$unpacked/install.sh" $refused >/dev/null 2>&1 || status=$?
    else
        "${installer_env[@]}" "$refused" "$unpacked/install.sh" --prefix "$work/new" >/dev/null 2>&1 || status=$?
    fi
    [ "$status" = 2 ] || fail "install.sh $refused ended with $status"
done
[ "$(ls -A "$work/theirs")" = notes.txt ] && [ ! -e "$work/new" ] && [ ! -e "$user_home/.quorvane-install" ] ||
    fail "a refused install wrote something"

# A changed manifest removes nothing but the install's files: not through
# "..", a link, a sibling folder whose name begins with the install folder's
# or an empty data folder line, nor the user's own files; and uninstalling
# leaves the user's own empty folder.
mkdir -p "$work/outside" "$prefix/mine" "$prefix-old" && touch "$work/outside/victim" "$prefix-old/victim"
ln -s "$work/outside" "$prefix/link"
manifest="$prefix/.quorvane-install"
{ echo; tail -n +2 "$manifest"; printf '%s\n' "$prefix/../outside/victim" "$prefix/ico/../../outside/victim" \
    "$work/outside/victim" "$prefix/link/victim" "$prefix/主页.txt" "$work/outside/" \
    "$prefix-old/victim"; } > "$work/manifest"
mv "$work/manifest" "$manifest"
"${installer_env[@]}" "$prefix/uninstall.sh" >/dev/null 2>&1
[ -f "$work/outside/victim" ] && [ -f "$prefix-old/victim" ] && [ -d "$prefix/mine" ] &&
    [ -f "$prefix/主页.txt" ] || fail "uninstall.sh removed what the install did not write"
[ -f "$user_home/.local/share/applications/quorvane.desktop" ] ||
    fail "the menu entry went with an invalid data folder line"
rm "$prefix/link" "$user_home/.local/share/applications/quorvane.desktop" && rmdir "$prefix/mine"
"${installer_env[@]}" "$unpacked/install.sh" --prefix "$prefix" >/dev/null

# Removing keeps only the user's files and the rollout number (not what
# upgrades left); --purge removes them too.
touch "$prefix/quorvane.1765.uOLD" "$prefix/quorvane.refused-upgrade" "$prefix/quorvane.uTMP" \
    "$prefix/quorvane.newest-update" "$prefix/quorvane.pending-upgrade" "$prefix/quorvane.rollout-number"
"${installer_env[@]}" "$prefix/uninstall.sh" >/dev/null
left=$(cd "$work" && find home "$(basename "$prefix")" -type f | sort)
base=$(basename "$prefix")
[ "$left" = "$(printf '%s\n' "$base/主页.txt" "$base/收藏夹.txt" "$base/quorvane.rollout-number" | sort)" ] ||
    fail "left after uninstalling: $left"
"${installer_env[@]}" "$unpacked/install.sh" --prefix "$prefix" >/dev/null
"${installer_env[@]}" "$prefix/uninstall.sh" --purge >/dev/null
[ ! -e "$prefix" ] || fail "left after purging: $(find "$prefix")"
[ -z "$(find "$user_home" -type f)" ] || fail "left in the home: $(find "$user_home" -type f)"
echo "release test passed"
