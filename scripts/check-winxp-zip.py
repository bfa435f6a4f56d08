#!/usr/bin/env python3
"""check-winxp-zip.py ZIP [CATALOGUE]

Fails unless ZIP is the Windows download as it must ship:
- exactly Tarnwick.exe, README.txt and set-default-browser.cmd, in this order, all with one
  time stamp (that of SOURCE_DATE_EPOCH when it is set) and MS-DOS attributes;
- Tarnwick.exe at most 400 KB, with the resources check-resources.py expects, and importing
  only what Windows XP has (import-audit.sh), both run on the very bytes in the zip;
- README.txt plain ASCII with CRLF line ends, no line longer than 76 characters (Notepad's
  window on a small screen), naming every preset of the catalogue (default:
  src/selection/preset_catalogue.cc) with its place below Program Files, and naming as
  needing administrator rights exactly the presets that write a machine-wide client entry,
  and naming the sample logon script;
- set-default-browser.cmd plain ASCII with CRLF line ends, copying nothing, running the
  Tarnwick.exe beside it with /set, /once and /log, and using only switches and exit codes
  that the program's command line has (the tables in src/shell/command_line.*, beside the
  catalogue's folder).
"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
MAX_EXE_BYTES = 400 * 1024
ENTRIES = ["Tarnwick.exe", "README.txt", "set-default-browser.cmd"]


def catalogue_rows(path):
    """(name, path below Program Files, writes a machine-wide client) for each preset row."""
    rows = []
    row = re.compile(r'\{"Option\d+", "([^"]+)", R"\(([^)]*)\)", (?:[^,]+, ){4}"[^"]*", (true|false),')
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = row.search(line)
            if m:
                rows.append((m.group(1), m.group(2).lstrip("\\"), m.group(3) == "true"))
    return rows


def check_readme(data, catalogue, problems):
    text = ascii_crlf("README.txt", data, problems)
    if text is None:
        return
    if "set-default-browser.cmd" not in text:
        problems.append("README.txt: does not name set-default-browser.cmd")
    lines = text.split("\r\n")
    for number, line in enumerate(lines, 1):
        if len(line) > 76:
            problems.append("README.txt line %d: %d characters" % (number, len(line)))
    paragraphs = [" ".join(p.split()) for p in text.replace("\r\n", "\n").split("\n\n")]
    rows = catalogue_rows(catalogue)
    if len(rows) != 8:
        problems.append("%s: found %d preset rows, not 8" % (catalogue, len(rows)))
    for name, below, _ in rows:
        listed = re.search(r"^ *%s +Program Files\\%s$" % (re.escape(name), re.escape(below)),
                           text.replace("\r\n", "\n"), re.M)
        if not listed:
            problems.append("README.txt: no line '%s   Program Files\\%s'" % (name, below))
    admin = [p for p in paragraphs if "needs administrator rights" in p]
    if len(admin) != 1:
        problems.append("README.txt: %d paragraphs say what needs administrator rights" % len(admin))
    else:
        for name, _, machine_wide in rows:
            if (name in admin[0]) != machine_wide:
                problems.append("README.txt: the administrator paragraph %s %s" % (
                    "lacks" if machine_wide else "wrongly names", name))


def command_line_table(folder):
    """The Windows switches and the exit codes of the program's command line, read from its
    tables in `folder` (command_line.cc and command_line.h)."""
    def read(name):
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            return f.read()
    switches = set(re.findall(r'^  \{"(/[^"]+)", "--', read("command_line.cc"), re.M))
    codes = {int(code) for code in re.findall(r'^  kExit\w+ = (\d+),', read("command_line.h"),
                                              re.M)}
    return switches, codes


def ascii_crlf(name, data, problems):
    """The text of `data`, checked to be plain ASCII with CRLF line ends; None when it is not."""
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError as e:
        problems.append("%s: not plain ASCII at byte %d" % (name, e.start))
        return None
    if not text.endswith("\r\n") or "\r\n" not in text:
        problems.append("%s: does not end its lines with CRLF" % name)
    for number, line in enumerate(text.split("\r\n"), 1):
        if "\r" in line or "\n" in line:
            problems.append("%s line %d: a bare CR or LF" % (name, number))
    return text


def check_script(data, table, problems):
    text = ascii_crlf("set-default-browser.cmd", data, problems)
    if text is None:
        return
    switches, codes = command_line_table(table)
    runs = re.findall(r'^"%~dp0Tarnwick\.exe"(.*)$', text, re.M)
    if not runs:
        problems.append('set-default-browser.cmd: never runs "%~dp0Tarnwick.exe"')
    used = set()
    for run in runs:
        used |= {s.lower() for s in re.findall(r'(?<!\S)(/[A-Za-z?]+)', run)}
    for switch in sorted(used - switches):
        problems.append("set-default-browser.cmd: %s is no switch of the program" % switch)
    for switch in ("/set", "/once", "/log"):
        if switch not in used and runs:
            problems.append("set-default-browser.cmd: does not use %s" % switch)
    for code in sorted({int(c) for c in re.findall(r'%RESULT%==(\d+)', text)} - codes):
        problems.append("set-default-browser.cmd: %d is no exit code of the program" % code)
    # The log is the administrator's to place: never a default inside the script's own folder
    # (NETLOGON, which users cannot write to), only a placeholder that the script refuses.
    log = re.search(r'^set LOG=([^\r\n]*)', text, re.M)
    if not log or not log.group(1).upper().startswith("\\\\SERVER\\"):
        problems.append("set-default-browser.cmd: LOG is not a \\\\SERVER\\... placeholder")
    elif not re.search(r'^if /i "%%LOG%%"=="%s" \(\r?\n(.*\r?\n){0,3}?\s*exit /b [1-9]' %
                       re.escape(log.group(1)), text, re.M):
        problems.append("set-default-browser.cmd: runs with the LOG placeholder unchanged")
    if re.search(r'^\s*(x|robo)?copy\b', text, re.M | re.I):
        problems.append("set-default-browser.cmd: copies files")


I386 = 0x014C


def pe_machine(exe):
    """The machine type in the PE header; None when `exe` is no PE file."""
    try:
        pe = struct.unpack_from("<I", exe, 0x3C)[0]
        if exe[pe:pe + 4] != b"PE\0\0":
            return None
        return struct.unpack_from("<H", exe, pe + 4)[0]
    except struct.error:
        return None


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    zip_path = argv[1]
    catalogue = argv[2] if len(argv) == 3 else os.path.join(
        HERE, "..", "src", "selection", "preset_catalogue.cc")
    problems = []
    with zipfile.ZipFile(zip_path) as z:
        infos = z.infolist()
        names = [i.filename for i in infos]
        if names != ENTRIES:
            problems.append("entries %s, not %s" % (names, ", ".join(ENTRIES)))
        epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
        if epoch.isdigit():
            want = max(time.gmtime(int(epoch))[:6], (1980, 1, 1, 0, 0, 0))
            want = want[:5] + (want[5] // 2 * 2,)
            for i in infos:
                if i.date_time != want:
                    problems.append("%s: time %s, not %s" % (i.filename, i.date_time, want))
        for i in infos:
            if i.create_system != 0 or i.external_attr != 0x20:
                problems.append("%s: made by system %d with attributes 0x%x" % (
                    i.filename, i.create_system, i.external_attr))
        exe = z.read("Tarnwick.exe") if "Tarnwick.exe" in names else b""
        readme = z.read("README.txt") if "README.txt" in names else b""
        script = z.read(ENTRIES[2]) if ENTRIES[2] in names else b""
    if exe and pe_machine(exe) != I386:
        problems.append("Tarnwick.exe: not a 32-bit x86 program, which Windows XP needs")
    if len(exe) > MAX_EXE_BYTES:
        problems.append("Tarnwick.exe: %d bytes, more than %d" % (len(exe), MAX_EXE_BYTES))
    check_readme(readme, catalogue, problems)
    check_script(script, os.path.join(os.path.dirname(catalogue), "..", "shell"), problems)
    if exe:
        with tempfile.TemporaryDirectory() as work:
            path = os.path.join(work, "Tarnwick.exe")
            with open(path, "wb") as f:
                f.write(exe)
            for tool in (["python3", os.path.join(HERE, "check-resources.py")],
                         [os.path.join(HERE, "import-audit.sh")]):
                run = subprocess.run(tool + [path], capture_output=True, text=True)
                if run.returncode != 0:
                    problems.append("Tarnwick.exe: %s: %s" % (
                        os.path.basename(tool[-1]), (run.stdout + run.stderr).strip()))
    for p in problems:
        print("%s: %s" % (zip_path, p), file=sys.stderr)
    if not problems:
        print("%s: Tarnwick.exe (%d bytes), README.txt and set-default-browser.cmd as they must"
              " ship" % (zip_path, len(exe)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
