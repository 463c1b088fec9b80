"""A throwaway desktop for the real program: Xvfb, a private session bus, dbusmock's
notification service, a webhook receiver on 127.0.0.1, and when asked trayer and AT-SPI."""
# Run with /usr/bin/python3 (the system's dbus module). LARKSPUR_BINARY names the program,
# LARKSPUR_E2E_TIMEOUT_SCALE stretches every deadline, LARKSPUR_E2E_ARTIFACTS holds screenshots.

import calendar
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
import warnings
from pathlib import Path

import dbus
from dbus.mainloop.glib import DBusGMainLoop

with warnings.catch_warnings():
    warnings.simplefilter("ignore", ImportWarning)
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


def wait_until(predicate, what, timeout=5.0, diagnostics=lambda: ""):
    """Polls predicate briefly until it returns something truthy, and returns that."""
    deadline = time.monotonic() + timeout * SCALE
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout * SCALE:.1f}s waiting for {what}"
                                 f"{diagnostics()}")
        time.sleep(0.02)
    return value


def holds_for(predicate, seconds=0.4):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not predicate():
            return False
        time.sleep(0.02)
    return bool(predicate())


def payload(body, since):
    """A webhook body without its timestamp, which must lie between since and now."""
    stamp = calendar.timegm(time.strptime(body["timestamp"], "%Y-%m-%dT%H:%M:%SZ"))
    assert since - 1 <= stamp <= time.time() + 1, body
    return {key: value for key, value in body.items() if key != "timestamp"}


def stored_timer(name, state, total, elapsed=0.0, **extra):
    """One element of the timer list file, as an earlier run could have left it."""
    return {"id": f"00000000-0000-4000-8000-{abs(hash(name)) % 10**12:012d}", "name": name,
            "mode": "countdown", "state": state, "totalDuration": total, "elapsedTime": elapsed,
            "soundConfig": {"soundName": "chime", "volume": 0.8, "alertMode": "oneShot"},
            "createdAt": time.time() - EPOCH_2001 - 3600, "preWarningFired": False, **extra}


class Receiver(http.server.ThreadingHTTPServer):
    """Records the JSON bodies of the webhooks it gets."""
    daemon_threads = True

    def __init__(self):
        self.bodies, self.paths = [], []
        receiver = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
                receiver.paths.append((self.path, self.headers.get("Content-Type")))
                receiver.bodies.append(json.loads(body))
                self.send_response(200)
                self.send_header("Content-Length", "0")
                self.end_headers()

            def log_message(self, *args):
                pass

        super().__init__(("127.0.0.1", 0), Handler)
        threading.Thread(target=self.serve_forever, args=(0.05,), daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server_address[1]}/hook"

    def events(self, event=None):
        return [b for b in list(self.bodies) if event in (None, b.get("event"))]

    def wait(self, event, count, timeout=5.0):
        return wait_until(lambda: len(self.events(event)) >= count and self.events(event),
                          f"{count} webhook(s) {event}; got {self.bodies}", timeout)

    def quiet(self, count, seconds=0.4):
        """Exactly count webhooks arrived, and no more follow for a moment."""
        return holds_for(lambda: len(self.bodies) == count, seconds)


