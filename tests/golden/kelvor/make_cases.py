"""Writes the inputs (in/, stdin, args, env, mask, outputs) of kelvor's golden
cases. The expected output is then made with run_golden.py --update and
reviewed; topology_helix also gets expected/absent (other.zev is not written).

Usage: python3 tests/golden/kelvor/make_cases.py
"""
import gzip, io, os
import sys
sys.dont_write_bytecode = True  # no __pycache__ among the case folders
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from golden_inputs import fresh_case, write_case_files, write_input  # noqa: E402
ROOT = os.path.dirname(os.path.abspath(__file__))
MASK = "CPU total/user/sys :.*$\n"

def case(name, stdin, files=None, args=None, env=None, outputs=None, mask_extra="", gz=None):
    d = fresh_case(ROOT, name)
    for fn, text in (files or {}).items():
        write_input(d, fn, text.encode())
    for fn, text in (gz or {}).items():
        data = io.BytesIO()
        with gzip.GzipFile(os.path.basename(fn), "wb", compresslevel=9, fileobj=data, mtime=0) as f:
            f.write(text.encode())
        write_input(d, fn, data.getvalue())
    write_case_files(d, stdin=stdin, args=args, env=env, outputs=outputs, mask=MASK + mask_extra)

def el(kw, name, frm, to, nres, h, t):
    return "%s '%s' '%s' '%s' %d %s %s\n" % (kw, name, frm, to, nres,
        " ".join("%.3f" % v for v in h), " ".join("%.3f" % v for v in t))

def alpha(name, frm, to, nres, h, t): return el("ALPHA ", name, frm, to, nres, h, t)
def beta(name, frm, to, nres, h, t): return el("BETA  ", name, frm, to, nres, h, t)

def mol(name, note, pdb, elems):
    return "MOL    %s\nNOTE   %s\nPDB    %s\n%sENDMOL\n" % (name, note, pdb, "".join(elems))

SMALL = ("! kelvor test database\n"
  "REMARK three small entries\n"
  + mol("1abc", "Lysozyme  from   Hen", "/data/pdb/1abc.pdb", [
      alpha("A1", "A5", "A16", 12, (1.23, -4.56, 7.89), (10.11, 12.13, 14.15)),
      beta("B1", "A20", "A24", 5, (1, 2, 3), (4, 5, 6)),
      beta("B2", "A27", "A31", 5, (5.8, 5, 6), (4.8, 2, 3))])
  + mol("1abd", "Lysozyme mutant", "/data/pdb/1ABD.pdb", [
      alpha("A1", "5", "20", 16, (0, 0, 0), (0, 0, 24))])
  + mol("2xyz", "Retinol binding protein", "/Data/PDB/2XYZ.pdb", [
      beta("B1", "A1", "A7", 7, (0, 0, 0), (0, 20, 0)),
      beta("B2", "A10", "A16", 7, (4.8, 20, 0), (4.8, 0, 0)),
      alpha("H1", "A20", "A40", 21, (10, 10, 10), (10, 10, 40))]))

def start(listing="", skip=""):
    return "\n%s\n%s\n" % (listing, skip)

def strand(name, x, up, z=0.0, nres=7):
    h, t = ((x, 0, z), (x, 10, z)) if up else ((x, 10, z), (x, 0, z))
    return beta(name, "A%d" % int(x), "A%d" % int(x + 6), nres, h, t)

QUERY = mol("myprot", "My  Model", "/models/mine.pdb", [
    strand("B1", 0, True), strand("B2", 4.8, False), alpha("H1", "A30", "A45", 16, (0, 5, 12), (15, 5, 12))])

# ---------------------------------------------------------------- start-up
case("startup", start() + "QU\n", {"kelvor.lib": SMALL})
case("zvlib_prefix", start() + "QU\n", {"db/kelvor.lib": SMALL}, env="ZVLIB=db\n")
case("missing_library", "nosuch.lib\n", {})
case("maxhits_5", start() + "QU\n", {"kelvor.lib": SMALL}, args="-B MAXHITS 5")
case("maxhits_env", start() + "QU\n", {"kelvor.lib": SMALL}, env="MAXHITS=2500\n")

# Listing: lower-case keywords, invalid keywords, names " a 1", statements before MOL,
# an empty entry in the middle, an empty last entry.
LISTING = ("! listing test\n"
  "REMARK  keywords in any case\n"
  "NOTE   note before any molecule\n"
  "PDB    before.pdb\n"
  "ENDMOL\n"
  "ALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0 10\n"
  "TYPMOL whatever\n"
  "MOL    Empty One\n"
  "NOTE   this entry has no elements\n"
  "ENDMOL\n"
  "mol    1LOW\n"
  "note   Lower  CASE   keywords\n"
  "pdb    /data/ low.pdb\n"
  "alpha ' a 1' 'A2' 'A15' 14 1.0 2.0 3.0 4.0 5.0 6.0\n"
  "beta  'b2' 'A20' 'A25' 6 0.5 0.5 0.5 1.5 1.5 1.5\n"
  "BETA 'B3' 'A30' 'A35' 6 0 0 0 1 1 1\n"
  "HELIX 'H1' 'A1' 'A9' 9 0 0 0 0 0 10\n"
  "endmol\n"
  "MOLECU 2two\n"
  "ALPHA A1 B5 B20 16 10 10 10 20 20 20\n"
  "END\n"
  "MOL    last\n"
  "NOTE   dropped: no elements\n"
  "ENDMOL\n")
