# Sourced by install.sh and uninstall.sh: which paths of the install manifest
# (.quorvane-install) they may remove. The manifest is a file in the user's
# folder and may have been changed since the install wrote it, so a path is
# removed only when it is written in its one plain form (absolute, without
# "." or ".." parts), lies inside the install folder or is one of the menu
# files under the data folder, and no folder on its way is a symbolic link.
# The user's home page and favorites are never the manifest's to remove.

# Whether $1 is absolute and written in its one plain form.
plain_path() {
    case "$1" in /?*) ;; *) return 1 ;; esac
    [ "$(realpath -ms -- "$1")" = "$1" ]
}

# Whether $1 is $2/<something> and the folder that holds it, resolved, is
# the resolved $2 followed by the same folders (a missing one is fine: there
# is nothing to remove in it).
inside_without_links() {
    local path=$1 top=$2 folder real_top
    case "$path" in "$top"/?*) ;; *) return 1 ;; esac
    folder=$(dirname -- "${path#"$top"/}")
    real_top=$(cd -P -- "$top" 2>/dev/null && pwd) || return 0
    [ "$folder" = . ] && folder= || folder=/$folder
    [ -d "$top$folder" ] || return 0
    [ "$(cd -P -- "$top$folder" && pwd)" = "$real_top$folder" ]
}

# Whether the manifest's path $1 (a folder when it ends in "/") may be
# removed, for the install folder $2 and the data folder $3.
removable() {
    local path=${1%/} prefix=$2 data_home=$3
    plain_path "$path" || return 1
    case "$path" in "$prefix/主页.txt"|"$prefix/收藏夹.txt") return 1 ;; esac
    if inside_without_links "$path" "$prefix"; then
        return 0
    fi
    local in_data=${path#"$data_home"/}
    [ "$in_data" != "$path" ] || return 1
    [[ $in_data == applications/quorvane.desktop ||
       $in_data =~ ^icons/hicolor/[0-9]+x[0-9]+/apps/quorvane\.png$ ||
       ( $1 == */ && $in_data =~ ^(applications|icons(/hicolor(/[0-9]+x[0-9]+(/apps)?)?)?)$ ) ]] &&
        inside_without_links "$path" "$data_home"
}
