#!/usr/bin/env python3
"""Replays planted faults (mutants) against the tests, one at a time.

Each line of tools/mutants/*.tsv plants one fault:

    path<TAB>text to find<TAB>replacement<TAB>ctest -R regex

The text to find must occur exactly once in the file; blank lines and lines starting
with '#' are skipped. For every line the file is changed, the tests the regex names are
rebuilt in build-mutants/ (warnings allowed, ccache when present) and run; the fault is
killed when they fail. The file is put back afterwards, even on Ctrl-C.

    tools/mutate.py [tsv ...] [--only REGEX]
"""
import argparse
import glob
import os
import re
import shutil
import signal
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build-mutants")
BACKUPS = os.path.join(BUILD, "originals")


def run(command, **kwargs):
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, **kwargs)


def restore_leftovers():
    """Puts back files left changed by a run that was killed outright."""
    for backup in glob.glob(os.path.join(BACKUPS, "**", "*"), recursive=True):
        if os.path.isfile(backup):
            path = os.path.join(ROOT, os.path.relpath(backup, BACKUPS))
            shutil.copyfile(backup, path)
            os.remove(backup)
            print(f"restored {os.path.relpath(path, ROOT)} from an interrupted run")


def configure():
    command = ["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja",
               "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DVALVIX_WERROR=OFF",
               "-DVALVIX_BENCHMARKS=OFF"]
    if shutil.which("ccache"):
        command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    result = run(command)
    if result.returncode != 0:
        sys.exit("configure failed:\n" + result.stdout)


def tests_named(regex):
    listing = run(["ctest", "--test-dir", BUILD, "-N", "-R", regex]).stdout
    return re.findall(r"Test\s+#\d+: (\S+)", listing)


def try_mutant(path, find, replace, regex):
    """Returns 'killed', 'survived' or 'no build' for one planted fault."""
    full = os.path.join(ROOT, path)
    with open(full, encoding="utf-8") as f:
        original = f.read()
    if original.count(find) != 1:
        return f"bad line: found {original.count(find)} times"
    names = tests_named(regex)
    if not names:
        return "bad line: no test matches"
    backup = os.path.join(BACKUPS, path)
    os.makedirs(os.path.dirname(backup), exist_ok=True)
    shutil.copyfile(full, backup)
    try:
        with open(full, "w", encoding="utf-8") as f:
            f.write(original.replace(find, replace))
        if run(["cmake", "--build", BUILD, "--target", *names]).returncode != 0:
            return "no build"
        tested = run(["ctest", "--test-dir", BUILD, "-R", regex, "--timeout", "300"],
                     env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
        return "survived" if tested.returncode == 0 else "killed"
    finally:
        with open(full, "w", encoding="utf-8") as f:
            f.write(original)
        os.remove(backup)


def read_lines(files, only):
    for tsv in files:
        with open(tsv, encoding="utf-8") as f:
            for number, line in enumerate(f, 1):
                line = line.rstrip("\n")
                if not line.strip() or line.startswith("#"):
                    continue
                fields = line.split("\t")
                if len(fields) != 4:
                    sys.exit(f"{tsv}:{number}: needs 4 tab-separated fields")
                if only is None or re.search(only, line):
                    yield f"{os.path.relpath(tsv, ROOT)}:{number}", fields


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("tsv", nargs="*", help="fault lists (default tools/mutants/*.tsv)")
    parser.add_argument("--only", help="replay only the lines this regex finds")
    args = parser.parse_args()
    files = args.tsv or sorted(glob.glob(os.path.join(ROOT, "tools", "mutants", "*.tsv")))
    signal.signal(signal.SIGTERM, signal.default_int_handler)

    restore_leftovers()
    configure()
    print("building build-mutants/ unchanged ...", flush=True)
    built = run(["cmake", "--build", BUILD])
    if built.returncode != 0:
        sys.exit("the unchanged program does not build:\n" + built.stdout)

    counts = {"killed": 0, "survived": 0, "no build": 0, "bad line": 0}
    survivors = []
    try:
        for where, (path, find, replace, regex) in read_lines(files, args.only):
            outcome = try_mutant(path, find, replace, regex)
            counts[outcome.split(":")[0]] += 1
            if outcome == "survived":
                survivors.append(where)
            print(f"{outcome:9} {where}  {path}: {find!r} -> {replace!r}", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted; the changed file was put back")
    tried = counts["killed"] + counts["survived"]
    rate = 100.0 * counts["killed"] / tried if tried else 0.0
    print(f"\n{tried} faults built and tested: {counts['killed']} killed, "
          f"{counts['survived']} survived ({rate:.1f} % killed); "
          f"{counts['no build']} did not build, {counts['bad line']} bad lines")
    for where in survivors:
        print(f"  survived: {where}")
    return 0 if counts["survived"] == 0 and counts["bad line"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
