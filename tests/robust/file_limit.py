"""Shared by the write-failure scripts of tests/robust: a program run in batch
under a file-size limit, and a list of named checks.
"""
import resource
import signal
import subprocess


def run_limited(program, answers, work, limit):
    """Runs `program -B` in work with the answers on standard input and, when
    limit is not None, files limited to that many bytes (SIGXFSZ ignored, so a
    write past the limit fails with EFBIG instead of killing the program).
    Returns the exit status and the transcript."""
    def child():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))
    # Standard output is a pipe, which the file-size limit does not touch.
    p = subprocess.run([program, "-B"], input=answers.encode(), stdout=subprocess.PIPE,
                       stderr=subprocess.STDOUT, cwd=work, preexec_fn=child, timeout=60)
    return p.returncode, p.stdout.decode("latin-1")


class Checks:
    """Named checks, each printed as it is made; status() is the exit status."""

    def __init__(self):
        self.failures = []

    def __call__(self, what, ok):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            self.failures.append(what)

    def status(self):
        print(f"{len(self.failures)} failed" if self.failures else "all passed")
        return 1 if self.failures else 0
