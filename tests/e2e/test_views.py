"""The drop-down, the floating panel, its cards and the new-timer sheet, driven as a user would.

Elements are found by their accessible role and name (AT-SPI) and pressed with the real
pointer at the place AT-SPI reports, so the clicks go through the program's own input
handling (the drop-down's pointer grab included). Text is typed with xdotool.

Screenshots go to harness.artifacts_dir(); look at them after a change to the views.
"""

import datetime
import re
import time
import unittest

from harness import (PROGRAM_CLASS, REFERENCE_OFFSET, SCALE, Session, artifacts_dir, holds_for,
                     reference_now, wait_until)

DROP_DOWN_WIDTH = 300
PANEL_SIZE = (400, 400)
SHEET_HEIGHT = 536
OUTSIDE = (780, 580)  # bare root window: nothing of the program or the tray host is there


class ViewTestCase(unittest.TestCase):
    """One session for the whole class; every test starts without timers or open windows."""

    @classmethod
    def setUpClass(cls):
        cls.s = Session(tray=True, accessibility=True)
        cls.s.__enter__()
        cls.addClassCleanup(cls.s.close)
        # Made before any popup opens: popups are found through their activation.
        cls.ui = cls.s.accessibility()
        cls.launch()

    @classmethod
    def launch(cls):
        cls.s.launch()
        cls.icon = wait_until(cls.s.embedded_tray_icon, 5, "the icon inside the tray host")
        # The panel's window exists from launch, hidden; every other program window is a popup.
        ids = wait_until(cls.top_level_ids, 5, "the panel's window")
        assert len(ids) == 1, ids
        cls.panel_id = ids[0]

    @classmethod
    def top_level_ids(cls):
        return [line.split()[0] for line in cls.s.window_tree()
                if line.startswith("     0x") and PROGRAM_CLASS in line]

    def setUp(self):
        if self.s.proc is None or self.s.proc.poll() is not None:
            self.s.stop_program()
            self.launch()
        self.reset()
        self.requests_before = len(self.s.receiver.requests)

    def reset(self):
        if self.drop_down():
            self.s.xdotool("key", "Escape", "Escape")
            if not holds_for(lambda: not self.drop_down(), 0.3):
                self.s.click_at(*OUTSIDE)
            wait_until(lambda: not self.drop_down(), 3, "the drop-down to close")
        for name in ("Close New Timer", "Cancel"):
            for node in self.ui.find("push button", name):
                self.click(node)
        if self.panel():
            self.s.send("larkspurhollow://toggle")
            wait_until(lambda: not self.panel(), 3, "the panel to hide")
        self.s.send("larkspurhollow://stop")
        # With no timers the command writes nothing, and a fresh session has no file yet.
        wait_until(lambda: not self.s.timers(), 5, "no timers left")

    # ----- windows ------------------------------------------------------------------------

    def drop_down(self):
        """(x, y, width, height) of the open drop-down, or None."""
        popups = [g for wid, g in self.s.program_windows().items() if wid != self.panel_id]
        return popups[0] if popups else None

    def panel(self):
        return self.s.program_windows().get(self.panel_id)

    def icon_centre(self):
        x, y, w, h = self.s.window_geometry(self.icon)
        return x + w // 2, y + h // 2

    def open_drop_down(self):
        x, y = self.icon_centre()
        self.s.click_at(x, y)
        geometry = wait_until(self.drop_down, 5, "the drop-down to open")
        self.ui.wait_for("heading", re.compile(r"Active Timer"))
        return geometry, (x, y)

    def click(self, node):
        self.s.click_at(*node.center)

    def click_named(self, name, role="push button", timeout=5.0):
        # Cards fade and scale in; click once the element has come to rest.
        node = self.ui.one(role, name, timeout)
        deadline = time.monotonic() + 2 * SCALE
        while time.monotonic() < deadline:
            time.sleep(0.05)
            again = self.ui.one(role, name, timeout)
            if again.extents == node.extents:
                break
            node = again
        self.click(node)
        return node

    def type_into(self, node, text):
        self.click(node)
        self.s.xdotool("key", "ctrl+a")
        self.s.xdotool("type", "--delay", "15", text)

    def heading(self):
        return self.ui.one("heading", re.compile(r"Active Timer")).name

    def wait_heading(self, text):
        return wait_until(lambda: self.ui.find("heading", text), 5,
                          f"the drop-down's header to read {text!r}",
                          lambda: f"; it reads {self.heading()!r}")

    def shot(self, name, window="root"):
        # Let the scene graph draw the last change before the capture.
        time.sleep(0.3)
        return self.s.screenshot(artifacts_dir() / name, window)

    def assertNoWebhook(self):
        self.assertTrue(holds_for(lambda: len(self.s.receiver.requests) == self.requests_before,
                                  0.5), self.s.receiver.requests[self.requests_before:])

    def timer(self, name):
        timers = self.s.wait_for_timers(lambda t: any(x["name"] == name for x in t),
                                        what=f"a timer named {name!r}")
        return next(x for x in timers if x["name"] == name)


