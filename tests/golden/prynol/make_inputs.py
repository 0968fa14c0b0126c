#!/usr/bin/env python3
"""Writes the constructed PDB inputs of prynol's golden cases.

The coordinates are built from an ideal helix (radius 2.3 A, rise 1.5 A,
100 degrees per residue) and an ideal strand (rise 3.3 A, zig-zag of 1.5 A),
which fit the two templates within 0.08 and 0.31 A, joined by loops that fit
neither. Run it from this folder; it rewrites the in/ files of the cases it
knows and leaves every other file alone. The input of thresholds_exact is not
made here: its coordinates (five decimals) were searched once, by random
changes in the last decimal of scaled templates, until the superposition gave
exactly 0.5 and 0.8, and the next single-precision values above them.
"""
import gzip
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def helix(n, origin=(0.0, 0.0, 0.0)):
    return [(origin[0] + 2.3 * math.cos(math.radians(100 * i)),
             origin[1] + 2.3 * math.sin(math.radians(100 * i)),
             origin[2] + 1.5 * i) for i in range(n)]


def strand(n, origin=(0.0, 0.0, 0.0)):
    return [(origin[0] + 3.3 * i, origin[1] + (0.75 if i % 2 else -0.75), origin[2])
            for i in range(n)]


def loop(n, origin):
    # A flat curve of 3.8 A steps turning 60 degrees each: too tight for a
    # strand, too flat for a helix.
    pts = []
    x, y, z = origin
    for i in range(n):
        a = math.radians(60 * i)
        x, y = x + 3.8 * math.cos(a), y + 3.8 * math.sin(a)
        pts.append((x, y, z + 0.3 * i))
    return pts


def atom(serial, name, resname, chain, resseq, xyz, record="ATOM  ", altloc=" ", icode=" ",
         element="C"):
    return (f"{record}{serial:5d} {name}{altloc}{resname:>3s} {chain}{resseq:4d}{icode}   "
            f"{xyz[0]:8.3f}{xyz[1]:8.3f}{xyz[2]:8.3f}  1.00 20.00          {element:>2s}  ")


def protein(chain="A"):
    """Loop, helix, loop, strand, loop: a chain of 40 residues."""
    pts = loop(4, (-20.0, -20.0, 0.0))
    pts += helix(14, (pts[-1][0] + 3.0, pts[-1][1] + 2.0, pts[-1][2]))
    pts += loop(5, (pts[-1][0] + 3.0, pts[-1][1], pts[-1][2] + 2.0))
    pts += strand(10, (pts[-1][0] + 3.0, pts[-1][1] + 2.0, pts[-1][2]))
    pts += loop(7, (pts[-1][0], pts[-1][1] + 3.8, pts[-1][2]))
    return pts


