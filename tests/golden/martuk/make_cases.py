"""Writes the inputs (in/, stdin, args, env, outputs, expected/absent) of
martuk's golden cases. The macros are built in the layout of kelvor's search
macros, extended with result lines of the kinds the superposition programs
add, or in the two marker layouts ("! HIT ", "! FOSKA"). The expected output
is then made with run_golden.py --update and reviewed. The case
kelvor_search_sample is not made here: its macro is one written by kelvor's
incremental search on the bundled database, kept as it came.

Usage: python3 tests/golden/martuk/make_cases.py
"""
import os
import sys
sys.dont_write_bytecode = True  # no __pycache__ among the case folders
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from golden_inputs import fresh_case, write_case_files, write_input  # noqa: E402

ROOT = os.path.dirname(os.path.abspath(__file__))


def case(name, stdin, files=None, args=None, env=None, outputs=None, absent=None, raw=None):
    d = fresh_case(ROOT, name)
    for fn, lines in (files or {}).items():
        write_input(d, fn, ("\n".join(lines) + "\n").encode())
    for fn, data in (raw or {}).items():
        write_input(d, fn, data)
    write_case_files(d, stdin=stdin, args=args, env=env, outputs=outputs, absent=absent)


# ------------------------------------------------------------ kelvor's layout
# Every line kelvor writes ends in one blank.
def kelvor_preamble(macro="lsq.movamac"):
    lines = ["! Mova macro %s" % macro,
             "! Created by KELVOR V. 050113/5.9.1 at Tue Dec 8 05:00:00 2026 for tester",
             "!", "! mova_setup off off on", "!",
             "print ... analysing mymodel", "print my model of a lipocalin",
             "print ... incremental search",
             "print ... allowed mismatches 1 1 2.000 3.000 0.300",
             "print ... distance type C", "print ... directionality Y",
             "print ... absolute motif N", "print ... neighbours N", "!",
             "s_a_i /models/mymodel.pdb mymodel", "mol mymodel obj cmymodel",
             "pai_zo mymodel ; yellow", "pai_zo mymodel A5 A16 green",
             "pai_zo mymodel A20 A26 green", "ca ; end", "cent_id term_id mymodel A5 CA ;", "!",
             "db_set_dat .lsq_integer 1 1 60", "db_set_dat .lsq_integer 2 2 4",
             "db_set_dat .lsq_integer 3 3 16999999", "!"]
    return [l + " " for l in lines]


def centroid_line(name, n, rms):
    # "(1x,a4,a5,i3,a,f8.3,a)" written after "print ...": the number of
    # centres in columns 21-23, the RMSD in columns 53-60.
    return "print ... " + " %-4s ... %3d centroids with RMS distance %8.3f A" % (name[:4], n, rms)


def kelvor_block(name, n, rms, results=(), after=()):
    """One hit block; `results` are lines put after the entry note (where a
    superposition program's results go), `after` lines at the block's end."""
    lines = ["!", "print ... Comparing %s" % name, "print %s a note on %s" % (name, name)]
    lines += list(results)
    lines += ["print ... score = 12.50000 for %s" % name,
              "print ... nr of matched SSEs = %d for %s" % (n, name),
              "!", "s_a_i /data/pdb/%s.pdb %s pdb" % (name, name), "!",
              "db_create .lsq_rt_%s 12 R" % name, "!", centroid_line(name, n, rms)]
    lines += ["db_set_data .lsq_rt_%s %d %d 0.5" % (name, i, i) for i in range(1, 13)]
    lines += ["! lsq_impr mymodel %s A5 A16 CA A3 ; %s_to_mymodel" % (name, name),
              "lsq_impr .lsq_rt_%s" % name, "!", "lsq_mol %s_to_mymodel %s ;" % (name, name),
              "!", "mol %s obj c%s" % (name, name), "pai_zo %s ; blue" % name,
              "pai_zo %s A3 A14 red" % name, "! ca A3 A14", "ca ; end_obj", "!",
              "! lsq_paired %s_to_mymodel on" % name, "! del_obj c%s ;" % name,
              "! db_kill .lsq_rt_%s" % name, "!"]
    lines += list(after)
    return [l + " " for l in lines]


