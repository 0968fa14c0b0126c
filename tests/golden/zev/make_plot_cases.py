"""Writes the inputs of zev's golden cases of the plot options (plot_*):
every 1D plot type, the data sets of one picture, the Mova-datablock mode,
contours and colour ramps, and the inputs that draw nothing. The expected
output is then made with run_golden.py --update and reviewed.

Usage: python3 tests/golden/zev/make_plot_cases.py
"""
import math
import os
import sys
sys.dont_write_bytecode = True  # no __pycache__ among the case folders
sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from golden_inputs import fresh_case, write_case_files, write_input  # noqa: E402

ROOT = os.path.dirname(os.path.abspath(__file__))
MASK = "^ Date    : .*$\n^ User    : .*$\nCPU total/user/sys :.*$\n"


def case(name, stdin, files, outputs, absent=None):
    d = fresh_case(ROOT, name)
    for fn, text in files.items():
        write_input(d, fn, text.encode("latin-1"))
    write_case_files(d, stdin=stdin, outputs=outputs, mask=MASK, absent=absent)


# Line plot: Y all 5 gives Y limits 4.95..5.05; a grid, labels (one with a
# backslash and trailing blanks), every kind of extra, a colour, HIDE.
LINE = """REMARK constant line
NPOINT 5
XLIMIT 0 25
YLIMIT 5 0
COLOUR 4
GRID   0 100 25 4.95 5.05 0.05
TEXT   10 5.02 14 'peak \\ here   '
TEXT   60 4.97 10 "second"
LINE   0 4.96 100 5.04
BOX    20 40 4.98 5.0
CIRCLE 50 5 10
ELLIPS 75 5 10 0.02
HIDE
XLABEL Time
YLABEL Level
END
"""

# All Y 0: limits -0.01..0.01 (spike plot, marker sizes from the ranges).
SPIKE = """NPOINT 3
XVALUE *
1 2 3
YVALUE *
0 0 0
END
"""

# Scatter over X = 0..100 without MRKSIZ: half-width 1; a fit and the
# statistics; marker type 4.
SCATTER = "NPOINT 11\nMRKTYP 4\nLINFIT\nXYSTAT\nVALUES *\n" + "".join(
    "%d %g\n" % (10 * i, 3 + 0.5 * i + (0.3 if i % 2 else -0.3)) for i in range(11)) + "END\n"

# A histogram of 4 points: 3 bars, 3 points reported.
HIST = """NPOINT 4
VALUES *
0 2  1 5  2 3  3 0
END
"""

# Pie of 1, 1, 2, 0: slices of 90, 90 and 180 degrees, A, B, C; the last Y
# counts in the total only.
PIE = """NPOINT 4
VALUES *
0 1  10 1  20 2  30 0
END
"""

# Zero and negative pie values: no slice for them.
PIE_NEG = """NPOINT 5
YVALUE *
3 0 -1 2 9
END
"""

# CD plot: a strip 20 % of the Y range high, grey per point, and its key.
CD = """NPOINT 6
CDVERT 0.2
VALUES *
190 -2  195 -8  200 -12  205 -5  210 0  215 3
XLABEL Wavelength
END
"""

# Box plot with fixed bins of width 2 from 0 while the start is <= 6; the
# first bin has 12 points (a box), the others fewer (markers).
def box_fixed():
    pts = [(0.1 * i, float((i * 7) % 12)) for i in range(12)]
    pts += [(2.5, 1.0), (3.0, 2.0), (4.5, 6.0), (7.5, 9.0)]
    body = "".join("%g %g\n" % p for p in pts)
    return "NPOINT %d\nBOXPAR 0 2 6\nMRKSIZ 0.05 0.2\nVALUES *\n%sEND\n" % (len(pts), body)


# Box plot with equal-count bins: 3 bins of 11 points (boxes), their summary
# and fit; and 6 points in 3 bins, refused.
def box_counts():
    pts = [(float(i), float((i * 5) % 11) + i / 4.0) for i in range(33)]
    body = "".join("%g %g\n" % p for p in pts)
    return "NPOINT 33\nBOXPAR 0 -3 0\nVALUES *\n%sEND\n" % body


BOX_FEW = """NPOINT 6
VALUES *
1 1 2 2 3 3 4 4 5 5 6 6
END
"""

# Two data sets with MORE, each with its own dash pattern; a third from the
# file named by NEXTFN.
MORE = """REMARK first set
NPOINT 3
VALUES *
0 0 1 1 2 4
TEXT   1 1 12 'one'
MORE
NPOINT 3
VALUES *
0 1 1 2 2 3
NEXTFN next.pl1
END
"""
NEXT = """REMARK from the next file
NPOINT 2
VALUES *
0 3 2 0
END
"""
NODASH = """NODASH
NPOINT 2
VALUES *
0 0 1 1
MORE
NPOINT 2
VALUES *
0 1 1 0
END
"""

# Mova datablocks: a good one, and one whose count is wrong.
DATABLOCK = """B_factors F 6 (3f8.2)
   10.00   12.50   20.25
   18.00   15.00   11.75
"""
DATABLOCK_SHORT = """B_factors F 6 (3f8.2)
   10.00   12.50   20.25
"""

# Nothing to draw: one point, no points.
ONE = """NPOINT 1
YVALUE *
7
END
"""