def write(path, lines, eol="\n"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    data = "".join(l + eol for l in lines).encode("latin-1")
    if path.endswith(".gz"):
        with gzip.GzipFile(path, "wb", mtime=0) as f:
            f.write(data)
    else:
        with open(path, "wb") as f:
            f.write(data)


def ca_file(pts, chain="A", header="HEADER    SYNTHETIC CHAIN"):
    lines = [header]
    for i, p in enumerate(pts, 1):
        lines.append(atom(i, " CA ", "ALA", chain, i, p))
    lines.append("END")
    return lines


def case(name, *parts):
    return os.path.join(HERE, name, "in", *parts)


def main():
    pts = protein()
    for name in ("defaults", "answers", "interactive", "retry_name"):
        fname = {"defaults": "user.pdb"}.get(name, "model.pdb")
        write(case(name, fname), ca_file(pts))
    write(case("unwritable_sse", "user.pdb"), ca_file(pts))
    write(case("sse_write_error", "user.pdb"), ca_file(pts))

    # Header plus ENDMOL: records that only look like CA atoms.
    write(case("no_ca", "user.pdb"), [
        "HEADER    NO CA ATOMS",
        atom(1, " N  ", "ALA", "A", 1, (1.0, 2.0, 3.0), element="N"),
        atom(2, " CB ", "ALA", "A", 1, (1.0, 2.0, 3.0)),
        atom(3, "CA  ", " CA", "A", 501, (5.0, 6.0, 7.0), record="HETATM", element="CA"),
        "ANISOU    2  CA  ALA A   1     2406   1892   1614    198    519   -328       C",
        "SIGATM    2  CA  ALA A   1       0.010   0.010   0.010  0.00  0.00           C",
        "atom      2  CA  ALA A   1      11.104   6.134  -6.504  1.00  0.00           C",
        "REMARK   2  CA ",
        "END"])

    # Four residues: no window.
    write(case("four_residues", "user.pdb"), ca_file(helix(4)))

    # One residue with two alternate locations inside a helix: the second
    # conformation is no new residue, so the helix stays whole.
    h = helix(16)
    lines = ["HEADER    ALTERNATE LOCATIONS"]
    serial = 0
    for i, p in enumerate(h, 1):
        if i == 8:
            for alt, d in (("A", 0.0), ("B", 0.4)):
                serial += 1
                lines.append(atom(serial, " CA ", "SER", "A", i, (p[0] + d, p[1], p[2]),
                                  altloc=alt))
        else:
            serial += 1
            lines.append(atom(serial, " CA ", "ALA", "A", i, p))
    lines.append("END")
    write(case("duplicate_label", "user.pdb"), lines)

    # What real files hold: CRLF line ends, garbage after column 72, lines
    # that end after the coordinates, a calcium ion, a HETATM CA of a
    # selenomethionine inside the helix, insertion codes, TER, MODEL/ENDMDL,
    # a line longer than 256 columns.
    lines = ["HEADER    QUIRKS", "REMARK   this line is long " + "x" * 300, "MODEL        1"]
    for i, p in enumerate(protein("B"), 1):
        rec, res = ("HETATM", "MSE") if i == 9 else ("ATOM  ", "ALA")
        line = atom(i, " CA ", res, "B", 100 + i, p, record=rec,
                    icode="A" if i in (20, 21) else " ")
        if i % 3 == 0:
            line = line[:54]
        elif i % 3 == 1:
            line = line[:72] + "GARBAGE!"
        lines.append(line)
        if i == 20:
            lines.append(atom(900, "CA  ", " CA", "B", 900, (9.0, 9.0, 9.0), record="HETATM",
                              element="CA"))
    lines += ["TER", "ENDMDL", "END"]
    write(case("pdb_quirks", "quirks.pdb"), lines, eol="\r\n")

    # Limits: 10000 CA atoms are accepted, 10001 are fatal. The chain is
    # helix pieces of 50 residues laid side by side, so that every
    # coordinate fits its 8 columns.
    big = []
    for k in range(201):
        big += helix(50, (20.0 * (k % 20) - 200.0, 20.0 * (k // 20) - 100.0, -30.0))
    def labelled(n):
        out = ["HEADER    MANY RESIDUES"]
        for i in range(n):
            chain = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"[i // 1000]
            out.append(atom(i + 1 if i < 99999 else 99999, " CA ", "ALA", chain, i % 1000 + 1,
                            big[i]))
        return out + ["END"]
    write(case("max_residues", "big.pdb.gz"), labelled(10000))
    write(case("too_many_residues", "big.pdb.gz"), labelled(10001))

    # Seven residues: the window at residue 3 fits the helix (0.445), the one
    # at 4 nothing, the one at 5 the strand (0.699). Residues 2-3 stay helix
    # and 4-6 become strand: a helix of two residues, counted, not written.
    # (Found once by a random search on the coordinates.)
    two = [(4.571, 15.143, 30.572), (1.750, 16.062, 28.773), (2.805, 14.744, 25.702),
           (3.043, 11.155, 27.282), (0.605, 10.462, 29.226), (1.878, 6.119, 31.599),
           (0.762, 3.911, 33.526)]
    write(case("two_residue_element", "user.pdb"), ca_file(two))

    # Far out: a helix near x = -15000 and a strand near x = 150000, whose
    # coordinates fill the nine columns of the classic element layout, with
    # two residues at 1.0E+20 between them, where the fit fails (JACOBI's
    # error lines, twice per window). Coordinates with one decimal, so that
    # they fit their eight columns.
    far = [(x - 15000.0, y + 50.0, z) for x, y, z in helix(14)]
    far += loop(3, (far[-1][0] + 3.0, far[-1][1], far[-1][2] + 2.0))
    far += [(1.0e20, 2.0, 3.0), (1.0, 1.0e20, 3.0)]
    far += loop(3, (-14900.0, 60.0, 30.0))
    far += [(x + 150000.0, y - 50.0, z) for x, y, z in strand(10)]
    lines = ["HEADER    FAR OUT"]
    for i, p in enumerate(far, 1):
        xyz = "".join(f"{v:8.1E}" if abs(v) >= 1e9 else f"{v:8.1f}" for v in p)
        lines.append(f"ATOM  {i:5d}  CA  ALA A{i:4d}    {xyz}  1.00 20.00           C  ")
    lines.append("END")
    write(case("far_coordinates", "user.pdb"), lines)

    # A CA line whose y field holds a letter O for a zero.
    lines = ca_file(helix(8))
    lines[5] = lines[5][:44] + "O" + lines[5][45:]
    write(case("unreadable_coordinates", "user.pdb"), lines)


if __name__ == "__main__":
    main()
