#!/usr/bin/env python3
"""Start-up benchmark under Wine: starts Tarnwick.exe and a bare Win32 window of the same client
size, alternately, each from process start to its first painted window, and reports the medians
of wall time, processor time and peak resident memory of the Wine process, and their ratios.
For reference it measures, the same way, the bare window loading the DLLs that Tarnwick.exe
imports, and that window also creating the automation objects the program creates at its
start, to show what those alone cost.

Every program ends through the same first-paint probe (TARNWICK_FIRST_PAINT=1): it paints the
window and its child windows, writes "painted WIDTHxHEIGHT TITLE" and ends the program. The
time runs from the fork of `wine` to that line on the pipe; processor time and peak resident
memory (ru_maxrss, which spans the exec from the loader script into Wine) come from wait4.
Besides the medians it reports the fastest run of each, the one least disturbed by other load.
Run it inside a Wine session on a display, as scripts/wine-startup-bench.sh does.

  wine_startup_bench.py TARNWICK_EXE BARE_WINDOW_EXE [RUNS]     (default 30 runs of each)
"""
import os
import shutil
import statistics
import subprocess
import sys
import time


class Sample:
    def __init__(self, ms, cpu_ms, rss_kb, line):
        self.ms, self.cpu_ms, self.rss_kb, self.line = ms, cpu_ms, rss_kb, line


def run_once(argv):
    """Starts `wine ARGV...`, waits for its first line and then for its end."""
    env = dict(os.environ, TARNWICK_FIRST_PAINT="1")
    start = time.monotonic()
    child = subprocess.Popen(["wine"] + argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             env=env)
    line = child.stdout.readline()
    ms = (time.monotonic() - start) * 1e3
    child.stdout.read()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)  # reaped here, not by Popen
    text = line.decode("utf-8", "replace").strip()
    if child.returncode != 0 or not text.startswith("painted "):
        raise RuntimeError("%s: exit status %d, first line '%s'" % (
            " ".join(argv), child.returncode, text))
    return Sample(ms, (usage.ru_utime + usage.ru_stime) * 1e3, usage.ru_maxrss, text)


def imported_dlls(exe):
    """The DLLs that `exe` imports, as its import table names them."""
    # The x86_64 objdump reads 32-bit and 64-bit executables alike, the i686 one only 32-bit ones.
    objdump = os.environ.get("OBJDUMP") or shutil.which("x86_64-w64-mingw32-objdump") or \
        "i686-w64-mingw32-objdump"
    dump = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True)
    return [line.split(":", 1)[1].strip() for line in dump.stdout.splitlines()
            if line.strip().startswith("DLL Name:")]


def compare(label, argv, bare_argv, runs):
    samples = ([], [])
    for i in range(-3, runs):  # three rounds to warm the caches first
        a, b = run_once(argv), run_once(bare_argv)
        if i >= 0:
            samples[0].append(a)
            samples[1].append(b)
    print("%s against the bare window:" % label)
    rows = (("time to first paint", "ms", "%6.1f ms"), ("processor time", "cpu_ms", "%6.1f ms"),
            ("peak RSS", "rss_kb", "%6.0f KiB"))
    for name, field, form in rows:
        a = statistics.median(getattr(s, field) for s in samples[0])
        b = statistics.median(getattr(s, field) for s in samples[1])
        print("  %-19s %s against %s, ratio %.2f" % (name, form % a, form % b, a / b))
    # The fastest runs are those that other processes disturbed least: on a shared machine
    # their ratio is the closer measure of the work itself.
    times = [sorted(s.ms for s in kind) for kind in samples]
    cpu = [sorted(s.cpu_ms for s in kind) for kind in samples]
    print("  time, quartiles:    %.0f-%.0f ms against %.0f-%.0f ms" % (
        times[0][runs // 4], times[0][3 * runs // 4], times[1][runs // 4], times[1][3 * runs // 4]))
    print("  fastest run         %6.1f ms against %6.1f ms, ratio %.2f (processor %.1f against "
          "%.1f ms, ratio %.2f)" % (times[0][0], times[1][0], times[0][0] / times[1][0],
                                    cpu[0][0], cpu[1][0], cpu[0][0] / cpu[1][0]))


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    program, bare = argv[1], argv[2]
    runs = max(1, int(argv[3])) if len(argv) > 3 else 30
    try:
        # "painted WIDTHxHEIGHT TITLE": the bare window is given the program's client size.
        size = run_once([program]).line.split()[1]
        width, height = size.split("x")
        bare_argv = [bare, width, height]
        got = run_once(bare_argv).line.split()[1]
        if got != size:
            raise RuntimeError("the bare window is %s, the program %s" % (got, size))
        dlls = imported_dlls(program)
        print("window: %s client area, %d runs of each, medians; targets for Tarnwick.exe: "
              "time <= 1.30, peak RSS <= 1.20" % (size, runs))
        compare("Tarnwick.exe", [program], bare_argv, runs)
        compare("window loading the %d DLLs Tarnwick.exe imports" % len(dlls),
                bare_argv + ["dlls"] + dlls, bare_argv, runs)
        compare("window loading them and creating the automation objects",
                bare_argv + ["objects"] + dlls, bare_argv, runs)
    except RuntimeError as e:
        print("wine-startup-bench: %s" % e, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
