#!/usr/bin/env bash
# Removes what install.sh wrote (the program, its menu entry and icons):
#   ./uninstall.sh [--purge]
# Run it from the installed folder. The user's home page and favorites
# (主页.txt, 收藏夹.txt) stay unless --purge is given.
set -euo pipefail

prefix=$(cd "$(dirname "$0")" && pwd)
purge=no
case "${1:-}" in
    "") ;;
    --purge) purge=yes ;;
    -h|--help) sed -n '2,5p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "uninstall.sh: unknown argument '$1' (see --help)" >&2; exit 2 ;;
esac
manifest="$prefix/.quorvane-install"
if [ ! -f "$manifest" ]; then
    echo "uninstall.sh: $prefix holds no installed Quorvane client" >&2
    exit 1
fi
data_home=$(head -n 1 "$manifest")

# Removes the file, then the folders above it that it leaves empty, up to the
# place the install writes under.
remove() {
    local file=$1 top=$2 folder
    rm -f -- "$file"
    folder=$(dirname "$file")
    while [ "$folder" != "$top" ] && [ "$folder" != / ] && rmdir -- "$folder" 2>/dev/null; do
        folder=$(dirname "$folder")
    done
}

tail -n +2 "$manifest" | while IFS= read -r file; do
    case "$file" in
        "$prefix"/*) remove "$file" "$prefix" ;;
        "$data_home"/*) remove "$file" "$data_home" ;;
        *) echo "uninstall.sh: left $file, which is outside the install" >&2 ;;
    esac
done
rm -f -- "$manifest"
# What upgrades left beside the program: the replaced files' backups, the
# record of a refused version, unfinished downloads.
find "$prefix" -maxdepth 1 -type f \( -name '*.uOLD' -o -name '*.uTMP' -o -name '*.refused-upgrade' \) \
    -delete 2>/dev/null || true
if [ "$purge" = yes ]; then
    rm -f -- "$prefix/主页.txt" "$prefix/收藏夹.txt"
fi
# Empty folders the program made while it ran (the engine's "locales") go too.
find "$prefix" -mindepth 1 -depth -type d -empty -delete 2>/dev/null || true
rmdir -- "$prefix" 2>/dev/null || true
if [ -e "$prefix" ]; then
    echo "Quorvane is removed; $prefix keeps the files that were not installed (your home page and favorites among them)."
else
    echo "Quorvane is removed."
fi
