# The settings window under a real window manager, driven over AT-SPI and real key presses:
# opened from the drop-down with its size and the focus, then every tab's story down to the
# files it writes, the sound it plays and the drop-down it feeds.

import json
import math
import struct
import unittest
import wave

from harness import Session, wait_until


class SettingsTests(unittest.TestCase):
    def test_settings_window(self):
        s = Session(self, tray=True, a11y=True, wm=True, audio=True)
        ui = s.ui
        s.launch()
        settings = lambda: s.run("xdotool", "search", "--onlyvisible", "--name",  # noqa: E731
                                 "^Larkspurhollow Settings$").stdout.split()

        def stored(name):  # "" until written
            path = s.app_dir / name
            return path.read_text() if path.exists() else ""
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

        # Each tab, in the Light theme and then in the Dark one, which is stored at once and
        # repaints the open panel: its selected tab takes the theme's accent.
        s.run("xdotool", "key", "alt+shift+t")
        x, y, _, h = ui.call(ui.one("push button", "Timers"), "GetExtents", 0, iface="Component")
        accent = lambda: s.run("convert", "x:root", "-crop", f"1x1+{x + 3}+{y + h // 2}",  # noqa: E731,E501
                               "-depth", "8", "-format", "%[hex:p]", "info:").stdout.strip()
        wait_until(lambda: accent() == "F26A1F", "the Light accent", diagnostics=accent)
        for theme in ("Light", "Dark"):
            if theme == "Dark":
                ui.press("Themes")
                ui.press("Select Dark theme")
                wait_until(lambda: '"Dark"' in stored("current-theme.json"), "Dark stored")
                wait_until(lambda: accent() == "FF8C42", "the Dark accent", diagnostics=accent)
                s.screenshot("settings-panel-dark.png")
                ui.press("Close Timer Panel")
            for tab in ("General", "Themes", "Sounds", "Presets"):
                ui.press(tab)
                s.screenshot(f"settings-{tab.lower()}-{theme.lower()}.png")

        # A custom theme whose background comes from the desktop's colour dialog.
        ui.press("Themes")
        ui.press("New Theme")
        ui.type_into(ui.one("text", "Theme Name"), "Dusk", s)
        ui.press("Background Colour")
        dialog = lambda name: s.run("xdotool", "search", "--onlyvisible", "--name",  # noqa: E731
                                    f"^{name}$").stdout.split()
        wait_until(lambda: dialog("Background"), "the colour dialog")
        s.screenshot("dialog-colour.png")
        ui.type_into(ui.one("text", "HTML:"), "#1e2a38", s)
        ui.press("OK")
        wait_until(lambda: not dialog("Background"), "the colour dialog closed")
        scroll = lambda: s.run("xdotool", "mousemove", 400, 470, "click", "--repeat", "10", "5")  # noqa: E731,E501
        scroll()
        ui.press("Save Theme")
        wait_until(lambda: s.app_dir.joinpath("custom-themes.json").exists(), "the custom theme")
        [dusk] = json.loads(stored("custom-themes.json"))
        self.assertEqual((dusk["name"], dusk["backgroundHex"]), ("Dusk", "#1E2A38"))

        # A preview plays at the master volume, which is kept; the level is what the audio
        # server receives (the bell's loudest sample, at the level a click set, then at 35 %).
        ui.press("Sounds")
        volume = lambda: json.loads(stored("preferences.json") or "{}").get("globalVolume")  # noqa: E731,E501
        ui.click(ui.one("slider", "Global Volume"), s)  # about half way, and the focus
        clicked = wait_until(lambda: volume() not in (None, 0.8) and volume(), "a new volume")
        levels = []
        for steps in (0, round((clicked - 0.35) / 0.05)):
            s.run("xdotool", "key", "--delay", "30", *["Left"] * steps)
            wait_until(lambda: volume() == (0.35 if steps else clicked), "the volume kept")
            since = s.captured()
            ui.press("Preview Bell")
            levels.append(s.peak(since, 1.5))
        self.assertGreater(levels[0], 2000)
        self.assertAlmostEqual(levels[1] / levels[0], 0.35 / clicked, delta=0.04)

        # A WAV imported through the file dialog, typed in as a person would.
        tone = s.root / "Tone Two.wav"
        with wave.open(str(tone), "wb") as w:
            w.setnchannels(1), w.setsampwidth(2), w.setframerate(8000)
            w.writeframes(b"".join(struct.pack("<h", int(8000 * math.sin(i / 5)))
                                   for i in range(4000)))
        scroll()
        ui.press("Import Custom Sound")
        files = wait_until(lambda: dialog("Import Custom Sound"), "the file dialog")
        wait_until(lambda: s.focused_window() in files, "the file dialog focused")
        s.screenshot("dialog-file.png")
        s.run("xdotool", "type", "--delay", "20", str(tone))
        s.run("xdotool", "key", "Return")
        wait_until(lambda: (s.app_dir / "Sounds/Tone Two.wav").exists(), "the imported copy",
                   diagnostics=s.diagnostics)
        self.assertEqual(json.loads(stored("custom-sounds.json")), ["Tone Two"])
        ui.one("push button", "Preview Tone Two")

        # Presets: add, edit, reorder and delete; the file and the drop-down's chips follow.
        ui.press("Presets")
        ui.press("Add Preset")
        ui.type_into(ui.one("text", "Preset Name"), "Nap", s)
        ui.press("Save Preset")
        ui.press("Edit Preset Nap")
        ui.type_into(ui.one("text", "Preset Name"), "Long Nap", s)
        ui.press("Save Preset")
        ui.press("Move Preset Long Nap Up")
        ui.press("Delete Preset Quick 5")
        order = ["Focus 10", "Break 15", "Pomodoro", "Long Nap", "Deep Work"]
        wait_until(lambda: [p["name"] for p in sorted(json.loads(stored("presets.json")),
                                                      key=lambda p: p["sortOrder"])] == order,
                   "the presets stored in order", diagnostics=lambda: stored("presets.json"))
        # The drop-down's chips (those in view of its row) follow, and the deleted one is gone.
        s.click_tray_icon()
        names = "|".join(order + ["Quick 5"])
        chips = wait_until(lambda: ui.find("push button", rf"[^\sA-Za-z]+ ({names})"), "chips")
        place = lambda c: tuple(ui.call(c, "GetExtents", 0, iface="Component")[1::-1])  # noqa: E731
        shown = [c[2].split(" ", 1)[1] for c in sorted(set(chips), key=place)]
        self.assertGreaterEqual(len(shown), 3)
        self.assertEqual(shown, order[:len(shown)])