class DropDownTests(ViewTestCase):
    def test_opens_below_the_icon_and_closes_by_escape_or_a_click_elsewhere(self):
        _, icon_y, _, icon_h = self.s.window_geometry(self.icon)
        for closer in ("Escape", "click elsewhere"):
            with self.subTest(closer=closer):
                (x, y, w, h), (px, py) = self.open_drop_down()
                self.assertEqual(w, DROP_DOWN_WIDTH)
                # Under the pointer's column, just below the icon, leaving the tray in sight.
                icon_bottom = icon_y + icon_h
                self.assertTrue(x <= px <= x + w and icon_bottom <= y <= icon_bottom + 8,
                                ((x, y, w, h), (px, py), icon_bottom))
                self.assertLessEqual(y + h, 600)
                self.assertEqual(self.heading(), "No Active Timers")
                # Running timers are listed as rows; with none there is no row.
                self.assertEqual(self.ui.find("label"), [])
                self.shot("dropdown-empty.png")
                if closer == "Escape":
                    self.s.xdotool("key", "Escape")
                else:
                    self.s.click_at(*OUTSIDE)
                wait_until(lambda: not self.drop_down(), 3, f"the drop-down to close by {closer}")
                self.ui.wait_gone("heading")
        self.assertEqual(self.s.timers(), [])

    def test_preset_chips_start_timers_and_the_drop_down_stays_open(self):
        geometry, _ = self.open_drop_down()
        started = reference_now()
        cases = [("⚡", "Quick 5", 300, "1 Active Timer"),
                 ("🎯", "Focus 10", 600, "2 Active Timers")]
        for count, (emoji, name, duration, header) in enumerate(cases, 1):
            self.click_named(f"{emoji} {name}")
            timers = self.s.wait_for_timers(lambda t: len(t) == count, what=f"{count} timer(s)")
            timer = timers[-1]
            self.assertEqual((timer["name"], timer["emoji"], timer["mode"], timer["state"],
                              timer["totalDuration"]),
                             (name, emoji, "countdown", "running", duration))
            self.assertGreaterEqual(timer["createdAt"], started - 1)
            self.wait_heading(header)
            self.assertTrue(holds_for(lambda: self.drop_down() is not None, 0.3),
                            "the drop-down closed after a chip")
        # One row per running timer, with its time.
        rows = self.ui.wait_for("label", re.compile(r"^(Quick 5|Focus 10) \d\d:\d\d$"), count=2)
        self.assertEqual([r.name.rsplit(" ", 1)[0] for r in rows], ["Quick 5", "Focus 10"])
        self.assertEqual(self.drop_down()[2], geometry[2])
        self.shot("dropdown-running.png")
        self.assertNoWebhook()

    def test_panel_command_follows_the_panel_and_toggles_it(self):
        self.open_drop_down()
        self.click_named("Show Timer Panel")
        wait_until(self.panel, 5, "the panel to show")
        wait_until(lambda: not self.drop_down(), 3, "the drop-down to close")
        self.assertEqual(self.panel()[2:], PANEL_SIZE)
        self.ui.wait_for("push button", "Close Timer Panel")

        self.open_drop_down()
        self.assertEqual(self.ui.find("push button", "Show Timer Panel"), [])
        self.click_named("Hide Timer Panel")
        wait_until(lambda: not self.panel(), 5, "the panel to hide")
        self.assertEqual(self.ui.find("push button", "Close Timer Panel"), [])

    def test_commands_show_the_panel_on_their_tab(self):
        self.addCleanup(self.select_timers_tab)
        for command, tab in (("Statistics", "Stats"), ("Focus Mode", "Focus"),
                             ("Timer Sequences", "Sequences")):
            with self.subTest(command=command):
                # The panel is shown on the tab whether it was hidden or showing another.
                self.open_drop_down()
                self.click_named(command)
                wait_until(self.panel, 5, "the panel to show")
                wait_until(lambda: not self.drop_down(), 3, "the drop-down to close")
                selected = wait_until(lambda: [n.name for n in self.ui.find("push button")
                                               if "selected" in n.states], 3, "a selected tab")
                self.assertEqual(selected, [tab])

    def select_timers_tab(self):
        if not self.panel():
            self.s.send("larkspurhollow://toggle")
            wait_until(self.panel, 5, "the panel to show")
        self.click_named("Timers")
        wait_until(lambda: "selected" in self.ui.one("push button", "Timers").states, 3,
                   "the Timers tab")

    def test_quit_ends_the_program_and_keeps_its_timers(self):
        self.open_drop_down()
        self.click_named("⚡ Quick 5")
        self.timer("Quick 5")
        self.click_named("Quit")
        self.assertEqual(self.s.proc.wait(5 * SCALE), 0)
        [timer] = self.s.timers()
        self.assertEqual((timer["name"], timer["state"]), ("Quick 5", "running"))
        self.assertNoWebhook()

    def test_about_opens_a_popover_inside_the_drop_down(self):
        (x, y, w, h), _ = self.open_drop_down()
        self.click_named("About Larkspurhollow")
        # Qt 6.4 gives every control its own role, so the link reads as a button.
        link = self.ui.one("push button", "ottermere.example")
        lx, ly, lw, lh = link.extents
        # The popover must lie within the drop-down's window, or it is cut off.
        self.assertTrue(x <= lx and lx + lw <= x + w and y <= ly and ly + lh <= y + h,
                        (link.extents, (x, y, w, h)))
        self.shot("about-popover.png")
        self.s.xdotool("key", "Escape")
        self.ui.wait_gone("push button", "ottermere.example")

    def test_end_time_timer_from_the_drop_down_sheet(self):
        self.open_drop_down()
        opened = time.time()
        self.click_named("New Timer...")
        name_field = self.ui.one("text", "Timer name")
        self.assertEqual(name_field.text, "Timer")
        self.assertEqual(self.drop_down()[3], 520)
        self.click_named("End Time", role="check box")
        hour = self.ui.one("spin box", "End hour")
        minute = self.ui.one("spin box", "End minute")
        # The sheet starts an hour ahead; the test sets two hours ahead.
        initial = datetime.datetime.fromtimestamp(opened + 3600)
        self.assertIn((int(hour.value), int(minute.value)),
                      {(initial.hour, initial.minute),
                       ((initial + datetime.timedelta(minutes=1)).hour,
                        (initial + datetime.timedelta(minutes=1)).minute)})
        target = datetime.datetime.fromtimestamp(opened + 7200)
        for field, value in ((hour, target.hour), (minute, target.minute)):
            self.type_into(field, f"{value:02d}")
            self.s.xdotool("key", "Tab")
            wait_until(lambda: int(self.ui.one("spin box", field.name).value) == value, 3,
                       f"{field.name} to read {value}")
        self.type_into(name_field, "Meeting")
        self.shot("sheet-dropdown-end-time.png")
        self.click_named("Create")

        timer = self.timer("Meeting")
        # Only hour and minute change; the day and the seconds are those of the initial value,
        # so late in the evening the chosen time lies in the past and the timer ends at once.
        end = datetime.datetime.fromtimestamp(timer["endDate"] + REFERENCE_OFFSET)
        self.assertEqual((end.date(), end.hour, end.minute),
                         (initial.date(), target.hour, target.minute))
        ahead = timer["endDate"] - timer["createdAt"]
        self.assertEqual(timer["mode"], "endTime")
        self.assertIn(timer["state"], ("running",) if ahead > 5 else ("running", "completed"))
        self.assertAlmostEqual(timer["totalDuration"], max(0.0, ahead), delta=2)
        # The sheet closes into the menu, which stays open and counts the new timer.
        self.wait_heading("1 Active Timer")
        self.assertEqual(self.drop_down()[2], DROP_DOWN_WIDTH)
        self.assertNoWebhook()


