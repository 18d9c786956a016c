#!/usr/bin/env bash
# Installs the Quorvane client for the current user (no root needed):
#   ./install.sh [--prefix DIR]      (default ~/.local/lib/quorvane)
# Copies the program into DIR, adds it to the application menu (a desktop
# entry and icons under ~/.local/share) and names the runtime packages that
# are missing. Running it again upgrades in place; the user's home page and
# favorites files (主页.txt, 收藏夹.txt) in DIR are never touched.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true

here=$(cd "$(dirname "$0")" && pwd)
prefix="$HOME/.local/lib/quorvane"
while [ $# -gt 0 ]; do
    case "$1" in
        --prefix) [ $# -ge 2 ] || { echo "install.sh: --prefix needs a folder" >&2; exit 2; }
                  prefix=$2; shift 2 ;;
        --prefix=*) prefix=${1#--prefix=}; shift ;;
        -h|--help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        *) echo "install.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
done
refuse() { echo "install.sh: $*" >&2; exit 2; }
case "$prefix" in
    "") refuse "the folder is empty" ;;
    *$'\n'*) refuse "the folder's name holds a line break" ;;
    /*) ;;
    *) prefix="$PWD/$prefix" ;;
esac
prefix=$(realpath -m -- "$prefix")
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
case "$data_home" in
    /?*) data_home=$(realpath -m -- "$data_home") ;;
    *) refuse "XDG_DATA_HOME must be an absolute path, not '$data_home'" ;;
esac
applications="$data_home/applications"
icons="$data_home/icons/hicolor"
source "$here/manifest-paths.sh"

# The folder is Quorvane's, or new: never /, the home folder itself, or a
# folder of other files (uninstall.sh removes what the manifest names).
check_prefix() {
    [ "$prefix" != / ] || refuse "/ cannot be the install folder"
    [ "$prefix" != "$(realpath -m -- "$HOME")" ] || refuse "the home folder itself cannot be the install folder"
    [ -e "$prefix/.quorvane-install" ] && return 0
    local entry
    for entry in "$prefix"/* "$prefix"/.*; do
        case "${entry##*/}" in
            "*"|".*"|.|..|主页.txt|收藏夹.txt|locales|quorvane.rollout-number) ;;
            *) refuse "$prefix holds files that are not Quorvane's; choose a new or empty folder" ;;
        esac
    done
}

