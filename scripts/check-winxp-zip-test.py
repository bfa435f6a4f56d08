#!/usr/bin/env python3
"""check-winxp-zip-test.py TARNWICK.EXE

Checks check-winxp-zip.py itself: the download as make-winxp-zip.py packs it passes, and each
way of spoiling it (the notes in another form or out of step with the preset catalogue, an exe
too big or built for x86_64, an entry too many, a time that is not the sources') fails with its
own message.
"""
import os
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
README = os.path.join(HERE, "..", "packaging", "windows", "README.txt")
EPOCH = "1796701588"


def pack(path, exe, readme, extra=(), epoch=EPOCH, raw=False):
    """A zip as make-winxp-zip.py makes it; `raw` stores the notes exactly as given."""
    readme_path = path + ".txt"
    with open(readme_path, "wb") as f:
        f.write(b"replaced below\n" if raw else readme)
    env = dict(os.environ, SOURCE_DATE_EPOCH=epoch)
    subprocess.run([sys.executable, os.path.join(HERE, "make-winxp-zip.py"), path, exe,
                    readme_path], check=True, env=env)
    if raw or extra:
        with zipfile.ZipFile(path) as z:
            entries = [(i, z.read(i.filename)) for i in z.infolist()]
        with zipfile.ZipFile(path, "w") as z:
            for info, data in entries:
                z.writestr(info, readme if raw and info.filename == "README.txt" else data)
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
        cases = [
            ("good", pack(os.path.join(work, "good.zip"), exe, notes), None),
            ("LF line ends", pack(os.path.join(work, "lf.zip"), exe, notes, raw=True),
             "does not end its lines with CRLF"),
            ("Windows-1252 sign", pack(os.path.join(work, "ansi.zip"), exe,
                                       notes.replace(b"(R)", b"\xae"), raw=True),
             "not plain ASCII"),
            ("a preset's line missing", pack(os.path.join(work, "preset.zip"), exe,
                                             notes.replace(b"Maxthon\\Maxthon.exe", b"Maxthon")),
             "no line 'Maxthon   Program Files\\Maxthon\\Maxthon.exe'"),
            ("a machine-wide preset not named", pack(
                os.path.join(work, "admin.zip"), exe,
                notes.replace(b"For GreenBrowser, Maxthon,", b"For GreenBrowser,")),
             "the administrator paragraph lacks Maxthon"),
            ("a per-user preset named", pack(
                os.path.join(work, "admin2.zip"), exe,
                notes.replace(b"and Crazy\nBrowser,", b"Crazy\nBrowser and Avant Browser,")),
             "the administrator paragraph wrongly names Avant Browser"),
            ("a long line", pack(os.path.join(work, "long.zip"), exe,
                                 notes.replace(b"WHAT TARNWICK DOES", b"W" * 77)),
             "77 characters"),
            ("exe too big", pack(os.path.join(work, "big.zip"), big_exe, notes),
             "more than 409600"),
            ("a 64-bit exe", pack(os.path.join(work, "x64.zip"), x64_exe, notes),
             "not a 32-bit x86 program"),
            ("an entry too many", pack(os.path.join(work, "extra.zip"), exe, notes,
                                       extra=[("Setup.ini", b"x")]),
             "not Tarnwick.exe and README.txt"),
            ("another time", pack(os.path.join(work, "time.zip"), exe, notes, epoch="1000000000"),
             "time (2001, 9, 9"),
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