# Huge values: limits of 1e38 still give a valid page.
HUGE = """NPOINT 3
VALUES *
-1e38 -3e38 0 0 1e38 3e38
END
"""


def grid2d(nx, ny, f):
    return [[f(i, j) for i in range(nx)] for j in range(ny)]


def pl2(nx, ny, rows, extra, zfmt="*"):
    out = ["XPOINT %d" % nx, "YPOINT %d" % ny]
    out += extra
    out.append("ZVALUE " + zfmt)
    for row in rows:
        out.append(" ".join("%.4f" % v for v in row))
    out.append("END")
    return "\n".join(out) + "\n"


def gauss(i, j):
    v = 0.0
    for cx, cy, h, s in ((6, 6, 1.0, 3.0), (15, 12, 0.8, 2.5), (14, 4, 0.5, 2.0)):
        v += h * math.exp(-((i - cx) ** 2 + (j - cy) ** 2) / (2 * s * s))
    return v


CONTOUR = pl2(20, 16, grid2d(20, 16, gauss), [
    "REMARK three peaks",
    "XLIMIT 0 19", "YLIMIT -5 10",
    "XLABEL X", "YLABEL Y",
    "NLEVEL 4", "LEVELS", "0.2 0.4", "0.6 0.8",
    "COLOUR", "1 2 3 4",
    "LINE   0 -5 19 10", "BOX    2 5 0 3",
])
# The same grid ramped (levels, ranges and ramp colours carry over).
RAMP = pl2(20, 16, grid2d(20, 16, gauss), ["RAMTYP white", "RAMCOL 0 0 255 255 0 0"])
RAMP_LOG = pl2(20, 16, grid2d(20, 16, gauss), ["RAMODE log", "RAMTYP sat", "RAMLIM 0 1"])
# A 2 x 2 saddle: two segments at 0.5; a 1 x 5 grid draws nothing.
SADDLE = pl2(2, 2, [[1, 0], [0, 1]], ["XLIMIT 0 1", "YLIMIT 0 1", "NLEVEL 1", "LEVELS",
                                      "0.5", "COLOUR", "2"])
THIN = pl2(1, 5, [[1], [2], [3], [4], [5]], [])
FLAT = pl2(3, 3, grid2d(3, 3, lambda i, j: 2.0), ["NLEVEL 2", "LEVELS", "2 3", "COLOUR", "1 2"])

case("plot_1d_types",
     "1D_line_plot line.pl1 line.eps\n"
     "spike_plot spike.pl1 spike.eps\n"
     "scatter_plot scatter.pl1 scatter.eps\n"
     "histogram hist.pl1 hist.eps\n"
     "CD_plot cd.pl1 cd.eps\n"
     "quit\n",
     {"line.pl1": LINE, "spike.pl1": SPIKE, "scatter.pl1": SCATTER, "hist.pl1": HIST,
      "cd.pl1": CD},
     ["line.eps", "spike.eps", "scatter.eps", "hist.eps", "cd.eps"])

case("plot_pie",
     "pie_chart pie.pl1 pie.eps\n"
     "pie_chart neg.pl1 neg.eps\n"
     "quit\n",
     {"pie.pl1": PIE, "neg.pl1": PIE_NEG},
     ["pie.eps", "neg.eps"])

case("plot_box",
     "box_plot fixed.pl1 fixed.eps\n"
     "box_plot counts.pl1 counts.eps\n"
     "box_plot few.pl1 few.eps\n"
     "quit\n",
     {"fixed.pl1": box_fixed(), "counts.pl1": box_counts(), "few.pl1": BOX_FEW},
     ["fixed.eps", "counts.eps", "few.eps"])

case("plot_data_sets",
     "1D_line_plot more.pl1 more.eps\n"
     "1D_line_plot nodash.pl1 nodash.eps\n"
     "quit\n",
     {"more.pl1": MORE, "next.pl1": NEXT, "nodash.pl1": NODASH},
     ["more.eps", "nodash.eps"])

case("plot_naive",
     "naive_1D_plot bfac.dat naive.eps\n"
     "naive_1D_plot short.dat short.eps\n"
     "quit\n",
     {"bfac.dat": DATABLOCK, "short.dat": DATABLOCK_SHORT},
     ["naive.eps"], absent=["short.eps"])

case("plot_nothing",
     "1D_line_plot one.pl1 one.eps\n"
     "scatter_plot huge.pl1 huge.eps\n"
     "scatter_plot missing.pl1 missing.eps\n"
     "2D_contour thin.pl2 thin.eps\n"
     "quit\n",
     {"one.pl1": ONE, "huge.pl1": HUGE, "thin.pl2": THIN},
     ["huge.eps"], absent=["one.eps", "missing.eps", "thin.eps"])

case("plot_2d",
     "2D_contour map.pl2 contour.eps\n"
     "ramp_2D ramp.pl2 ramp.eps\n"
     "ramp_2D ramplog.pl2 ramplog.eps\n"
     "2D_contour saddle.pl2 saddle.eps\n"
     "2D_contour flat.pl2 flat.eps\n"
     "quit\n",
     {"map.pl2": CONTOUR, "ramp.pl2": RAMP, "ramplog.pl2": RAMP_LOG, "saddle.pl2": SADDLE,
      "flat.pl2": FLAT},
     ["contour.eps", "ramp.eps", "ramplog.eps", "saddle.eps", "flat.eps"])
