"""Command-line options, which must work without a display or a running instance."""

import os
import subprocess
import tempfile
import unittest

from harness import BINARY, SCALE

VERSION_LINE = "Larkspurhollow 0.1.0\n"


def run(*args):
    with tempfile.TemporaryDirectory(prefix="larkspur-cli-") as root:
        runtime = os.path.join(root, "runtime")
        os.mkdir(runtime, 0o700)
        # No DISPLAY and no bus: options are answered before either is needed.
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8",
               "HOME": root, "XDG_RUNTIME_DIR": runtime,
               "XDG_DATA_HOME": os.path.join(root, "data"),
               "XDG_CONFIG_HOME": os.path.join(root, "config")}
        result = subprocess.run([str(BINARY), *args], env=env, capture_output=True, text=True,
                                timeout=10 * SCALE)
        # An option must never leave a socket or data behind as if the program had run.
        leftovers = sorted(os.listdir(runtime)) + sorted(
            os.listdir(os.path.join(root, "data")) if os.path.isdir(os.path.join(root, "data"))
            else [])
        return result, leftovers


class OptionTests(unittest.TestCase):
    def test_help_and_version(self):
        cases = [
            # args, stdout check
            (["--help"], lambda out: out.startswith("Usage: larkspurhollow [URL...]")),
            (["-h"], lambda out: out.startswith("Usage: larkspurhollow [URL...]")),
            (["--version"], lambda out: out == VERSION_LINE),
            (["-v"], lambda out: out == VERSION_LINE),
            # An option among URLs is answered; the URLs are not run.
            (["larkspurhollow://start", "--version"], lambda out: out == VERSION_LINE),
        ]
        for args, check in cases:
            with self.subTest(args=args):
                result, leftovers = run(*args)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertTrue(check(result.stdout), repr(result.stdout))
                self.assertEqual(leftovers, [])

    def test_help_lists_every_command(self):
        result, _ = run("--help")
        for command in ("start", "pause", "resume", "reset", "stop", "toggle"):
            self.assertIn(f"larkspurhollow://{command}", result.stdout)

    def test_unknown_option_exits_2(self):
        for args in (["--bogus"], ["-x"], ["--versions"], ["larkspurhollow://start", "--nope"]):
            with self.subTest(args=args):
                result, leftovers = run(*args)
                self.assertEqual(result.returncode, 2)
                self.assertIn(args[-1], result.stderr)
                self.assertEqual(result.stdout, "")
                self.assertEqual(leftovers, [])


if __name__ == "__main__":
    unittest.main()
