#!/usr/bin/env python3
"""check-winxp-zip-test.py TARNWICK.EXE

Checks check-winxp-zip.py itself: the download as make-winxp-zip.py packs it passes, and each
way of spoiling it (the notes in another form or out of step with the preset catalogue, a logon
script in another form or with a switch or exit code the program lacks, an exe too big or built
for x86_64, an entry too many, a time that is not the sources') fails with its own message.
"""
import os
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
README = os.path.join(HERE, "..", "packaging", "windows", "README.txt")
SCRIPT = os.path.join(HERE, "..", "packaging", "windows", "set-default-browser.cmd")
EPOCH = "1796701588"


def pack(path, exe, readme, script, extra=(), epoch=EPOCH, raw=None):
    """A zip as make-winxp-zip.py makes it; `raw` names an entry ("README.txt" or
    "set-default-browser.cmd") stored exactly as given instead."""
    texts = []
    for suffix, text in ((".txt", readme), (".cmd", script)):
        with open(path + suffix, "wb") as f:
            f.write(b"replaced below\n" if raw else text)
        texts.append(path + suffix)
    env = dict(os.environ, SOURCE_DATE_EPOCH=epoch)
    subprocess.run([sys.executable, os.path.join(HERE, "make-winxp-zip.py"), path, exe] + texts,
                   check=True, env=env)
    if raw or extra:
        given = {"README.txt": readme, "set-default-browser.cmd": script}
        with zipfile.ZipFile(path) as z:
            entries = [(i, z.read(i.filename)) for i in z.infolist()]
        with zipfile.ZipFile(path, "w") as z:
            for info, data in entries:
                z.writestr(info, given[info.filename] if raw and info.filename in given and
                           info.filename == raw else data)
            for name, data in extra:
                z.writestr(zipfile.ZipInfo(name, entries[0][0].date_time), data)
    return path


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], "rb") as f:
        program = f.read()
    with open(README, "rb") as f:
        notes = f.read().replace(b"\r\n", b"\n")
    with open(SCRIPT, "rb") as f:
        script = f.read().replace(b"\r\n", b"\n")
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        big_exe = os.path.join(work, "big.exe")
        with open(big_exe, "wb") as f:  # bytes past the image's end leave its PE data alone
            f.write(program + b"\0" * (400 * 1024 + 1 - len(program)))
        x64_exe = os.path.join(work, "x64.exe")
        with open(x64_exe, "wb") as f:  # the machine type alone says x86_64
            pe = int.from_bytes(program[0x3C:0x40], "little")
            f.write(program[:pe + 4] + b"\x64\x86" + program[pe + 6:])
        exe = argv[1]
        def zipped(name, readme=notes, logon=script, program=exe, **kw):
            return pack(os.path.join(work, name + ".zip"), program, readme, logon, **kw)

        cases = [
            ("good", zipped("good"), None),
            ("LF line ends", zipped("lf", raw="README.txt"), "does not end its lines with CRLF"),
            ("Windows-1252 sign", zipped("ansi", readme=notes.replace(b"(R)", b"\xae"),
                                         raw="README.txt"), "not plain ASCII"),
            ("a preset's line missing",
             zipped("preset", readme=notes.replace(b"Maxthon\\Maxthon.exe", b"Maxthon")),
             "no line 'Maxthon   Program Files\\Maxthon\\Maxthon.exe'"),
            ("a machine-wide preset not named",
             zipped("admin", readme=notes.replace(b"For GreenBrowser, Maxthon,",
                                                  b"For GreenBrowser,")),
             "the administrator paragraph lacks Maxthon"),
            ("a per-user preset named",
             zipped("admin2", readme=notes.replace(b"and Crazy\nBrowser,",
                                                   b"Crazy\nBrowser and Avant Browser,")),
             "the administrator paragraph wrongly names Avant Browser"),
            ("a long line", zipped("long", readme=notes.replace(b"WHAT TARNWICK DOES", b"W" * 77)),
             "77 characters"),
            ("the logon script not named",
             zipped("unnamed", readme=notes.replace(b"set-default-browser.cmd", b"the script")),
             "README.txt: does not name set-default-browser.cmd"),
            ("a logon script with LF line ends", zipped("script-lf", raw="set-default-browser.cmd"),
             "set-default-browser.cmd: does not end its lines with CRLF"),
            ("a switch the program lacks",
             zipped("switch", logon=script.replace(b"/once /quiet", b"/always /quiet", 1)),
             "/always is no switch of the program"),
            ("an exit code the program lacks",
             zipped("code", logon=script.replace(b"%RESULT%==5", b"%RESULT%==9")),
             "9 is no exit code of the program"),
            ("a logon script that copies the program",
             zipped("copy", logon=script.replace(b"setlocal\n",
                                                 b"setlocal\ncopy Tarnwick.exe %TEMP%\n")),
             "set-default-browser.cmd: copies files"),
            ("a log in the script's own folder",
             zipped("netlogon", logon=script.replace(b"set LOG=\\\\SERVER\\Logs$",
                                                     b"set LOG=%~dp0Logs")),
             "LOG is not a \\\\SERVER\\... placeholder"),
            ("a placeholder run as it is",
             zipped("placeholder", logon=script.replace(b"  exit /b 1\n", b"")),
             "runs with the LOG placeholder unchanged"),
            ("exe too big", zipped("big", program=big_exe), "more than 409600"),
            ("a 64-bit exe", zipped("x64", program=x64_exe), "not a 32-bit x86 program"),
            ("an entry too many", zipped("extra", extra=[("Setup.ini", b"x")]),
             "not Tarnwick.exe, README.txt, set-default-browser.cmd"),
            ("another time", zipped("time", epoch="1000000000"), "time (2001, 9, 9"),
        ]
        for name, path, expected in cases:
            run = subprocess.run([sys.executable, os.path.join(HERE, "check-winxp-zip.py"), path],
                                 capture_output=True, text=True,
                                 env=dict(os.environ, SOURCE_DATE_EPOCH=EPOCH))
            output = run.stdout + run.stderr
            if expected is None and run.returncode != 0:
                print("FAIL: %s should pass: %s" % (name, output.strip()))
                failures += 1
            elif expected is not None and (run.returncode == 0 or expected not in output):
                print("FAIL: %s should fail with '%s': %s" % (name, expected, output.strip()))
                failures += 1
            else:
                print("ok: %s" % name)
    print("check-winxp-zip: %d passed, %d failed" % (len(cases) - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
