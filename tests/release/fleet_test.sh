#!/usr/bin/env bash
# The fleet report from a rotated access log (one part gzipped) of two days with
# known counts among hostile and malformed lines; when it halts a release; how
# it refuses a missing or corrupt file and a bad option.
#   fleet_test.sh <source folder>
set -euo pipefail
tool=$1/scripts/quorvane-fleet
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
cd "$work"
export LC_ALL=C

# line <time> <request> <status> <user agent>
line() { printf '203.0.113.7 - - [%s] "%s" %s 512 "-" "%s"\n' "$@"; }
# checks <count> <time> <user agent>: that many update checks
checks() { for ((i = 0; i < $1; i++)); do line "$2" "GET /update/quorvane.inf HTTP/1.1" 200 "$3"; done; }
day1=07/Mar/2026:09:00:00 day2=08/Mar/2026:12:00:00
{
    checks 2 "$day1 +0000" "Quorvane/2.0.0.9 (group 5)"
    checks 1 "$day1 +0000" "Quorvane/2.0.0.9 (group 6; refused 2.0.0.10)"
    line "$day1 +0000" "GET /update/quorvane.inf HTTP/1.1" 404 "Quorvane/2.0.0.9"
    line "$day1 +0000" "GET /update/quorvane.inf.minisig HTTP/1.1" 200 "Quorvane/2.0.0.9"
    line "$day1 +0000" "POST /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.9"
    line "$day1 +0000" "GET /x?to=/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.9"
    line "$day1 +0000" "GET /update/quorvane.inf HTTP/1.1" 200 "Mozilla/5.0 (X11; Linux x86_64)"
    line "$day1 +0000" "GET / HTTP/1.1" 200 'curl/8.0 \"Quorvane/2.0.0.11\"'
    line "$day1 +0000" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.10 (group 370)"
    line "$day1 +0000" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.10 (refused 2.0.0.11; refused 2.0.0.9)"
    line "$day1 +0000" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.10.1"
    line "31/Feb/2026:09:00:00 +0000" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.10"
    checks 4 "$day1 +0000" "Quorvane/2.0.0.10"
    checks 2 "$day1 +0000" "Quorvane/2.0.0.11 (group 1)"
    # local 8 March, in UTC still the 7th
    line "08/Mar/2026:00:30:00 +0100" "HEAD /update/quorvane.inf HTTP/1.1" 304 "Quorvane/2.0.0.10 (group 37; refused 2.0.0.11)"
    # local 7 March, in UTC already the 8th
    line "07/Mar/2026:20:00:00 -0500" "GET /update/quorvane.inf?t=1 HTTP/2.0" 304 "Quorvane/2.0.0.9"
    printf '203.0.113.7 - - [%s +0000] "GET /update/quorvane.inf HTTP/1.1" 200 512 "-" "Quorv\n' "$day2"
    printf '203.0.113.7 - - [%s +0000] "GET /\x00\xff\xfe" 200 5 "-" "\x01\x80Quorvane/2.0.0.10"\n' "$day2"
    # well formed, but too long to hold
    line "$day2 +0000" "GET / HTTP/1.1" 200 "Mozilla/5.0 $(head -c 100000 /dev/zero | tr '\0' x)"
    checks 2 "$day2 +0000" "Quorvane/2.0.0.10 (refused 2.0.0.11; group 0)"
    checks 2 "$day2 +0000" "Quorvane/2.0.0.10"
    checks 14 "$day2 +0000" "Quorvane/2.0.0.11"
} >all.log
half=$(($(wc -l <all.log) / 2))
head -n "$half" all.log | gzip >access.log.1.gz
tail -n +$((half + 1)) all.log >access.log
head -c 40 access.log.1.gz >corrupt.gz

cat >report.txt <<'EOF'
2026-03-07  checks 10
  version 2.0.0.9   3
  version 2.0.0.10  5
  version 2.0.0.11  2
  on newest 2.0.0.11: 20.0%
  release 2.0.0.10: took 5, undid 1 (16.7%)
  release 2.0.0.11: took 2, undid 1 (33.3%)
2026-03-08  checks 19
  version 2.0.0.9    1
  version 2.0.0.10   4
  version 2.0.0.11  14
  on newest 2.0.0.11: 73.7%
  release 2.0.0.10: took 4, undid 0 (0.0%)
  release 2.0.0.11: took 14, undid 2 (12.5%)
EOF
# --since counts from the machine's clock.
{
    line "$(date -u -d '-2 days' '+%d/%b/%Y:%H:%M:%S +0000')" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.9"
    line "$(date -u -d '-1 hour' '+%d/%b/%Y:%H:%M:%S +0000')" "GET /update/quorvane.inf HTTP/1.1" 200 "Quorvane/2.0.0.11"
} >recent.log
cat >recent.txt <<EOF
$(date -u -d '-1 hour' +%F)  checks 1
  version 2.0.0.11  1
  on newest 2.0.0.11: 100.0%
  release 2.0.0.11: took 1, undid 0 (0.0%)
EOF
: >none.txt

# exit status | arguments | expected output | what standard error says
rows=(
    "0|access.log access.log.1.gz|report.txt|lines 42, checks 29, other 6, skipped 7"
    "3|--halt-above 12.4% access.log access.log.1.gz|report.txt|checks 29"
    "0|--halt-above 12.5 access.log.1.gz access.log|report.txt|checks 29"
    "0|--halt-above 12.6% access.log.1.gz access.log|report.txt|checks 29"
    "0|--halt-above 20% access.log.1.gz access.log|report.txt|checks 29"
    "0|--since 1d recent.log|recent.txt|lines 2, checks 1, earlier 1, other 0, skipped 0"
    "2|access.log missing.log|none.txt|missing.log: No such file"
    "2|access.log corrupt.gz|none.txt|corrupt.gz:"
    "2|--halt-above lots access.log|none.txt|--halt-above"
    "2|--since 2w access.log|none.txt|--since"
    "2||none.txt|LOG"
)
for row in "${rows[@]}"; do
    IFS='|' read -r expected arguments output message <<<"$row"
    read -ra args <<<"$arguments"
    status=0
    "$tool" "${args[@]}" >out.txt 2>err.txt || status=$?
    [ "$status" = "$expected" ] || fail "$arguments: exit $status, not $expected: $(cat err.txt)"
    diff -u "$output" out.txt >&2 || fail "$arguments: the report differs"
    grep -qF -- "$message" err.txt || fail "$arguments: standard error lacks '$message': $(cat err.txt)"
done
echo "fleet tests passed"
