"""Adds up the test cases of every pass of tests/run.sh from their XML reports."""
import glob
import os
import sys
import xml.etree.ElementTree as ET


def main(results):
    total_passed = total_failed = 0
    for pass_dir in sorted(glob.glob(os.path.join(results, "*"))):
        passed = failed = skipped = 0
        for report in glob.glob(os.path.join(pass_dir, "*.xml")):
            root = ET.parse(report).getroot()
            tests = int(root.get("tests", 0))
            bad = int(root.get("failures", 0)) + int(root.get("errors", 0))
            skip = int(root.get("skipped", 0)) + int(root.get("disabled", 0))
            passed += tests - bad - skip
            failed += bad
            skipped += skip
        print("%s: %d passed, %d failed, %d skipped" % (os.path.basename(pass_dir), passed, failed, skipped))
        total_passed += passed
        total_failed += failed
    print("%d passed, %d failed" % (total_passed, total_failed))
    return 1 if total_failed or not total_passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
