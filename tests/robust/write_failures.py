#!/usr/bin/env python3
"""kelvor's EX and TO past a file-size limit: the write failure is reported
with the file's name, the half-written file is removed, the command ends and
the option loop goes on. Without the limit the same answers write both files
whole.

Usage: write_failures.py KELVOR CASE_DIR   (CASE_DIR: a folder holding
kelvor.lib and user.sse, the topology_barrel golden case's in/)
"""
import os
import shutil
import sys
import tempfile

from file_limit import Checks, run_limited

# Library, no listing, no skipping; EX of 1ab (two entries: 1abc, 1abd), a
# file name for each; RE of the query and TO with the defaults; LI to show
# that the loop goes on; QU.
ANSWERS = "\n".join(["", "N", "N",
                     "EX", "1ab", "one.sse", "two.sse",
                     "RE", "user.sse",
                     "TO", "", "", "topo.zev",
                     "EX", "nosuch",
                     "LI", "N", "N", "2xyz",
                     "QU", ""])


def main():
    kelvor, case = os.path.abspath(sys.argv[1]), sys.argv[2]
    check = Checks()

    with tempfile.TemporaryDirectory() as tmp:
        for limit in (None, 200):
            work = os.path.join(tmp, "limit" if limit else "free")
            os.mkdir(work)
            for name in ("kelvor.lib", "user.sse"):
                shutil.copy(os.path.join(case, name), work)
            code, out = run_limited(kelvor, ANSWERS, work, limit)
            files = {n: os.path.exists(os.path.join(work, n)) for n in ("one.sse", "two.sse", "topo.zev")}
            tag = f"limit {limit}: " if limit else "no limit: "
            check(tag + "exit 0", code == 0)
            check(tag + "no entry matches nosuch", "ERROR --- No entry matches nosuch" in out)
            check(tag + "the loop goes on to LI and QU",
                  "MOL > 2xyz" in out and "Toodle pip" in out)
            if limit is None:
                check(tag + "all three files written", all(files.values()))
                check(tag + "no write error", "While writing" not in out)
                with open(os.path.join(work, "two.sse")) as f:
                    check(tag + "EX file ends with ENDMOL", f.read().endswith("ENDMOL\n"))
            else:
                check(tag + "EX failure names the file",
                      "ERROR --- While writing file one.sse" in out
                      and " Error : (File too large)" in out)
                check(tag + "EX ends at the first failure: no second file asked for",
                      "two.sse" not in out and not files["two.sse"])
                check(tag + "the cut EX file is removed", not files["one.sse"])
                check(tag + "TO failure names the file", "While writing file topo.zev" in out)
                check(tag + "the cut topology file is removed", not files["topo.zev"])
                check(tag + "removal said", out.count("Incomplete file removed") == 2)

    return check.status()


if __name__ == "__main__":
    sys.exit(main())
