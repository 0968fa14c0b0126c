#!/usr/bin/env python3
"""Checks martuk against a direct model of its rules on random macros.

The model reads the old macro line by line as the rules are stated (header
tests, marker modes, the value rules with their column ranges, completion
and step back), orders the selected hits by repeated selection, and builds
the new macro by rescanning the old one for each hit. Random macros mix
every kind of marker line, duplicate identifiers, unreadable and dropped
numbers and all three line ends; the hits listed while reading, both sorted
listings and the new macro must agree with the model.

Usage: martuk_model.py MARTUK_BINARY [CASES]
"""
import os
import random
import struct
import subprocess
import sys
import tempfile

IDS = ["1abc", "2xyz", "3def", "4ghi", "5jkl"]


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def first_item(field, conv):
    # The fields used here hold at most one plain number, a word or blanks.
    items = field.replace(",", " ").split()
    if not items:
        return None
    try:
        return conv(items[0])
    except ValueError:
        return None


def read_int(field):
    return first_item(field, int)


def read_real(field):
    return first_item(field, lambda t: f32(float(t)))


def cols(buf, a, b):
    return buf[a - 1:b]


def model(lines, min_matches, max_rmsd, modes):
    bufs = [l[:256].ljust(256) for l in lines]
    events, hits = [], []
    mode_a = mode_b = False
    i = 0

    def ident(b):
        if mode_a:
            return cols(b, 7, 10).ljust(6)
        if mode_b:
            return cols(b, 14, 19)
        return cols(b, 21, 24).ljust(6)

    def keep(h):
        hits.append(h)
        events.append(("hit", h))

    while True:
        while i < len(bufs):
            b = bufs[i]
            i += 1
            if "print ... Comparing" in b:
                break
            if b[:6] == "! HIT ":
                mode_a = True
                break
            if b[:7] == "! FOSKA":
                mode_b = True
                break
        else:
            break
        h = [ident(b), 0, f32(999.99)]
        count_note = rmsd_note = False
        while True:
            if i >= len(bufs):
                if mode_a or mode_b:
                    keep(h)
                else:
                    events.append(("skip", h[0]))
                break
            b = bufs[i]
            i += 1
            drop = bad = False

            def set_rmsd(v, smaller):
                nonlocal bad, rmsd_note
                if v is None:
                    bad = True
                    return
                if not smaller or v < h[2]:
                    h[2] = v
                rmsd_note = True

            if "print ... Nr of matched residues" in b:
                v = read_int(cols(b, 35, 45))
                if v is None:
                    bad = True
                elif v < 1:
                    drop = True
                else:
                    h[1] = v
                    count_note = True
            elif "print ... RMS distance of" in b:
                set_rmsd(read_real(cols(b, 35, 45)), False)
            elif "print ... RMS distance (A)" in b:
                set_rmsd(read_real(cols(b, 40, 50)), False)
            elif "centroids with RMS distance" in b:
                v, w = read_int(cols(b, 20, 23)), read_real(cols(b, 52, 60))
                if v is None or w is None:
                    bad = True
                else:
                    h[1], h[2] = v, w
                    count_note = rmsd_note = True
            elif mode_a and "! RMSD (A)" in b:
                set_rmsd(read_real(cols(b, 11, 17)), True)
            elif mode_a and "! RMSD " in b:
                set_rmsd(read_real(cols(b, 7, 13)), True)
            elif mode_a and " <---> " in b:
                h[1] += 1
            elif mode_a and "! Hit nr " in b:
                h[1] = 0
            elif mode_b and "! RMSD (A)" in b:
                set_rmsd(read_real(cols(b, 13, 19)), True)
            elif mode_b and "! Nr of matched" in b:
                v = read_int(cols(b, 24, 29))
                if v is None:
                    bad = True
                else:
                    h[1] = v
                    count_note = True
            if drop:
                break
            if bad:
                events.append(("skip", h[0]))
                break
            if count_note and rmsd_note and not mode_a and not mode_b:
                keep(h)
                break
            if (mode_a and b[:6] == "! HIT ") or (mode_b and b[:7] == "! FOSKA"):
                i -= 1
                keep(h)
                break

    selected = [k for k, h in enumerate(hits) if h[1] >= min_matches and h[2] <= max_rmsd]
    orders = []
    for imode in modes:
        left, order = set(selected), []
        while True:
            best, best_count, best_rmsd = None, 0, f32(9999.999)
            for k in sorted(left):
                c, r = hits[k][1], hits[k][2]
                if imode == 0:
                    better = c > best_count or (c == best_count and r < best_rmsd)
                else:
                    better = r < best_rmsd or (r == best_rmsd and c > best_count)
                if better:
                    best, best_count, best_rmsd = k, c, r
            if best is None:
                break
            order.append(best)
            left.discard(best)
        orders.append(order + sorted(left))  # hits never placed: after the others

    def is_header(b):
        return ("print ... Comparing" in b or (mode_a and b[:6] == "! HIT ")
                or (mode_b and b[:7] == "! FOSKA"))

    new, j = [], 0
    while j < len(bufs) and not is_header(bufs[j]):
        new.append(lines[j])
        j += 1
    for k in (orders[-1] if orders else []):
        hid, j = hits[k][0], 0
        while not (is_header(bufs[j]) and (
                cols(bufs[j], 21, 24).ljust(6) == hid
                or (mode_a and cols(bufs[j], 7, 10).ljust(6) == hid)
                or (mode_b and cols(bufs[j], 14, 19) == hid))):
            j += 1
        new.append(lines[j])
        j += 1
        while j < len(bufs) and not is_header(bufs[j]):
            new.append(lines[j])
            j += 1
    new = [l.rstrip(" ") or " " for l in new]
    return events, hits, selected, orders, new


