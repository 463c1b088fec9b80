"""One program per user: later launches hand their URLs to it and end."""

import signal
import unittest

from harness import E2ETestCase, holds_for, wait_until


def names(timers):
    return [t["name"] for t in timers]


class SingleInstanceTests(E2ETestCase):
    def test_quick_second_launches(self):
        s = self.running_session()
        # Two at the same moment: both are answered, both timers exist.
        racing = [s.spawn_binary(f"larkspurhollow://start?name=Race{i}&duration=600")
                  for i in (1, 2)]
        for proc in racing:
            self.assertEqual(proc.wait(10), 0)
        s.wait_for_timers(lambda t: sorted(names(t)) == ["Race1", "Race2"])

        # One after the other: handled in the order they were launched.
        for name in ("First", "Second", "Third"):
            s.send(f"larkspurhollow://start?name={name}&duration=600")
        s.wait_for_timers(lambda t: names(t)[2:] == ["First", "Second", "Third"])
        s.assert_running()

    def test_first_launch_runs_its_own_urls_once(self):
        s = self.session()
        s.launch("larkspurhollow://start?name=A&duration=600",
                 "larkspurhollow://start?name=B&duration=600", "larkspurhollow://pause")
        s.wait_for_timers(lambda t: [(x["name"], x["state"]) for x in t] ==
                          [("A", "paused"), ("B", "paused")])
        wait_until(lambda: len(s.receiver.requests) >= 4, 5, "four webhooks")
        self.assertTrue(holds_for(lambda: len(s.receiver.requests) == 4, 0.4))
        self.assertEqual(sorted(b["event"] for b in s.receiver.events()),
                         ["timer.paused"] * 2 + ["timer.started"] * 2)

    def test_two_first_launches_at_once_make_one_instance(self):
        s = self.session()
        first = s.launch("larkspurhollow://start?name=X&duration=600", wait_ready=False)
        second = s.spawn_binary("larkspurhollow://start?name=Y&duration=600")
        ended = wait_until(lambda: [p for p in (first, second) if p.poll() is not None], 10,
                           "one of two simultaneous launches to hand over")
        self.assertEqual(len(ended), 1)
        self.assertEqual(ended[0].returncode, 0)
        s.wait_for_timers(lambda t: sorted(names(t)) == ["X", "Y"])
        self.assertTrue(holds_for(lambda: (first.poll() is None) != (second.poll() is None), 0.3))

    def test_socket_left_by_a_crash_is_taken_over(self):
        s = self.running_session()
        s.send("larkspurhollow://start?name=Before&duration=600")
        s.wait_for_timers(lambda t: names(t) == ["Before"])
        s.kill_program()
        self.assertTrue(s.socket_path.exists())

        s.launch()
        s.send("larkspurhollow://start?name=After&duration=600")
        s.wait_for_timers(lambda t: names(t) == ["Before", "After"])
        self.assertEqual(s.stop_program(signal.SIGTERM), 0)


if __name__ == "__main__":
    unittest.main()
