#!/usr/bin/env python3
"""make-winxp-zip.py OUT.zip TARNWICK.EXE README.TXT LOGON_SCRIPT.CMD

Packs the Windows download: the program as Tarnwick.exe, the notes as README.txt and the sample
logon script as set-default-browser.cmd, both texts with CRLF line ends (Notepad on Windows XP
shows nothing else right, and cmd.exe wants them in a batch file). Every entry carries the time
of SOURCE_DATE_EPOCH (read as UTC; the time of the sources' last commit) and plain MS-DOS
attributes, and is deflated at one fixed level, so that the same inputs always give the same
bytes, wherever and whenever they are packed. Refuses texts that are not plain ASCII.
Needs nothing but Python's standard library.
"""
import os
import sys
import time
import zipfile


def dos_time(epoch):
    # A zip entry's time is an MS-DOS time: from 1980, in steps of two seconds.
    return max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))


def entry(name, epoch):
    info = zipfile.ZipInfo(name, date_time=dos_time(epoch))
    info.create_system = 0  # MS-DOS: Windows reads the attributes below
    info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE, as Windows' own zip folders write
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def crlf_text(path):
    """The file's text with CRLF line ends; None, said, when it is not plain ASCII."""
    with open(path, "rb") as f:
        text = f.read()
    try:
        text.decode("ascii")
    except UnicodeDecodeError as e:
        print("make-winxp-zip: %s: not plain ASCII at byte %d" % (path, e.start),
              file=sys.stderr)
        return None
    return text.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main(argv):
    if len(argv) != 5:
        sys.stderr.write(__doc__)
        return 2
    out, exe, readme, script = argv[1:]
    epoch_text = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not epoch_text.isdigit():
        print("make-winxp-zip: SOURCE_DATE_EPOCH must be set to the sources' time",
              file=sys.stderr)
        return 2
    epoch = int(epoch_text)
    texts = []
    for path in (readme, script):
        text = crlf_text(path)
        if text is None:
            return 1
        texts.append(text)
    with open(exe, "rb") as f:
        program = f.read()
    partial = out + ".part"
    with zipfile.ZipFile(partial, "w") as z:
        z.writestr(entry("Tarnwick.exe", epoch), program, compresslevel=9)
        z.writestr(entry("README.txt", epoch), texts[0], compresslevel=9)
        z.writestr(entry("set-default-browser.cmd", epoch), texts[1], compresslevel=9)
    os.replace(partial, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
