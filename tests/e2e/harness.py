"""Runs the real larkspurhollow binary inside a throwaway desktop session.

Every Session gets its own X server (Xvfb), its own D-Bus session bus, an
optional notification service (python3-dbusmock's notification_daemon
template), an HTTP receiver on 127.0.0.1, an optional tray host (trayer) and
its own XDG folders. Run with /usr/bin/python3: it needs the system's `dbus`
module.

Environment:
  LARKSPUR_BINARY             the program (default: build/dev/bin/larkspurhollow)
  LARKSPUR_E2E_TIMEOUT_SCALE  stretches every deadline, e.g. 3 for sanitizer builds
  LARKSPUR_E2E_ARTIFACTS      a folder for screenshots; test_tray.py keeps its screenshots
                              only when this is set, the view tests always keep theirs, here
                              or else in <build>/e2e-artifacts (beside the program's bin/)
"""

import calendar
import contextlib
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
import unittest
import uuid
from dataclasses import dataclass
from pathlib import Path

import dbus

REPO = Path(__file__).resolve().parents[2]
BINARY = Path(os.environ.get("LARKSPUR_BINARY", REPO / "build/dev/bin/larkspurhollow"))
APP_DIR = "Larkspurhollow"
TIMERS_FILE = "active-timers.json"
WEBHOOK_FILE = "webhook-url.json"
SOCKET_NAME = "larkspurhollow"
PROGRAM_CLASS = '("larkspurhollow" "Larkspurhollow")'
A11Y_BUS_NAME = "org.a11y.Bus"
NOTIFY_BUS_NAME = "org.freedesktop.Notifications"
NOTIFY_PATH = "/org/freedesktop/Notifications"
MOCK_IFACE = "org.freedesktop.DBus.Mock"
# Seconds between the Unix epoch and 2001-01-01, the epoch of the program's files.
REFERENCE_OFFSET = 978307200.0
# Sanitizer builds start and tick more slowly; deadlines stretch, intervals do not.
SCALE = float(os.environ.get("LARKSPUR_E2E_TIMEOUT_SCALE", "1"))
POLL = 0.02

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={path}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""
# No <servicedir>: a service installed on the host must never be activated into a test.


def artifacts_dir():
    """The folder that screenshots of the views go to, created on first use."""
    folder = os.environ.get("LARKSPUR_E2E_ARTIFACTS")
    path = Path(folder) if folder else BINARY.resolve().parent.parent / "e2e-artifacts"
    path.mkdir(parents=True, exist_ok=True)
    return path


def reference_now():
    return time.time() - REFERENCE_OFFSET


def wait_until(predicate, timeout=5.0, what="condition", diagnostics=None):
    """Polls predicate every POLL seconds; returns its first truthy value."""
    deadline = time.monotonic() + timeout * SCALE
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            extra = diagnostics() if diagnostics else ""
            raise AssertionError(
                f"timed out after {timeout * SCALE:.1f}s waiting for {what}{extra}")
        time.sleep(POLL)


def holds_for(predicate, duration):
    """True when predicate stays truthy for the whole duration (checked every POLL)."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not predicate():
            return False
        time.sleep(POLL)
    return bool(predicate())


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_timer(name, *, mode="countdown", state="paused", total=300.0, elapsed=0.0, emoji=None,
               end_date=None, pre_warning=None, pre_warning_fired=False, created_at=None):
    """One element of active-timers.json, as a user's earlier run could have left it."""
    sound = {"soundName": "chime", "volume": 0.8, "alertMode": "oneShot"}
    if pre_warning is not None:
        sound["preWarningSeconds"] = pre_warning
    timer = {
        "id": str(uuid.uuid4()).upper(),
        "name": name,
        "mode": mode,
        "state": state,
        "totalDuration": total,
        "elapsedTime": elapsed,
        "soundConfig": sound,
        "createdAt": reference_now() - 3600 if created_at is None else created_at,
        "preWarningFired": pre_warning_fired,
    }
    if emoji is not None:
        timer["emoji"] = emoji
    if end_date is not None:
        timer["endDate"] = end_date
    return timer


def _kill_group(proc, timeout=3.0):
    """Ends a process started in its own session, and everything it started."""
    if proc is None:
        return None
    if proc.poll() is None:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(timeout)
        except subprocess.TimeoutExpired:
            pass
    # Children that outlived their leader are in the same group.
    with contextlib.suppress(ProcessLookupError):
        os.killpg(proc.pid, signal.SIGKILL)
    with contextlib.suppress(subprocess.TimeoutExpired):
        proc.wait(timeout)
    for stream in (proc.stdin, proc.stdout, proc.stderr):
        if stream is not None:
            with contextlib.suppress(OSError):
                stream.close()
    return proc.returncode


