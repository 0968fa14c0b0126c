"""Writes the inputs (in/, stdin, args, env, outputs) of zev's golden cases.
The expected output is then made with run_golden.py --update and reviewed.

Usage: python3 tests/golden/zev/make_cases.py
"""
import os
import sys
sys.dont_write_bytecode = True  # no __pycache__ among the case folders
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from golden_inputs import fresh_case, write_case_files, write_input  # noqa: E402
ROOT = os.path.dirname(os.path.abspath(__file__))
# The PostScript writer's date line and the CPU line of costly options.
MASK = "^ Date    : .*$\n^ User    : .*$\nCPU total/user/sys :.*$\n"


def case(name, stdin, files=None, args=None, env=None, outputs=None, absent=None):
    d = fresh_case(ROOT, name)
    for fn, text in (files or {}).items():
        write_input(d, fn, text.encode("latin-1"))
    write_case_files(d, stdin=stdin, args=args, env=env, outputs=outputs, mask=MASK,
                     absent=absent)


PL1 = """! a small 1D plot file
REMARK four points
NPOINT 4
XLIMIT 1 0.5
YVALUE *
10 20
30 40
XLABEL Residue
YLABEL B-factor
END
"""

# Start-up: ZVBUFFER below the minimum gives the minimum.
case("startup_buffer", "quit\n", env="ZVBUFFER=5000\n")
case("buffer_argument", "q\n", args="-B ZVBUFFER 123456")
case("end_of_input", "?\n")
case("help", "", args="--help")

# The option loop's edge cases.
case("loop_edges",
     "\n\n\n"                 # empty first answer: cricketgraph in.pl1 out.ps
     "sc in.pl1 out.ps\n"     # scatter_plot
     "! a comment\n"
     "?\n"
     "\n"                     # repeats scatter_plot in.pl1 out.ps
     "c\nS\nX\n"              # invalid or ambiguous
     "SCATTERBRAIN\n\n"       # scatter_plot, file asked, no PostScript file
     "2D_contour in.pl2\n"    # Nothing to do
     "open_window 1 w\nintegrate 0 1\nfocus 1\ncursor_mode\nclose_window\n"
     "QUACK\n",
     files={"in.pl1": PL1}, outputs=["out.ps"])

# Conversions.
case("cricketgraph",
     "cricketgraph sets.pl1 sets.cg\ncr one.pl1 one.cg\ncr missing.pl1 x.cg\n"
     "cr sets.pl1 nodir/x.cg\ncr next.pl1 next.cg\nquit\n",
     files={"sets.pl1": "REMARK three data sets\nNPOINT 3\nVALUES *\n1 2 3 4 5 6\n"
                        "XLABEL first X\nYLABEL first Y\nMORE\n"
                        "NPOINT 2\nXVALUE (2f5.2)\n 1.25 2.50\nCOLOUR 3\nMORE\n"
                        "XLABEL last\nEND\n",
            "one.pl1": "NPOINT 1\nXVALUE *\n7\n",
            "next.pl1": "NPOINT 2\nNEXTFN sets.pl1\n"},
     outputs=["sets.cg", "one.cg"], absent=["x.cg"])

COUNT = "REMARK   binned   data  \nREMARK second\nNPOINT 6\nVALUES *\n0 0  1 1  2 2  3 3  5 5  -0.1 4.9\n" \
        "XLABEL xx\nYLABEL yy\nMORE\nGRID   1 2 3 4 5 6\n"
case("count_1d_to_2d",
     "count_1d_to_2d counts.pl1 counts.pl2\n"
     "co fixed.pl1 fixed.pl2\nquit\n",
     files={"counts.pl1": COUNT,
            "fixed.pl1": "NPOINT 4\nVALUES *\n0 0 0.1 0.1 4.9 0.5 5 1\nXCOUNT 0 1 5\n"
                         "YCOUNT 0 0.1 2\n"},
     outputs=["counts.pl2", "fixed.pl2"])

GRID = ("REMARK a 3 by 2 grid\nXPOINT 3\nYPOINT 2\nXLIMIT 0 10\nYLIMIT -1 1\n"
        "NLEVEL 2\nLEVELS\n1.5 4.5\nCOLOUR\n2 4\nRAMCOL 255 0 0 0 0 255\n"
        "XLABEL x\nYLABEL y\nLINE   0 0 1 1\n"
        "ZVALUE (3f5.1)\n  1.0  2.0  3.0\n  4.0  5.0  6.5\nEND\n")
case("vrml",
     "vrml_2D grid.pl2 lines.wrl\n\n"
     "vrml_2D grid.pl2 solid.wrl S\n"
     "v flat.pl2 flat.wrl s\n"
     "v grid.pl2 nodir/x.wrl L\n"
     "v small.pl2 small.wrl L\n"
     "v big.pl2 big.wrl L\n"
     "v missing.pl2\n\n\nquit\n",
     files={"grid.pl2": GRID,
            "flat.pl2": "XPOINT 2\nYPOINT 2\nZVALUE *\n3 3 3 3\n",
            "small.pl2": "XPOINT 1\nYPOINT 5\nZVALUE *\n1 2 3 4 5\n",
            "big.pl2": "XPOINT 100000\nYPOINT 100000\nZVALUE *\n1\n"},
     outputs=["lines.wrl", "solid.wrl", "flat.wrl"], absent=["x.wrl", "small.wrl", "big.wrl"])

