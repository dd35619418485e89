#!/usr/bin/env python3
"""Compares what the 32-bit product wrote under emulation with what the 64-bit
build wrote on the same sample installation in the same prefix.

The 64-bit build is tested in full by the suite (its world's end-to-end tests
pin the sample's report line by line); the product must give the same lines,
as both look at the jukebox's 32-bit world the same way.

Usage:
  smoke32_check.py report PRODUCT REFERENCE   /report FILE /debug of each
  smoke32_check.py profile PRODUCT REFERENCE  /system FILE of each

Prints every difference; exit code 0 when all agrees, 1 otherwise.
"""
import re
import sys

# The ANSI code page of Wine under a UTF-8 locale.
ANSI = "cp1252"


def lines_of(data, what, bom):
    """The lines of a file whose every line ends in CR LF, or None with a message."""
    if bom:
        if not data.startswith(b"\xef\xbb\xbf"):
            print("%s: no UTF-8 byte order mark" % what)
            return None
        text = data[3:].decode("utf-8")
    else:
        text = data.decode(ANSI)
    if not text.endswith("\r\n"):
        print("%s: the last line does not end in CR LF" % what)
        return None
    lines = text[:-2].split("\r\n")
    if any("\r" in line or "\n" in line for line in lines):
        print("%s: a line end other than CR LF" % what)
        return None
    return lines


def compare(product, reference, where=""):
    """Line by line, each list already reduced to what must agree."""
    ok = True
    if len(product) != len(reference):
        print("%s%d lines, the 64-bit build wrote %d" % (where, len(product), len(reference)))
        ok = False
    for i, (mine, theirs) in enumerate(zip(product, reference)):
        if mine != theirs:
            print("%sline %d: %r, the 64-bit build: %r" % (where, i + 1, mine, theirs))
            ok = False
    return ok


def check_report(product, reference):
    ok = compare(report_steady(product), report_steady(reference))
    anchors = {
        2: "Allgemeine Infos:",
        8: "Betriebssystem:   Windows 7 (Service Pack 1)",
        13: "  Velatrix-Tunes: 6.02.00.15",
        14: "  SetUp:          6.02.00.03",
        27: "Registrierungen:",
        28: "  MSCOMM32.OCX             REG",
        31: "  TabCtl32.ocx             REG",
        34: "  mswinsck.ocx             ---",
        46: "Debug-Information:",
    }
    if len(product) != 53:
        print("%d lines instead of 53 (the report with its debug section)" % len(product))
        return False
    for index, line in anchors.items():
        if product[index] != line:
            print("line %d: %r instead of %r" % (index + 1, product[index], line))
            ok = False
    if not re.fullmatch(r"RAM Total:        [0-9.,]+ (GB|MB)", product[4]):
        print("line 5: %r" % product[4])
        ok = False
    for k in range(1, 7):
        if not re.fullmatch(r"ID %d: [0-9A-Fa-f]*\[-?[0-9]+\]" % k, product[46 + k]):
            print("line %d: %r is no drive identifier" % (47 + k, product[46 + k]))
            ok = False
    return ok


def report_steady(lines):
    """What must agree between the builds' reports: date and time, free memory and
    the processor's current clock change from run to run. Two more are left to
    the anchors below:
    - "RAM Total:": under qemu's user-mode emulation a 32-bit program is handed
      the host's memory counts cut to 32 bits (the emulator copies them without
      scaling their unit, as the kernel does for real 32-bit programs), so 24 GB
      read as 3.54 GB; only its form is checked here.
    - "REG"/"---" of the components the end-to-end tests do not pin: the 64-bit
      build reads a ProgID through the 32-bit view, which Wine looks up in
      Wow6432Node only, while the 32-bit product (and the jukebox) also sees a
      ProgID that Windows keeps in the shared part of the classes."""
    steady = []
    section = None
    for index, line in enumerate(lines):
        if line and not line.startswith(" "):
            section = line
        if index == 0 and re.fullmatch(r".+ - .+", line):
            line = "<date>"
        line = re.sub(r"^(RAM (Frei|Total):   +)[0-9.,]+ (GB|MB)$", r"\1<size>", line)
        line = re.sub(r"^(Prozessortakt:    )[0-9]+ MHz$", r"\1<takt>", line)
        if section == "Registrierungen:":
            line = re.sub(r"^(  \S+ +) (REG|---)$", r"\1 <REG or --->", line)
        steady.append(line)
    return steady


# Profile lines whose values change from one run to the next.
CHANGING = re.compile(r"^( *(?:Datum|Uhrzeit|Windows läuft seit|Frei)):.*$")


def tool_bitness(lines):
    """The value of "Architektur:" in the section "VTX Diagnostic:", and its index."""
    section = None
    for index, line in enumerate(lines):
        if line and not line.startswith(" "):
            section = line
        elif section == "VTX Diagnostic:" and line.startswith("  Architektur:"):
            return line.split(":", 1)[1].strip(), index
    return None, None


def profile_steady(lines):
    steady = [CHANGING.sub(r"\1: <changes>", line) for line in lines]
    # The bitness of the tool itself is the one fact the builds differ in.
    _, index = tool_bitness(lines)
    if index is not None:
        steady[index] = "  Architektur: <bits of the build>"
    return steady


NO_ANSWER = "nicht ermittelbar (keine Antwort)"


def sections(lines):
    """The profile's blocks between blank lines, each as its list of lines."""
    blocks = [[]]
    for line in lines:
        if line:
            blocks[-1].append(line)
        elif blocks[-1]:
            blocks.append([])
    return [block for block in blocks if block]


def check_profile(product, reference):
    """Section by section. A probe that missed its deadline (the emulated product
    runs many times slower; the reference may meet a busy machine) leaves its
    section shorter: such a section is named, not compared."""
    mine, theirs = sections(profile_steady(product)), sections(profile_steady(reference))
    ok = True
    if [block[0] for block in mine] != [block[0] for block in theirs]:
        print("sections %r, the 64-bit build: %r" % ([b[0] for b in mine], [b[0] for b in theirs]))
        ok = False
    for block, other in zip(mine, theirs):
        late = [who for who, lines in (("the product", block), ("the 64-bit build", other))
                if any(line.endswith(NO_ANSWER) for line in lines)]
        if late:
            print("section %r not compared: a probe of %s did not answer in time" % (block[0], " and ".join(late)))
            continue
        ok = compare(block, other, "section %r, " % block[0]) and ok
    bits, _ = tool_bitness(product)
    if bits != "32-Bit":
        print("the section 'VTX Diagnostic:' says Architektur %r, not 32-Bit" % bits)
        ok = False
    return ok


def main(argv):
    if len(argv) != 4 or argv[1] not in ("report", "profile"):
        print(__doc__)
        return 2
    kind, product_path, reference_path = argv[1:]
    bom = kind == "profile"
    with open(product_path, "rb") as f:
        product = lines_of(f.read(), "the product's file", bom)
    with open(reference_path, "rb") as f:
        reference = lines_of(f.read(), "the 64-bit build's file", bom)
    if product is None or reference is None:
        return 1
    ok = check_report(product, reference) if kind == "report" else check_profile(product, reference)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
