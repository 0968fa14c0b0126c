#!/usr/bin/env python3
"""kelvor's EX and TO past a file-size limit: the write failure is reported
with the file's name, the half-written file is removed, the command ends and
the option loop goes on. Without the limit the same answers write both files
whole.

Usage: write_failures.py KELVOR CASE_DIR   (CASE_DIR: a folder holding
kelvor.lib and user.sse, the topology_barrel golden case's in/)
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile

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


def run(kelvor, work, limit):
    def child():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    # Standard output is a pipe, which the file-size limit does not touch.
    p = subprocess.run([kelvor, "-B"], input=ANSWERS.encode(), stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, cwd=work, preexec_fn=child, timeout=60)
    return p.returncode, p.stdout.decode("latin-1")


def main():
    kelvor, case = os.path.abspath(sys.argv[1]), sys.argv[2]
    failures = []

    def check(what, ok):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        for limit in (None, 200):
            work = os.path.join(tmp, "limit" if limit else "free")
            os.mkdir(work)
            for name in ("kelvor.lib", "user.sse"):
                shutil.copy(os.path.join(case, name), work)
            code, out = run(kelvor, work, limit)
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

    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
