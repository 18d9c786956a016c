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
echo "program 1" >quorvane && echo "library" >libquorvane-client.so && echo "updates" >libquorvane-updates.so && mkdir other && echo "2" >other/quorvane
# 倉 is 82 7D in GB18030: its second byte is a "}", and the notice holds it.
echo "升级后客户端会自动重启。倉" >notice.txt
publish --version 2.0.0.6 --notice notice.txt quorvane libquorvane-client.so libquorvane-updates.so >/dev/null
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
# The options, the notice, the files and the password of each refused
# publish; the first live file was published a moment ago, so a clock an
# hour slow is refused.
refused=(
    "|entry.txt|quorvane|secret"
    "|brace.txt|quorvane|secret"
    "|notice.txt|quorvane other/quorvane|secret"
    "|notice.txt|quorvane libquorvane-client.so|secret"
    "|notice.txt|quorvane|wrong"
    "--rollout 25%,5%@1d|notice.txt|quorvane|secret"
    "--rollout 5%@1d,25%@1d|notice.txt|quorvane|secret"
    "--rollout 150%|notice.txt|quorvane|secret"
    "--resume|notice.txt|quorvane|secret"
    "--expires 30|notice.txt|quorvane|secret"
)
for row in "${refused[@]}"; do
    IFS='|' read -r options notice files password <<<"$row"
    status=0
    # shellcheck disable=SC2086 # the options and files are words
    printf '%s\n' "$password" | "$tool" --version 2.0.0.7 --notice "$notice" --host updates.example.org \
        --key key.key --out site $options $files >/dev/null 2>&1 || status=$?
    [ "$status" = 2 ] || fail "$row: ended with $status"
    cmp -s quorvane.inf site/update/quorvane.inf && cmp -s quorvane.inf.minisig site/update/quorvane.inf.minisig ||
        fail "$row: the published pair changed"
    [ -z "$(find site -name '*.part')" ] || fail "$row: left $(find site -name '*.part')"
done

# A staged release: absolute times, signed; halted and resumed as it was.
publish --version 2.0.0.8 --notice notice.txt --rollout 5%,25%@1d,100%@3d quorvane >/dev/null
[[ $(sed -n 3p site/update/quorvane.inf.minisig) =~ published=([0-9]+) ]] && p=${BASH_REMATCH[1]}
grep -q "^#rollout=5@$p,25@$((p + 86400)),100@$((p + 259200))"$'\r'"\$" site/update/quorvane.inf ||
    fail "the schedule: $(grep -a rollout site/update/quorvane.inf)"
cp site/update/quorvane.inf staged.inf
publish --halt >/dev/null
minisign -Vm site/update/quorvane.inf -p key.pub -q && grep -q '^#rollout_halted=1' site/update/quorvane.inf &&
    grep -q "version=2.0.0.8 " <(sed -n 3p site/update/quorvane.inf.minisig) || fail "the halt"
publish --resume >/dev/null
cmp -s staged.inf site/update/quorvane.inf && minisign -Vm site/update/quorvane.inf -p key.pub -q ||
    fail "the resumed release differs from the staged one"

# A far-future info file (a wrong clock once) makes the next publish refuse
# the machine's clock, until --published recovers.
publish --version 2.0.0.8 --notice notice.txt --published 4102444800 --expires never quorvane >/dev/null
status=0
publish --version 2.0.0.9 --notice notice.txt quorvane >/dev/null 2>&1 || status=$?
[ "$status" = 2 ] && grep -q '^#version=2.0.0.8' site/update/quorvane.inf || fail "a publish before the live one"
recovery=$(($(date +%s) + 86400))
publish --version 2.0.0.9 --notice notice.txt --published "$recovery" quorvane >/dev/null
[[ $(sed -n 3p site/update/quorvane.inf.minisig) =~ version=2.0.0.9\ published=$recovery\ expires= ]] ||
    fail "--published: $(sed -n 3p site/update/quorvane.inf.minisig)"
echo "publish test passed"
