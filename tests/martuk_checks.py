#!/usr/bin/env python3
"""Whole-program checks of martuk: on inputs too large to keep as golden
files (a macro with a 10 MB line; a new macro that cannot be written whole,
a file size limit standing in for a full disk), and on the macros that
kelvor's searches write in kelvor's golden cases, read back with the column
ranges of kelvor's layout.

Usage: martuk_checks.py MARTUK_BINARY CHECK   (CHECK: long_line | size_limit | kelvor_macros)
"""
import glob
import os
import re
import struct
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "robust"))
from file_limit import run_limited  # noqa: E402


def hit(code, count, rmsd, extra=()):
    return (["!", "print ... Comparing %s " % code,
             "print ... Nr of matched residues :%11d" % count] + list(extra) +
            ["print ... RMS distance of CA atoms%11.3f" % rmsd, "ca ; end_obj "])


def run(binary, folder, answers):
    return subprocess.run([binary, "-B"], input=answers.encode(), cwd=folder,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)


def fail(msg, out=None):
    """Ends the check; out: the transcript (text or a finished run) to show."""
    print("FAILED:", msg)
    if out is not None:
        if not isinstance(out, str):
            out = out.stdout.decode("latin-1")
        print(out[-3000:])
    sys.exit(1)


def check_long_line(binary, folder):
    # One line of 10 MB inside the first block: its RMSD marker lies past
    # column 256 and is not seen; the line is copied whole.
    long_line = "print " + "x" * (10 * 1024 * 1024) + " print ... RMS distance of CA atoms      0.100   "
    lines = ["! macro with a long line", "!"] + hit("1lon", 7, 0.5, [long_line]) + hit("2sho", 9, 0.7)
    with open(os.path.join(folder, "vobril.movamac"), "w") as f:
        f.write("\n".join(lines) + "\n")
    proc = run(binary, folder, "\n\n\n1\n\n")
    out = proc.stdout.decode("latin-1")
    if proc.returncode != 0:
        fail("exit status %d" % proc.returncode, proc)
    if " #     1 ID 1lon   Nmatch     7 RMSD   0.50 A" not in out:
        fail("the marker past column 256 was read", proc)
    with open(os.path.join(folder, "martuk.movamac")) as f:
        written = f.read().split("\n")
    # The preamble (three lines, the last the "!" before the first header),
    # then each block from its header up to the next header.
    want = [l.rstrip(" ") for l in hit("2sho", 9, 0.7)[1:] + hit("1lon", 7, 0.5, [long_line])[1:] + ["!"]]
    if written[3:-1] != want or written[-1] != "":
        fail("the new macro differs from the blocks of the old one")


def check_size_limit(binary, folder):
    lines = ["! many hits", "!"]
    for i in range(200):
        lines += hit("%04d" % i, 10 + i % 7, 1.0 + i % 5)
    with open(os.path.join(folder, "vobril.movamac"), "w") as f:
        f.write("\n".join(lines) + "\n")
    status, out = run_limited(binary, "\n\n\n1\n\n", folder, 4096)
    if status != 1:
        fail("exit status %d, expected 1" % status, out)
    if "FATAL ERROR ---  While writing new Mova macro - execution aborted !" not in out:
        fail("no fatal message for the failed write", out)
    if " Removed incomplete file : (martuk.movamac)" not in out:
        fail("the incomplete macro was not reported removed", out)
    if os.path.exists(os.path.join(folder, "martuk.movamac")):
        fail("the incomplete new macro is still there")
    if "New Mova macro written" in out:
        fail("an incomplete macro was reported as written", out)


def check_kelvor_macros(binary, folder):
    """Every macro of kelvor's search cases: the hits martuk lists are the
    entries of the header lines with the count and RMSD of their centroid
    lines, and the new macro holds every line of the old one (blank-trimmed),
    reordered by blocks."""
    here = os.path.dirname(os.path.abspath(__file__))
    macros = sorted(glob.glob(os.path.join(here, "golden", "kelvor", "search_*", "expected", "files",
                                           "lsq.movamac")))
    checked = 0
    for macro in macros:
        with open(macro, "rb") as f:
            old = f.read().decode("latin-1")
        lines = old.split("\n")[:-1]
        want = []
        name = None
        for line in lines:
            m = re.match(r"print \.\.\. Comparing (\S+) ", line)
            if m:
                name = m.group(1)
                continue
            # The centroid line: count in columns 21-23, RMSD in 53-60.
            if name and "centroids with RMS distance" in line:
                # martuk reads the RMSD as a single-precision real: 0.905 is
                # 0.90499997 there and prints as 0.90.
                rmsd = struct.unpack("f", struct.pack("f", float(line[51:60])))[0]
                want.append(" #%6d ID %-6s Nmatch %5d RMSD %6.2f A" % (
                    len(want) + 1, name[:4], int(line[19:23]), rmsd))
                name = None
        if not want:
            continue
        with open(os.path.join(folder, "lsq.movamac"), "w", encoding="latin-1") as f:
            f.write(old)
        proc = run(binary, folder, "lsq.movamac\n\n\n1\nnew.movamac\n")
        out = proc.stdout.decode("latin-1").split("\n")
        if proc.returncode != 0:
            fail("%s: exit status %d" % (macro, proc.returncode), proc)
        start = out.index(" Reading hits ...") + 1
        if out[start:start + len(want)] != want:
            fail("%s: the hits read differ from the centroid lines:\n%s" % (macro, "\n".join(want)), proc)
        with open(os.path.join(folder, "new.movamac"), encoding="latin-1") as f:
            new = f.read().split("\n")[:-1]
        if sorted(new) != sorted(l.rstrip(" ") or " " for l in lines):
            fail("%s: the new macro does not hold the lines of the old one" % macro)
        checked += 1
    if checked == 0:
        fail("no macro of kelvor's search cases with hits found")


def main():
    binary, check = os.path.abspath(sys.argv[1]), sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="martuk_" + check + ".") as folder:
        {"long_line": check_long_line, "size_limit": check_size_limit,
         "kelvor_macros": check_kelvor_macros}[check](binary, folder)
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
