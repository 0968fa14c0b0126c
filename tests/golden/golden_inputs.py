"""Writing the inputs of a golden case folder, shared by the make_cases
scripts of the programs' folders: a fresh case folder, its input files under
in/, and the small files run_golden.py reads (stdin, args, env, outputs,
mask, expected/absent).
"""
import os
import shutil


def fresh_case(root, name):
    """The case folder root/name, emptied (expected/ too) and created anew."""
    d = os.path.join(root, name)
    if os.path.exists(d):
        shutil.rmtree(d)
    os.makedirs(d)
    return d


def write_input(d, fn, data):
    """Writes the bytes data to in/fn of the case folder d."""
    p = os.path.join(d, "in", fn)
    os.makedirs(os.path.dirname(p), exist_ok=True)
    with open(p, "wb") as f:
        f.write(data)


def write_case_files(d, stdin=None, args=None, env=None, outputs=None, mask=None, absent=None):
    """The files beside in/: each one only where its value is given."""
    if stdin is not None:
        with open(os.path.join(d, "stdin"), "w") as f:
            f.write(stdin)
    if args:
        open(os.path.join(d, "args"), "w").write(args + "\n")
    if env:
        open(os.path.join(d, "env"), "w").write(env)
    if outputs:
        open(os.path.join(d, "outputs"), "w").write("\n".join(outputs) + "\n")
    if mask is not None:
        with open(os.path.join(d, "mask"), "w") as f:
            f.write(mask)
    if absent:
        os.makedirs(os.path.join(d, "expected"), exist_ok=True)
        open(os.path.join(d, "expected", "absent"), "w").write("\n".join(absent) + "\n")