@dataclass
class Request:
    method: str
    path: str
    headers: dict
    body: bytes
    received: float
    json: object = None


class HttpReceiver:
    """A real HTTP server on 127.0.0.1 that records every request it gets."""

    def __init__(self, status=200):
        self.status = status
        self._requests = []
        self._lock = threading.Lock()
        receiver = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def _record(self):
                length = int(self.headers.get("Content-Length") or 0)
                body = self.rfile.read(length) if length else b""
                try:
                    parsed = json.loads(body.decode("utf-8")) if body else None
                except (UnicodeDecodeError, ValueError):
                    parsed = None
                request = Request(self.command, self.path,
                                  {k.lower(): v for k, v in self.headers.items()}, body,
                                  time.time(), parsed)
                with receiver._lock:
                    receiver._requests.append(request)
                reply = b"{}"
                self.send_response(receiver.status)
                self.send_header("Content-Type", "application/json")
                self.send_header("Content-Length", str(len(reply)))
                self.end_headers()
                self.wfile.write(reply)

            do_POST = do_GET = do_PUT = do_PATCH = do_DELETE = _record

            def log_message(self, *args):
                pass

        class Server(http.server.ThreadingHTTPServer):
            def handle_error(self, request, client_address):
                # A program killed mid-connection is part of some tests, not a failure here.
                pass

        self._server = Server(("127.0.0.1", 0), Handler)
        self._server.daemon_threads = True
        self.port = self._server.server_address[1]
        self._thread = threading.Thread(target=self._server.serve_forever, args=(0.05,),
                                        daemon=True)
        self._thread.start()

    def url(self, path="/hook"):
        return f"http://127.0.0.1:{self.port}{path}"

    @property
    def requests(self):
        with self._lock:
            return list(self._requests)

    def events(self, name=None):
        """Bodies of the received JSON requests, optionally of one event only."""
        bodies = [r.json for r in self.requests if isinstance(r.json, dict)]
        return [b for b in bodies if name is None or b.get("event") == name]

    def wait_for_events(self, name, count, timeout=5.0):
        return wait_until(lambda: len(self.events(name)) >= count and self.events(name), timeout,
                          f"{count} webhook(s) {name!r}; got {self.events()}")

    def close(self):
        self._server.shutdown()
        self._server.server_close()
        self._thread.join(2)


