#!/usr/bin/env python3
"""Makes COUNT error report folders of other programs in FOLDER, as Windows Error
Reporting leaves them: AppCrash_<program>_<hash>_<cab>_<id>\\Report.wer, UTF-16 LE
with a byte order mark, about 6 KB each (the loaded modules make up most of a real
one). For the system profile's benchmark (bench/run.sh)."""
import os
import sys

folder, count = sys.argv[1], int(sys.argv[2])
# FILETIME of now minus a few hours: the reports are recent, inside the 30 days.
import time
now = int((time.time() + 11644473600) * 10_000_000)
os.makedirs(folder, exist_ok=True)
for i in range(count):
    program = f"Fremd{i % 37}.exe"
    name = f"AppCrash_{program}_{i:08x}9f1c2a3b4d5e6f708192a3b4c5d6e7f8091a2b3_00000000_{i:08x}"
    event = now - (i + 1) * 10_000_000 * 60
    lines = ["Version=1", "EventType=APPCRASH", f"EventTime={event}", "Consent=1",
             f"Sig[0].Name=Anwendungsname", f"Sig[0].Value={program}", "Sig[1].Name=Anwendungsversion",
             "Sig[1].Value=1.0.0.1", "Sig[2].Value=5f1c2a3b", "Sig[3].Value=ntdll.dll",
             "Sig[4].Value=6.1.7601.17514", "Sig[5].Value=4ce7c8f9", "Sig[6].Value=c0000005", "Sig[7].Value=00032a5e"]
    lines += [f"LoadedModule[{m}]=C:\\Windows\\SysWOW64\\module{m:03d}.dll" for m in range(55)]
    lines += [f"AppName={program}", f"AppPath=C:\\Programme\\Fremd\\{program}"]
    os.makedirs(os.path.join(folder, name), exist_ok=True)
    with open(os.path.join(folder, name, "Report.wer"), "wb") as f:
        f.write(b"\xff\xfe" + ("\r\n".join(lines) + "\r\n").encode("utf-16-le"))
