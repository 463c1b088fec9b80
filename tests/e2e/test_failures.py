"""Broken files, bad webhook addresses and missing services: reported, never fatal."""

import json
import re
import signal
import time
import unittest
from datetime import datetime, timezone

from harness import (TIMERS_FILE, WEBHOOK_FILE, E2ETestCase, free_port, holds_for, make_timer)

LOAD_ERROR = "StorageManager load error: "
SAVE_ERROR = "StorageManager save error: "
WEBHOOK_ERROR = "Webhook error: "


def copies(session, name):
    pattern = re.compile(re.escape(name) + r"\.unreadable-(\d{8}T\d{6}Z)(-\d+)?$")
    found = {}
    if session.app_dir.is_dir():
        for path in session.app_dir.iterdir():
            match = pattern.match(path.name)
            if match:
                found[path] = match.group(1)
    return found


def exactly(session, prefix, count, settle=0.25):
    """count lines with prefix arrive, and no more follow for a moment."""
    session.wait_for_lines(prefix, count)
    return holds_for(lambda: len(session.lines_starting(prefix)) == count, settle)


class UnreadableFileTests(E2ETestCase):
    def test_unreadable_timer_list(self):
        good = json.dumps([make_timer("Saved")])
        cases = [
            ("truncated", good[: len(good) // 2].encode()),
            ("not JSON", b"hello, world"),
            ("empty", b""),
            ("object instead of a list", b'{"timers": []}'),
            ("unknown mode", json.dumps([make_timer("X", mode="sprint")]).encode()),
            ("name missing", json.dumps([{k: v for k, v in make_timer("X").items()
                                          if k != "name"}]).encode()),
            ("one good, one bad", json.dumps([make_timer("Ok"), make_timer("X", state="gone")])
             .encode()),
        ]
        s = self.session()
        for label, content in cases:
            with self.subTest(case=label):
                s.stop_program()
                s.write_file(TIMERS_FILE, content)
                known = copies(s, TIMERS_FILE)
                s.launch()
                self.assertTrue(exactly(s, LOAD_ERROR, 1), s.stdout)
                new = {p: stamp for p, stamp in copies(s, TIMERS_FILE).items() if p not in known}
                self.assertEqual(len(new), 1, new)
                [(copy, stamp)] = new.items()
                self.assertEqual(copy.read_bytes(), content)
                taken = datetime.strptime(stamp, "%Y%m%dT%H%M%SZ").replace(tzinfo=timezone.utc)
                self.assertLess(abs(taken.timestamp() - time.time()), 120)
                self.assertIn(copy.name, s.stdout[0])

                # Nothing was restored, and the file waits untouched for the next save.
                s.send("larkspurhollow://pause", "larkspurhollow://reset")
                self.assertTrue(holds_for(lambda: s.path(TIMERS_FILE).read_bytes() == content,
                                          0.2))
                self.assertEqual(s.receiver.events("timer.paused"), [])
                self.assertEqual(s.receiver.events("timer.reset"), [])
                s.send("larkspurhollow://start?name=Fresh&duration=600")
                s.wait_for_timers(lambda t: [x["name"] for x in t] == ["Fresh"])
                self.assertEqual(copy.read_bytes(), content)
                s.assert_running()

    def test_unreadable_webhook_address_is_replaced_by_none(self):
        s = self.session(webhook=None)
        s.write_file(WEBHOOK_FILE, b'{"url": "http://127.0.0.1:9/"}')
        s.launch()
        self.assertTrue(exactly(s, LOAD_ERROR, 1), s.stdout)
        self.assertEqual(len(copies(s, WEBHOOK_FILE)), 1)
        self.assertEqual(s.path(WEBHOOK_FILE).read_text().strip(), "null")


class WebhookAddressTests(E2ETestCase):
    def test_addresses_that_cannot_be_used(self):
        s = self.session(webhook=None)
        port = s.receiver.port
        # Some must be reported, others are simply off; none may reach the receiver.
        table = [
            (f"ftp://127.0.0.1:{port}/hook", 1),
            ("file:///tmp/hook", 1),
            (f"gopher://127.0.0.1:{port}/hook", 1),
            ("http:///no-host", 1),
            ("", 0),
            (None, 0),
            (f"127.0.0.1:{port}/hook", 0),  # no scheme: not a URL at all
            (f"not a url at all http://127.0.0.1:{port}/", 0),
        ]
        for count, (address, lines) in enumerate(table, start=1):
            with self.subTest(address=address):
                s.stop_program()
                s.set_webhook(address)
                s.launch()
                s.send("larkspurhollow://start?name=Hooked&duration=600")
                s.wait_for_timers(lambda t: len(t) == count)
                if lines:
                    self.assertTrue(exactly(s, WEBHOOK_ERROR, lines), s.stdout)
                else:
                    self.assertTrue(holds_for(lambda: s.stdout == [], 0.25), s.stdout)
                self.assertEqual(s.receiver.requests, [])
                s.assert_running()

    def test_unreachable_address_gives_one_line_per_event(self):
        s = self.session(webhook=f"http://127.0.0.1:{free_port()}/hook")
        s.launch()
        s.send("larkspurhollow://start?name=Short&duration=1")
        self.assertTrue(exactly(s, WEBHOOK_ERROR, 1, settle=0.2), s.stdout)
        # The completion a second later is a second event, and a second line.
        s.wait_for_notifications(1, timeout=3)
        self.assertTrue(exactly(s, WEBHOOK_ERROR, 2), s.stdout)
        s.assert_running()

    def test_http_error_status_is_not_reported(self):
        s = self.running_session(http_status=500)
        s.send("larkspurhollow://start?name=A&duration=600")
        s.receiver.wait_for_events("timer.started", 1)
        self.assertTrue(holds_for(lambda: s.stdout == [], 0.4), s.stdout)


class EnvironmentFailureTests(E2ETestCase):
    """Services, folders and streams the program relies on are missing or broken."""

    def test_without_notification_service(self):
        s = self.running_session(notifications=False)
        s.send("larkspurhollow://start?name=Quiet&duration=1")
        s.receiver.wait_for_events("timer.completed", 1, timeout=4)
        s.wait_for_timers(lambda t: t[0]["state"] == "completed")
        s.assert_running()

        # A service that turns up later gets the next notification.
        s.start_notification_service()
        s.send("larkspurhollow://start?name=Heard&duration=1")
        [note] = s.wait_for_notifications(1, timeout=4)
        self.assertEqual(note["body"], "\u23f1 Heard \u2014 Time's up!")

        # And one that goes away again is not missed either.
        s.stop_notification_service()
        s.send("larkspurhollow://start?name=Gone&duration=1")
        bodies = s.receiver.wait_for_events("timer.completed", 3, timeout=4)
        self.assertEqual([b["timer_name"] for b in bodies], ["Quiet", "Heard", "Gone"])
        s.assert_running()
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)

    def test_output_reader_gone(self):
        # Started from a pipeline whose reader has ended: a report line must not be fatal.
        s = self.session(webhook=None)
        s.set_webhook(f"ftp://127.0.0.1:{s.receiver.port}/hook")
        s.launch("larkspurhollow://start?name=Unheard&duration=600", reader_gone=True)
        s.wait_for_timers(lambda t: [x["name"] for x in t] == ["Unheard"])
        s.send("larkspurhollow://start?name=Later&duration=600")
        s.wait_for_timers(lambda t: [x["name"] for x in t] == ["Unheard", "Later"])
        s.assert_running()
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)

    def test_data_folder_cannot_be_written(self):
        s = self.running_session(webhook=None, unwritable_data=True)
        s.send("larkspurhollow://start?name=Homeless&duration=1")
        # The timer runs in memory all the same and reaches its end.
        [note] = s.wait_for_notifications(1, timeout=4)
        self.assertEqual(note["body"], "\u23f1 Homeless \u2014 Time's up!")
        s.wait_for_lines(SAVE_ERROR, 2)
        self.assertEqual(s.lines_starting(LOAD_ERROR), [])
        saves = len(s.lines_starting(SAVE_ERROR))
        s.send("larkspurhollow://start?name=Again&duration=600", "larkspurhollow://pause")
        s.wait_for_lines(SAVE_ERROR, saves + 1)
        s.assert_running()
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)
        self.assertTrue(s.data_home.is_file())


if __name__ == "__main__":
    unittest.main()