# The topology file kelvor's TO writes for the demo query (1ubq).
TOPO = open("/tmp/z1/demo_topo.zev").read() if os.path.exists("/tmp/z1/demo_topo.zev") else None
if TOPO is None:
    TOPO = open(os.path.join(ROOT, "topology_demo", "in", "topo.zev")).read()
case("topology_demo", "topology topo.zev topo.eps\nquit\n", files={"topo.zev": TOPO},
     outputs=["topo.eps"])
case("topology_edges",
     "t helix.zev helix.eps\nt noview.zev noview.eps\nt wide.zev wide.eps\nt none.zev\n"
     "t none.zev none.eps\nquit\n",
     files={"helix.zev": "REMARK one helix pointing down\nXYVIEW      -1.00      2.00     -0.50      1.50\n"
                         "ALPHA    0.00  1.00  0.00  0.00  0.80 'H1    '\n"
                         "! a comment\nBETA  x\nFOO    1\nEND\nALPHA 9 9 9 9 9 'late'\n",
            "noview.zev": "ALPHA    0.00  1.00  0.00  0.00  0.80 'H1    '\n",
            "wide.zev": "XYVIEW      99.00     102.00     -0.50      1.50\n"
                        "BETA   100.00  0.00100.00  1.00  0.80 'B100  '\n"
                        "BETA   101.00  1.00101.00  0.00  0.80 'B101  '\n",
            "none.zev": "XYVIEW 0 1 0 1\n"},
     outputs=["helix.eps", "wide.eps", "none.eps"], absent=["noview.eps"])

# Every keyword of the 2D reader, read for vrml_2D, and what it says about
# bad input (CR line ends, binary bytes, unreadable values, refused counts,
# a malformed format).
ALL2D = ("! every keyword\nREMARK all of them\nXPOINT 3\nYPOINT 2\nXLIMIT 0 2\nYLIMIT 0 1\n"
         "XLABEL along x\nYLABEL along y\nLINE   0 0 2 1\nBOX    0 1 0 1\nNLEVEL 3\n"
         "LEVELS\n1.5\n2.5 3.5\nCOLOUR\n2 3 4\nRAMLIM 6 1\nRAMODE log\nRAMTYP grey\n"
         "RAMCOL 0 0 1 1 0 0\nZVALUE (3f4.1)\n 1.0 2.0 3.0\n 4.0 5.0 6.0\nEND\nXPOINT 9\n")
BAD2D = ("REMARK CR line ends\rXPOINT -1\rXPOINT two\rYPOINT 2\rXPOINT 2\rNLEVEL 51\r"
         "NLEVEL 2\rLEVELS\r1 x\rRAMCOL 1 2\rNPOINT 3\r\x01\x02\xfe\xff\rTEXT   1 1 1 'a'\r"
         "ZVALUE (2f4.1\r 1.0 2.0\r 3.0 4.0\r")
case("reader_2d_keywords",
     "v all.pl2 all.wrl L\nv bad.pl2 bad.wrl S\nquit\n",
     files={"all.pl2": ALL2D, "bad.pl2": BAD2D}, outputs=["all.wrl"], absent=["bad.wrl"])

# The 1D reader as the conversions use it: the data keywords with formats
# from the file and Mova datablocks; the plot instructions are ignored.
ALL1D = ("! every keyword\nREMARK conversion\nNPOINT 3\nCOLOUR 2\nGRID   0 1 1 0 1 1\n"
         "XYVIEW 0 1 0 1\nMRKTYP 2\nHIDE\nNODASH\nDASH\nLINFIT\nXYSTAT\nNOHIDE\nCDVERT 0.1\n"
         "MRKSIZ 1 1\nBOXPAR 0 1 2\nLINE   0 0 1 1\nBOX    0 1 0 1\nCIRCLE 0 0 1\n"
         "ELLIPS 0 0 1 1\nTEXT   0 0 1 'x'\nXLIMIT 1 1\nYLIMIT 5 -1\nXLABEL the x\n"
         "YLABEL the y\nLABELS (a2)\nab\ncd\nef\nXFROMO x.odb\nYFROMO y.odb\nLFROMO x.odb\n"
         "XVALUE (3f5.2)\n 1.25 2.50 3.75\nYVALUE *\n1,2\n3\nVALUES *\n1 1 2 4 3 9\n"
         "VALABS (2f4.1,a)\n 1.0 1.0one\n 2.0 8.0two\n 3.0 27.three\nXCOUNT 0 1 9\n"
         "YCOUNT 0 1 30\nNPOINT 100001\nNPOINT -1\nYVALUE *\n1 2\nUNKNWN 1\nEND\n")
case("reader_1d_conversion",
     "cricketgraph all.pl1 all.cg\ncount_1d_to_2d all.pl1 all.pl2\nquit\n",
     files={"all.pl1": ALL1D, "x.odb": "Residue I 3 (3i3)\n  1  2  3\n",
            "y.odb": "B R 3 (8f9.3)\n 10 20\n 30\n"},
     outputs=["all.cg", "all.pl2"])
