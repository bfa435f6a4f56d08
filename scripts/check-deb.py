#!/usr/bin/env python3
"""check-deb.py DEB

Fails unless DEB is the Debian package as it must ship: lintian finds no error; it holds exactly
the programs, the desktop entry, the icon at 32, 48 and 256 pixels in the hicolor theme, both
manual pages and the copyright and changelog.Debian.gz files; every compressed file is gzip -9n
(no name, no time inside); every member belongs to root and carries the time of
SOURCE_DATE_EPOCH when that is set; the control file names the maintainer, section and
description, and depends on the Qt libraries and the platform plugins.
"""
import gzip
import os
import re
import struct
import subprocess
import sys
import tempfile
import time

EXPECTED_FILES = {
    "./usr/bin/tarnwick": 0o755,
    "./usr/bin/tarnwick-reg": 0o755,
    "./usr/share/applications/tarnwick.desktop": 0o644,
    "./usr/share/doc/tarnwick/changelog.Debian.gz": 0o644,
    "./usr/share/doc/tarnwick/copyright": 0o644,
    "./usr/share/doc/tarnwick/examples/tarnwick-set-browser.desktop": 0o644,
    "./usr/share/icons/hicolor/32x32/apps/tarnwick.png": 0o644,
    "./usr/share/icons/hicolor/48x48/apps/tarnwick.png": 0o644,
    "./usr/share/icons/hicolor/256x256/apps/tarnwick.png": 0o644,
    "./usr/share/man/man1/tarnwick.1.gz": 0o644,
    "./usr/share/man/man1/tarnwick-reg.1.gz": 0o644,
}
REQUIRED_FIELDS = ("Package", "Version", "Architecture", "Maintainer", "Section", "Priority",
                   "Installed-Size", "Depends", "Description", "Homepage")


def run(*argv):
    return subprocess.run(argv, capture_output=True, text=True)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    deb = argv[1]
    problems = []

    contents = subprocess.run(["dpkg-deb", "--fsys-tarfile", deb], capture_output=True, check=True)
    listing = subprocess.run(["tar", "-tv", "--numeric-owner", "--full-time", "-f", "-"],
                             input=contents.stdout, capture_output=True, check=True,
                             env=dict(os.environ, TZ="UTC0"))
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    want_time = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(int(epoch))) if epoch.isdigit() else None
    files = {}
    for line in listing.stdout.decode().splitlines():
        mode, owner, _size, day, clock, name = line.split(None, 5)
        if owner != "0/0":
            problems.append("%s: owned by %s, not root" % (name, owner))
        if want_time and "%s %s" % (day, clock) != want_time:
            problems.append("%s: time %s %s, not %s" % (name, day, clock, want_time))
        if mode.startswith("-"):
            bits = sum(1 << (8 - i) for i, c in enumerate(mode[1:10]) if c != "-")
            files[name] = bits
        elif mode.startswith("d") and mode != "drwxr-xr-x":
            problems.append("%s: folder mode %s" % (name, mode))
    if files != EXPECTED_FILES:
        for name in sorted(set(files) | set(EXPECTED_FILES)):
            if name not in files:
                problems.append("%s: missing" % name)
            elif name not in EXPECTED_FILES:
                problems.append("%s: not expected" % name)
            elif files[name] != EXPECTED_FILES[name]:
                problems.append("%s: mode %o, not %o" % (name, files[name], EXPECTED_FILES[name]))

    with tempfile.TemporaryDirectory() as tree:
        subprocess.run(["dpkg-deb", "--extract", deb, tree], check=True)
        for name in files:
            path = os.path.join(tree, name)
            if name.endswith(".gz"):
                with open(path, "rb") as f:
                    header = f.read(10)
                flags, mtime = header[3], struct.unpack_from("<I", header, 4)[0]
                if flags & 0x08 or mtime != 0 or header[8] != 2:
                    problems.append("%s: not compressed as gzip -9n" % name)
                gzip.open(path).read()
            m = re.search(r"/(\d+)x\1/apps/tarnwick\.png$", name)
            if m:
                with open(path, "rb") as f:
                    width, height = struct.unpack(">II", f.read(24)[16:24])
                if (width, height) != (int(m.group(1)),) * 2:
                    problems.append("%s: a picture of %dx%d" % (name, width, height))
        for page in ("tarnwick.1.gz", "tarnwick-reg.1.gz"):
            check = run("man", "--warnings", "-l", "-Tutf8",
                        os.path.join(tree, "usr/share/man/man1", page))
            if check.returncode != 0 or check.stderr.strip():
                problems.append("%s: man reports %s" % (page, check.stderr.strip()))

    fields = {}
    for line in run("dpkg-deb", "--field", deb).stdout.splitlines():
        m = re.match(r"([A-Za-z-]+): ?(.*)", line)
        if m:
            fields[m.group(1)] = m.group(2)
    for field in REQUIRED_FIELDS:
        if not fields.get(field):
            problems.append("control: no %s" % field)
    for package in ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libsqlite3-0", "libc6",
                    "qt6-qpa-plugins"):
        if not re.search(r"(^|, )%s( |,|$)" % package, fields.get("Depends", "")):
            problems.append("control: Depends lacks %s" % package)

    lintian = run("lintian", "--fail-on", "error", deb)
    print(lintian.stdout.strip() or "lintian: no tags")
    if lintian.returncode != 0:
        problems.append("lintian reports errors")

    for p in problems:
        print("%s: %s" % (deb, p), file=sys.stderr)
    if not problems:
        print("%s: contents, control and lintian as they must be" % deb)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