# Result lines: the marker, then the number in the columns that are read.
def nres(v):  # rule a: integer in columns 35-45
    return "print ... Nr of matched residues :" + "%11s" % v


def rms_of(v):  # rule b: real in columns 35-45
    return "print ... RMS distance of CA atoms" + "%11s" % v


def rms_a(v):  # rule c: real in columns 40-50
    return "print ... RMS distance (A) after fit :" + " " + "%11s" % v


# ------------------------------------------------------------ marker layouts
def hit_a(code, pairs, rmsds, extra=()):
    """A "! HIT " block: identifier in columns 7-10, one " <---> " line per
    matched pair, RMSD lines "! RMSD (A)" (columns 11-17)."""
    lines = ["! HIT %-4s  from the motif program" % code, "! Hit nr 1"]
    lines += ["!   A%d <---> B%d" % (i + 1, i + 3) for i in range(pairs)]
    lines += ["! RMSD (A)%7.3f" % r for r in rmsds]
    lines += list(extra)
    lines += ["s_a_i /data/pdb/%s.pdb %s pdb" % (code, code), "mol %s obj c%s" % (code, code),
              "ca ; end_obj"]
    return lines


def hit_b(code, count, rmsd, extra=()):
    """A "! FOSKA" block: identifier in columns 14-19, "! Nr of matched"
    (columns 24-29) and "! RMSD (A)" (columns 13-19)."""
    lines = ["! FOSKA hit  %-6s" % code, "! Nr of matched pairs :%6s" % count,
             "! RMSD (A) :%7s" % rmsd]
    lines += list(extra)
    lines += ["s_a_i /data/pdb/%s.pdb %s pdb" % (code[:4], code), "ca ; end_obj"]
    return lines


def plain_hit(code, count, rmsd, extra=()):
    """A short block in kelvor's layout with a count and an RMSD line."""
    return (["!", "print ... Comparing %s " % code, nres(count), rms_of(rmsd)] + list(extra) +
            ["s_a_i /data/pdb/%s.pdb %s pdb " % (code, code), "ca ; end_obj "])


PRE = kelvor_preamble()
WRITE = "\n\n\n1\n\n"  # default macro, criteria kept, option 1, default new name
OUT = ["martuk.movamac"]

# ------------------------------------------------------------ kelvor's macros
case("plain_results", WRITE, {"vobril.movamac": PRE
     + kelvor_block("1abc", 5, 1.5, [nres(87), rms_of("1.234")])      # a, then b
     + kelvor_block("2xyz", 4, 2.5, [rms_of("0.900"), nres(60)])      # b, then a
     + kelvor_block("3def", 6, 1.1, [rms_a("2.200"), nres(87)])       # c, then a
     + kelvor_block("4ghi", 3, 3.25, [nres(100)])},                   # a, then the centroids
     outputs=OUT)

# kelvor's search macro as it comes, without results: the centroid lines.
case("kelvor_macro", "lsq.movamac\n\n\n3\n1\nranked.movamac\n", {"lsq.movamac": kelvor_preamble()
     + kelvor_block("1cbs", 7, 1.25) + kelvor_block("2rbp", 9, 2.75)
     + kelvor_block("1lib", 9, 1.75) + kelvor_block("1bbp", 12, 14.5)},
     outputs=["ranked.movamac"])

# ------------------------------------------------------------ marker modes
case("mode_a", WRITE, {"vobril.movamac": ["! Mova macro from the motif program", "!"]
     + hit_a("1abc", 5, [1.5, 1.25])
     + hit_a("2def", 7, [2.5], extra=["! RMSD   0.75"])   # "! RMSD " line, columns 7-13
     + hit_a("3ghi", 0, [0.5])                            # no pair: 0 matches, filtered
     + hit_a("4jkl", 6, [1.0], extra=["! Hit nr 2", "!   A9 <---> B9"])},  # reset, then 1
     outputs=OUT)

case("mode_b", WRITE, {"vobril.movamac": ["! macro of the FOSKAL program", "!"]
     + hit_b("1abcA", 40, "1.500")
     + hit_b("2defB", 55, "2.250", extra=["! RMSD (A) :  1.125"])  # the smaller RMSD counts
     + hit_b("3ghiC", 55, "0.875")},
     outputs=OUT)

