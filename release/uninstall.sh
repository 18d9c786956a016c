#!/usr/bin/env bash
# Removes what install.sh wrote (the program, its menu entry and icons):
#   ./uninstall.sh [--purge]
# Run it from the installed folder. The user's home page and favorites
# (主页.txt, 收藏夹.txt) stay unless --purge is given.
set -euo pipefail

prefix=$(cd -P -- "$(dirname -- "$0")" && pwd)
purge=no
case "${1:-}" in
    "") ;;
    --purge) purge=yes ;;
    -h|--help) sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "uninstall.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
esac
manifest="$prefix/.quorvane-install"
if [ ! -f "$manifest" ] || [ ! -f "$prefix/manifest-paths.sh" ]; then
    echo "uninstall.sh: $prefix holds no installed Quorvane client" >&2
    exit 1
fi
source "$prefix/manifest-paths.sh"
data_home=$(head -n 1 -- "$manifest")
if ! plain_path "$data_home" || [ "$data_home" = / ]; then
    echo "uninstall.sh: the manifest's data folder '$data_home' is not valid; the menu entry stays" >&2
    data_home=/nonexistent/quorvane-data
fi

# The files first; the folders the install made afterwards, deepest first,
# each only when empty; the install folder itself last.
folders=()
while IFS= read -r path; do
    if ! removable "$path" "$prefix" "$data_home"; then
        [ "$path" = "$prefix/" ] || echo "uninstall.sh: left $path, which is not a file of the install" >&2
    elif [[ $path == */ ]]; then
        folders+=("${path%/}")
    else
        rm -f -- "$path"
    fi
done < <(tail -n +2 "$manifest")
made_prefix=no
grep -qxF -- "$prefix/" "$manifest" && made_prefix=yes
rm -f -- "$manifest"
# What upgrades left beside the program: the replaced files' backups, the
# records of a refused version and of the newest info file taken, unfinished
# downloads.
find "$prefix" -maxdepth 1 -type f \( -name '*.uOLD' -o -name '*.uTMP' -o -name '*.refused-upgrade' -o -name '*.pending-upgrade*' \
    -o -name '*.newest-update' \) -delete 2>/dev/null || true
# The rollout number stays for a later install, like the user's files.
if [ "$purge" = yes ]; then
    rm -f -- "$prefix/主页.txt" "$prefix/收藏夹.txt" "$prefix/quorvane.rollout-number"
fi
# The engine's own empty folder beside the program, then the install's.
folders+=("$prefix/locales")
printf '%s\n' "${folders[@]}" | sort -r | while IFS= read -r folder; do
    rmdir -- "$folder" 2>/dev/null || true
done
[ "$made_prefix" = no ] || rmdir -- "$prefix" 2>/dev/null || true
if [ -e "$prefix" ]; then
    echo "Quorvane is removed; $prefix keeps the files that were not installed (your home page and favorites among them)."
else
    echo "Quorvane is removed."
fi
