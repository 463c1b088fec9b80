"""Global hot keys, pressed with xdotool on the program's own X display."""

import ctypes
import ctypes.util
import subprocess
import time
import unittest

from harness import SCALE, E2ETestCase, holds_for, make_timer

TEA = "\U0001F375"
TAKEN_LINE = "Hot key Alt+Shift+S is taken by another program"


class _ScreenIterator(ctypes.Structure):
    _fields_ = [("data", ctypes.c_void_p), ("rem", ctypes.c_int), ("index", ctypes.c_int)]


class _Cookie(ctypes.Structure):
    _fields_ = [("sequence", ctypes.c_uint)]


class KeyHolder:
    """Another X client that holds Alt+Shift+S, as a program started earlier could."""

    def __init__(self, display):
        xcb = ctypes.CDLL(ctypes.util.find_library("xcb") or "libxcb.so.1")
        keysyms = ctypes.CDLL(ctypes.util.find_library("xcb-keysyms") or "libxcb-keysyms.so.1")
        xcb.xcb_connect.restype = ctypes.c_void_p
        xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
        xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
        xcb.xcb_get_setup.restype = ctypes.c_void_p
        xcb.xcb_get_setup.argtypes = [ctypes.c_void_p]
        xcb.xcb_setup_roots_iterator.restype = _ScreenIterator
        xcb.xcb_setup_roots_iterator.argtypes = [ctypes.c_void_p]
        xcb.xcb_grab_key_checked.restype = _Cookie
        xcb.xcb_grab_key_checked.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint32,
                                             ctypes.c_uint16, ctypes.c_uint8, ctypes.c_uint8,
                                             ctypes.c_uint8]
        xcb.xcb_request_check.restype = ctypes.c_void_p
        xcb.xcb_request_check.argtypes = [ctypes.c_void_p, _Cookie]
        xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
        keysyms.xcb_key_symbols_alloc.restype = ctypes.c_void_p
        keysyms.xcb_key_symbols_alloc.argtypes = [ctypes.c_void_p]
        keysyms.xcb_key_symbols_get_keycode.restype = ctypes.POINTER(ctypes.c_uint8)
        keysyms.xcb_key_symbols_get_keycode.argtypes = [ctypes.c_void_p, ctypes.c_uint32]
        keysyms.xcb_key_symbols_free.argtypes = [ctypes.c_void_p]
        self._xcb = xcb
        self._connection = xcb.xcb_connect(f":{display}".encode(), None)
        if not self._connection or xcb.xcb_connection_has_error(self._connection):
            raise RuntimeError("cannot connect to the X server")
        screen = xcb.xcb_setup_roots_iterator(xcb.xcb_get_setup(self._connection))
        root = ctypes.c_uint32.from_address(screen.data).value  # the first field of a screen
        symbols = keysyms.xcb_key_symbols_alloc(self._connection)
        keycode = keysyms.xcb_key_symbols_get_keycode(symbols, ord("s"))[0]
        keysyms.xcb_key_symbols_free(symbols)
        mod1, shift, asynchronous = 0x08, 0x01, 1
        cookie = xcb.xcb_grab_key_checked(self._connection, 0, root, mod1 | shift, keycode,
                                          asynchronous, asynchronous)
        if xcb.xcb_request_check(self._connection, cookie):
            raise RuntimeError("the X server refused the grab")

    def close(self):
        self._xcb.xcb_disconnect(self._connection)


class HotKeyTests(E2ETestCase):
    def press(self, s, *keys):
        subprocess.run(["xdotool", "key", *keys], env=s.base_env(), check=True,
                       timeout=10 * SCALE)

    def quiet(self, s, count):
        """The receiver keeps exactly count requests for a moment."""
        return holds_for(lambda: len(s.receiver.requests) == count, 0.4)

    def states(self, s):
        return [t["state"] for t in s.timers() or []]

    def test_start_pause_and_resume_the_most_recent_timer(self):
        s = self.session()
        s.write_timers([make_timer("First", state="idle", total=600),
                        make_timer("Tea", state="idle", total=180, emoji=TEA)])
        s.launch()
        since = time.time()

        self.press(s, "alt+shift+s")
        s.wait_for_timers(lambda t: [x["state"] for x in t] == ["idle", "running"])
        [body] = s.receiver.wait_for_events("timer.started", 1)
        self.assertPayload(body, "timer.started", "Tea", 180, TEA, since)

        time.sleep(0.3)  # let it count a little
        self.press(s, "alt+shift+s")
        timers = s.wait_for_timers(lambda t: t[1]["state"] == "paused")
        self.assertGreater(timers[1]["elapsedTime"], 0.1)
        [body] = s.receiver.wait_for_events("timer.paused", 1)
        self.assertPayload(body, "timer.paused", "Tea", 180, TEA, since)

        self.press(s, "alt+shift+s")
        s.wait_for_timers(lambda t: [x["state"] for x in t] == ["idle", "running"])
        # A resume is announced to nobody.
        self.assertTrue(self.quiet(s, 2), s.receiver.events())
        s.assert_running()

    def test_reset_announces_then_resets(self):
        s = self.session()
        s.write_timers([make_timer("Tea", state="paused", total=180, elapsed=40, emoji=TEA)])
        s.launch()
        since = time.time()
        self.press(s, "alt+shift+r")
        [timer] = s.wait_for_timers(lambda t: t[0]["state"] == "idle")
        self.assertEqual(timer["elapsedTime"], 0)
        [body] = s.receiver.wait_for_events("timer.reset", 1)
        self.assertPayload(body, "timer.reset", "Tea", 180, TEA, since)
        self.assertTrue(self.quiet(s, 1))

    def test_presses_act_in_order(self):
        s = self.session()
        s.write_timers([make_timer("Tea", state="idle", total=180)])
        s.launch()
        # Start, pause, reset, start: the last state shows every press was taken in turn.
        self.press(s, "alt+shift+s", "alt+shift+s", "alt+shift+r", "alt+shift+s")
        s.receiver.wait_for_events("timer.started", 2)
        self.assertTrue(self.quiet(s, 4))
        self.assertEqual(sorted(b["event"] for b in s.receiver.events()),
                         ["timer.paused", "timer.reset", "timer.started", "timer.started"])
        s.wait_for_timers(lambda t: t[0]["state"] == "running")

    def test_without_timers_nothing_happens(self):
        s = self.session()
        s.launch()
        self.press(s, "alt+shift+s", "alt+shift+r", "alt+shift+t", "alt+shift+t")
        self.assertTrue(self.quiet(s, 0))
        self.assertIsNone(s.timers())
        s.assert_running()

    def test_a_key_held_by_another_program_is_reported_and_silent(self):
        s = self.session()
        holder = KeyHolder(s.display)
        self.addCleanup(holder.close)
        s.write_timers([make_timer("Tea", state="idle", total=180)])
        s.launch()
        self.assertEqual(s.wait_for_lines("Hot key "), [TAKEN_LINE])
        self.press(s, "alt+shift+s")
        # Had that press reached the program, it would have started the timer and said so.
        self.press(s, "alt+shift+r")
        s.receiver.wait_for_events("timer.reset", 1)
        self.assertTrue(self.quiet(s, 1))
        self.assertEqual(self.states(s), ["idle"])


if __name__ == "__main__":
    unittest.main()