written=()
made=()
# mkdir -p that records the folders it makes inside the install folder (and
# the install folder itself) or the data folder, for uninstall.sh.
make_folder() {
    local folder=$1 missing=()
    while [ ! -d "$folder" ]; do missing=("$folder" "${missing[@]}"); folder=$(dirname -- "$folder"); done
    for folder in "${missing[@]}"; do
        mkdir -- "$folder"
        case "$folder" in "$prefix"|"$prefix"/*|"$data_home"/*) made+=("$folder/") ;; esac
    done
}

# Each file is copied beside its place and renamed over it: a running client
# keeps its old program file, and a broken copy never replaces a whole one.
put() {
    local source=$1 target=$2 mode=$3
    make_folder "$(dirname "$target")"
    cp "$source" "$target.installing.$$"
    chmod "$mode" "$target.installing.$$"
    mv -f "$target.installing.$$" "$target"
    written+=("$target")
}

# A desktop entry Exec argument: quoted, with ", `, $ and \ escaped inside
# the quotes, then backslashes doubled and % doubled for the entry's value.
exec_argument() {
    local text=$1
    text=${text//\\/\\\\}; text=${text//\"/\\\"}; text=${text//\`/\\\`}; text=${text//\$/\\\$}
    text="\"$text\""
    text=${text//\\/\\\\}
    printf '%s' "${text//%/%%}"
}

install_program() {
    put "$here/libquorvane-client.so" "$prefix/libquorvane-client.so" 644
    put "$here/libquorvane-updates.so" "$prefix/libquorvane-updates.so" 644
    put "$here/quorvane" "$prefix/quorvane" 755
    put "$here/Ruzozudo3" "$prefix/Ruzozudo3" 755
    local picture
    for picture in "$here"/ico/*; do
        put "$picture" "$prefix/ico/$(basename "$picture")" 644
    done
    put "$here/uninstall.sh" "$prefix/uninstall.sh" 755
    put "$here/manifest-paths.sh" "$prefix/manifest-paths.sh" 644
    # The program is now this release whole: the journal of an upgrade left
    # unfinished would make its next start put back the files before it.
    rm -f -- "$prefix/quorvane.pending-upgrade"
    # A record of a far-future release (a publisher's wrong clock) would hold
    # this release's updates back; installing is the user's cure for it.
    rm -f -- "$prefix/quorvane.newest-update"
}

install_menu_entry() {
    local entry
    entry=$(<"$here/quorvane.desktop.in")
    entry=${entry//@EXEC@/$(exec_argument "$prefix/quorvane")}
    entry=${entry//@PATH@/${prefix//\\/\\\\}}
    make_folder "$applications"
    printf '%s\n' "$entry" > "$applications/quorvane.desktop.installing.$$"
    mv -f "$applications/quorvane.desktop.installing.$$" "$applications/quorvane.desktop"
    written+=("$applications/quorvane.desktop")
    local icon size
    for icon in "$here"/icons/quorvane_*.png; do
        size=${icon##*_}; size=${size%.png}
        put "$icon" "$icons/${size}x${size}/apps/quorvane.png" 644
    done
}

# Caches are refreshed where the user's desktop keeps them; none is created.
refresh_desktop_caches() {
    if [ -e "$applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
        update-desktop-database "$applications" || true
    fi
    if [ -e "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
        gtk-update-icon-cache -f -t "$icons" >/dev/null || true
    fi
}

# Files an earlier install wrote that this one no longer ships go; the
# folders it made stay in the manifest.
remove_stale_files() {
    [ -f "$manifest" ] || return 0
    local old current
    while IFS= read -r old; do
        if [[ $old == */ ]]; then
            [ -d "$old" ] && removable "$old" "$prefix" "$data_home" && made+=("$old")
            continue
        fi
        for current in "${written[@]}"; do [ "$current" = "$old" ] && continue 2; done
        if removable "$old" "$prefix" "$data_home"; then
            rm -f -- "$old"
        else
            echo "install.sh: left $old, which is not a file of the install" >&2
        fi
    done < <(tail -n +2 "$manifest")
}

# The data folder first, then every file written and every folder made.
write_manifest() {
    printf '%s\n' "$data_home" "${written[@]}" > "$manifest.installing.$$"
    [ ${#made[@]} -eq 0 ] || printf '%s\n' "${made[@]}" | sort -u >> "$manifest.installing.$$"
    mv -f "$manifest.installing.$$" "$manifest"
}

report_missing_packages() {
    command -v dpkg-query >/dev/null || {
        echo "See RUNTIME-PACKAGES.txt for the libraries the client needs."
        return 0
    }
    local missing=() package
    for package in $(awk 'NR > 1 && /^$/ { block++; next } block == 1' "$here/RUNTIME-PACKAGES.txt"); do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "The client needs packages that are not installed. Install them with:"
        echo "  sudo apt-get install ${missing[*]}"
    fi
}

check_prefix
# A folder an earlier uninstall left with only the user's files counts as made.
if [ -d "$prefix" ] && [ ! -e "$prefix/.quorvane-install" ]; then made+=("$prefix/"); fi
make_folder "$prefix"
manifest="$prefix/.quorvane-install"
install_program
install_menu_entry
remove_stale_files
write_manifest
refresh_desktop_caches
echo "Quorvane is installed in $prefix and in the application menu as \"Quorvane\"."
echo "To remove it: $prefix/uninstall.sh"
report_missing_packages