class PanelTests(ViewTestCase):
    def show_panel(self):
        self.s.send("larkspurhollow://toggle")
        wait_until(self.panel, 5, "the panel to show")
        self.ui.wait_for("push button", "Close Timer Panel")

    def start_from_chip(self, chip, name):
        self.open_drop_down()
        self.click_named(chip)
        self.timer(name)
        self.s.xdotool("key", "Escape")
        wait_until(lambda: not self.drop_down(), 3, "the drop-down to close")

    def state_of(self, name):
        timer = next((t for t in self.s.timers() or [] if t["name"] == name), None)
        return timer and timer["state"]

    def test_card_buttons_pause_and_resume_without_webhooks(self):
        self.start_from_chip("⚡ Quick 5", "Quick 5")
        self.show_panel()
        [before] = self.s.timers()
        for button, state in (("Pause Quick 5", "paused"), ("Resume Quick 5", "running"),
                              ("Pause Quick 5", "paused")):
            self.click_named(button)
            wait_until(lambda: self.state_of("Quick 5") == state, 3,
                       f"{state} after {button}; now {self.state_of('Quick 5')}")
        [after] = self.s.timers()
        self.assertEqual(after["id"], before["id"])
        # Paused, the card's time stands still.
        time_label = self.ui.one("label", re.compile(r"^Quick 5 time "))
        self.assertTrue(holds_for(lambda: self.ui.one("label", re.compile(r"^Quick 5 time ")).name
                                  == time_label.name, 1.2))
        self.assertNoWebhook()

    def test_screen_readers_can_press_the_controls(self):
        # The accessibility interface's Press acts like a click: commands, tabs, card buttons.
        self.start_from_chip("⚡ Quick 5", "Quick 5")
        self.show_panel()
        self.ui.do(self.ui.one("push button", "Stats"))
        self.ui.wait_gone("push button", "Pause Quick 5")
        self.ui.do(self.ui.one("push button", "Timers"))
        self.ui.do(self.ui.one("push button", "Pause Quick 5"))
        wait_until(lambda: self.state_of("Quick 5") == "paused", 3, "paused through AT-SPI")
        self.ui.do(self.ui.one("push button", "Close Timer Panel"))
        wait_until(lambda: not self.panel(), 3, "the panel to hide through AT-SPI")
        self.assertNoWebhook()

    def test_hot_key_and_url_toggle_the_panel_and_keep_its_tab(self):
        self.start_from_chip("⚡ Quick 5", "Quick 5")
        self.s.xdotool("key", "alt+shift+t")
        wait_until(self.panel, 5, "the panel to show on Alt+Shift+T")
        self.click_named("Stats")
        self.ui.wait_gone("push button", "Pause Quick 5")
        self.s.xdotool("key", "alt+shift+t")
        wait_until(lambda: not self.panel(), 5, "the panel to hide on Alt+Shift+T")
        self.s.send("larkspurhollow://toggle")
        wait_until(self.panel, 5, "the panel to show on the toggle URL")
        self.ui.wait_for("push button", "Close Timer Panel")
        # Still on Stats: no card is drawn.
        self.assertTrue(holds_for(lambda: not self.ui.find("push button", "Pause Quick 5"), 0.5))
        self.click_named("Timers")
        self.ui.one("push button", "Pause Quick 5")
        self.assertEqual(self.panel()[2:], (400, 400))

    def test_new_timer_sheet_creates_a_running_countdown(self):
        self.show_panel()
        self.click_named("New Timer")
        name_field = self.ui.one("text", "Timer name")
        wait_until(lambda: self.panel()[3] >= SHEET_HEIGHT, 3, "the panel to grow for the sheet")
        self.shot("sheet-panel-countdown.png")
        self.type_into(name_field, "Steep")
        wait_until(lambda: self.ui.one("text", "Timer name").text == "Steep", 3, "the typed name")
        self.click_named("End Time", role="check box")
        self.ui.wait_for("spin box", "End hour")
        self.shot("sheet-panel-end-time.png")
        self.click_named("Countdown", role="check box")
        self.ui.wait_gone("spin box", "End hour")
        self.click_named("Create")

        timer = self.timer("Steep")
        self.assertEqual((timer["mode"], timer["state"], timer["totalDuration"], timer["emoji"]),
                         ("countdown", "running", 300, "⏱"))
        self.assertNotIn("endDate", timer)
        self.ui.wait_gone("push button", "Create")
        wait_until(lambda: self.panel()[2:] == PANEL_SIZE, 3, "the panel back at its size")
        self.ui.wait_for("push button", "Pause Steep")
        self.assertNoWebhook()

    def test_edit_renames_the_timer_at_once(self):
        self.start_from_chip("☕ Break 15", "Break 15")
        self.show_panel()
        [before] = self.s.timers()
        self.click_named("Edit Break 15")
        field = self.ui.one("text", "Name")
        self.assertEqual(field.text, "Break 15")
        self.type_into(field, "Long Break")
        self.shot("edit-popover.png")
        self.click_named("Save")
        # Saved at once: no other action is needed for the file to change.
        [after] = self.s.wait_for_timers(lambda t: [x["name"] for x in t] == ["Long Break"],
                                         timeout=1.5, what="the new name stored")
        self.assertEqual({k: v for k, v in after.items() if k not in ("name", "elapsedTime")},
                         {k: v for k, v in before.items() if k not in ("name", "elapsedTime")})
        self.ui.wait_for("push button", "Pause Long Break")
        self.ui.wait_gone("text", "Name")
        self.assertNoWebhook()

    def test_cards_of_running_paused_and_completed_timers(self):
        self.show_panel()
        self.s.send("larkspurhollow://start?name=Tea&duration=600&emoji=%F0%9F%8D%B5",
                    "larkspurhollow://start?name=Steep&duration=240",
                    "larkspurhollow://start?name=Brief&duration=1&emoji=%E2%8F%B0")
        self.click_named("Pause Steep")
        self.s.wait_for_timers(lambda t: [x["state"] for x in t]
                               == ["running", "paused", "completed"], timeout=5 * SCALE,
                               what="running, paused and completed timers")
        for button in ("Pause Tea", "Resume Steep", "Restart Brief"):
            self.ui.one("push button", button)
        self.shot("panel-three-states.png", self.panel_id)
        self.assertEqual(self.panel()[2:], PANEL_SIZE)


if __name__ == "__main__":
    unittest.main()