class Session:
    """A desktop session of its own, with the program optionally running in it.

    notifications: start a notification service on the session bus.
    webhook: True to store the receiver's address before launch, a string to store
             that address, None to store nothing.
    webhook_path, http_status: the receiver's path in that address, and its answer.
    tray: start an XEmbed tray host (trayer).
    unwritable_data: XDG_DATA_HOME is a regular file, so no data folder can be made.
    accessibility: start an accessibility bus (AT-SPI) and let the program join it; see
                   accessibility() for a client.
    """

    def __init__(self, *, notifications=True, webhook=True, webhook_path="/hook", http_status=200,
                 tray=False, unwritable_data=False, accessibility=False):
        if not BINARY.is_file():
            raise RuntimeError(f"program not found at {BINARY}; set LARKSPUR_BINARY")
        self._want_notifications = notifications
        self._want_tray = tray
        self._webhook = webhook
        self._webhook_path = webhook_path
        self._http_status = http_status
        self._unwritable_data = unwritable_data
        self._want_accessibility = accessibility
        self.a11y = None
        self._a11y_client = None
        self.root = Path(tempfile.mkdtemp(prefix="larkspur-e2e-"))
        self.xvfb = self.bus = self.mock = self.trayer = self.proc = None
        self._xvfb_pipe = None
        self.receiver = None
        self.display = None
        self.bus_address = None
        self._dbus = None
        self._stdout = []
        self._stderr = []
        self._readers = []
        self._extra = []
        self._lock = threading.Lock()

    # ----- set-up and tear-down -------------------------------------------------------------

    def __enter__(self):
        try:
            self._setup()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def _setup(self):
        for sub in ("data", "config", "cache", "state", "home"):
            (self.root / sub).mkdir()
        self.runtime = self.root / "runtime"
        self.runtime.mkdir(mode=0o700)
        os.chmod(self.runtime, 0o700)
        self.data_home = self.root / "data"
        if self._unwritable_data:
            self.data_home = self.root / "data-is-a-file"
            self.data_home.write_text("not a folder\n")
        self.app_dir = self.data_home / APP_DIR
        # The X server starts while the bus and the notification service come up.
        self._spawn_xvfb()
        self._start_bus()
        if self._want_notifications:
            self.start_notification_service()
        self._await_xvfb()
        if self._want_accessibility:
            self._start_accessibility_bus()
        if self._want_tray:
            self._start_tray()
        # Always there, so that "nothing was sent" can be checked against a real peer.
        self.receiver = HttpReceiver(self._http_status)
        if self._webhook is True:
            self.set_webhook(self.receiver.url(self._webhook_path))
        elif isinstance(self._webhook, str):
            self.set_webhook(self._webhook)

    def close(self):
        self.stop_program()
        for proc in self._extra:
            _kill_group(proc)
        self._extra.clear()
        if self._a11y_client is not None:
            self._a11y_client.close()
            self._a11y_client = None
        for name in ("trayer", "a11y", "mock", "bus", "xvfb"):
            _kill_group(getattr(self, name))
            setattr(self, name, None)
        if self._xvfb_pipe is not None:
            os.close(self._xvfb_pipe)
            self._xvfb_pipe = None
        if self._dbus is not None:
            with contextlib.suppress(Exception):
                self._dbus.close()
            self._dbus = None
        if self.receiver is not None:
            self.receiver.close()
            self.receiver = None
        shutil.rmtree(self.root, ignore_errors=True)

    def _spawn(self, argv, env=None, **kw):
        # A session of its own gives a process group that tear-down can end as a whole.
        return subprocess.Popen(argv, env=env if env is not None else self.base_env(),
                                start_new_session=True, **kw)

    def base_env(self):
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "HOME": str(self.root / "home"),
            "XDG_DATA_HOME": str(self.data_home),
            "XDG_CONFIG_HOME": str(self.root / "config"),
            "XDG_CACHE_HOME": str(self.root / "cache"),
            "XDG_STATE_HOME": str(self.root / "state"),
            "XDG_RUNTIME_DIR": str(self.runtime),
        }
        if self._want_accessibility:
            # Qt joins the accessibility bus only when asked to or when a screen reader runs.
            env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        else:
            env["NO_AT_BRIDGE"] = "1"
        for key in ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "QT_LOGGING_RULES"):
            if key in os.environ:
                env[key] = os.environ[key]
        if self.display is not None:
            env["DISPLAY"] = f":{self.display}"
        if self.bus_address is not None:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus_address
        return env

    def _spawn_xvfb(self):
        read_end, write_end = os.pipe()
        try:
            self.xvfb = self._spawn(
                ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-noreset",
                 "-screen", "0", "800x600x24"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except BaseException:
            os.close(read_end)
            raise
        finally:
            os.close(write_end)
        self._xvfb_pipe = read_end

    def _await_xvfb(self):
        read_end = self._xvfb_pipe
        try:
            text = b""
            deadline = time.monotonic() + 10 * SCALE
            while not text.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    raise RuntimeError("Xvfb did not report its display")
                chunk = os.read(read_end, 64)
                if not chunk:
                    raise RuntimeError("Xvfb exited before reporting its display")
                text += chunk
            self.display = int(text.strip())
        finally:
            os.close(read_end)
            self._xvfb_pipe = None

    def _start_bus(self):
        path = self.root / "bus"
        config = self.root / "bus.conf"
        config.write_text(BUS_CONFIG.format(path=path))
        self.bus = self._spawn(["dbus-daemon", f"--config-file={config}", "--nofork",
                                "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        ready, _, _ = select.select([self.bus.stdout], [], [], 10 * SCALE)
        if not ready:
            raise RuntimeError("dbus-daemon did not print its address")
        self.bus_address = self.bus.stdout.readline().decode().strip()
        if not self.bus_address:
            raise RuntimeError("dbus-daemon exited without an address")
        self._dbus = dbus.bus.BusConnection(self.bus_address)

    def start_notification_service(self):
        self.mock = self._spawn(["/usr/bin/python3", "-m", "dbusmock", "--template",
                                 "notification_daemon"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self._dbus.name_has_owner(NOTIFY_BUS_NAME), 10,
                   "the notification service on the bus")

    def stop_notification_service(self):
        _kill_group(self.mock)
        self.mock = None
        wait_until(lambda: not self._dbus.name_has_owner(NOTIFY_BUS_NAME), 5,
                   "the notification service to leave the bus")

    def _start_accessibility_bus(self):
        # The launcher owns org.a11y.Bus on the session bus and starts the accessibility bus
        # (under XDG_RUNTIME_DIR) with the registry on it; its whole group ends at close().
        self.a11y = self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self._dbus.name_has_owner(A11Y_BUS_NAME), 10,
                   "the accessibility bus launcher on the session bus")

    def accessibility(self):
        """An AT-SPI client (atspi.Accessibility) for this session, made once.

        It learns of popup windows only from their activation, so make it before opening one.
        """
        if not self._want_accessibility:
            raise RuntimeError("this session was made without accessibility=True")
        if self._a11y_client is None:
            import atspi
            self._a11y_client = atspi.Accessibility(self.bus_address, timeout_scale=SCALE)
        return self._a11y_client

    def _start_tray(self):
        self.trayer = self._spawn(
            ["trayer", "--edge", "top", "--align", "left", "--widthtype", "pixel", "--width",
             "120", "--height", "32", "--expand", "false", "--SetDockType", "false",
             "--transparent", "false", "--tint", "0xdddddd"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: self.find_window(lambda line: '("panel" "trayer")' in line), 10,
                   "the tray host window")

    # ----- X windows --------------------------------------------------------------------------

    def window_tree(self):
        out = subprocess.run(["xwininfo", "-root", "-tree"], env=self.base_env(),
                             capture_output=True, text=True, timeout=10 * SCALE)
        return out.stdout.splitlines()

    def find_window(self, match):
        """Window id (hex text) of the first line of the tree that match() accepts."""
        for line in self.window_tree():
            if match(line):
                found = re.match(r"\s*(0x[0-9a-f]+)", line)
                if found:
                    return found.group(1)
        return None

    def embedded_tray_icon(self):
        """The program's icon window, if it is a descendant of the tray host's panel."""
        lines = self.window_tree()
        for i, line in enumerate(lines):
            if '("panel" "trayer")' not in line:
                continue
            depth = len(line) - len(line.lstrip())
            for below in lines[i + 1:]:
                if below.strip() and len(below) - len(below.lstrip()) <= depth:
                    break
                if '("larkspurhollow" "Larkspurhollow")' in below:
                    return re.match(r"\s*(0x[0-9a-f]+)", below).group(1)
        return None

    def program_windows(self):
        """The program's mapped top-level windows as {id: (x, y, width, height)}."""
        found = {}
        for line in self.window_tree():
            match = re.match(r"^     (0x[0-9a-f]+) .*" + re.escape(PROGRAM_CLASS), line)
            if not match:
                continue
            geometry = self.window_geometry(match.group(1))
            if geometry is not None:
                found[match.group(1)] = geometry
        return found

    def window_geometry(self, window_id):
        """(x, y, width, height) of a window on the screen, or None while it is not viewable."""
        info = subprocess.run(["xwininfo", "-id", window_id], env=self.base_env(),
                              capture_output=True, text=True, timeout=10 * SCALE).stdout
        if "Map State: IsViewable" not in info:
            return None
        return tuple(int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                     for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width",
                                 "Height"))

    def xdotool(self, *args):
        subprocess.run(["xdotool", *[str(a) for a in args]], env=self.base_env(), check=True,
                       timeout=10 * SCALE)

    def click_at(self, x, y):
        self.xdotool("mousemove", x, y, "click", "1")

    def screenshot(self, path, window="root"):
        """A PNG of the whole screen, or of one window by its id."""
        subprocess.run(["import", "-window", window, str(path)], env=self.base_env(),
                       check=True, capture_output=True, timeout=20 * SCALE)
        return path

    def capture_window(self, window_id, path=None):
        """Raw RGB pixels of a window (and a PNG at path, when asked)."""
        env = self.base_env()
        if path is not None:
            subprocess.run(["import", "-window", window_id, str(path)], env=env, check=True,
                           capture_output=True, timeout=20 * SCALE)
        return subprocess.run(["import", "-window", window_id, "-depth", "8", "rgb:-"], env=env,
                              check=True, capture_output=True, timeout=20 * SCALE).stdout

    # ----- the program ------------------------------------------------------------------------

    @property
    def socket_path(self):
        return self.runtime / SOCKET_NAME

    def launch(self, *urls, wait_ready=True, reader_gone=False):
        """Starts the program as the first instance; returns its Popen.

        reader_gone: standard output is a pipe whose reading end is already closed.
        """
        if self.proc is not None and self.proc.poll() is None:
            raise RuntimeError("the program is already running in this session")
        self._stdout.clear()
        self._stderr.clear()
        if reader_gone:
            read_end, write_end = os.pipe()
            os.close(read_end)
            try:
                self.proc = self._spawn([str(BINARY), *urls], stdout=write_end,
                                        stderr=subprocess.PIPE)
            finally:
                os.close(write_end)
            self._readers = [self._reader(self.proc.stderr, self._stderr)]
        else:
            self.proc = self._spawn([str(BINARY), *urls], stdout=subprocess.PIPE,
                                    stderr=subprocess.PIPE)
            self._readers = [self._reader(self.proc.stdout, self._stdout),
                             self._reader(self.proc.stderr, self._stderr)]
        if wait_ready:
            self.wait_ready()
        return self.proc

    def _reader(self, stream, sink):
        def run():
            for raw in iter(stream.readline, b""):
                with self._lock:
                    sink.append(raw.decode("utf-8", "replace").rstrip("\n"))
            stream.close()
        thread = threading.Thread(target=run, daemon=True)
        thread.start()
        return thread

    def socket_is_live(self):
        # A socket file left by a crash refuses connections; a probe launch would take it over.
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            try:
                probe.connect(str(self.socket_path))
                return True
            except OSError:
                return False

    def wait_ready(self, timeout=10.0):
        """Waits until the program's event loop answers on its socket."""
        wait_until(lambda: self.socket_is_live() or self.proc.poll() is not None, timeout,
                   "the program's socket", self.diagnostics)
        self.assert_running()
        # An empty hand-over is answered only from the running event loop.
        probe = self._spawn([str(BINARY)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            # Should the program die meanwhile, the probe would become the instance itself.
            wait_until(lambda: probe.poll() is not None or self.proc.poll() is not None,
                       timeout, "the probe launch to be answered", self.diagnostics)
            self.assert_running()
        finally:
            _kill_group(probe)
        if probe.returncode != 0:
            raise AssertionError(f"probe launch exited {probe.returncode}{self.diagnostics()}")

    def assert_running(self):
        if self.proc is None or self.proc.poll() is not None:
            code = None if self.proc is None else self.proc.returncode
            raise AssertionError(f"the program is not running (exit code {code})"
                                 f"{self.diagnostics()}")

    def run_binary(self, *args, timeout=10.0, env=None):
        """Runs the binary once more in this session (a second launch, or an option)."""
        proc = self._spawn([str(BINARY), *args], env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE)
        try:
            out, err = proc.communicate(timeout=timeout * SCALE)
        except subprocess.TimeoutExpired:
            _kill_group(proc)
            out, err = proc.communicate()
            raise AssertionError(f"launch {args} did not end in {timeout}s; stderr: {err!r}")
        return subprocess.CompletedProcess(proc.args, proc.returncode,
                                           out.decode("utf-8", "replace"),
                                           err.decode("utf-8", "replace"))

    def send(self, *urls):
        """Hands URLs to the running program by a second launch, which must exit 0."""
        result = self.run_binary(*urls)
        if result.returncode != 0:
            raise AssertionError(f"second launch with {urls} exited {result.returncode}: "
                                 f"{result.stdout!r} {result.stderr!r}{self.diagnostics()}")
        return result

    def spawn_binary(self, *args):
        """Starts the binary without waiting for it; tear-down ends it if it is still there."""
        proc = self._spawn([str(BINARY), *args], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        self._extra.append(proc)
        return proc

    def send_signal(self, signum):
        self.proc.send_signal(signum)

    def stop_program(self, signum=signal.SIGTERM, timeout=5.0):
        """Asks the program to quit; returns its exit code (None if it never ran)."""
        proc = self.proc
        if proc is None:
            return None
        if proc.poll() is None:
            with contextlib.suppress(ProcessLookupError):
                proc.send_signal(signum)
            try:
                proc.wait(timeout * SCALE)
            except subprocess.TimeoutExpired:
                pass
        code = proc.returncode
        _kill_group(proc)
        for reader in self._readers:
            reader.join(2)
        self.proc = None
        return code

    def kill_program(self):
        """Ends the program without a chance to clean up, as a crash would."""
        os.killpg(self.proc.pid, signal.SIGKILL)
        self.proc.wait(5)
        return self.stop_program()

    # ----- output --------------------------------------------------------------------------

    @property
    def stdout(self):
        with self._lock:
            return list(self._stdout)

    @property
    def stderr(self):
        with self._lock:
            return list(self._stderr)

    def lines_starting(self, prefix):
        return [line for line in self.stdout if line.startswith(prefix)]

    def wait_for_lines(self, prefix, count=1, timeout=5.0):
        return wait_until(lambda: len(self.lines_starting(prefix)) >= count
                          and self.lines_starting(prefix), timeout,
                          f"{count} stdout line(s) starting {prefix!r}", self.diagnostics)

    def diagnostics(self):
        out = "\n  ".join(self.stdout[-20:])
        err = "\n  ".join(self.stderr[-20:])
        return f"\n-- program stdout:\n  {out}\n-- program stderr:\n  {err}"

    # ----- files ----------------------------------------------------------------------------

    def path(self, name):
        return self.app_dir / name

    def write_file(self, name, content):
        self.app_dir.mkdir(parents=True, exist_ok=True)
        data = content if isinstance(content, bytes) else content.encode("utf-8")
        self.path(name).write_bytes(data)

    def write_timers(self, timers):
        self.write_file(TIMERS_FILE, json.dumps(timers, ensure_ascii=False))

    def set_webhook(self, address):
        self.write_file(WEBHOOK_FILE, json.dumps(address))

    def read_json(self, name):
        """The file's JSON value, or None while it is missing or half written."""
        try:
            return json.loads(self.path(name).read_bytes())
        except (FileNotFoundError, NotADirectoryError, ValueError):
            return None

    def timers(self):
        value = self.read_json(TIMERS_FILE)
        return value if isinstance(value, list) else None

    def timer_named(self, name):
        for timer in self.timers() or []:
            if timer.get("name") == name:
                return timer
        return None

    def wait_for_timers(self, predicate, timeout=5.0, what="the timer list"):
        """Waits until predicate(list) holds for the stored list; returns the list."""
        def check():
            timers = self.timers()
            # Wrapped, so that an empty list that satisfies predicate counts as found.
            return [timers] if timers is not None and predicate(timers) else None
        return wait_until(check, timeout, what,
                          lambda: f"\n-- {TIMERS_FILE}: {self.timers()}{self.diagnostics()}")[0]

    # ----- notifications -----------------------------------------------------------------

    def notifications(self):
        """Every Notify call the service received, oldest first, as dicts."""
        if self.mock is None:
            return []
        obj = self._dbus.get_object(NOTIFY_BUS_NAME, NOTIFY_PATH)
        calls = obj.GetMethodCalls("Notify", dbus_interface=MOCK_IFACE)
        result = []
        for _stamp, args in calls:
            result.append({
                "app_name": str(args[0]),
                "replaces_id": int(args[1]),
                "icon": str(args[2]),
                "summary": str(args[3]),
                "body": str(args[4]),
                "actions": [str(a) for a in args[5]],
                "hints": {str(k): v for k, v in args[6].items()},
                "timeout": int(args[7]),
            })
        return result

    def wait_for_notifications(self, count, timeout=5.0):
        return wait_until(lambda: len(self.notifications()) >= count and self.notifications(),
                          timeout, f"{count} notification(s); got {self.notifications()}",
                          self.diagnostics)


PAYLOAD_KEYS = {"event", "timer_name", "timer_duration", "timer_emoji", "timestamp"}
TIMESTAMP_RE = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}Z$")
UUID_RE = re.compile(r"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")


class E2ETestCase(unittest.TestCase):
    """Gives each test its own sessions, closed even when the test fails."""

    def assertPayload(self, body, event, name, duration, emoji, since):
        """A webhook body with exactly the five keys, stamped between since and now."""
        self.assertEqual(set(body), PAYLOAD_KEYS, body)
        self.assertEqual(body["event"], event)
        self.assertEqual(body["timer_name"], name)
        self.assertEqual(body["timer_duration"], duration)
        self.assertEqual(body["timer_emoji"], emoji)
        self.assertRegex(body["timestamp"], TIMESTAMP_RE)
        stamp = calendar.timegm(time.strptime(body["timestamp"], "%Y-%m-%dT%H:%M:%SZ"))
        # Whole seconds: the stamp may lie up to a second before the moment it was taken.
        self.assertGreaterEqual(stamp, int(since) - 1, body)
        self.assertLessEqual(stamp, time.time() + 1, body)

    def session(self, **options):
        session = Session(**options)
        session.__enter__()
        self.addCleanup(session.close)
        return session

    def running_session(self, *urls, **options):
        session = self.session(**options)
        session.launch(*urls)
        return session
