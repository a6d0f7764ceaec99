"""Adds up the test cases of every pass of tests/run.sh.

Each pass folder holds CTest's own JUnit report (ctest.xml: which test programs ran and how
they ended) beside the reports the test programs wrote of their cases. A case counts only
when a report says it ran; a test program that failed without saying which case failed
(a crash, a missing report) counts as one failed case, so nothing is ever reported as
passed that did not run. A pass that could not run says why in its NOT_RUN file.
"""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def report_counts(path):
    """(passed, failed, skipped) of a GoogleTest or end-to-end report."""
    root = ET.parse(path).getroot()
    tests = int(root.get("tests", 0))
    failed = int(root.get("failures", 0)) + int(root.get("errors", 0))
    skipped = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
    failed = min(failed, tests)
    skipped = min(skipped, tests - failed)
    return tests - failed - skipped, failed, skipped


def report_of(pass_dir, test_name):
    """The report a test program wrote: named after the program or the script."""
    for name in (test_name, test_name[len("e2e_"):] if test_name.startswith("e2e_") else None):
        if name and os.path.exists(os.path.join(pass_dir, name + ".xml")):
            return os.path.join(pass_dir, name + ".xml")
    return None


def pass_counts(pass_dir):
    """(passed, failed, skipped, notes) of one pass."""
    ctest = os.path.join(pass_dir, "ctest.xml")
    if not os.path.exists(ctest):
        return 0, 1, 0, ["no results: the pass did not finish"]
    passed = failed = skipped = 0
    notes = []
    for case in ET.parse(ctest).getroot().iter("testcase"):
        name = case.get("name")
        status = case.get("status", "run")
        ctest_failed = case.find("failure") is not None or status == "fail"
        if case.find("skipped") is not None or status in ("notrun", "disabled"):
            skipped += 1
            continue
        report = report_of(pass_dir, name)
        if report:
            p, f, s = report_counts(report)
        else:
            p, f, s = (0, 1, 0) if ctest_failed else (1, 0, 0)
        if ctest_failed and f == 0:
            f = 1
            notes.append("%s failed without naming a failed case" % name)
        passed, failed, skipped = passed + p, failed + f, skipped + s
    return passed, failed, skipped, notes


def main(results):
    total_passed = total_failed = 0
    for pass_dir in sorted(glob.glob(os.path.join(results, "*"))):
        name = os.path.basename(pass_dir)
        not_run = os.path.join(pass_dir, "NOT_RUN")
        if os.path.exists(not_run):
            with open(not_run) as f:
                print("%s: not run (%s)" % (name, f.read().strip()))
            continue
        passed, failed, skipped, notes = pass_counts(pass_dir)
        print("%s: %d passed, %d failed, %d skipped" % (name, passed, failed, skipped))
        for note in notes:
            print("  %s" % note)
        total_passed += passed
        total_failed += failed
    print("%d passed, %d failed" % (total_passed, total_failed))
    return 1 if total_failed or not total_passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
