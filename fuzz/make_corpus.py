#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/ beside this script.

The seeds are the program's own writes and a few awkward neighbours of them; the fuzzers
grow their own corpora from there (in a scratch folder, see scripts/fuzz.sh)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

CLASSES = "HKCU\\Software\\Classes\\"
WRITER_PATH = [
    (CLASSES + ".htm\\", "MyHTMLfile", "REG_SZ"),
    (CLASSES + "MyInternetShortcut\\EditFlags", "2", "REG_DWORD"),
    (CLASSES + "MyInternetShortcut\\IsShortcut", "", "REG_SZ"),
    (CLASSES + "MyHTMLFile\\DefaultIcon\\", "%SystemRoot%\\system32\\url.dll,0", "REG_EXPAND_SZ"),
    (CLASSES + "MyInternetShortcut\\Shellex\\PropertySheetHandlers\\"
     "{FBF23B40-E3F0-101B-8488-00AA003E56F8}\\", "", "REG_SZ"),
    (CLASSES + "http\\Shell\\MyHTMLFile\\Command\\",
     "\"C:\\Program Files\\Maxthon\\Maxthon.exe\" \"%1\"", "REG_SZ"),
    ("HKLM\\Software\\Clients\\StartMenuInternet\\GreenBrowser.exe\\LocalizedString",
     "GreenBrowser Web Browser", "REG_SZ"),
    ("HKEY_LOCAL_MACHINE\\Software\\Clients\\StartMenuInternet\\", "FIREFOX.EXE", "REG_SZ"),
    ("hkcu\\Software\\Microsoft\\Internet Explorer\\Main\\Check_Associations", "No", "REG_SZ"),
    ("HKCU\\K\\V", "-2147483648", "REG_DWORD"),
    ("HKCU\\K\\V", "4294967296", "REG_DWORD"),
    ("HKCU\\K\\\\V", "x", "REG_SZ"),
    ("HKCU\\", "x", "REG_SZ"),
    ("HKCR\\.htm\\", "x", "REG_SZ"),
    ("HKCU\\Ä\\ß\\ǅ\\", "ÿ\U0001F600", "REG_SZ"),
    ("HKCU\\K\\V", "x", "REG_BINARY"),
]

SZ, EXPAND_SZ, BINARY, DWORD, MULTI_SZ = 1, 2, 3, 4, 7


def utf16(text, nul=True):
    return text.encode("utf-16-le") + (b"\0\0" if nul else b"")


def record(slot, kind, data):
    return struct.pack("<BIH", slot, kind, len(data)) + data


READER = [
    record(0, SZ, utf16("FIREFOX.EXE")) + record(2, SZ, utf16("Mozilla Firefox")),
    record(1, SZ, utf16("IEXPLORE.EXE")) + record(3, SZ, utf16("Internet Explorer")),
    record(0, SZ, utf16("   ")) + record(1, SZ, utf16("Maxthon.exe")) +
    record(2, SZ, utf16("")) + record(3, EXPAND_SZ, utf16("%ProgramFiles% Browser")),
    record(0, SZ, utf16("X")) + record(2, SZ, utf16("@shell32.dll,-1")),
    record(0, SZ, utf16("X")) + record(2, SZ, utf16("Name\0hidden")),
    record(0, SZ, utf16("X")) + record(2, DWORD, struct.pack("<i", 5)),
    record(0, SZ, b"") + record(1, SZ, b"\x41"),
    record(0, SZ, utf16("X", nul=False)) + record(2, SZ, utf16("no final NUL", nul=False)),
    record(0, BINARY, b"\x01\x02\x03") + record(1, MULTI_SZ, utf16("a\0b\0")),
    record(0, SZ, b"\x00\xd8\x00\x00") + record(2, SZ, b"\x00\xdc\x41\x00\x00\x00"),
    record(0, SZ, utf16("X")) + record(2, SZ, utf16("Before")) + record(4, SZ, utf16("After, longer")),
    record(0, SZ, utf16("X")) + record(2, SZ, utf16("A long name before")) + record(4, DWORD, b"\x07\0\0\0"),
    record(0, DWORD, b"\x01\x02") + record(1, DWORD, b"\x01\x02\x03\x04\x05"),
    record(0, SZ, utf16("A\\B")) + record(2, SZ, utf16("Nested")),
    record(0, SZ, utf16("A\\\\B\\")) + record(2, SZ, utf16("Empty part")),
]


