#!/usr/bin/env bash
# Prints how fast scripts/quorvane-fleet reads an access log (lines per second)
# and its peak memory, for a log of 10,000,000 lines and one of 1,000,000: the
# memory should not grow with the log.
#
# The log is that of a host that serves only the updates, over a week: half the
# lines are the clients' checks (about 2 % from clients that refused the newest
# release), 45 % the signatures they fetch next, 5 % downloads, robots, missing
# pages and garbage requests.
#   bench/fleet/fleet_bench.sh [lines]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
lines=${1:-10000000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_log() {
    python3 - "$1" "$2" <<'EOF'
import random, sys, time
count, path = int(sys.argv[1]), sys.argv[2]
random.seed(1)
agents = ["Quorvane/2.0.0.4 (group %d)", "Quorvane/2.0.0.5 (group %d)",
          "Quorvane/2.0.0.6 (group %d)", "Quorvane/2.0.0.5 (group %d; refused 2.0.0.6)"]
others = ['"GET /update/2.0.0.6/quorvane HTTP/1.1" 200 48213504 "-" "Quorvane/2.0.0.5"',
          '"GET /robots.txt HTTP/1.1" 404 153 "-" "Mozilla/5.0 (compatible; Googlebot/2.1)"',
          '"GET /wp-login.php HTTP/1.1" 404 153 "-" "Mozilla/5.0 (X11; Linux x86_64)"',
          '"\\x16\\x03\\x01" 400 157 "-" "-"']
pool = []
for i in range(2000):
    ua = random.choices(agents, weights=[20, 50, 28, 2])[0] % random.randrange(100)
    kind = random.random()
    if kind < 0.5:
        pool.append('"GET /update/quorvane.inf HTTP/1.1" 200 1342 "-" "%s"' % ua)
    elif kind < 0.95:
        pool.append('"GET /update/quorvane.inf.minisig HTTP/1.1" 200 312 "-" "%s"' % ua)
    else:
        pool.append(random.choice(others))
start = int(time.time()) - 7 * 86400
per_second = max(1, count // (7 * 86400))
with open(path, "w") as log:
    written, second = 0, start
    while written < count:
        stamp = time.strftime("%d/%b/%Y:%H:%M:%S +0000", time.gmtime(second))
        n = min(per_second, count - written)
        log.write("".join('198.51.100.%d - - [%s] %s\n' % (j % 250, stamp, random.choice(pool))
                          for j in range(n)))
        written += n
        second += 1
EOF
}

measure() {
    python3 - "$top/scripts/quorvane-fleet" "$1" <<'EOF'
import resource, subprocess, sys, time
tool, log = sys.argv[1], sys.argv[2]
started = time.monotonic()
run = subprocess.run([tool, log], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
seconds = time.monotonic() - started
peak_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
lines = int(run.stderr.split("lines ")[1].split(",")[0])
print(f"{lines:>10,} lines: {lines / seconds:>9,.0f} lines/s ({seconds:.1f} s), "
      f"peak memory {peak_kib / 1024:.1f} MiB  [{run.stderr.strip()}]")
EOF
}

export LC_ALL=C
for n in "$lines" $((lines / 10)); do
    make_log "$n" "$work/access.log"
    measure "$work/access.log"
done