class Session:
    """One user's desktop; close() ends everything it started and removes its folders.

    webhook: the address stored for webhooks; by default the receiver's."""

    def __init__(self, tray=False, a11y=False, webhook=None):
        self.root = Path(tempfile.mkdtemp(prefix="larkspur-e2e-"))
        self.helpers, self.proc, self.out, self.err, self.ui = [], None, [], [], None
        self.receiver = Receiver()
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8",
                    "HOME": str(self.root), "XDG_RUNTIME_DIR": str(self.root / "run"),
                    "XDG_DATA_HOME": f"{self.root}/data", "XDG_CONFIG_HOME": f"{self.root}/cfg",
                    "QT_LINUX_ACCESSIBILITY_ALWAYS_ON" if a11y else "NO_AT_BRIDGE": "1"}
        self.env.update({k: v for k, v in os.environ.items() if k.endswith("SAN_OPTIONS")})
        self.app_dir = self.root / "data/Larkspurhollow"
        self.app_dir.mkdir(parents=True)
        (self.root / "run").mkdir(mode=0o700)
        self.write("webhook-url.json", json.dumps(webhook or self.receiver.url))
        try:
            self._start_desktop(tray, a11y)
        except BaseException:
            self.close()
            raise

    def _helper(self, *argv, **kw):
        # Its own process group, so that close() ends whatever it starts in turn.
        proc = subprocess.Popen(argv, env=self.env, start_new_session=True,
                                stdout=kw.pop("stdout", subprocess.DEVNULL),
                                stderr=subprocess.DEVNULL, **kw)
        self.helpers.append(proc)
        return proc

    def _start_desktop(self, tray, a11y):
        read_end, write_end = os.pipe()
        self._helper("Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
                     "800x600x24", pass_fds=(write_end,))
        os.close(write_end)
        (self.root / "bus.conf").write_text(BUS_CONFIG.format(self.root / "bus"))
        bus = self._helper("dbus-daemon", f"--config-file={self.root}/bus.conf", "--nofork",
                           "--print-address=1", stdout=subprocess.PIPE)
        display = os.fdopen(read_end, "rb")
        for stream, key, prefix in ((display, "DISPLAY", ":"),
                                    (bus.stdout, "DBUS_SESSION_BUS_ADDRESS", "")):
            if not select.select([stream], [], [], 10 * SCALE)[0]:
                raise RuntimeError(f"no {key} reported")
            # Xvfb writes the newline separately; closing before it arrives would kill it.
            self.env[key] = prefix + stream.readline().decode().strip()
        display.close()
        self.bus = dbus.bus.BusConnection(self.env["DBUS_SESSION_BUS_ADDRESS"])
        self._helper("/usr/bin/python3", "-m", "dbusmock", "--template", "notification_daemon")
        if a11y:
            self._helper("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        for name in ("org.freedesktop.Notifications",) + (("org.a11y.Bus",) if a11y else ()):
            wait_until(lambda: self.bus.name_has_owner(name), f"{name} on the bus", 10)
        if a11y:
            self.ui = Atspi(self.bus)  # before any popup opens: popups are seen by their events
        if tray:
            self._helper("trayer", "--edge", "top", "--align", "left", "--widthtype", "pixel",
                         "--width", "120", "--height", "32", "--SetDockType", "false")

    def close(self):
        self.stop()
        for proc in reversed(self.helpers):
            if proc.poll() is None:
                os.killpg(proc.pid, signal.SIGKILL)
            proc.communicate()
        self.receiver.shutdown()
        self.receiver.server_close()
        shutil.rmtree(self.root, ignore_errors=True)

    # ----- the program ----------------------------------------------------------------------

    def launch(self, *urls, stdout=subprocess.PIPE):
        """Starts the first instance and waits until its event loop answers a hand-over."""
        self.out, self.err = [], []
        self.proc = subprocess.Popen([BINARY, *urls], env=self.env, stdout=stdout,
                                     stderr=subprocess.PIPE)
        self._readers = [threading.Thread(target=self._read, args=pair, daemon=True) for pair in
                         ((self.proc.stdout, self.out), (self.proc.stderr, self.err)) if pair[0]]
        for reader in self._readers:
            reader.start()
        wait_until(lambda: self.socket_live() or self.proc.poll() is not None,
                   "the program's socket", 10, self.diagnostics)
        assert self.proc.poll() is None, f"the program ended at launch{self.diagnostics()}"
        self.send()

    @staticmethod
    def _read(stream, lines):
        with stream:
            for line in stream:
                lines.append(line.decode(errors="replace").rstrip("\n"))

    def socket_live(self):
        with socket.socket(socket.AF_UNIX) as probe:
            return probe.connect_ex(str(self.root / "run/larkspurhollow")) == 0

    def run(self, *args, env=None):
        return subprocess.run([BINARY, *args], env=env or self.env, capture_output=True,
                              text=True, timeout=10 * SCALE)

    def send(self, *urls):
        """Hands URLs over by a second launch, which must exit 0 with the first still there."""
        result = self.run(*urls)
        assert result.returncode == 0 and self.proc.poll() is None, (
            f"second launch {urls} exited {result.returncode} {result.stderr!r}"
            f"{self.diagnostics()}")

    def stop(self, signum=signal.SIGTERM):
        """Signals the program; returns its exit code."""
        if self.proc is None:
            return None
        if self.proc.poll() is None:
            self.proc.send_signal(signum)
        try:
            code = self.proc.wait(5 * SCALE)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            code = f"{self.proc.wait()} (killed after not quitting)"
        for reader in self._readers:
            reader.join(2)
        self.proc = None
        return code

    def diagnostics(self):
        code = self.proc and self.proc.poll()
        return (f"\n-- exit code {code}; stdout:\n  " + "\n  ".join(self.out[-20:])
                + "\n-- stderr:\n  " + "\n  ".join(self.err[-20:]))

    # ----- files and notifications ----------------------------------------------------------

    def write(self, name, text):
        (self.app_dir / name).write_text(text)

    def timers(self):
        try:
            return json.loads((self.app_dir / "active-timers.json").read_bytes())
        except (OSError, ValueError):
            return None  # not written yet, or caught half written

    def wait_timers(self, predicate, what, timeout=5.0):
        """The stored timer list, once predicate accepts it."""
        return wait_until(lambda: (t := self.timers()) is not None and predicate(t) and [t],
                          what, timeout, lambda: f"\n-- stored: {self.timers()}"
                          f"{self.diagnostics()}")[0]

    def notifications(self):
        """(body, replaces id) of every notification shown, oldest first."""
        service = self.bus.get_object("org.freedesktop.Notifications",
                                      "/org/freedesktop/Notifications")
        return [(str(args[4]), int(args[1])) for _, args in
                service.GetMethodCalls("Notify", dbus_interface="org.freedesktop.DBus.Mock")]

    def wait_notes(self, count, timeout=5.0):
        return wait_until(lambda: len(n := self.notifications()) >= count and n,
                          f"{count} notification(s)", timeout,
                          lambda: f"; got {self.notifications()}{self.diagnostics()}")

    # ----- X ----------------------------------------------------------------------------------

    def x(self, tool, *args):
        return subprocess.run([tool, *map(str, args)], env=self.env, capture_output=True,
                              text=True, timeout=20 * SCALE).stdout

    def visible_windows(self):
        """Ids of the program's windows on screen (panel, drop-down, tray icon)."""
        return self.x("xdotool", "search", "--onlyvisible", "--classname", "larkspurhollow"
                      ).split()

    def click_tray_icon(self):
        # While the panel is hidden, the icon is the program's only window on screen.
        self.icon = getattr(self, "icon", None) or wait_until(self.visible_windows, "the icon")[0]
        self.x("xdotool", "mousemove", "--window", self.icon, 8, 8, "click", "1")

    def screenshot(self, name):
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        time.sleep(0.3)  # the last change drawn
        self.x("import", "-window", "root", ARTIFACTS / name)
        assert (ARTIFACTS / name).stat().st_size > 0, f"no screenshot {name}"


class Atspi:
    """Finds the program's controls by role and name over AT-SPI, and presses them.

    Qt lists popups (the drop-down) under no parent; they are found by their window events."""

    def __init__(self, session_bus):
        address = session_bus.get_object("org.a11y.Bus", "/org/a11y/bus").GetAddress(
            dbus_interface="org.a11y.Bus")
        self.bus = dbus.bus.BusConnection(str(address), mainloop=DBusGMainLoop())
        self.popups = {}
        self.bus.add_signal_receiver(
            lambda *_, sender, path: self.popups.setdefault((str(sender), str(path))),
            dbus_interface=ATSPI + "Event.Window", sender_keyword="sender", path_keyword="path")
        # Toolkits send window events only while a client has asked for them.
        wait_until(self._register, "the accessibility registry", 10)

    def _register(self):
        try:
            return self.call(("org.a11y.atspi.Registry", "/org/a11y/atspi/registry"), "Registry",
                             "RegisterEvent", "window:", dbus.Array([], "s"), "") or True
        except dbus.DBusException:
            return False  # still being started

    def call(self, node, iface, method, *args):
        obj = self.bus.get_object(*node[:2], introspect=False)
        return getattr(obj, method)(*args, dbus_interface=ATSPI + iface, timeout=5)

    def prop(self, node, iface, name):
        obj = self.bus.get_object(*node[:2], introspect=False)
        return obj.Get(ATSPI + iface, name, dbus_interface="org.freedesktop.DBus.Properties")

    def _children(self, node):
        return [(str(b), str(p)) for b, p in self.call(node, "Accessible", "GetChildren")
                if not str(p).endswith("/null")]

    def find(self, role, name):
        """(bus, path, name) of every control on screen with that role and name (or pattern)."""
        while GLib.MainContext.default().iteration(False):
            pass
        found, stack = [], []
        for app in self._children(("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")):
            if str(self.prop(app, "Accessible", "Name")).lower() == "larkspurhollow":
                stack += self._children(app) + [p for p in self.popups if p[0] == app[0]]
        while stack:
            node = stack.pop()
            try:
                if not self.call(node, "Accessible", "GetState")[0] & (1 << 25):  # showing
                    continue
                text = str(self.prop(node, "Accessible", "Name"))
                if self.call(node, "Accessible", "GetRoleName") == role and (
                        re.search(name, text) if isinstance(name, re.Pattern) else name == text):
                    found.append((*node, text))
                stack += self._children(node)
            except dbus.DBusException:
                pass  # gone while it was read
        return found

    def one(self, role, name, timeout=5.0):
        return wait_until(lambda: self.find(role, name), f"a {role} {name!r}", timeout)[0]

    def gone(self, role, name):
        wait_until(lambda: not self.find(role, name), f"the {role} {name!r} to go away")

    def press(self, name, role="push button"):
        node = self.one(role, name)
        names = [str(a[0]) for a in self.call(node, "Action", "GetActions")]
        assert self.call(node, "Action", "DoAction", names.index("Press")), f"{name} refused"

    def text(self, node):
        return str(self.call(node, "Text", "GetText", 0, -1))

    def centre(self, node):
        x, y, w, h = self.call(node, "Component", "GetExtents", dbus.UInt32(0))
        return int(x + w // 2), int(y + h // 2)
