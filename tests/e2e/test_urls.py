# URLs from the first launch and from later ones: hand-over, order, completion, commands.
# Options are answered before any display or hand-over.

import socket
import threading
import time
import unittest

from harness import BINARY, DASH, Session, payload

TEA, START = "\U0001F375", "larkspurhollow://start"
VERSION, USAGE = "Larkspurhollow 1.0.0\n", "Usage: larkspurhollow [URL...]\n"
IGNORED = ["", "not a url", "larkspurhollow:start", "larkspurhollow:///start",
           "Larkspurhollow://start", "larkspurhollow://Start", "larkspurhollow://starts",
           "http://start?name=x", "larkspurhollow://start?name=%zz", "larkspurhollow://launch"]


class UrlTests(unittest.TestCase):
    def test_hand_over_in_order_through_completion(self):
        s, since = Session(self, tray=True), time.time()  # so no line about a missing tray
        s.launch(f"{START}?name=Tea&duration=1&emoji=%F0%9F%8D%B5",
                 f"{START}?name=Long&duration=600")
        # None of these reaches the running program (the names below show it) or needs a display.
        bare = {k: v for k, v in s.env.items() if k not in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")}
        for args, code, out in [("--help", 0, USAGE), ("-h", 0, USAGE), ("--version", 0, VERSION),
                                ("-v", 0, VERSION), (f"{START} --version", 0, VERSION),
                                (f"{START} --nope", 2, "")]:
            result = s.run(BINARY, *args.split(), env=bare)
            self.assertEqual((result.returncode, result.stdout[:len(out) or None],
                              "--nope" in result.stderr), (code, out, code == 2), args)
        # Later launches hand over and exit 0; those at fault are ignored, the rest run in turn.
        s.send(*IGNORED, START)
        for name in ("First", "Second"):
            s.send(f"{START}?name={name}&duration=600&mode=stopwatch")
        names = ["Tea", "Long", "Timer", "First", "Second"]
        timers = s.wait_timers(lambda t: [x["name"] for x in t] == names, "timers in order")
        self.assertEqual([(x["mode"], x["totalDuration"]) for x in timers[2:]],
                         [("countdown", 300), ("stopwatch", 600), ("stopwatch", 600)])

        self.assertEqual(s.wait_notes(1, 3), [(f"{TEA} Tea {DASH} Time's up!", 0)])
        [done] = s.receiver.wait("timer.completed", 1)
        self.assertGreaterEqual(time.time() - since, 0.98)
        self.assertEqual(payload(done, since), {"event": "timer.completed", "timer_name": "Tea",
                                                "timer_duration": 1, "timer_emoji": TEA})
        s.wait_timers(lambda t: (t[0]["state"], t[0]["elapsedTime"]) == ("completed", 1),
                      "Tea stored completed")
        # Webhooks travel side by side, so only the stored list shows the order.
        self.assertEqual(s.receiver.names("timer.started", 5), sorted(names))
        tea = next(b for b in s.receiver.events("timer.started") if b["timer_name"] == "Tea")
        self.assertEqual(payload(tea, since), {**payload(done, since), "event": "timer.started"})
        # The first launch's own URLs ran once; the ignored ones sent nothing.
        self.assertTrue(s.receiver.quiet(6), s.receiver.bodies)

        s.send("larkspurhollow://pause")
        self.assertEqual(s.receiver.names("timer.paused", 4), sorted(names[1:]))
        s.send("larkspurhollow://resume")
        s.wait_timers(lambda t: [x["state"] for x in t] == ["completed"] + ["running"] * 4,
                      "all but Tea running again")
        s.send("larkspurhollow://reset")
        s.receiver.wait("timer.reset", 5)
        s.wait_timers(lambda t: {(x["state"], x["elapsedTime"]) for x in t} == {("idle", 0)},
                      "all reset")
        s.send("larkspurhollow://stop", "larkspurhollow://pause")
        s.wait_timers(lambda t: t == [], "no timers after stop")
        self.assertTrue(s.receiver.quiet(15), s.receiver.bodies)
        self.assertEqual(s.out, [])

    # A receiver that takes connections and never answers holds up neither the commands nor the
    # way out; the quit tells which events it gave up.
    def test_silent_receiver(self):
        hole, held = socket.create_server(("127.0.0.1", 0)), []

        def hold():
            while True:
                try:
                    held.append(hole.accept())
                except OSError:  # closed when the test is done
                    return
        threading.Thread(target=hold, daemon=True).start()
        self.addCleanup(hole.close)
        s = Session(self, tray=True, webhook=f"http://127.0.0.1:{hole.getsockname()[1]}/hook")
        s.launch()
        for i in range(10):
            s.send(f"{START}?name=T{i}&duration=600")
        s.wait_timers(lambda t: len(t) == 10, "ten timers")
        self.assertEqual(s.stop(), 0)
        self.assertEqual(s.out, ["Webhook: quitting without waiting for 10 unanswered event(s)"])