def random_macro(rng):
    # Numbers stand anywhere in their field, so that a field read one column
    # short or long is seen; few distinct values, so that hits tie.
    def num_i():
        text = rng.choice(["", "***", "1,2", "x"] + [str(rng.randint(-1, 12))] * 12)
        return text if rng.random() < 0.7 else "\0" + text

    def num_r():
        text = rng.choice(["", "1.2.3", "*****"] + ["%.3f" % rng.choice([0.5, 1.25, 3.0, 7.125, 12.0])] * 8
                          + ["%.3f" % rng.uniform(0, 20)] * 4)
        return text if rng.random() < 0.7 else "\0" + text

    def field(width, text):
        # Right-justified, or left-justified when marked so.
        return text[1:].ljust(width) if text.startswith("\0") else text.rjust(width)

    def put(line, col, text):
        line = line.ljust(col - 1 + len(text))
        return line[:col - 1] + text + line[col - 1 + len(text):]

    def centroid(code):
        line = put("print ... " + code + " ...", 20, field(4, num_i()))
        line = put(line, 25, "centroids with RMS distance")
        return put(line, 52, field(9, num_r())) + " A "

    # How often the marker headers of either mode come (each macro its own).
    p_hit, p_foska = rng.choice([0, 0.1, 0.5]), rng.choice([0, 0.1, 0.5])
    lines = [rng.choice(["! macro", "", "!   "]) for _ in range(rng.randint(0, 3))]
    for _ in range(rng.randint(1, 30)):
        code = rng.choice(IDS)
        kind = rng.randint(0, 14)
        if kind == 1 and rng.random() < p_hit:
            lines.append("! HIT " + code + " from the motif search")
        elif kind == 2 and rng.random() < p_foska:
            lines.append("! FOSKA hit  " + code + rng.choice(["ab", "  "]))
        else:
            lines.append({
                0: lambda: "print ... Comparing " + code + rng.choice(["", " ", "  x"]),
                3: lambda: "print ... Nr of matched residues :" + field(11, num_i()),
                4: lambda: "print ... RMS distance of        :" + field(11, num_r()),
                5: lambda: "print ... RMS distance (A)".ljust(39) + field(11, num_r()),
                6: lambda: centroid(code),
                7: lambda: "! RMSD (A)" + field(7, num_r()),
                8: lambda: "! RMSD " + field(6, num_r()),
                9: lambda: "!   A1 <---> B3",
                10: lambda: "! Hit nr 1",
                11: lambda: "! RMSD (A) :" + field(7, num_r()),
                12: lambda: "! Nr of matched pairs :" + field(6, num_i()),
            }.get(kind, lambda: rng.choice(["ca ; end_obj ", "", "s_a_i x  ", "  \t "]))())
    return lines


