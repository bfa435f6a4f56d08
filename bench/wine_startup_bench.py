#!/usr/bin/env python3
"""Start-up benchmark under Wine: starts Tarnwick.exe and a bare Win32 window of the same client
size, alternately, each from process start to its first painted window, and reports the medians
of wall time, processor time and peak resident memory of the Wine process, and their ratios.

Both programs end through the same first-paint probe (TARNWICK_FIRST_PAINT=1): it paints the
window and its child windows, writes "painted WIDTHxHEIGHT TITLE" and ends the program. The
time runs from the fork of `wine` to that line on the pipe; processor time and peak resident
memory (ru_maxrss, which spans the exec from the loader script into Wine) come from wait4.
Run it inside a Wine session on a display, as scripts/wine-startup-bench.sh does.

  wine_startup_bench.py TARNWICK_EXE BARE_WINDOW_EXE [RUNS]     (default 30 runs of each)
"""
import os
import statistics
import subprocess
import sys
import time


class Sample:
    def __init__(self, ms, cpu_ms, rss_kb, line):
        self.ms, self.cpu_ms, self.rss_kb, self.line = ms, cpu_ms, rss_kb, line


def run_once(exe):
    """Starts `wine EXE`, waits for its first line and then for its end."""
    env = dict(os.environ, TARNWICK_FIRST_PAINT="1")
    start = time.monotonic()
    child = subprocess.Popen(["wine", exe], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             env=env)
    line = child.stdout.readline()
    ms = (time.monotonic() - start) * 1e3
    child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)  # reaped here, not by Popen
    text = line.decode("utf-8", "replace").strip()
    if child.returncode != 0 or not text.startswith("painted "):
        raise RuntimeError("%s: exit status %d, first line '%s'" % (exe, child.returncode, text))
    return Sample(ms, (usage.ru_utime + usage.ru_stime) * 1e3, usage.ru_maxrss, text)


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    program, bare = argv[1], argv[2]
    runs = max(1, int(argv[3])) if len(argv) > 3 else 30
    try:
        first = run_once(program)
        # "painted WIDTHxHEIGHT TITLE": the bare window is given the program's client size.
        size = first.line.split()[1]
        yard = run_once(bare)
        if yard.line.split()[1] != size:
            raise RuntimeError("the bare window is %s, the program %s" % (yard.line.split()[1], size))
        samples = {"program": [], "bare": []}
        for i in range(-3, runs):  # three rounds to warm the caches first
            a, b = run_once(program), run_once(bare)
            if i >= 0:
                samples["program"].append(a)
                samples["bare"].append(b)
    except RuntimeError as e:
        print("wine-startup-bench: %s" % e, file=sys.stderr)
        return 2

    def median(kind, field):
        return statistics.median(getattr(s, field) for s in samples[kind])

    print("window: %s client area, %d runs of each, medians; targets: time <= 1.30, "
          "peak RSS <= 1.20" % (size, runs))
    print("Tarnwick.exe against the bare Win32 window:")
    rows = (("time to first paint", "ms", "%6.1f ms"), ("processor time", "cpu_ms", "%6.1f ms"),
            ("peak RSS", "rss_kb", "%6.0f KiB"))
    for label, field, form in rows:
        a, b = median("program", field), median("bare", field)
        print("  %-19s %s against %s, ratio %.2f" % (label, form % a, form % b, a / b))
    spread = sorted(s.ms for s in samples["program"])
    bare_spread = sorted(s.ms for s in samples["bare"])
    print("  time, quartiles: %.0f-%.0f ms against %.0f-%.0f ms" % (
        spread[len(spread) // 4], spread[3 * len(spread) // 4],
        bare_spread[len(bare_spread) // 4], bare_spread[3 * len(bare_spread) // 4]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
