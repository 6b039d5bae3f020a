"""Run every e2e test (test_*.py here); exit code 0 only if all passed.

A whole-run limit backs up the per-test ones in harness.E2ETestCase, so a
wedged Wine can never hang CI; child processes die with this one."""
import faulthandler
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    limit = int(os.environ.get("TALVO_E2E_TOTAL_TIMEOUT", "1800"))
    faulthandler.dump_traceback_later(limit, exit=True)
    sys.path.insert(0, HERE)
    pattern = sys.argv[1] if len(sys.argv) > 1 else "test_*.py"
    suite = unittest.defaultTestLoader.discover(HERE, pattern=pattern, top_level_dir=HERE)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    failed = len(result.failures) + len(result.errors) + len(result.unexpectedSuccesses)
    passed = max(0, result.testsRun - failed - len(result.skipped))
    print(f"e2e: {passed} passed, {failed} failed, {len(result.skipped)} skipped")
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