def listing(number, h):
    return " #%6d ID %-6s Nmatch %5d RMSD %6.2f A" % (number, h[0], h[1], h[2])


def check_case(binary, folder, seed):
    rng = random.Random(seed)
    lines = random_macro(rng)
    end = rng.choice(["\n", "\n", "\r\n", "\r"])
    last_end = rng.choice([end, ""])
    with open(os.path.join(folder, "old.mac"), "w", newline="") as f:
        f.write(end.join(lines) + last_end)
    if not last_end and lines and not lines[-1]:
        lines.pop()  # the file ends with a line end: no empty record follows it
    new_path = os.path.join(folder, "new.mac")
    if os.path.exists(new_path):
        os.remove(new_path)
    min_matches = rng.choice([1, 1, 0, -1, 2, 5])
    max_rmsd = rng.choice([999.99, 3.0, 7.125, 12.5])
    events, hits, selected, orders, new = model(lines, min_matches, f32(max_rmsd), [0, 1])
    answers = "old.mac\n%d\n%s\n3\n1\nnew.mac\n" % (min_matches, max_rmsd)
    proc = subprocess.run([binary, "-B"], input=answers.encode(), cwd=folder,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
    out = proc.stdout.decode("latin-1").split("\n")
    problems = []

    start = out.index(" Reading hits ...")
    got = []
    for line in out[start + 1:]:
        if line.startswith(" Nr of hits ("):
            break
        if line.startswith(" #") or line.startswith(" Skipping"):
            got.append(line)
    want, number = [], 0
    for kind, value in events:
        if kind == "hit":
            number += 1
            want.append(listing(number, value))
        else:
            want.append(" Skipping : (%s) " % value.rstrip())
    if got != want:
        problems.append(("hits read", want, got))

    if hits and selected:
        lists, current = [], None
        for line in out:
            if line.startswith(" Nr of hits left"):
                current = []
                lists.append(current)
            elif current is not None and line.startswith(" #"):
                current.append(line)
            elif line.startswith(" Select one"):
                current = None
        for mode, (order, got_list) in enumerate(zip(orders, lists)):
            want_list = [listing(n + 1, hits[k]) for n, k in enumerate(order)]
            if got_list != want_list:
                problems.append(("order in mode %d" % mode, want_list, got_list))
        written = None
        if os.path.exists(new_path):
            with open(new_path, newline="") as f:
                written = f.read().split("\n")[:-1]
        if written != new:
            problems.append(("new macro", new, written))
        if proc.returncode != 0:
            problems.append(("exit status", 0, proc.returncode))
    elif proc.returncode != 1:
        problems.append(("exit status without hits", 1, proc.returncode))
    return problems


def main():
    binary = os.path.abspath(sys.argv[1])
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    failed = 0
    with tempfile.TemporaryDirectory(prefix="martuk_model.") as folder:
        for seed in range(cases):
            problems = check_case(binary, folder, seed)
            if problems:
                failed += 1
                if failed <= 3:
                    print("FAILED case %d:" % seed)
                    for what, want, got in problems:
                        print("  %s\n    want %r\n    got  %r" % (what, want, got))
    print("%d of %d random macros differ from the model" % (failed, cases))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
