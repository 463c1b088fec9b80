# The panel's Focus and Stats tabs over AT-SPI: a focus phase started and skipped is recorded and
# listed among the recent sessions, and the daily goal edited there is stored.

import json
import time
import unittest

import dbus

from harness import EPOCH_2001, Session, wait_until


def week():  # a completed 25-minute focus phase on each of the last seven days
    now = time.time() - EPOCH_2001
    return [{"id": f"00000000-0000-4000-8000-00000000000{k}", "startedAt": now - k * 86400 - 1800,
             "endedAt": now - k * 86400 - 300, "focusDuration": 1500, "type": "focus",
             "completed": True} for k in range(7)]


class TabTests(unittest.TestCase):
    def test_focus_and_stats(self):
        s = Session(self, a11y=True)
        ui = s.ui
        s.write("focus-sessions.json", week())
        s.launch()
        panel = wait_until(s.visible_windows, "the panel, up from the start without a tray")[0]
        s.run("xdotool", "windowsize", panel, 400, 640)  # room for the whole focus view
        stored = lambda name: json.loads((s.app_dir / name).read_text())  # noqa: E731

        ui.press("Focus")
        task = ui.one("text", "Task")
        x, y, w, h = ui.call(task, "GetExtents", dbus.UInt32(0), iface="Component")
        s.run("xdotool", "mousemove", x + w // 2, y + h // 2, "click", 1, "type", "Report")
        ui.press("Start Focus")
        ui.press("Timers")  # the phase runs on while another tab is shown
        ui.press("Focus")
        ui.one("push button", "Pause Focus")
        s.screenshot("focus.png")
        ui.press("Focus Settings")
        ui.one("push button", "Close Focus Settings")
        s.screenshot("focus-settings.png")
        ui.press("Close Focus Settings")
        ui.press("Skip Phase")
        skipped = wait_until(lambda: len(stored("focus-sessions.json")) == 8 and
                             stored("focus-sessions.json")[-1], "the skipped phase recorded")
        self.assertEqual((skipped["type"], skipped["completed"], skipped.get("taskLabel")),
                         ("focus", False, "Report"))
        self.assertLess(skipped["focusDuration"], 5)

        ui.press("Stats")
        ui.press("Edit Daily Goal")
        stepper = ui.one("spin box", "Daily Goal")
        x, y, w, h = ui.call(stepper, "GetExtents", dbus.UInt32(0), iface="Component")
        s.run("xdotool", "mousemove", x + w // 2, y + h // 2, "click", 1, "key", "Up", "Up")
        ui.press("Save Daily Goal")
        wait_until(lambda: (s.app_dir / "daily-goal.json").exists() and
                   stored("daily-goal.json") == 140, "the goal stored")
        s.screenshot("stats.png")
        s.run("xdotool", "mousemove", x + w // 2, y + h // 2, "click", "--repeat", "12", "5")
        ui.one("list item", "Report, 0m, skipped")  # the newest of the recent sessions