# Plain, then B, then A: the modes stay set and change how later headers are
# read (a "! FOSKA" line after mode A takes its identifier from columns 7-10).
case("modes_sticky", WRITE, {"vobril.movamac": ["! mixed macro", "!"]
     + plain_hit("1aaa", 30, "1.000")
     + hit_b("2bbbbb", 12, "1.500", extra=["print ... Comparing 3ccc ", nres(99), rms_of("0.100")])
     + hit_b("4ddddd", "****", "2.000")
     + hit_a("5eee", 4, [0.5], extra=["print ... Comparing 6fff ", nres(77)])
     # Mode A is set: the RMSD line is read with rule e (columns 11-17), and
     # the block written for this hit is the first one whose columns 7-10
     # hold its identifier "A hi": that of 2bbbbb.
     + ["! FOSKA hit  7ggggg", "! Nr of matched pairs :    20", "! RMSD (A)  0.250", "ca ; end_obj"]},
     outputs=OUT)

# ------------------------------------------------------------ sorting
TIES = (["! ties", "!"] + plain_hit("1one", 10, "1.5") + plain_hit("2two", 12, "1.5")
        + plain_hit("3thr", 10, "1.50000001") + plain_hit("4fou", 12, "1.0")
        + plain_hit("5fiv", 10, "1.0") + plain_hit("6six", 12, "1.5"))
# Mode 0, mode 1, mode 0 again (option 3 twice restores the first order), written.
case("ties_toggle", "\n\n\n3\n3\n1\n\n", {"vobril.movamac": TIES}, outputs=OUT)
case("ties_rmsd_written", "\n\n\n3\n1\n\n", {"vobril.movamac": TIES}, outputs=OUT)

# Re-entering criteria (option 0, and any other number) before writing.
case("criteria_again", "\n\n\n0\n11\n2.0\n7\n12\n\n1\n\n", {"vobril.movamac": TIES}, outputs=OUT)

case("duplicate_ids", WRITE, {"vobril.movamac": ["! dup", "!"]
     + plain_hit("1dup", 10, "2.0", extra=["print first block of 1dup "])
     + plain_hit("2one", 20, "1.0")
     + plain_hit("1dup", 30, "0.5", extra=["print second block of 1dup "])},
     outputs=OUT)

# ------------------------------------------------------------ dropped hits
case("dropped_counts", WRITE, {"vobril.movamac": ["! drops", "!"]
     + plain_hit("1zer", 0, "1.0") + plain_hit("2neg", -5, "1.0") + plain_hit("3pos", 5, "1.0")},
     outputs=OUT)

case("unreadable_numbers", WRITE, {"vobril.movamac": ["! unreadable", "!"]
     + plain_hit("1bla", "", "1.0")                 # all-blank count field
     + plain_hit("2ast", "*****", "1.0")           # asterisks
     + plain_hit("3dot", 7, "1.2.3")               # not a number
     + plain_hit("4big", "99999999999", "1.0")     # overflows an integer
     + plain_hit("5txt", 7, "abc")                 # a word
     + plain_hit("6cen", 1, "1.0")[:2] + ["print ...  6cen ... xx centroids with RMS distance    1.000 A "]
     + plain_hit("7ok", 7, "0.5")},
     outputs=OUT)

case("cut_off", WRITE, {"vobril.movamac": ["! cut off", "!"]
     + plain_hit("1ok", 7, "0.5") + ["!", "print ... Comparing 2cut ", nres(8), "s_a_i 2cut"]},
     outputs=OUT)

TRAILING = (["! trailing", "!"] + plain_hit("1fir", 7, "0.5") + plain_hit("2las", 9, "3.0")
            + ["! lines after the last block", "print the end of the macro ", "quit"])
case("trailing_kept", WRITE, {"vobril.movamac": TRAILING}, outputs=OUT)
case("trailing_filtered", "\n\n2.0\n1\n\n", {"vobril.movamac": TRAILING}, outputs=OUT)

