#!/usr/bin/env python3
"""Golden transcript runner.

Runs a program in a fresh scratch folder with the answers of a case piped to
its standard input, masks the volatile lines (times, user, host, process id,
tty, CPU times, creation stamps) and compares standard output, the exit status
and the files the run wrote with the expected versions. On a difference it
prints the first differing line with both versions.

Case folder layout:
  args            optional, one line of command-line arguments (default: -B)
  env             optional KEY=VALUE lines added to the environment
  stdin           optional answers (absent: empty input)
  in/             optional files copied into the scratch folder first
  outputs         optional names of files the run writes (captured by --update)
  mask            optional extra regular expressions, one per line
  expected/stdout expected standard output
  expected/stderr optional expected standard error
  expected/exit   optional expected exit status (default 0)
  expected/files/ files the run must have written
  expected/absent optional names of files the run must not have written
@SHARED@ in args and env stands for the shared data folder, @CASE@ for the
case folder, @SCRATCH@ for the scratch folder.

Usage: run_golden.py --program BIN [--shared DIR] [--scratch DIR] [--update] CASE...
"""
import argparse
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

MASK = "<MASKED>"
GLOBAL_MASKS = [
    # Banner lines of the start and stop.
    (re.compile(r"^( ?(?:Started  - |Started - |Stopped - |User     - |Host     - |"
                r"ProcID   - |Tty      - )).*$"), r"\1" + MASK),
    # CPU-time lines, plain and sent to Mova.
    (re.compile(r"((?:User|Sys|Total) +- +)[-0-9.*]+"), r"\1" + MASK),
    # Creation stamps written into files.
    (re.compile(r"Created (by|at) .*$"), r"Created \1 " + MASK),
    (re.compile(r"^(%%CreationDate:|%%For:).*$"), r"\1 " + MASK),
]

# Variables that would make a run depend on the caller's environment.
CLEARED_ENV = ("ZVPATH", "ZVLIB", "MAXHITS", "ZVBUFFER")


def read_text(path):
    with open(path, "rb") as f:
        return f.read().decode("latin-1")


def mask_text(text, extra):
    out = []
    for line in text.split("\n"):
        for rx, rep in GLOBAL_MASKS:
            line = rx.sub(rep, line)
        for rx in extra:
            line = rx.sub(MASK, line)
        out.append(line)
    return "\n".join(out)


def first_difference(name, expected, actual):
    e = expected.split("\n")
    a = actual.split("\n")
    for i in range(max(len(e), len(a))):
        el = e[i] if i < len(e) else "<end of file>"
        al = a[i] if i < len(a) else "<end of file>"
        if el != al:
            return (f"{name}: first difference at line {i + 1}\n"
                    f"  expected: {el!r}\n  actual:   {al!r}")
    return None


def substitute(text, subs):
    for k, v in subs.items():
        text = text.replace(k, v)
    return text


