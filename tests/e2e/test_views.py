# The tray drop-down, its new-timer sheet and the floating panel's cards, driven over AT-SPI.
# Screenshots of each view go to harness.ARTIFACTS for a person to look at.

import dbus
import json
import unittest

from harness import SCALE, Session, wait_until

QUICK, HEADING = "\u26a1", ".*Active Timers?"


class ViewTests(unittest.TestCase):
    def type_into(self, field, text):
        x, y, w, h = self.ui.call(field, "GetExtents", dbus.UInt32(0), iface="Component")
        self.s.run("xdotool", "mousemove", x + w // 2, y + h // 2, "click", 1, "key", "ctrl+a")
        self.s.run("xdotool", "type", "--delay", "15", text)
        wait_until(lambda: self.ui.text(field) == text, f"{text!r} typed")

    def test_drop_down_sheet_and_panel(self):
        s = self.s = Session(self, tray=True, a11y=True)
        ui = self.ui = s.ui
        s.launch()
        s.click_tray_icon()
        self.assertEqual(ui.one("heading", HEADING)[2], "No Active Timers")
        s.screenshot("dropdown.png")
        ui.press(f"{QUICK} Quick 5")
        s.wait_timers(lambda t: [(x["name"], x.get("emoji"), x["state"], x["totalDuration"])
                                 for x in t] == [("Quick 5", QUICK, "running", 300)], "the chip's")
        ui.one("heading", "1 Active Timer")

        # An end-time timer from the drop-down's sheet, which opens an hour ahead.
        ui.press("New Timer...")
        name = ui.one("text", "Timer name")
        self.assertEqual(ui.text(name), "Timer")
        ui.press("End Time", "check box")
        ui.one("spin box", "End hour")
        self.type_into(name, "Meeting")
        s.screenshot("sheet.png")
        ui.press("Create")
        meeting = s.wait_timers(lambda t: len(t) == 2 and t[1]["state"] != "idle",
                                "the timer from the sheet")[1]
        ahead = meeting["endDate"] - meeting["createdAt"]
        self.assertEqual((meeting["name"], meeting["mode"], meeting["state"]),
                         ("Meeting", "endTime", "running"))
        self.assertTrue(3540 <= ahead <= 3660 and abs(meeting["totalDuration"] - ahead) < 2,
                        meeting)
        ui.one("heading", "2 Active Timers")

        # The panel's cards: running, paused by its button, completed.
        ui.press("Show Timer Panel")
        ui.one("push button", "Close Timer Panel")
        wait_until(lambda: not ui.find("heading", HEADING), "the drop-down to close")
        s.send("larkspurhollow://start?name=Brief&duration=1")
        ui.press("Pause Quick 5")
        paused = s.wait_timers(lambda t: [x["state"] for x in t] == [
            "paused", "running", "completed"], "a paused, a running and a completed timer")[0]
        for button in ("Resume Quick 5", "Pause Meeting", "Restart Brief"):
            ui.one("push button", button)
        s.screenshot("panel.png")

        # An edit on a card is stored at once.
        ui.press("Edit Quick 5")
        field = ui.one("text", "Name")
        self.assertEqual(ui.text(field), "Quick 5")
        self.type_into(field, "Long Break")
        ui.press("Save")
        edited = s.wait_timers(lambda t: t[0]["name"] == "Long Break", "the new name", 1.5)[0]
        self.assertEqual(edited, {**paused, "name": "Long Break"})
        ui.one("push button", "Resume Long Break")

        # A two-step sequence built in its tab is stored, and started its first step runs.
        ui.press("Sequences")
        ui.one("push button", "New Sequence")
        s.screenshot("sequences-empty.png")
        ui.press("New Sequence")
        for _ in range(3):
            ui.press("Add Step")
        self.type_into(ui.one("text", "Sequence Name"), "Duo")
        s.screenshot("sequence-builder.png")
        ui.press("Delete Step 3")
        s.run("xdotool", "mousemove", 400, 300, "click", "--repeat", "10", "5")  # to its end
        ui.press("Save Sequence")
        ui.press("Start Duo")
        s.wait_timers(lambda t: (t[-1]["name"], t[-1]["state"]) == ("Duo: Step 1", "running"),
                      "the sequence's first step")
        stored = json.loads((s.app_dir / "sequences.json").read_text())
        self.assertEqual([(q["name"], [x["name"] for x in q["steps"]]) for q in stored],
                         [("Duo", ["Step 1", "Step 2"])])
        s.screenshot("sequences.png")

        s.click_tray_icon()
        ui.press("Quit")
        self.assertEqual(s.proc.wait(5 * SCALE), 0)
        self.assertEqual([t["name"] for t in s.timers()],
                         ["Long Break", "Meeting", "Brief", "Duo: Step 1"])
        # Only the timer started by URL was announced; the views announce nothing.
        self.assertEqual([(b["event"], b["timer_name"]) for b in s.receiver.bodies],
                         [("timer.started", "Brief"), ("timer.completed", "Brief")])
