#!/usr/bin/env python3
"""Start-up, memory and idle CPU of the client next to its floor (a bare Qt
WebEngine window that only loads the page, bench/bin/startup_floor) and
Debian's chromium --app.

For each run, from a start of its own that nothing else touches: the time
from process start to the load end of a local home page (the page reports
its load event to a beacon server of ours) and to the page's request (what
comes before it is the browser's own start). From a second start: the peak
memory of all the browser's processes together (sum of their proportional
set sizes, sampled every 20 ms) up to that load end, the peak over the whole
run, the processor time the processes use from a second after that load end
to 12.5 s after the start (the client's first update check, 10 s after its
start, with the load of its update library, falls in it), and their CPU
share over the next 10 idle seconds with the page shown (both from the
scheduler's nanosecond counts). The browsers alternate; the figures are medians over the runs,
followed by the ratios client / floor and client / chromium.

Usage: startup_bench.py <quorvane executable> [runs]   (run it under Xvfb)
"""
import http.server
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

PAGE = b"""<!doctype html><title>Survey</title>
<body><h1>Survey start</h1><p>Question 1 of 20</p>
<script>addEventListener('load', function () { fetch('/loaded'); });</script>"""


class Beacon(http.server.BaseHTTPRequestHandler):
    loaded_at = None
    asked_at = None
    event = threading.Event()

    def do_GET(self):
        if self.path == "/survey.html" and Beacon.asked_at is None:
            Beacon.asked_at = time.monotonic()
        if self.path == "/loaded":
            Beacon.loaded_at = time.monotonic()
            Beacon.event.set()
            body = b""
        else:
            body = PAGE
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def tree(pid):
    """The process and all its descendants."""
    pids, todo = [], [pid]
    while todo:
        p = todo.pop()
        pids.append(p)
        try:
            with open(f"/proc/{p}/task/{p}/children") as f:
                todo.extend(int(c) for c in f.read().split())
        except OSError:
            pass
    return pids


def pss_kib(pid):
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                if line.startswith("Pss:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def thread_cpu(pids):
    """Processor time of each live thread of the processes, in seconds, from
    the scheduler's nanosecond counts: the clock ticks of /proc/<pid>/stat
    (10 ms) are too coarse for a process that idles."""
    times = {}
    for pid in pids:
        try:
            tasks = os.listdir(f"/proc/{pid}/task")
        except OSError:
            continue
        for task in tasks:
            try:
                with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                    times[int(task)] = int(f.read().split()[0]) / 1e9
            except (OSError, ValueError, IndexError):
                pass
    return times


def idle_seconds(before, after):
    """What the threads used between the two counts; a thread that ended
    meanwhile is not counted."""
    return sum(t - before.get(task, 0.0) for task, t in after.items())


def start(command, cwd, env):
    Beacon.event.clear()
    Beacon.loaded_at = Beacon.asked_at = None
    started = time.monotonic()
    proc = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, start_new_session=True)
    return proc, started


def stop(proc):
    pids = tree(proc.pid)
    os.killpg(proc.pid, signal.SIGTERM)
    try:
        proc.wait(20)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    settle(pids)


def measure(command, cwd, env):
    """Two starts: one timed, untouched, and one whose memory is sampled;
    reading a process's memory takes its memory-map lock and would slow the
    start it measures."""
    proc, started = start(command, cwd, env)
    Beacon.event.wait(60)
    startup = (Beacon.loaded_at - started) if Beacon.loaded_at else float("nan")
    asked = (Beacon.asked_at - started) if Beacon.asked_at else float("nan")
    stop(proc)
    proc, started = start(command, cwd, env)
    peak = 0
    while not Beacon.event.is_set() and time.monotonic() < started + 60:
        peak = max(peak, sum(pss_kib(p) for p in tree(proc.pid)))
        time.sleep(0.02)
    peak_at_load = peak
    time.sleep(1)
    cpu_after_load = thread_cpu(tree(proc.pid))
    peak = sampled_peak(proc.pid, started + 12.5, peak)
    cpu_before = thread_cpu(tree(proc.pid))
    check_ms = 1000.0 * idle_seconds(cpu_after_load, cpu_before)
    peak = sampled_peak(proc.pid, time.monotonic() + 10, peak)
    idle_cpu = 100.0 * idle_seconds(cpu_before, thread_cpu(tree(proc.pid))) / 10
    stop(proc)
    return startup, asked, peak_at_load / 1024.0, peak / 1024.0, check_ms, idle_cpu


def sampled_peak(pid, until, peak):
    """The peak memory, sampled every 50 ms until the given time."""
    while time.monotonic() < until:
        peak = max(peak, sum(pss_kib(p) for p in tree(pid)))
        time.sleep(0.05)
    return peak


def settle(pids):
    """Waits until every process of the browser has gone, then a second more:
    a browser still shutting down would slow the next one's start (chromium's
    helpers outlive its main process by a moment)."""
    deadline = time.monotonic() + 20
    while any(os.path.exists(f"/proc/{p}") for p in pids) and time.monotonic() < deadline:
        time.sleep(0.05)
    time.sleep(1)


def main():
    client = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Beacon)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_port}/survey.html"
    work = tempfile.mkdtemp(prefix="quorvane-bench-")
    try:
        shutil.copy2(client, work)
        for library in ("libquorvane-client.so", "libquorvane-updates.so"):
            shutil.copy2(os.path.join(os.path.dirname(client), library), work)
        shutil.copytree(os.path.join(os.path.dirname(client), "ico"), os.path.join(work, "ico"))
        with open(os.path.join(work, "主页.txt"), "wb") as f:
            f.write(b"Survey\t" + url.encode() + b"\r\n")
        env = dict(os.environ, HOME=work, QTWEBENGINE_DISABLE_SANDBOX="1")
        floor = os.path.join(os.path.dirname(client), "..", "bench", "bin", "startup_floor")
        results = {"quorvane": [], "floor": [], "chromium": []}
        for run in range(runs):
            results["quorvane"].append(
                measure([os.path.join(work, os.path.basename(client))], work, env))
            results["floor"].append(measure([floor, url], work, env))
            profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=work)
            results["chromium"].append(measure(
                ["chromium", f"--app={url}", f"--user-data-dir={profile}", "--no-sandbox",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-quic"], work, env))
        medians = {}
        print(f"{'':10} {'start-up s':>11} {'page asked s':>13} {'MiB at load':>12} {'peak MiB':>9} "
              f"{'to 12 s CPU ms':>15} {'idle CPU %':>11}   ({runs} runs, medians)")
        for name, rows in results.items():
            medians[name] = [statistics.median(r[i] for r in rows) for i in range(6)]
            s, a, l, m, k, c = medians[name]
            print(f"{name:10} {s:11.3f} {a:13.3f} {l:12.1f} {m:9.1f} {k:15.1f} {c:11.3f}")
        q = medians["quorvane"]
        for name in ("floor", "chromium"):
            ratios = [(x / y) if y else float("nan") for x, y in zip(q, medians[name])]
            print(f"{'/ ' + name:10} {ratios[0]:11.2f} {ratios[1]:13.2f} {ratios[2]:12.2f} "
                  f"{ratios[3]:9.2f} {ratios[4]:15.2f} {ratios[5]:11.2f}")
    finally:
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
