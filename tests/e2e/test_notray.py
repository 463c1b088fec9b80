# A desktop without a tray: the panel comes up at start with one line on how to get a tray, and a
# tray that starts later takes the icon. The focus history export reads without a program and
# never writes.

import calendar
import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

from harness import BINARY, EPOCH_2001, Session, wait_until

HEADER = b"id,type,task,started_at,ended_at,duration_seconds,completed\r\n"


def record(n, utc, task=None):  # a 25-minute focus phase with a pause, started at utc
    start = calendar.timegm(time.strptime(utc, "%Y-%m-%d %H:%M")) - EPOCH_2001
    return {"id": f"00000000-0000-4000-8000-00000000000{n}", "startedAt": start,
            "endedAt": start + 3600, "focusDuration": 1500, "type": "focus", "completed": True,
            **({"taskLabel": task} if task else {})}


class NoTrayTests(unittest.TestCase):
    def test_panel_at_start_and_a_late_tray(self):
        s = Session(self)
        # Started as from a menu, with nothing handed over after it.
        with open(s.root / "out", "w") as out, open(s.root / "err", "w") as err:
            s.proc = subprocess.Popen([BINARY], env=s.env, stdout=out, stderr=err)
        [panel] = wait_until(s.visible_windows, "the panel at start", 20, s.diagnostics)
        [advice] = [line for line in s.out if "tray" in line]
        self.assertRegex(advice, "^No system tray.*XEmbed.*StatusNotifierItem/AppIndicator")

        s.start_tray()
        windows = wait_until(lambda: len(w := s.visible_windows()) == 2 and w,
                             "the icon in the tray", 15, s.diagnostics)
        [icon] = set(windows) - {panel}
        # Inside the tray: its 120 x 32 pixels at the top left of the screen.
        place = dict(line.split("=") for line in s.run(
            "xdotool", "getwindowgeometry", "--shell", icon).stdout.split())
        self.assertTrue(int(place["X"]) + int(place["WIDTH"]) <= 120
                        and int(place["Y"]) + int(place["HEIGHT"]) <= 32, place)
        self.assertEqual(len([line for line in s.out if "tray" in line]), 1, s.out)
        self.assertEqual(s.stop(), 0)

    def test_export_reads_and_never_writes(self):
        root = Path(tempfile.mkdtemp(prefix="larkspur-export-"))
        self.addCleanup(shutil.rmtree, root)
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(root),
               "XDG_DATA_HOME": f"{root}/data", "TZ": "Europe/Berlin", "LANG": "C.UTF-8",
               "DISPLAY": ":404"}  # no such display: the export never opens one
        export = lambda *a: subprocess.run(  # noqa: E731
            [BINARY, *a], env=env, capture_output=True, timeout=20)
        # No history yet: the header alone, and no folder made for it.
        done = export("--export-sessions", "csv")
        self.assertEqual((done.returncode, done.stdout, done.stderr), (0, HEADER, b""))
        self.assertEqual(export("--export-sessions", "json").stdout, b"[]\n")
        self.assertFalse((root / "data").exists())

        folder = root / "data/Larkspurhollow"
        folder.mkdir(parents=True)
        history = folder / "focus-sessions.json"
        history.write_text(json.dumps([record(1, "2026-03-28 22:30"),
                                       record(2, "2026-03-29 00:30", 'Tea, "hot"'),
                                       record(3, "2026-03-29 22:00")]))
        done = export("--to", "2026-03-29", "--export-sessions", "csv", "--from", "2026-03-29")
        self.assertEqual(done.stdout, HEADER + (
            b'00000000-0000-4000-8000-000000000002,focus,"Tea, ""hot""",2026-03-29T01:30:00+01:00,'
            b"2026-03-29T03:30:00+02:00,1500,true\r\n"), done.stderr)

        # Unreadable: said on stderr, exit 1, the file byte for byte as it was and nothing beside.
        broken = b'[{"id": "00000000-0000-4000-8000-000000000001", "startedAt": 1,'
        history.write_bytes(broken)
        for kind in ("csv", "json"):
            done = export("--export-sessions", kind)
            self.assertEqual((done.returncode, done.stdout), (1, b""), done.stderr)
            self.assertIn(b"focus-sessions.json", done.stderr)
        self.assertEqual(history.read_bytes(), broken)
        self.assertEqual(os.listdir(folder), ["focus-sessions.json"])

        for wrong in (["xml"], ["csv", "--from", "2026-3-01"]):
            done = export("--export-sessions", *wrong)
            self.assertEqual(done.returncode, 2, wrong)
            self.assertIn(b"Usage: ", done.stderr)
        self.assertIn(b"--export-sessions csv", export("--help").stdout)
