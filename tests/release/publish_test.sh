#!/usr/bin/env bash
# The publisher's tool: what it refuses (each refusal leaves the published
# info file and signature as they were), and a publish that replaces them
# whole, its files in a folder of their version.
#   publish_test.sh <source folder>
set -euo pipefail
tool=$1/scripts/quorvane-publish
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
cd "$work"

printf 'secret\nsecret\n' | minisign -G -p key.pub -s key.key >/dev/null 2>&1
publish() { printf 'secret\n' | "$tool" --host updates.example.org --key key.key --out site "$@"; }
echo "program 1" >quorvane && echo "library" >libquorvane-client.so && mkdir other && echo "2" >other/quorvane
# 倉 is 82 7D in GB18030: its second byte is a "}", and the notice holds it.
echo "升级后客户端会自动重启。倉" >notice.txt
publish --version 2.0.0.6 --notice notice.txt quorvane libquorvane-client.so >/dev/null
minisign -Vm site/update/quorvane.inf -p key.pub -q || fail "the first publish is not signed"
[[ $(sed -n 3p site/update/quorvane.inf.minisig) =~ ^"trusted comment: quorvane host=updates.example.org version=2.0.0.6 published="([0-9]+)" expires="([0-9]+)$ ]] &&
    [ $((BASH_REMATCH[2] - BASH_REMATCH[1])) = $((30 * 86400)) ] ||
    fail "the signed comment: $(sed -n 3p site/update/quorvane.inf.minisig)"
grep -qF "#message={$(iconv -f UTF-8 -t GB18030 notice.txt)}" site/update/quorvane.inf ||
    fail "the notice is not published whole"
grep -q '^#url1=http://updates.example.org/update/2.0.0.6/quorvane' site/update/quorvane.inf ||
    fail "the files are not listed in their version's folder"
cp site/update/quorvane.inf site/update/quorvane.inf.minisig .

printf '请注意\n#url1=http://evil.example/x\n' >entry.txt
printf 'a } b\n' >brace.txt
# The notice, the files and the password of each refused publish.
refused=(
    "entry.txt|quorvane|secret"
    "brace.txt|quorvane|secret"
    "notice.txt|quorvane other/quorvane|secret"
    "notice.txt|quorvane|wrong"
)
for row in "${refused[@]}"; do
    IFS='|' read -r notice files password <<<"$row"
    status=0
    # shellcheck disable=SC2086 # the files are words
    printf '%s\n' "$password" | "$tool" --version 2.0.0.7 --notice "$notice" --host updates.example.org \
        --key key.key --out site $files >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "$row: ended with $status"
    cmp -s quorvane.inf site/update/quorvane.inf && cmp -s quorvane.inf.minisig site/update/quorvane.inf.minisig ||
        fail "$row: the published pair changed"
    [ -z "$(find site -name '*.part')" ] || fail "$row: left $(find site -name '*.part')"
done
# 30 days is the default; a publisher may opt out.
publish --version 2.0.0.8 --notice notice.txt --expires never quorvane >/dev/null
[[ $(sed -n 3p site/update/quorvane.inf.minisig) =~ published=[0-9]+$ ]] || fail "--expires never expires"
echo "publish test passed"
