# A throwaway desktop for the real program: Xvfb, a private session bus, dbusmock's
# notification service, a webhook receiver on 127.0.0.1, and when asked trayer and AT-SPI.
# Run with /usr/bin/python3 (the system's dbus module). LARKSPUR_BINARY names the program,
# LARKSPUR_E2E_TIMEOUT_SCALE stretches every deadline, LARKSPUR_E2E_ARTIFACTS holds screenshots.

import array
import calendar
import ctypes
import http.server
import json
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time
from pathlib import Path

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BINARY = os.environ.get("LARKSPUR_BINARY") or str(
    Path(__file__).resolve().parents[2] / "build/dev/bin/larkspurhollow")
ARTIFACTS = Path(os.environ.get("LARKSPUR_E2E_ARTIFACTS")
                 or Path(BINARY).resolve().parents[1] / "e2e-artifacts")
SCALE = float(os.environ.get("LARKSPUR_E2E_TIMEOUT_SCALE", "1"))
EPOCH_2001 = 978307200.0  # the program stores seconds since 2001-01-01
DASH = "\u2014"
BUS_CONFIG = """<busconfig><type>session</type><listen>unix:path={}</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*"/><allow receive_sender="*"/>
<allow own="*"/></policy></busconfig>"""  # no <servicedir>: nothing of the host is ever activated
ATSPI = "org.a11y.atspi."
LOGIND = "org.freedesktop.login1"
FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"


# Polls predicate until it returns something truthy, and returns that.
def wait_until(predicate, what, timeout=5.0, diagnostics=lambda: ""):
    deadline = time.monotonic() + timeout * SCALE
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}{diagnostics()}")
        time.sleep(0.02)
    return value


# Whether an X client holds the selection; a tray host holds _NET_SYSTEM_TRAY_S<screen>.
def x11_selection_owned(display, selection):
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XInternAtom.restype = x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        return False
    try:
        return x11.XGetSelectionOwner(connection, x11.XInternAtom(connection, selection, 0)) != 0
    finally:
        x11.XCloseDisplay(connection)


# A webhook body without its timestamp, which must lie between since and now.
def payload(body, since):
    stamp = calendar.timegm(time.strptime(body["timestamp"], "%Y-%m-%dT%H:%M:%SZ"))
    assert since - 1 <= stamp <= time.time() + 1, body
    return {key: value for key, value in body.items() if key != "timestamp"}


# One element of the timer list file, as an earlier run could have left it.
def stored_timer(name, state, total, elapsed=0.0, **extra):
    return {"id": f"00000000-0000-4000-8000-{abs(hash(name)) % 10**12:012d}", "name": name,
            "mode": "countdown", "state": state, "totalDuration": total, "elapsedTime": elapsed,
            "soundConfig": {"soundName": "chime", "volume": 0.8, "alertMode": "oneShot"},
            "createdAt": time.time() - EPOCH_2001 - 3600, "preWarningFired": False, **extra}


class Hook(http.server.BaseHTTPRequestHandler):
    log_message = lambda *_: None  # noqa: E731

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
        # Only JSON posted to the stored address counts as a webhook.
        if (self.path, self.headers.get("Content-Type")) == ("/hook", "application/json"):
            self.server.bodies.append(json.loads(body))
        self.send_response(200)
        self.end_headers()


# Records the JSON bodies of the webhooks it gets.
class Receiver(http.server.ThreadingHTTPServer):
    def __init__(self):
        self.bodies = []
        super().__init__(("127.0.0.1", 0), Hook)
        threading.Thread(target=self.serve_forever, args=(0.05,), daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server_address[1]}/hook"

    def events(self, event):
        return [b for b in list(self.bodies) if b.get("event") == event]

    def wait(self, event, count, timeout=5.0):
        return wait_until(lambda: len(self.events(event)) >= count and self.events(event),
                          f"{count} webhook(s) {event}", timeout, lambda: f"; got {self.bodies}")

    def names(self, event, count):
        return sorted(b["timer_name"] for b in self.wait(event, count))

    def quiet(self, count, seconds=0.4):  # exactly count arrive, and no more follow for a while
        arrival = time.monotonic() + 5 * SCALE
        while len(self.bodies) < count and time.monotonic() < arrival:
            time.sleep(0.02)
        deadline = time.monotonic() + seconds
        while len(self.bodies) == count and time.monotonic() < deadline:
            time.sleep(0.02)
        return len(self.bodies) == count