REG_HEADER = "Windows Registry Editor Version 5.00\r\n\r\n"
REG_IMPORT = [
    REG_HEADER + "[HKEY_CURRENT_USER\\Software\\Classes\\.htm]\r\n@=\"MyHTMLfile\"\r\n",
    REG_HEADER + "[HKEY_CURRENT_USER\\Software\\Classes\\MyInternetShortcut]\r\n"
    "\"EditFlags\"=dword:00000002\r\n\"IsShortcut\"=\"\"\r\n"
    "\"Icon\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,\\\r\n"
    "  25,00,00,00\r\n",
    REG_HEADER + "[-HKEY_CURRENT_USER\\Software\\Classes\\http]\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Clients\\StartMenuInternet\\FIREFOX.EXE]\r\n"
    "@=\"Mozilla Firefox\"\r\n\"LocalizedString\"=-\r\n",
    REG_HEADER + "[HKCU\\K]\r\n\"Qu\\\"ote\\\\d\"=\"a\\\\b\"\r\n"
    "\"Blob\"=hex:01,02,ff\r\n\"List\"=hex(7):61,00,00,00,00,00\r\n"
    "\"Odd\"=hex(80000004):00\r\n",
    REG_HEADER + "[HKEY_CURRENT_USER]\r\n\"RootValue\"=dword:ffffffff\r\n",
    "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n",
    REG_HEADER + "[HKEY_CURRENT_USER\\\u00c4nderung\\\u00df]\r\n@=\"\u20ac\"\r\n",
]

# mimeapps.list texts as desktops leave them, each after the byte that picks the ID written.
MIMEAPPS = [
    "[Default Applications]\nx-scheme-handler/http=firefox-esr.desktop\n",
    "# mine\n[Default Applications]\ntext/html = a.desktop;b.desktop;\n\n[Added Associations]\n"
    "text/html=b.desktop;a.desktop\n[X-Other]\nk = v ; w\n[Removed Associations]\n"
    "x-scheme-handler/https=a.desktop;c\\;d.desktop;\n",
    "[Added Associations]\r\nx-scheme-handler/http=tarnwick-custom-browser.desktop;\r\n"
    "[Default Applications]\r\nx-scheme-handler/http=x.desktop",
    "top=1\n[Default Applications]\n[Default Applications]\nx-scheme-handler/about=;;\n"
    "  [Removed Associations]  \ntext/html=org.kde.falkon.desktop\n[\n=\n[]\nk=v\\",
]


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for i, seed in enumerate(seeds):
        with open(os.path.join(folder, "seed-%02d" % i), "wb") as f:
            f.write(seed)


# Invalid UTF-8: a stray continuation byte, an overlong NUL, a lone surrogate.
INVALID_UTF8 = [b"HKCU\\K\\\xff\xfe\0\xc0\x80\0REG_SZ", b"HKCU\\\xed\xa0\x80\\\0\x80\0REG_SZ"]

write("writer_path", [("%s\0%s\0%s" % row).encode("utf-8") for row in WRITER_PATH] + INVALID_UTF8)
write("reader", READER)
write("mimeapps", [bytes([i]) + text.encode("utf-8") for i, text in enumerate(MIMEAPPS)])
write("reg_import", [text.encode("utf-8") for text in REG_IMPORT[:4]] +
      [b"\xff\xfe" + text.encode("utf-16-le") for text in REG_IMPORT[4:]] +
      [b"\xef\xbb\xbf" + REG_IMPORT[0].encode("utf-8")])
