"""Writes the inputs of kelvor's search cases (search_*): a small constructed
database, the query and the answers of every dialogue variant of IN and FI.
The expected output is then made with run_golden.py --update and reviewed;
the folders' expected/ stay as they are (only the inputs are rewritten).

The database (see the unit test kelvor_search_test for the same entries
worked out by hand): the query turned and shifted, its strand reversed, an
element inserted, the query split over two chains, its mirror image next to
a copy, an entry without helices, and a second copy whose characters 2 to 4
equal the first one's.

Usage: python3 tests/golden/kelvor/make_search_cases.py
"""
import math, os, shutil, sys
sys.dont_write_bytecode = True  # no __pycache__ among the case folders
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from golden_inputs import write_case_files, write_input  # noqa: E402

ROOT = os.path.dirname(os.path.abspath(__file__))
MASK = "CPU total/user/sys :.*$\n"

# type, name, from, to, nres, head, tail
QUERY = [
    ("ALPHA ", "A1", "A1", "A10", 10, (20, 0, 0), (35, 0, 0)),
    ("ALPHA ", "A2", "A15", "A22", 8, (20, 10, 0), (32, 12, 0)),
    ("ALPHA ", "A3", "A30", "A41", 12, (22, 0, 10), (24, 16, 10)),
    ("BETA  ", "B1", "A50", "A55", 6, (30, 10, 12), (42, 12, 14)),
]


def moved(sses, angle, shift):
    c, s = math.cos(angle), math.sin(angle)
    out = []
    for kw, n, f, t, nres, h, tl in sses:
        def mv(p):
            return (c * p[0] - s * p[1] + shift[0], s * p[0] + c * p[1] + shift[1], p[2] + shift[2])
        out.append((kw, n, f, t, nres, mv(h), mv(tl)))
    return out


def line(e):
    kw, n, f, t, nres, h, tl = e
    return "%s '%s' '%s' '%s' %d %s %s\n" % (kw, n, f, t, nres,
        " ".join("%.3f" % v for v in h), " ".join("%.3f" % v for v in tl))


def mol(name, note, elems):
    return "MOL    %s\nNOTE   %s\nPDB    /pdb/%s.pdb\n%sENDMOL\n" % (name, note, name, "".join(line(e) for e in elems))


def entries():
    rev = list(QUERY)
    kw, n, f, t, nres, h, tl = rev[3]
    rev[3] = (kw, n, f, t, nres, tl, h)
    ins = list(QUERY)
    ins.insert(2, ("ALPHA ", "X", "A25", "A28", 9, (200, 0, 0), (200, 30, 0)))
    chn = list(QUERY)
    chn[2] = chn[2][:2] + ("B30", "B41") + chn[2][4:]
    chn[3] = chn[3][:2] + ("B50", "B55") + chn[3][4:]
    mir = [(kw, n, f, t, nres, (-h[0], h[1], h[2]), (-tl[0], tl[1], tl[2]))
           for kw, n, f, t, nres, h, tl in QUERY]
    mir += [(kw, n, "A1%02d" % i, "A1%02d" % (i + 9), nres, h, tl)
            for i, (kw, n, f, t, nres, h, tl) in enumerate(QUERY)]
    strands = [("BETA  ", "B%d" % i, "A%d" % (10 * i), "A%d" % (10 * i + 4), 5,
                (5 * i, 0, 0), (5 * i, 15, 0)) for i in range(1, 5)]
    return ("! constructed search database\n"
            + mol("1rot", "the query turned and shifted", moved(QUERY, math.pi / 2, (5, -7, 3)))
            + mol("2rev", "strand  reversed", rev)
            + mol("3ins", "an element inserted", ins)
            + mol("4chn", "split over chains a and b", chn)
            + mol("5mir", "mirror image, then a copy", mir)
            + mol("6bet", "strands only", strands)
            + mol("7rot", "another copy, same code as 1rot", moved(QUERY, 0.3, (1, 2, 3))))


def user():
    return ("! query\nMOL    quer\nNOTE   The Query\nPDB    /pdb/quer.pdb\n"
            + "".join(line(e) for e in QUERY) + "ENDMOL\n")


def copies(n):
    return "".join(mol("c%03d" % i, "copy %d" % i, moved(QUERY, 0.1 * i, (i, 0, 0)))
                   for i in range(1, n + 1))


def case(name, stdin, files, args=None, outputs=None):
    d = os.path.join(ROOT, name)
    for old in ("in", "stdin", "args", "env", "outputs", "mask"):
        p = os.path.join(d, old)
        if os.path.isdir(p):
            shutil.rmtree(p)
        elif os.path.exists(p):
            os.remove(p)
    os.makedirs(d, exist_ok=True)
    for fn, text in files.items():
        write_input(d, fn, text.encode())
    write_case_files(d, stdin=stdin, args=args, outputs=outputs, mask=MASK)


def answers(*a):
    return "".join(x + "\n" for x in a)


START = answers("", "N", "N", "RE", "user.sse")
FILES = {"kelvor.lib": entries(), "user.sse": user()}
BOTH = ["lsq.movamac", "vobril.inp"]

# IN, all defaults: 18 answers.
IN_DEFAULT = ["IN"] + [""] * 18

