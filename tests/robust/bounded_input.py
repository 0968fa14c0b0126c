#!/usr/bin/env python3
"""Input that never ends or never ends its line: the programs' memory stays
small whatever they are given.

  - prynol on a gzip file of 300 MB of zeros (one line without an end);
  - prynol on /dev/zero as its PDB file, stopped after two seconds;
  - prynol given a 100 MB answer line (refused as longer than the answer
    buffer, the next answers taken as usual);
  - kelvor in skip mode on a database whose PDB line names /dev/zero:
    testing that the file exists reads nothing of it.

The peak resident memory of each run (from wait4) must stay below LIMIT_KB.

Usage: bounded_input.py PRYNOL KELVOR
"""
import gzip
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time

LIMIT_KB = 40 * 1024


def run(argv, stdin_bytes=None, stdin_file=None, cwd=None, timeout=None):
    """Runs argv; returns (exit status or -signal, stdout text, peak KB, seconds)."""
    start = time.monotonic()
    proc = subprocess.Popen(argv, stdin=stdin_file if stdin_file else subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, cwd=cwd)
    out = []
    reader = threading.Thread(target=lambda: out.append(proc.stdout.read()))
    reader.start()
    if stdin_file is None:
        def feed():
            try:
                proc.stdin.write(stdin_bytes or b"")
                proc.stdin.close()
            except BrokenPipeError:
                pass
        writer = threading.Thread(target=feed)
        writer.start()
    timer = None
    if timeout:
        timer = threading.Timer(timeout, lambda: proc.send_signal(signal.SIGKILL))
        timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0  # reaped by wait4
    if timer:
        timer.cancel()
    reader.join()
    if stdin_file is None:
        writer.join()
    code = os.waitstatus_to_exitcode(status)
    return code, out[0].decode("latin-1"), usage.ru_maxrss, time.monotonic() - start


def main():
    prynol, kelvor = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = []

    def check(what, ok, detail):
        print(("ok   " if ok else "FAIL ") + what + ": " + detail)
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        zeros = os.path.join(tmp, "zeros.pdb.gz")
        with gzip.open(zeros, "wb", compresslevel=1) as f:
            chunk = b"\0" * (1 << 20)
            for _ in range(300):
                f.write(chunk)
        answers = f"ZERO\n\n{zeros}\nz.sse\n".encode()
        code, out, kb, _ = run([prynol, "-B"], answers, cwd=tmp)
        check("prynol, gzip of 300 MB of zeros", code >= 0 and kb < LIMIT_KB,
              f"exit {code}, peak {kb} KB")

        answers = b"ZERO\n\n/dev/zero\nz.sse\n"
        code, out, kb, _ = run([prynol, "-B"], answers, cwd=tmp, timeout=2)
        check("prynol, /dev/zero for two seconds", kb < LIMIT_KB, f"exit {code}, peak {kb} KB")

        # The answer file is written to disk so that the program reads it at
        # its own pace.
        pdb = os.path.join(tmp, "four.pdb")
        with open(pdb, "w") as f:
            for i in range(1, 9):
                f.write("ATOM  %5d  CA  ALA A%4d    %8.3f%8.3f%8.3f  1.00 10.00\n"
                        % (i, i, 1.5 * i, 0.5 * i, 0.0))
        long_answers = os.path.join(tmp, "answers")
        with open(long_answers, "wb") as f:
            chunk = b"x" * (1 << 20)
            for _ in range(100):
                f.write(chunk)
            f.write(b"\nNOTE\n" + pdb.encode() + b"\nlong.sse\n")
        with open(long_answers, "rb") as f:
            code, out, kb, _ = run([prynol, "-B"], stdin_file=f, cwd=tmp)
        check("prynol, 100 MB answer line", code == 0 and kb < LIMIT_KB
              and "buffer overflow" in out and os.path.exists(os.path.join(tmp, "long.sse")),
              f"exit {code}, peak {kb} KB")
        os.unlink(long_answers)

        lib = os.path.join(tmp, "db.lib")
        with open(lib, "w") as f:
            for name, path in (("zero", "/dev/zero"), ("gone", tmp + "/gone.pdb"), ("here", pdb)):
                f.write(f"MOL    {name}\nPDB    {path}\n"
                        "ALPHA 'A1' 'A1' 'A12' 12 1.0 2.0 3.0 4.0 5.0 6.0\nENDMOL\n")
        # Library, no listing, skip missing PDB files; then quit.
        code, out, kb, secs = run([kelvor, "-B"], f"{lib}\nN\nY\nQU\n".encode(), cwd=tmp,
                                  timeout=20)
        check("kelvor skip mode on /dev/zero",
              code == 0 and kb < LIMIT_KB and out.count("PDB file does not exist; SKIP") == 1
              and "Nr of entries    : (          2)" in out,
              f"exit {code}, peak {kb} KB, {secs:.1f} s")

    print(f"{len(failures)} failed" if failures else "all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