def run_case(program, case, shared, scratch_root, update):
    case = os.path.abspath(case)
    name = os.path.basename(case)
    scratch = tempfile.mkdtemp(prefix=name + ".", dir=scratch_root)
    subs = {"@SHARED@": shared, "@CASE@": case, "@SCRATCH@": scratch}

    indir = os.path.join(case, "in")
    if os.path.isdir(indir):
        for entry in os.listdir(indir):
            src = os.path.join(indir, entry)
            dst = os.path.join(scratch, entry)
            if os.path.isdir(src):
                shutil.copytree(src, dst)
            else:
                shutil.copy(src, dst)

    args = ["-B"]
    if os.path.exists(os.path.join(case, "args")):
        args = shlex.split(substitute(read_text(os.path.join(case, "args")).strip(), subs))
    env = {k: v for k, v in os.environ.items() if k not in CLEARED_ENV}
    env["LC_ALL"] = "C"
    env["TZ"] = "UTC"
    if os.path.exists(os.path.join(case, "env")):
        for line in read_text(os.path.join(case, "env")).splitlines():
            if "=" in line and not line.startswith("#"):
                k, v = line.split("=", 1)
                env[k.strip()] = substitute(v, subs)
    extra = []
    if os.path.exists(os.path.join(case, "mask")):
        extra = [re.compile(l) for l in read_text(os.path.join(case, "mask")).splitlines() if l]

    stdin_path = os.path.join(case, "stdin")
    stdin = open(stdin_path, "rb") if os.path.exists(stdin_path) else subprocess.DEVNULL
    try:
        proc = subprocess.run([program] + args, stdin=stdin, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, cwd=scratch, env=env, timeout=300)
    except subprocess.TimeoutExpired:
        return [f"{name}: timed out"]
    finally:
        if stdin is not subprocess.DEVNULL:
            stdin.close()
    out = proc.stdout.decode("latin-1")
    err = proc.stderr.decode("latin-1")

    expdir = os.path.join(case, "expected")
    outputs = []
    if os.path.exists(os.path.join(case, "outputs")):
        outputs = [l.strip() for l in read_text(os.path.join(case, "outputs")).splitlines()
                   if l.strip()]
    filesdir = os.path.join(expdir, "files")
    if os.path.isdir(filesdir):
        outputs += [f for f in sorted(os.listdir(filesdir)) if f not in outputs]

    if update:
        os.makedirs(expdir, exist_ok=True)
        with open(os.path.join(expdir, "stdout"), "wb") as f:
            f.write(mask_text(out, extra).encode("latin-1"))
        with open(os.path.join(expdir, "exit"), "w") as f:
            f.write(f"{proc.returncode}\n")
        if os.path.exists(os.path.join(expdir, "stderr")):
            with open(os.path.join(expdir, "stderr"), "wb") as f:
                f.write(mask_text(err, extra).encode("latin-1"))
        for fname in outputs:
            src = os.path.join(scratch, fname)
            if os.path.exists(src):
                os.makedirs(filesdir, exist_ok=True)
                with open(os.path.join(filesdir, fname), "wb") as f:
                    f.write(mask_text(read_text(src), extra).encode("latin-1"))
        shutil.rmtree(scratch, ignore_errors=True)
        return []

    problems = []
    want_exit = 0
    if os.path.exists(os.path.join(expdir, "exit")):
        want_exit = int(read_text(os.path.join(expdir, "exit")).strip() or "0")
    if proc.returncode != want_exit:
        problems.append(f"{name}: exit status {proc.returncode}, expected {want_exit}")
    if not os.path.exists(os.path.join(expdir, "stdout")):
        problems.append(f"{name}: expected/stdout is missing")
    else:
        d = first_difference("stdout", mask_text(read_text(os.path.join(expdir, "stdout")), extra),
                             mask_text(out, extra))
        if d:
            problems.append(f"{name}: {d}")
    if os.path.exists(os.path.join(expdir, "stderr")):
        d = first_difference("stderr", mask_text(read_text(os.path.join(expdir, "stderr")), extra),
                             mask_text(err, extra))
        if d:
            problems.append(f"{name}: {d}")
    for fname in outputs:
        want = os.path.join(filesdir, fname)
        got = os.path.join(scratch, fname)
        if not os.path.exists(got):
            problems.append(f"{name}: output file {fname} was not written")
            continue
        if not os.path.exists(want):
            problems.append(f"{name}: expected/files/{fname} is missing")
            continue
        d = first_difference(fname, mask_text(read_text(want), extra),
                             mask_text(read_text(got), extra))
        if d:
            problems.append(f"{name}: {d}")
    absent = os.path.join(expdir, "absent")
    if os.path.exists(absent):
        for fname in read_text(absent).split():
            if os.path.exists(os.path.join(scratch, fname)):
                problems.append(f"{name}: file {fname} was written but must not be")
    if problems:
        problems.append(f"{name}: scratch folder kept: {scratch}")
        if err:
            problems.append(f"{name}: stderr was: {err[-2000:]!r}")
    else:
        shutil.rmtree(scratch, ignore_errors=True)
    return problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--shared", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "shared"))
    ap.add_argument("--scratch", default=None)
    ap.add_argument("--update", action="store_true")
    ap.add_argument("cases", nargs="+")
    a = ap.parse_args()
    shared = os.path.abspath(a.shared)
    scratch_root = a.scratch or tempfile.gettempdir()
    os.makedirs(scratch_root, exist_ok=True)
    program = os.path.abspath(a.program)
    failed = 0
    for case in a.cases:
        problems = run_case(program, case, shared, scratch_root, a.update)
        if problems:
            failed += 1
            print("\n".join(problems))
        elif a.update:
            print(f"updated {case}")
    if failed:
        print(f"{failed} of {len(a.cases)} case(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