case("listing_keywords", start("Y") + "LI\nN\nY\nlow\nQU\n", {"kelvor.lib": LISTING})

# Element line with nine items: fatal.
case("nine_items", start() + "QU\n", {"kelvor.lib":
    mol("1abc", "fine", "x.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
    + "MOL    2bad\nALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0\nENDMOL\n"})

# ---------------------------------------------------------------- truncated loads
big_entry = "MOL    1big\nNOTE   too many elements\n" + "".join(
    alpha("H%d" % k, "A%d" % k, "A%d" % (k + 5), 6, (k, 0, 0), (k, 0, 9)) for k in range(1, 328)) + \
    "ENDMOL\n" + mol("2ok", "fine", "ok.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
case("truncated_entry", start() + "?\nTO\nST\nQU\n", {"kelvor.lib": big_entry})

many = "".join("MOL    e%05d\nALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0 10\nENDMOL\n" % i for i in range(1, 20003))
case("truncated_entries", "kelvor.lib.gz\n\n\nST\nQU\n", gz={"kelvor.lib.gz": many})

elems325 = "ALPHA 'A1' 'A1' 'A9' 9 0 0 0 0 0 10\n" * 325
total = "".join("MOL    t%04d\n%sENDMOL\n" % (i, elems325) for i in range(1, 2003))
case("truncated_total", "kelvor.lib.gz\n\n\nST\n?\nQU\n", gz={"kelvor.lib.gz": total})

# ---------------------------------------------------------------- CHAIN, skip mode
first = ("! first file\n" + mol("1one", "first file", "one.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
         + "! more comment lines\n!\nCHAIN  second.lib\n")
second = ("! second file, 6 lines in all\n" + mol("2two", "second file", "two.pdb",
          [beta("B1", "B1", "B5", 5, (0, 0, 0), (0, 5, 0))]))
case("chain_two_files", start("Y") + "LI\nN\nN\no\nQU\n", {"kelvor.lib": first, "second.lib": second})
case("chain_missing_file", start() + "QU\n", {"kelvor.lib": first})
# Files that chain back to a file already read: reading stops there.
loop2 = second + "CHAIN  kelvor.lib\n"
case("chain_loop", start() + "QU\n", {"kelvor.lib": first, "second.lib": loop2})

skiplib = (mol("1has", "pdb exists", "present.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
           + mol("2gone", "pdb missing", "absent.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
           + mol("3next", "replaces 2gone", "present.pdb", [beta("B1", "B1", "B5", 5, (0, 0, 0), (0, 5, 0))])
           + mol("4last", "last one, pdb missing", "absent2.pdb", [beta("B1", "B1", "B5", 5, (0, 0, 0), (0, 5, 0))]))
case("skip_missing_pdb", start("", "Y") + "LI\nN\nN\n1\nLI\nN\nN\n4\nLI\nN\nN\n2\nQU\n",
     {"kelvor.lib": skiplib, "present.pdb": "ATOM\n"})

# ---------------------------------------------------------------- the option loop
case("option_dispatch", start() + "in\nIN\nIncremental\nfi\nTO\nQ\n\n! a comment\n\n?\nRE\n\nin\n\n0\nFi\n0\nQUIT\n",
     {"kelvor.lib": SMALL, "user.sse": QUERY})
case("end_of_input", start() + "\n\nLI\n\n\n\n", {"kelvor.lib": SMALL, "user.sse": QUERY})
case("end_of_input_select", start() + "SE\n3\n1abd\n", {"kelvor.lib": SMALL})
case("params", start() + "PA\nX\nPA\nh\ny\ny\nn\nY\nPA\n\n\n\n\n\nQU\n", {"kelvor.lib": SMALL})

# ---------------------------------------------------------------- RE
USER2 = ("! two molecules in one user file\n"
         + mol("first", "first block", "first.pdb", [strand("B1", 0, True), strand("B2", 4.8, False)])
         + "CHAIN other.lib\nTYPMOL x\nREMARK  second block follows\n"
         + mol("Second Name", "second  block", "second.pdb", [alpha("H1", "A30", "A45", 16, (0, 5, 12), (15, 5, 12))]))
case("read_two_mol", start() + "RE\n\nRE\nnosuch.sse\nTO\n\n\n\nQU\n", {"kelvor.lib": SMALL, "user.sse": USER2},
     outputs=["topo.zev"])

# ---------------------------------------------------------------- SE, LI, EX, CH, ST
SEL = ("! a select macro with bad lines\n"
       "SELECT NONE\n"
       "select   on   1ab\n"
       "Select On 2XYZ\n"
       "\n"
       "   SELECT OFF 1abc\n"
       "SELECT ON nosuch\n"
       "CHOOSE ON 1abc\n"
       "SELECT SOME\n"
       "SELECT\n"
       "SELECT ON \"1abd\"\n")
case("select_options", start() + "SE\n1\n2\n3\n1ab\n4\n1ABC\n3\nzzzz\n6\n1abc\n 2 x y z\n\n7\n2xyz\nnope\n\n5\n\n5\nnosuch.sel\n0\nSE\n9\nSE\n\nQU\n",
     {"kelvor.lib": SMALL, "user.sel": SEL})
case("list_fields", start() + "LI\nN\nY\nABD\nLI\nC\nn\nLYSO\nLI\nF\nY\nPDB\nLI\nf\nn\npdb\nLI\nX\nLI\nN\nN\nnone\nQU\n",
     {"kelvor.lib": SMALL})
case("extract_prefix", start() + "EX\n1ab\none.sse\ntwo.sse\nEX\n2xyz\none.sse\nEX\n\n\nRE\none.sse\nQU\n",
     {"kelvor.lib": SMALL}, outputs=["one.sse", "two.sse"], mask_extra="^! Date .*$\n")
CHK = SMALL + mol("1ABC", "same name again", "/data/pdb/other.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))]) \
    + mol("3new", "same pdb as 1abd", "/data/pdb/1ABD.pdb", [alpha("A1", "A1", "A9", 9, (0, 0, 0), (0, 0, 10))])
case("check_duplicates", start() + "CH\nQU\n", {"kelvor.lib": CHK})
LONG = (mol("1lng", "long helices", "l.pdb", [alpha("H1", "A1", "A30", 30, (0, 0, 0), (0, 0, 45)),
        alpha("H2", "A40", "A65", 26, (10, 0, 0), (10, 0, 39)), beta("B1", "A70", "A74", 5, (0, 0, 0), (0, 5, 0))])
        + mol("2lng", "more", "m.pdb", [alpha("H1", "A1", "A25", 25, (0, 0, 0), (0, 0, 37)),
          beta("B1", "A30", "A35", 6, (0, 0, 0), (0, 6, 0)), beta("B2", "A40", "A45", 6, (0, 0, 0), (0, 6, 0)),
          beta("B3", "A50", "A79", 30, (0, 0, 0), (0, 90, 0))]))
case("stats_long_helices", start() + "ST\nST\nQU\n", {"kelvor.lib": LONG})

# ---------------------------------------------------------------- TO
def tcase(name, query, extra_stdin="", outputs=("topo.zev",), files=None):
    f = {"kelvor.lib": SMALL, "user.sse": query}
    f.update(files or {})
    case(name, start() + "TO\nRE\n\nTO\n\n\n\n" + extra_stdin + "QU\n", f, outputs=list(outputs))

tcase("topology_sheet", mol("sheet", "four-stranded antiparallel sheet", "s.pdb",
      [strand("A", 0, True), strand("B", 4.8, False), strand("C", 9.6, True), strand("D", 14.4, False)]))
import math
barrel = []
for k in range(6):
    a = k * math.pi / 3
    x, y = 5 * math.cos(a), 5 * math.sin(a)
    h, t = ((x, y, 0), (x, y, 10)) if k % 2 == 0 else ((x, y, 10), (x, y, 0))
    barrel.append(beta("S%d" % (k + 1), "A%d" % (10 * k), "A%d" % (10 * k + 6), 7, h, t))
tcase("topology_barrel", mol("barrel", "closed six-stranded barrel", "b.pdb", barrel))
tcase("topology_helix", mol("helix", "three strands and a lone helix", "h.pdb",
      [alpha("H1", "A1", "A15", 15, (50, 50, 50), (50, 50, 72)), strand("A", 0, True), strand("B", 4.8, False),
       strand("C", 9.6, True)]),
      extra_stdin="RE\nhelices.sse\nTO\n\n\nother.zev\n", outputs=("topo.zev",),
      files={"helices.sse": mol("hh", "helices only", "x.pdb", [alpha("H1", "A1", "A15", 15, (0, 0, 0), (0, 0, 22)),
             alpha("H2", "A20", "A35", 15, (30, 0, 0), (30, 0, 22))])})
tcase("topology_two_sheets", mol("two", "two separate sheets", "t.pdb",
      [strand("A", 0, True), strand("B", 4.8, False), strand("C", 0, True, 30), strand("D", 4.8, False, 30)]),
      extra_stdin="TO\n0.9\n4.0\n\n")

os.makedirs(os.path.join(ROOT, "topology_helix", "expected"), exist_ok=True)
open(os.path.join(ROOT, "topology_helix", "expected", "absent"), "w").write("other.zev\n")
