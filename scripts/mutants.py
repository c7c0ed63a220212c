#!/usr/bin/python3
"""How well the test suite catches faults put into the code on purpose.

Each line of the mutant list (scripts/mutants.tsv) names a file, a piece of one of its lines and
what that piece becomes: a flipped comparison, another constant, a condition dropped. A mutant
is applied where its piece stands today, wherever the line has moved to. A list that names a
piece no longer in its file (or there twice) is out of date: the script says which lines and
stops before it builds anything. Every mutant is built with g++ and the test suite is run on it
until a test fails (the mutant is caught) or all pass (it survived); one that does not build
makes the run fail at its end. The file is put back after each one.

    scripts/mutants.py [--source DIR] [--list FILE] [--only N,N,...]

DIR is the checkout to mutate (default: this one); its build goes to DIR/build/mutants.
"""

import argparse
import os
import pathlib
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent


def read_list(path):
    mutants = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        file, before, after = line.split("\t")
        mutants.append((number, file, before, after))
    return mutants


def run(command, cwd, log, timeout=None):
    with open(log, "ab") as out:
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def main():
    options = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    options.add_argument("--source", default=str(HERE.parent))
    options.add_argument("--list", default=str(HERE / "mutants.tsv"))
    options.add_argument("--only", default="")
    arguments = options.parse_args()
    source = pathlib.Path(arguments.source).resolve()
    build = source / "build" / "mutants"
    log = build / "mutants.log"
    wanted = {int(n) for n in arguments.only.split(",") if n}

    mutants = [m for m in read_list(pathlib.Path(arguments.list)) if not wanted or m[0] in wanted]
    stale = [(number, file, before) for number, file, before, _ in mutants
             if not (source / file).exists() or (source / file).read_text().count(before) != 1]
    for number, file, before in stale:
        print(f"{number:3} not in the code once  {file}: {before}", flush=True)
    if stale:
        sys.exit(f"{len(stale)} lines of the mutant list no longer match the code: mend them")

    build.mkdir(parents=True, exist_ok=True)
    log.write_bytes(b"")
    env = dict(os.environ, CI="true")
    if run(["cmake", "-S", ".", "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
            "-DCMAKE_CXX_COMPILER=g++"], source, log) or run(
            ["cmake", "--build", str(build)], source, log):
        sys.exit("the unchanged tree does not build: see " + str(log))

    caught = survived = broken = 0
    for number, file, before, after in mutants:
        path = source / file
        text = path.read_text()
        started = time.monotonic()
        path.write_text(text.replace(before, after))
        try:
            if run(["cmake", "--build", str(build)], source, log):
                verdict = "DOES NOT BUILD"
                broken += 1
            else:
                failed = run(["ctest", "--test-dir", str(build), "-j", "2", "--stop-on-failure",
                              "--timeout", "120"], source, log, timeout=1800)
                verdict = "caught" if failed else "SURVIVED"
                caught += bool(failed)
                survived += not failed
        finally:
            path.write_text(text)
        print(f"{number:3} {verdict:14} {time.monotonic() - started:5.0f} s  {file}: "
              f"{before} -> {after}", flush=True)
    run(["cmake", "--build", str(build)], source, log)
    applied = caught + survived
    score = caught / applied if applied else 0
    print(f"caught {caught} of {applied} mutants (score {score:.3f}); {survived} survived")
    if broken:
        sys.exit(f"{broken} mutants did not build: mend their lines in the list")


if __name__ == "__main__":
    main()