# ------------------------------------------------------------ fatal ends
case("all_filtered", "\n20\n", {"vobril.movamac": TIES}, absent=OUT)
case("no_hits", "\n", {"vobril.movamac": kelvor_preamble()}, absent=OUT)
case("empty_macro", "\n", {"vobril.movamac": []}, absent=OUT)
case("option_2", "\n\n\n2\n", {"vobril.movamac": TIES}, absent=OUT)
case("missing_macro", "nosuch.movamac\n", {}, absent=OUT)
case("missing_macro_retry", "nosuch.movamac\ny\nvobril.movamac\n\n\n1\n\n",
     {"vobril.movamac": TIES}, args="-I", outputs=OUT)
case("found_in_zvpath", WRITE, {"macros/vobril.movamac": TIES}, env="ZVPATH=nothere:macros\n",
     outputs=OUT)
case("socket", "\n\n\n2\n", {"vobril.movamac": TIES}, args="-S")
case("help", None, {}, args="--help")

case("too_wide", WRITE, {"vobril.movamac": ["! wide values", "!"]
     + plain_hit("1wid", 1234567, "12345.678") + plain_hit("2neg", 5, "-99.5")}, outputs=OUT)

# ------------------------------------------------------------ the new macro
case("new_macro_unwritable", "\n\n\n1\nno/such/dir/new.movamac\n", {"vobril.movamac": TIES},
     absent=OUT)
# The old macro's name (and another name of it) for the new one: refused,
# the old macro stays whole.
case("new_is_old", "\n\n\n1\nvobril.movamac\n", {"vobril.movamac": TIES},
     outputs=["vobril.movamac"])
case("new_is_old_retry", "\n\n\n1\n./vobril.movamac\ny\nother.movamac\n",
     {"vobril.movamac": TIES}, args="-I", outputs=["vobril.movamac", "other.movamac"])
case("disk_full", "\n\n\n1\n/dev/full\n", {"vobril.movamac": TIES})

# ------------------------------------------------------------ fixed faults
# Hits the ordering never places come after the others, in file order: in
# mode 0 a count of 0 with an RMSD of 9999.999 or more, in mode 1 an RMSD
# above 9999.999 (9999.999 itself with a count above 0 is placed).
ZERO_FAR = ["!", "print ... Comparing 3far ",
            "print ...  3far ...   0 centroids with RMS distance 10000.00 A "]
case("unplaced_hits", "\n0\n99999\n3\n1\n\n", {"vobril.movamac": ["! unplaced", "!"]
     + plain_hit("1far", 5, "10000.0") + plain_hit("2ok", 5, "1.0") + ZERO_FAR
     + plain_hit("4ok", 3, "2.0") + plain_hit("5equ", 5, "9999.999")}, outputs=OUT)
# End of input at the menu: the run ends instead of repeating the blocks.
case("end_of_input", "", {"vobril.movamac": TIES}, absent=OUT)
# A line longer than the line buffer is copied whole; a marker past column
# 256 is not seen.
LONG = "print " + "x" * 300 + " print ... RMS distance of CA atoms      0.100 "
case("long_lines", WRITE, {"vobril.movamac": ["! long " + "y" * 1000, "!"]
     + ["!", "print ... Comparing 1lon ", nres(7), LONG + "   ", rms_of("0.5"), "ca ; end_obj "]
     + plain_hit("2sho", 9, "0.7")},
     outputs=OUT)

# ------------------------------------------------------------ bytes and line ends
cr_macro = "\r".join(TIES) + "\r"
case("cr_line_ends", WRITE, raw={"vobril.movamac": cr_macro.encode()}, outputs=OUT)
crlf_macro = "\r\n".join(TIES)  # and no line end after the last line
case("crlf_no_last_end", WRITE, raw={"vobril.movamac": crlf_macro.encode()}, outputs=OUT)
binary = (b"\x00\x01\xff\xfe binary junk\x00\n" + "\n".join(plain_hit("1bin", 7, "0.5")).encode()
          + b"\n\x00\x00\x00\n\tprint ... Comparing 2tab \x00\x80\n" + nres(9).encode() + b"\n"
          + rms_of("1.0").encode() + b"\t \n\x1b[0m   \n")
case("binary_bytes", WRITE, raw={"vobril.movamac": binary}, outputs=OUT)