# One user's desktop, ended and removed when the test is done; webhook: the stored address;
# wm: a real window manager (openbox), which decorates, stacks and gives focus; logind: a private
# system bus with dbusmock's logind; faketime: a wall clock of the program's own (shift_clock);
# audio: a PulseAudio whose only output is captured (peak).
class Session:
    def __init__(self, test=None, tray=False, a11y=False, webhook=None, timers=None, wm=False,
                 logind=False, faketime=False, audio=False):
        self.root = Path(tempfile.mkdtemp(prefix="larkspur-e2e-"))
        self.helpers, self.proc, self.receiver = [], None, Receiver()
        if test:  # benchmarks close it themselves
            test.addCleanup(self.close)
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8",
                    "HOME": str(self.root), "XDG_RUNTIME_DIR": str(self.root / "run"),
                    "XDG_DATA_HOME": f"{self.root}/data", "XDG_CONFIG_HOME": f"{self.root}/cfg",
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON" if a11y else "NO_AT_BRIDGE": "1"}
        self.env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
        self.app_dir = self.root / "data/Larkspurhollow"
        self.app_dir.mkdir(parents=True)
        (self.root / "run").mkdir(mode=0o700)
        self.write("webhook-url.json", webhook or self.receiver.url)
        if timers is not None:  # as an earlier run could have left them
            self.write("active-timers.json", timers)
        xvfb = self._helper("Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0",
                            "800x600x24", stdout=subprocess.PIPE)
        (self.root / "bus.conf").write_text(BUS_CONFIG.format(self.root / "bus"))
        bus = self._helper("dbus-daemon", f"--config-file={self.root}/bus.conf", "--nofork",
                           "--print-address=1", stdout=subprocess.PIPE)
        for proc, key, prefix in ((xvfb, "DISPLAY", ":"), (bus, "DBUS_SESSION_BUS_ADDRESS", "")):
            wait_until(lambda: select.select([proc.stdout], [], [], 0)[0], f"{key} reported", 10)
            self.env[key] = prefix + proc.stdout.readline().decode().strip()
        self.bus = dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])
        self._helper("/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon")
        if a11y:
            self._helper("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        for name in ("org.freedesktop.Notifications",) + (("org.a11y.Bus",) if a11y else ()):
            wait_until(lambda: self.bus.name_has_owner(name), f"{name} on the bus", 10)
        # Before any popup opens: popups are seen by their events.
        self.ui = Atspi(self.bus) if a11y else None
        if wm:
            self._until_up(lambda: self._helper("openbox", "--sm-disable"),
                           lambda: "window id" in self.run(
                               "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout,
                           "the window manager")
        if logind:
            (self.root / "system.conf").write_text(BUS_CONFIG.format(self.root / "system"))
            system = self._helper("dbus-daemon", f"--config-file={self.root}/system.conf",
                                  "--nofork", "--print-address=1", stdout=subprocess.PIPE)
            wait_until(lambda: select.select([system.stdout], [], [], 0)[0], "the system bus", 10)
            self.env["DBUS_SYSTEM_BUS_ADDRESS"] = system.stdout.readline().decode().strip()
            self.system_bus = dbus.bus.BusConnection(self.env["DBUS_SYSTEM_BUS_ADDRESS"])
            self._helper("/usr/bin/python3", "-m", "dbusmock", "--system", "--template", "logind")
            wait_until(lambda: self.system_bus.name_has_owner(LOGIND), "logind", 10)
        if tray:
            self.start_tray()
        if audio:  # paced by the system clock, so a byte offset in the capture is a time
            os.mkfifo(sink := self.root / "sink")
            self._helper("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                         "--use-pid-file=no", "--load=module-pipe-sink format=s16le rate=44100 "
                         f"channels=2 use_system_clock_for_timing=yes file={sink}",
                         f"--load=module-native-protocol-unix auth-anonymous=1 socket={sink}.pa")
            wait_until(Path(f"{sink}.pa").exists, "the audio server", 10)
            self._helper("sh", "-c", f"exec cat {sink} > {sink}.pcm")
            self.env["PULSE_SERVER"] = f"unix:{sink}.pa"
        if faketime:  # last: no helper runs on the shifted clock; the monotonic clock stays real
            self.shift_clock(0)
            asan = [self.env.get("ASAN_OPTIONS"), "verify_asan_link_order=0"]  # preloaded first
            self.env.update(LD_PRELOAD=FAKETIME, FAKETIME_TIMESTAMP_FILE=f"{self.root}/faketime",
                            FAKETIME_NO_CACHE="1", DONT_FAKE_MONOTONIC="1",
                            ASAN_OPTIONS=":".join(filter(None, asan)))

    def _helper(self, *argv, stdout=subprocess.DEVNULL, **kw):
        # Its own process group, so that close() ends whatever it starts in turn.
        self.helpers.append(proc := subprocess.Popen(
            argv, env=self.env, start_new_session=True, stdout=stdout,
            stderr=subprocess.DEVNULL, **kw))
        return proc

    # Starts a helper until `ready`; on a loaded machine one now and then ends before it is.
    def _until_up(self, start, ready, what):
        for attempt in (1, 2):
            helper = start()
            wait_until(lambda: ready() or helper.poll() is not None, what, 10)
            if ready():
                return
        raise AssertionError(f"{what} ended with {helper.returncode} before it was ready")

    def start_tray(self):  # an XEmbed tray host; also later, into a running session
        # Ready once it holds the tray selection: a program started before that sees no tray.
        self._until_up(lambda: self._helper(
            "trayer", "--edge", "top", "--align", "left", "--widthtype", "pixel", "--width",
            "120", "--height", "32", "--SetDockType", "false"),
            lambda: x11_selection_owned(self.env["DISPLAY"], b"_NET_SYSTEM_TRAY_S0"),
            "the tray host")

    def close(self):
        if self.proc:
            self.stop(signal.SIGKILL)
        for proc in reversed(self.helpers):
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
        self.receiver.shutdown()
        self.receiver.server_close()
        shutil.rmtree(self.root, ignore_errors=True)

    # Starts the first instance and waits until its event loop answers a hand-over.
    def launch(self, *urls, stdout=None):
        with open(self.root / "out", "w") as out, open(self.root / "err", "w") as err:
            self.proc = subprocess.Popen([BINARY, *urls], env=self.env, stdout=stdout or out,
                                         stderr=err)
        wait_until(lambda: self.socket_live() or self.proc.poll() is not None,
                   "the program's socket", 10, self.diagnostics)
        # A status request is answered by the event loop and shows nothing (a launch without
        # URLs would show the panel).
        status = self.run(BINARY, "--status")
        assert status.returncode == 0 and self.proc.poll() is None, (
            f"--status exited {status.returncode} {status.stderr!r}{self.diagnostics()}")

    @property
    def out(self):
        return (self.root / "out").read_text(errors="replace").splitlines()

    def socket_live(self):
        with socket.socket(socket.AF_UNIX) as probe:
            return probe.connect_ex(str(self.root / "run/larkspurhollow")) == 0

    def run(self, *argv, env=None):  # the program (BINARY) or an X tool, to its end
        return subprocess.run([*map(str, argv)], env=env or self.env, capture_output=True,
                              text=True, timeout=20 * SCALE)

    # Hands URLs over by a second launch, which must exit 0 with the first still there.
    def send(self, *urls):
        assert self.proc.poll() is None, f"the program has ended{self.diagnostics()}"
        result = self.run(BINARY, *urls)
        assert result.returncode == 0 and self.proc.poll() is None, (
            f"second launch {urls} exited {result.returncode} {result.stderr!r}"
            f"{self.diagnostics()}")

    def stop(self, signum=signal.SIGTERM):  # returns the exit code
        proc, self.proc = self.proc, None
        proc.send_signal(signum)  # nothing if it has ended
        try:
            return proc.wait(5 * SCALE)
        finally:
            proc.kill()  # a program that does not quit fails the test, and goes

    def shift_clock(self, seconds):  # ahead of the real clock, from now on; whole, not half written
        (new := self.root / "faketime.new").write_text(f"+{seconds}s\n")
        new.replace(self.root / "faketime")

    def diagnostics(self):  # the ends of the program's stdout and stderr
        return "".join(f"\n-- {n}:\n" + (self.root / n).read_text(errors="replace")[-1500:]
                       for n in ("out", "err"))

    def write(self, name, value):
        (self.app_dir / name).write_text(json.dumps(value))

    def timers(self):
        try:
            return json.loads((self.app_dir / "active-timers.json").read_bytes())
        except (OSError, ValueError):
            return None  # not written yet, or caught half written

    def wait_timers(self, predicate, what, timeout=5.0):  # the stored list, once it is accepted
        return wait_until(lambda: (t := self.timers()) is not None and predicate(t) and [t],
                          what, timeout, lambda: f"\n-- stored: {self.timers()}"
                          f"{self.diagnostics()}")[0]

    def wait_notes(self, count, timeout=5.0):  # (body, replaces id) of each shown, oldest first
        mock = self.bus.get_object("org.freedesktop.Notifications",
                                   "/org/freedesktop/Notifications")
        shown = lambda: [(str(a[4]), int(a[1])) for _, a in mock.GetMethodCalls(  # noqa: E731
            "Notify", dbus_interface="org.freedesktop.DBus.Mock")]
        return wait_until(lambda: len(n := shown()) >= count and n, f"{count} notification(s)",
                          timeout, lambda: f"; got {shown()}{self.diagnostics()}")

    def visible_windows(self):  # the program's windows on screen (panel, drop-down, tray icon)
        return self.run("xdotool", "search", "--onlyvisible", "--classname", "larkspurhollow"
                        ).stdout.split()

    def focused_window(self):
        return self.run("xdotool", "getwindowfocus").stdout.strip()

    def click_tray_icon(self):
        # While the panel is hidden, the icon is the program's only window on screen; a tray host
        # beside a window manager on a busy machine can take seconds to embed it.
        self.icon = getattr(self, "icon", None) or wait_until(self.visible_windows, "the icon", 15)[0]
        self.run("xdotool", "mousemove", "--window", self.icon, 8, 8, "click", "1")

    def captured(self):  # bytes of audio output so far, 4 per frame
        return (self.root / "sink.pcm").stat().st_size

    # The loudest left-channel sample of `seconds` of output from byte `since` on, once played.
    def peak(self, since, seconds):
        end = since + int(seconds * 44100) * 4
        wait_until(lambda: self.captured() >= end, "the sound played", seconds + 5)
        with open(self.root / "sink.pcm", "rb") as pcm:
            pcm.seek(since)
            frames = array.array("h", pcm.read(end - since))
        return max(map(abs, frames[::2]), default=0)

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        time.sleep(0.3)  # the last change drawn
        self.run("import", "-window", "root", ARTIFACTS / name)
        assert (ARTIFACTS / name).stat().st_size > 0, f"no screenshot {name}"


# Finds the program's controls by role and name over AT-SPI, and presses them. Qt lists
# popups (the drop-down) under no parent; they are found by their window events.
class Atspi:
    def __init__(self, session_bus):
        address = session_bus.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
            dbus_interface="org.a11y.Bus")
        self.bus = dbus.bus.BusConnection(str(address), mainloop=DBusGMainLoop())
        self.popups = set()
        self.bus.add_signal_receiver(
            lambda *_, sender, path: self.popups.add((str(sender), str(path))),
            dbus_interface=ATSPI + "Event.Window", sender_keyword="sender", path_keyword="path")
        # Toolkits send window events only while a client has asked for them.
        wait_until(self._register, "the accessibility registry", 10)

    def _register(self):
        try:
            return self.call((ATSPI + "Registry", "/org/a11y/atspi/registry"), "RegisterEvent",
                             "window:", dbus.Array([], "s"), "", iface="Registry") or True
        except dbus.DBusException:
            return False  # still being started

    def call(self, node, method, *args, iface="Accessible"):
        obj = self.bus.get_object(*node[:2], introspect=False)
        iface = iface if iface.startswith("org.") else ATSPI + iface
        return getattr(obj, method)(*args, dbus_interface=iface, timeout=5)

    def _children(self, node):
        return [(str(b), str(p)) for b, p in self.call(node, "GetChildren") if p[-5:] != "/null"]

    def name(self, node):
        return str(self.call(node, "Get", ATSPI + "Accessible", "Name",
                             iface="org.freedesktop.DBus.Properties"))

    # (bus, path, name) of each control on screen with that role and a name that matches.
    def find(self, role, name):
        while GLib.MainContext.default().iteration(False):
            pass
        found, stack = [], []
        for app in self._children((ATSPI + "Registry", "/org/a11y/atspi/accessible/root")):
            if self.name(app).lower() == "larkspurhollow":
                stack += self._children(app) + [p for p in self.popups if p[0] == app[0]]
        while stack:
            node = stack.pop()
            try:
                if not self.call(node, "GetState")[0] & (1 << 25):  # showing
                    continue
                text = self.name(node)
                if self.call(node, "GetRoleName") == role and re.fullmatch(name, text):
                    found.append((*node, text))
                stack += self._children(node)
            except dbus.DBusException:
                pass  # gone while it was read
        return found

    def one(self, role, name, timeout=5.0):
        return wait_until(lambda: self.find(role, name), f"a {role} {name!r}", timeout)[0]

    def press(self, name, role="push button"):
        node = self.one(role, name)
        names = [str(a[0]) for a in self.call(node, "GetActions", iface="Action")]
        assert self.call(node, "DoAction", names.index("Press"), iface="Action"), f"{name} refused"

    def click(self, node, session):  # a real click at the middle of the control
        x, y, w, h = self.call(node, "GetExtents", 0, iface="Component")
        session.run("xdotool", "mousemove", x + w // 2, y + h // 2, "click", "1")

    def type_into(self, node, text, session):  # real key presses, as textEdited needs them
        self.click(node, session)
        session.run("xdotool", "key", "ctrl+a", "BackSpace")
        session.run("xdotool", "type", "--delay", "20", text)

    def text(self, node):
        return str(self.call(node, "GetText", 0, -1, iface="Text"))
