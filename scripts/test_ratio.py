#!/usr/bin/env python3
"""Lines of test per line of code, over the tracked C++ sources.

Non-blank lines of the .cpp and .h files that git tracks (what the build
generates is never tracked). Test lines: *_test.cpp, *_wintest.cpp, fake_*,
*_for_tests.h and everything under tests/. Code lines: the rest.

Usage: scripts/test_ratio.py [--files] [REPO]   (REPO defaults to this checkout)
"""
import os
import subprocess
import sys


def is_test(path):
    name = os.path.basename(path)
    return (path.startswith("tests/") or name.endswith(("_test.cpp", "_wintest.cpp", "_for_tests.h"))
            or name.startswith("fake_"))


def non_blank_lines(path):
    with open(path, "rb") as f:
        return sum(1 for line in f if line.strip())


def main():
    args = [a for a in sys.argv[1:] if a != "--files"]
    repo = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    listed = subprocess.run(["git", "-C", repo, "ls-files", "-z", "--", "*.cpp", "*.h"],
                            check=True, capture_output=True).stdout.decode().split("\0")
    totals = {True: 0, False: 0}
    for path in filter(None, listed):
        lines = non_blank_lines(os.path.join(repo, path))
        totals[is_test(path)] += lines
        if "--files" in sys.argv:
            print(f"{'test' if is_test(path) else 'code'} {lines:6d} {path}")
    tests, code = totals[True], totals[False]
    print(f"test lines {tests}, code lines {code}, ratio {tests / code:.3f}")


if __name__ == "__main__":
    main()