case("search_in_default", START + answers(*IN_DEFAULT, "QU"), FILES, outputs=BOTH)
case("search_in_explicit",
     START + answers("IN", "", "", "", "", "Y", *[""] * 13, "QU"), FILES, outputs=BOTH)
# SKELDO: no superposition question, no VOBRIL questions.
case("search_in_skeldo",
     START + answers("IN", "", "", "Y", "", "1", "4", "10", "6", "0.3", "0 0 1 1 5",
                     "N", "Y", "N", "", "", "PA", "", "", "", "", "", "QU"),
     FILES, outputs=["lsq.movamac"])
# Symbolic: no geometric questions and no files.
case("search_in_symbolic",
     START + answers("IN", "", "", "", "Y", "", "", "QU"), FILES)
# Extensive output, VOBRIL saving, identical proteins avoided, multi-chain allowed.
case("search_in_extensive",
     START + answers("PA", "", "Y", "Y", "N", "Y", *IN_DEFAULT, "QU"), FILES, outputs=BOTH)
# Every abort answer, each ending the command quietly.
case("search_in_aborts",
     START + answers("IN", "", "0",
                     "IN", "", "4", "", "", "", "-1",
                     "IN", "", "", "", "", "", "2", "-1",
                     "IN", "", "", "", "", "", "2", "4", "-1",
                     "IN", "", "", "", "", "", "2", "4", "10", "-1",
                     "IN", "", "", "", "", "", "2", "4", "10", "8", "2.5",
                     "IN", "12", "3",
                     "QU"), FILES)
# A minimum of 2 is reset to 3; weights clamped and normalised, shown as the
# next defaults in the second search; files not wanted.
case("search_in_reset",
     START + answers("IN", "", "2", "", "", "", "", "", "", "", "", "-5 200 1 1 0.5", "", "", "",
                     "N", "N",
                     "IN", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "N", "N", "QU"),
     FILES)
# Files that cannot be created: the errors, and the search still runs.
case("search_in_open_fail",
     START + answers("IN", *[""] * 14, "", "nodir/x.mac", "", "nodir/x.inp", "QU"), FILES)
# MAXHITS 10 against eleven copies: the search stops after the tenth, the
# files are closed.
case("search_in_maxhits",
     START + answers(*IN_DEFAULT, "QU"), {"kelvor.lib": copies(11), "user.sse": user()},
     args="-B MAXHITS 10", outputs=BOTH)
# No hit: a macro with only its preamble, a VOBRIL file with preamble and end.
case("search_in_nohit",
     START + answers(*IN_DEFAULT, "QU"),
     {"kelvor.lib": "! none\n" + mol("6bet", "strands only", [
         ("BETA  ", "B1", "A1", "A5", 5, (0, 0, 0), (0, 15, 0))]), "user.sse": user()},
     outputs=BOTH)
# FI: names upper-cased, blanks removed, unknown and repeated names dropped;
# then a motif of unknown names only: "Empty query" and a new start, ended by 0.
case("search_fi_names",
     START + answers("FI", "4", "a1", "zz", "A1", "a 3", *[""] * 14,
                     "FI", "1", "qq", *[""] * 13, "0", "QU"), FILES, outputs=BOTH)
# FI with two elements: explicit superposition without the question.
case("search_fi_two",
     START + answers("FI", "2", "A1", "B1", *[""] * 13, "QU"), FILES, outputs=BOTH)
# Degenerate input: 325 coincident elements of zero length in the query and
# in an entry with a two-character name and labels without digits (gaps
# mismatch 999 in the symbolic search); the geometric search of that entry
# stops at its work limit.
def degenerate(i, frm, to):
    return "ALPHA 'H%d' '%s' '%s' 10 1.000 2.000 3.000 1.000 2.000 3.000\n" % (i, frm, to)
DEG_QUERY = ("MOL    deg\nNOTE   degenerate\nPDB    deg.pdb\n"
             + "".join(degenerate(i, "A%d" % (2 * i + 1), "A%d" % (2 * i + 2)) for i in range(1, 326))
             + "ENDMOL\n")
DEG_DB = ("MOL    ab\nNOTE   short name\nPDB    ab.pdb\n"
          + "".join(degenerate(i, "AX", "AY") for i in range(1, 326)) + "ENDMOL\n")
case("search_degenerate",
     START + answers("IN", "", "", "", "Y", "", "",
                     "IN", "", "", "", "N", "", "", "", "", "", "", "", "", "", "", "N", "N", "QU"),
     {"kelvor.lib": DEG_DB, "user.sse": DEG_QUERY})
# The demo query (prynol's SSE file of data/demo/1ubq.pdb.gz) against the
# bundled database, at least 6 SSEs to match.
if os.path.exists(os.path.join(ROOT, "search_bundled_demo", "in", "1ubq.sse")):
    demo_sse = open(os.path.join(ROOT, "search_bundled_demo", "in", "1ubq.sse")).read()
    case("search_bundled_demo",
         answers("", "N", "N", "RE", "1ubq.sse", "IN", "", "6", *[""] * 16, "QU"),
         {"1ubq.sse": demo_sse}, outputs=BOTH)
    # The bundled database itself, through a link the runner copies.
    os.symlink(os.path.join("..", "..", "..", "..", "..", "data", "db", "kelvor.lib"),
               os.path.join(ROOT, "search_bundled_demo", "in", "kelvor.lib"))
