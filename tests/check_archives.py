#!/usr/bin/env python3
"""Checks the archives the tests left, with Python's own zipfile as the reader.

Usage: check_archives.py KEEP_FOLDER

Every X.zip below KEEP_FOLDER is one case. Beside it stands the folder X the
archive must hold: the entries are paths relative to the zip's own folder, "X/"
and every folder below it as entries of their own (ending in "/"), every file
with its bytes. A file "oem-codepage.txt" beside the zip names the OEM code
page the writer used (437 when missing; 65001: none, every non-ASCII name is
UTF-8). Checked for each archive:
- zipfile opens it and every entry's CRC is right (testzip), and `unzip -t`
  agrees where unzip is installed;
- the names, folders and files are exactly those of the folder, no entry twice;
- each file's size and bytes are those on disk, its time is its last-write time
  in local time (two-second steps);
- a name is flagged UTF-8 (bit 11) exactly when it cannot be written in the OEM
  code page.
Prints one line per archive and a summary in the test programs' own words
("[  PASSED  ] N tests.", "[  FAILED  ] N tests"); the exit code is 1 when any
archive failed or none was found.
"""
import os
import subprocess
import shutil
import sys
import time
import zipfile

UTF8_FLAG = 0x800


def oem_codepage(pair_folder):
    try:
        with open(os.path.join(pair_folder, "oem-codepage.txt"), encoding="ascii") as f:
            return int(f.read().strip())
    except FileNotFoundError:
        return 437


def encodable(name, codepage):
    if name.isascii():
        return True
    if codepage == 65001:
        return False
    try:
        name.encode("cp%d" % codepage)
        return True
    except (UnicodeEncodeError, LookupError):
        return False


def on_disk(base, root):
    """Every path below base/root (root included), relative to base, '/'-separated;
    folders end in '/'."""
    found = {root + "/": None}
    for folder, subfolders, files in os.walk(os.path.join(base, root)):
        rel = os.path.relpath(folder, base).replace(os.sep, "/")
        for name in subfolders:
            found[rel + "/" + name + "/"] = None
        for name in files:
            found[rel + "/" + name] = os.path.join(folder, name)
    return found


def check(zip_path):
    problems = []
    base = os.path.dirname(zip_path)
    root = os.path.splitext(os.path.basename(zip_path))[0]
    codepage = oem_codepage(base)
    expected = on_disk(base, root)
    with zipfile.ZipFile(zip_path) as archive:
        bad = archive.testzip()
        if bad is not None:
            problems.append("bad CRC: " + bad)
        seen = set()
        for info in archive.infolist():
            name = info.filename
            if not info.flag_bits & UTF8_FLAG:
                # zipfile reads unflagged names as code page 437.
                name = name.encode("cp437").decode("cp%d" % codepage)
                if codepage == 65001 and not name.isascii():
                    problems.append("unflagged non-ASCII name: " + name)
            elif encodable(name, codepage):
                problems.append("flagged UTF-8 though the OEM code page has it: " + name)
            if info.is_dir() and info.filename.endswith("/") is False:
                problems.append("folder entry without slash: " + name)
            if name in seen:
                problems.append("twice: " + name)
            seen.add(name)
            if name not in expected:
                problems.append("not in the folder: " + name)
                continue
            path = expected[name]
            if path is None:
                if not name.endswith("/") or info.file_size != 0:
                    problems.append("folder entry with data: " + name)
                continue
            with open(path, "rb") as f:
                data = f.read()
            if info.file_size != len(data):
                problems.append("size %d, on disk %d: %s" % (info.file_size, len(data), name))
            elif archive.read(info) != data:
                problems.append("bytes differ: " + name)
            want = time.localtime(os.path.getmtime(path))
            want = (want.tm_year, want.tm_mon, want.tm_mday, want.tm_hour, want.tm_min, want.tm_sec - want.tm_sec % 2)
            if want[0] >= 1980 and info.date_time != want:
                problems.append("time %s, on disk %s: %s" % (info.date_time, want, name))
        for name in sorted(set(expected) - seen):
            problems.append("missing: " + name)
    if shutil.which("unzip"):
        run = subprocess.run(["unzip", "-tqq", zip_path], capture_output=True, text=True, errors="replace")
        if run.returncode != 0:
            problems.append("unzip -t: " + (run.stdout + run.stderr).strip().splitlines()[0])
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    keep = sys.argv[1]
    archives = sorted(
        os.path.join(folder, name)
        for folder, _, files in os.walk(keep)
        for name in files
        if name.endswith(".zip")
    )
    passed, failed = 0, []
    for path in archives:
        label = os.path.relpath(path, keep)
        try:
            problems = check(path)
        except Exception as error:  # a reader that gives up is a finding too
            problems = ["unreadable: %r" % error]
        if problems:
            failed.append(label)
            print("[  FAILED  ] %s" % label)
            for problem in problems[:20]:
                print("             " + problem)
        else:
            passed += 1
            print("[       OK ] %s" % label)
    if not archives:
        failed.append("no archive was left in " + keep)
        print("[  FAILED  ] " + failed[-1])
    print("[  PASSED  ] %d tests." % passed)
    if failed:
        print("[  FAILED  ] %d tests, listed below:" % len(failed))
        for label in failed:
            print("[  FAILED  ] " + label)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
