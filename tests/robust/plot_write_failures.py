#!/usr/bin/env python3
"""zev's PostScript and VRML output that cannot be written whole: past a
file-size limit the failure is reported with the system's text and the cut
file is removed; on a full device (/dev/full) the device is left and said to
be incomplete; neither is said to be closed or written, and the option loop
goes on. Without the limit the same answers write both files whole.

Usage: plot_write_failures.py ZEV PLOT_2D   (PLOT_2D: a 2D plot file, the
plot_2d golden case's map.pl2)
"""
import os
import shutil
import sys
import tempfile

from file_limit import Checks, run_limited

LIMIT = 1000  # bytes: less than the PostScript prolog and the VRML scene of the plot

# Writer, the zev option writing OUT, the failure line, the last line of a whole file.
WRITERS = [
    ("PostScript", "2D_contour map.pl2 {out}",
     " ERROR --- XPS_GRAF - While writing PostScript file", "%%Trailer"),
    ("VRML", "vrml_2D map.pl2 {out} S", " ERROR --- While writing VRML file", "-1 ] } }"),
]

# Where the output goes, the limit, the system's text and what is said of the file.
TARGETS = [
    ("regular file", "out.file", None, None, None),
    ("regular file past the limit", "out.file", LIMIT, "File too large", " Incomplete file removed"),
    ("full device", "/dev/full", None, "No space left on device", " The file is incomplete"),
]


def main():
    zev, plot = os.path.abspath(sys.argv[1]), sys.argv[2]
    check = Checks()

    with tempfile.TemporaryDirectory() as tmp:
        for writer, option, failure, last in WRITERS:
            for n, (target, out, limit, error, said) in enumerate(TARGETS):
                tag = f"{writer}, {target}: "
                work = os.path.join(tmp, f"{writer}-{n}")
                os.mkdir(work)
                shutil.copy(plot, os.path.join(work, "map.pl2"))
                # The option, then one that shows that the loop goes on.
                answers = option.format(out=out) + "\n?\nquit\n"
                code, text = run_limited(zev, answers, work, limit)
                path = os.path.join(work, out)
                check(tag + "exit 0", code == 0)
                # The options are listed at the start and again for "?".
                check(tag + "the loop goes on", text.count("Valid options are") == 2)
                if error is None:
                    check(tag + "no write error", "While writing" not in text)
                    with open(path) as f:
                        check(tag + "the file is whole", f.read().endswith(last + "\n"))
                    if writer == "VRML":
                        check(tag + "closed", " Closed VRML file\n" in text)
                    continue
                check(tag + "failure reported once", text.count(failure + "\n") == 1)
                check(tag + "with the system's text", f" Error : ({error}) \n" in text)
                check(tag + "the file is said to be " + ("removed" if limit else "incomplete"),
                      text.count(said + "\n") == 1)
                check(tag + "not said to be closed", "Closed VRML file" not in text)
                if limit is not None:
                    check(tag + "the cut file is removed", not os.path.exists(path))

    return check.status()


if __name__ == "__main__":
    sys.exit(main())
