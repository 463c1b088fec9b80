# The settings window under a real window manager, driven over AT-SPI: opened from the drop-down
# with its size and the focus, and its General tab's login switch and webhook test.

import unittest

from harness import Session, wait_until


class SettingsTests(unittest.TestCase):
    def test_general_tab(self):
        s = Session(self, tray=True, a11y=True, wm=True)
        ui = s.ui
        s.launch()
        settings = lambda: s.run("xdotool", "search", "--onlyvisible", "--name",  # noqa: E731
                                 "^Larkspurhollow Settings$").stdout.split()
        s.click_tray_icon()
        ui.press("Settings...")
        wait_until(settings, "the settings window")
        [window] = settings()
        geometry = s.run("xdotool", "getwindowgeometry", window).stdout
        self.assertIn("Geometry: 520x460", geometry)
        wait_until(lambda: s.focused_window() == window, "the settings window focused")

        entry = s.root / "cfg/autostart/larkspurhollow.desktop"
        ui.press("Launch at Login", "check box")
        wait_until(entry.exists, "the autostart entry")
        ui.press("Launch at Login", "check box")
        wait_until(lambda: not entry.exists(), "the autostart entry removed")

        field = ui.one("text", "Webhook Address")
        ui.call(field, "SetTextContents", "", iface="EditableText")
        address = s.receiver.url
        ui.call(field, "InsertText", 0, address, len(address), iface="EditableText")
        ui.press("Test Webhook")
        ui.one("push button", "Test Webhook")
        s.receiver.wait("timer.test", 1)

        # Each tab, in the Light theme and then in the Dark one, which is stored at once.
        for theme in ("Light", "Dark"):
            if theme == "Dark":
                ui.press("Themes")
                ui.press("Select Dark theme")
                stored = s.app_dir / "current-theme.json"
                wait_until(lambda: stored.exists() and '"Dark"' in stored.read_text(),
                           "the Dark theme stored")
            for tab in ("General", "Themes", "Sounds", "Presets"):
                ui.press(tab)
                s.screenshot(f"settings-{tab.lower()}-{theme.lower()}.png")
        # The presets' tab lists what the drop-down offers.
        ui.one("push button", "Delete Preset Quick 5")
