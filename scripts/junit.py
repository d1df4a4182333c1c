#!/usr/bin/env python3
"""Reads a JUnit XML report, as ctest --output-junit and a GoogleTest program's XML output write it.

  junit.py counts REPORT [--except NAME]   "PASSED FAILED SKIPPED" over its test cases
  junit.py status REPORT NAME              passed, failed, skipped or absent
  junit.py named REPORT PREFIX             how many test cases have a name starting with PREFIX

A missing report holds no test case. A report that cannot be read counts as one failed case.
"""

import sys
import xml.etree.ElementTree as ET


def outcome(case):
    """passed, failed or skipped for one <testcase>."""
    if case.find("failure") is not None or case.find("error") is not None:
        return "failed"
    status = case.get("status", "run")
    if status == "fail":
        return "failed"
    skipped = case.find("skipped")
    if status == "disabled" or case.get("result") in ("skipped", "suppressed"):
        return "skipped"
    if status == "notrun":
        # ctest marks a test that could not start (no executable, a required file missing, a
        # fixture that failed) as not run too; only a skip the test asked for is no failure.
        # GoogleTest's "notrun" is a disabled test.
        if skipped is None or skipped.get("message", "").startswith("SKIP_"):
            return "skipped"
        return "failed"
    if skipped is not None:
        return "skipped"
    return "passed"


def cases(path):
    """[(name, outcome)], or None when the report exists but cannot be read."""
    try:
        root = ET.parse(path).getroot()
    except FileNotFoundError:
        return []
    except (ET.ParseError, OSError) as error:
        print(f"junit.py: {path}: {error}", file=sys.stderr)
        return None
    return [(case.get("name", ""), outcome(case)) for case in root.iter("testcase")]


def main(argv):
    command = argv[0] if argv else ""
    if command == "counts":
        known = len(argv) == 2 or (len(argv) == 4 and argv[2] == "--except")
    else:
        known = command in ("status", "named") and len(argv) == 3
    if not known:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    command, path, *rest = argv
    found = cases(path)
    if command == "counts":
        left_out = rest[1] if rest else None
        if found is None:
            print("0 1 0")
            return 0
        kept = [result for name, result in found if name != left_out]
        print(kept.count("passed"), kept.count("failed"), kept.count("skipped"))
    elif command == "status":
        results = [result for name, result in (found or []) if name == rest[0]]
        print(results[0] if results else "absent")
    else:
        print(sum(1 for name, _ in (found or []) if name.startswith(rest[0])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
