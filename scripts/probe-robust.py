#!/usr/bin/env python3
"""Long checks of robustness against the real program; prints figures, asserts nothing.

Runs build/dev/bin/larkspurhollow with QT_QPA_PLATFORM=offscreen, private XDG folders and no
session bus; webhooks go to receivers on 127.0.0.1 only.

  python3 scripts/probe-robust.py [--binary PATH] [--only NAME ...]

Checks (names for --only):
  files     every data file as a symlink to /dev/zero and as a named pipe: start-up time, the
            load error line, the thing left in place, SIGTERM afterwards
  signal    SIGTERM while a 45 MB file is read at start-up
  memory    peak RSS with a 50 MB array of tiny values in presets.json and daily-goal.json,
            and with 50 MB of real-looking presets, against an empty start
  bom       a presets file and a session history starting with a byte-order mark
  emoji     a 10,000-character emoji: later starts, and a restart reading it back
  webhook   a receiver that accepts and never answers: 100 URL commands one by one (p50/p99
            of handling), memory after 100 and 300, the drop lines, and quitting with
            requests pending
  order     a slow receiver (0.2 s per answer) gets each timer's events in order
  batch     1,000 start URLs in one hand-over with 1,000 running timers present
"""

import argparse
import http.server
import json
import os
import shutil
import signal
import socket
import statistics
import subprocess
import tempfile
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
BINARY = REPO / "build/dev/bin/larkspurhollow"
APP = "Larkspurhollow"
DATA_FILES = ["presets.json", "active-timers.json", "current-theme.json", "custom-themes.json",
              "custom-sounds.json", "focus-config.json", "daily-goal.json", "focus-sessions.json",
              "sequences.json", "preferences.json"]


def now():
    return time.perf_counter()


def wait_for(predicate, timeout):
    deadline = now() + timeout
    while now() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.002)
    return None


class Receiver:
    """Records webhook bodies; answers after `delay` seconds, or never when delay is None."""

    def __init__(self, delay=0.0):
        self.events = []
        self.lock = threading.Lock()
        receiver = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                with receiver.lock:
                    receiver.events.append((time.perf_counter(), json.loads(body)))
                time.sleep(delay)
                self.send_response(200)
                self.send_header("Content-Length", "0")
                self.end_headers()

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/hook"

    def named(self, event):
        with self.lock:
            return [body for _, body in self.events if body["event"] == event]

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class BlackHole:
    """Accepts connections and never reads from them nor answers."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.bind(("127.0.0.1", 0))
        self.sock.listen(4096)
        self.held = []
        self.running = True
        threading.Thread(target=self._accept, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.sock.getsockname()[1]}/hook"

    def _accept(self):
        while self.running:
            try:
                conn, _ = self.sock.accept()
                self.held.append(conn)
            except OSError:
                return

    def close(self):
        self.running = False
        self.sock.close()
        for conn in self.held:
            conn.close()


class Program:
    """One run of the program in folders of its own."""

    def __init__(self, files=None, urls=(), webhook=None, timed=False):
        self.root = Path(tempfile.mkdtemp(prefix="probe-robust-"))
        self.data = self.root / "data" / APP
        self.data.mkdir(parents=True)
        for sub in ("config", "runtime"):
            (self.root / sub).mkdir(mode=0o700)
        if webhook:
            (self.data / "webhook-url.json").write_text(json.dumps(webhook))
        for name, make in (files or {}).items():
            make(self.data / name)
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen",
                        XDG_DATA_HOME=str(self.root / "data"),
                        XDG_CONFIG_HOME=str(self.root / "config"),
                        XDG_RUNTIME_DIR=str(self.root / "runtime"),
                        DBUS_SESSION_BUS_ADDRESS="unix:path=" + str(self.root / "no-bus"))
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.out_path = self.root / "stdout.txt"
        self.time_path = self.root / "time.txt"
        command = [str(BINARY), *urls]
        if timed:
            command = ["/usr/bin/time", "-v", "-o", str(self.time_path), *command]
        with open(self.out_path, "wb") as out:
            self.started = now()
            self.proc = subprocess.Popen(command, env=self.env, stdout=out,
                                         stderr=subprocess.DEVNULL)

    def output(self):
        return self.out_path.read_text(errors="replace")

    def hand_over(self, *urls):
        """A second launch handing URLs on; its duration in ms."""
        t0 = now()
        subprocess.run([str(BINARY), *urls], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        return (now() - t0) * 1000

    def timers(self):
        try:
            return json.loads((self.data / "active-timers.json").read_text())
        except (OSError, ValueError):
            return None

    def timer_names(self):
        return {t["name"] for t in self.timers() or []}

    def rss_kib(self):
        pid = self.app_pid()
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
        return None

    def app_pid(self):
        if not self.time_path.parent.exists():
            return self.proc.pid
        children = Path(f"/proc/{self.proc.pid}/task/{self.proc.pid}/children")
        if children.exists() and children.read_text().split():
            return int(children.read_text().split()[0])
        return self.proc.pid

    def terminate(self, sig=signal.SIGTERM):
        """Sends the signal; ms until the program ended, or None after 10 s."""
        t0 = now()
        try:
            os.kill(self.app_pid(), sig)
        except ProcessLookupError:
            pass
        try:
            self.proc.wait(10)
            return (now() - t0) * 1000
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
            return None

    def peak_rss_mib(self):
        for line in self.time_path.read_text().splitlines():
            if "Maximum resident set size" in line:
                return int(line.split(":")[1]) / 1024
        return None

    def cleanup(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        shutil.rmtree(self.root, ignore_errors=True)


def started(program, receiver, name, timeout=20):
    """ms from launch until the start URL's webhook arrived, or None."""
    moment = wait_for(lambda: [t for t, b in receiver.events
                               if b["event"] == "timer.started" and b["timer_name"] == name],
                      timeout)
    return (moment[0] - program.started) * 1000 if moment else None


def fmt(ms):
    return "never" if ms is None else f"{ms:.0f} ms"


# ----- checks ---------------------------------------------------------------------------------

def check_files():
    print("== non-regular data files")
    receiver = Receiver()
    try:
        for kind, make in (("symlink to /dev/zero", lambda p: p.symlink_to("/dev/zero")),
                           ("named pipe", lambda p: os.mkfifo(p))):
            for name in DATA_FILES:
                program = Program({name: make}, ["larkspurhollow://start?name=Probe"],
                                  webhook=receiver.url)
                try:
                    took = started(program, receiver, "Probe", timeout=10)
                    receiver.events.clear()
                    lines = [line for line in program.output().splitlines()
                             if name in line and "load error" in line]
                    path = program.data / name
                    intact = (path.is_symlink() if kind.startswith("symlink") else
                              path.is_fifo())
                    copies = len(list(program.data.glob(name + ".unreadable-*")))
                    quit_ms = program.terminate()
                    print(f"  {name:20} {kind:21} started in {fmt(took):>8}, load error lines "
                          f"{len(lines)}, left in place {intact}, copies {copies}, SIGTERM -> "
                          f"exit in {fmt(quit_ms)}")
                    if lines and name == DATA_FILES[0]:
                        print("    " + lines[0])
                finally:
                    program.cleanup()
    finally:
        receiver.close()


def check_signal():
    print("== SIGTERM during a long load (custom-sounds.json of 1,000,000 names, 45 MB)")
    text = json.dumps(["s%040d" % i for i in range(1_000_000)])
    receiver = Receiver()
    try:
        program = Program({"custom-sounds.json": lambda p: p.write_text(text)},
                          ["larkspurhollow://start?name=Probe"], webhook=receiver.url)
        try:
            print(f"  start-up takes {fmt(started(program, receiver, 'Probe', timeout=60))}")
        finally:
            program.terminate()
            program.cleanup()
        for delay in (0.1, 0.3):
            program = Program({"custom-sounds.json": lambda p: p.write_text(text)})
            try:
                time.sleep(delay)
                print(f"  SIGTERM {delay * 1000:.0f} ms after launch -> exit "
                      f"{fmt(program.terminate())} later")
            finally:
                program.cleanup()
    finally:
        receiver.close()


def check_memory():
    print("== memory while reading 50 MB files (peak RSS, /usr/bin/time -v)")
    receiver = Receiver()
    tiny = "[" + "0," * 25_000_000 + "0]"
    preset = {"id": "6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E", "name": "Tea with a longer name",
              "duration": 180, "emoji": "\U0001F375"}
    one = json.dumps(preset)
    presets = "[" + ",".join([one] * (50_000_000 // (len(one) + 1))) + "]"
    smaller = "[" + ",".join([one] * (15_000_000 // (len(one) + 1))) + "]"
    cases = [("empty start", None, None), ("presets.json [0,0,...]", "presets.json", tiny),
             ("daily-goal.json [0,0,...]", "daily-goal.json", tiny),
             ("presets.json preset-like", "presets.json", presets),
             # Parsed in full, then refused by the codec for a missing key.
             ("presets.json preset-like", "presets.json", smaller)]
    try:
        for label, name, text in cases:
            files = {name: (lambda p, t=text: p.write_text(t))} if name else {}
            program = Program(files, ["larkspurhollow://start?name=Probe"], webhook=receiver.url,
                              timed=True)
            try:
                took = started(program, receiver, "Probe", timeout=60)
                receiver.events.clear()
                program.terminate()
                size = f"{len(text) / 1e6:.0f} MB file" if text else "no file"
                print(f"  {label:28} {size:12} started in {fmt(took):>8}, peak RSS "
                      f"{program.peak_rss_mib():.0f} MiB")
                for line in program.output().splitlines():
                    if "load error" in line:
                        print("    " + line[:200])
            finally:
                program.cleanup()
    finally:
        receiver.close()


def check_bom():
    print("== byte-order mark")
    receiver = Receiver()
    bom = "\ufeff"
    session = {"id": "6F1C2A3B-4D5E-4F60-8172-839A4B5C6D7E", "startedAt": 786000000,
               "focusDuration": 1500, "type": "focus", "completed": True}
    files = {"presets.json": lambda p: p.write_text(bom + "[]", encoding="utf-8"),
             "focus-sessions.json": lambda p: p.write_text(bom + json.dumps([session]),
                                                            encoding="utf-8"),
             "daily-goal.json": lambda p: p.write_text(bom + "90", encoding="utf-8")}
    program = Program(files, ["larkspurhollow://start?name=Probe"], webhook=receiver.url)
    try:
        took = started(program, receiver, "Probe")
        errors = [line for line in program.output().splitlines() if "error" in line]
        print(f"  started in {fmt(took)}, error lines: {len(errors)}")
        for line in errors:
            print("    " + line)
    finally:
        program.terminate()
        program.cleanup()
        receiver.close()


def check_emoji():
    print("== a 10,000-character emoji")
    receiver = Receiver()
    long_emoji = "%F0%9F%8D%B5" * 5000  # 10,000 UTF-16 units
    program = Program({}, ["larkspurhollow://start?name=Probe"], webhook=receiver.url)
    try:
        started(program, receiver, "Probe")
        program.hand_over(f"larkspurhollow://start?name=Long&emoji={long_emoji}&duration=600")
        wait_for(lambda: receiver.named("timer.started")[1:], 10)
        stored = [t for t in program.timers() or [] if t["name"] == "Long"]
        print(f"  emoji kept: {len(stored[0].get('emoji', '')) if stored else '?'} characters")
        later = []
        for i in range(5):
            t0 = now()
            program.hand_over(f"larkspurhollow://start?name=Later{i}", "larkspurhollow://toggle",
                              "larkspurhollow://toggle")
            moment = wait_for(lambda i=i: [t for t, b in receiver.events
                                           if b["timer_name"] == f"Later{i}"], 10)
            later.append((moment[0] - t0) * 1000 if moment else None)
        print("  later start + 2 toggles, hand-over to webhook: " + ", ".join(map(fmt, later)))
        program.terminate()
        # Read back from a file holding the whole text, as an earlier version could leave it.
        timers = program.timers()
        for t in timers:
            if t["name"] == "Long":
                t["emoji"] = "\U0001F375" * 5000
        again = Program({"active-timers.json": lambda p: p.write_text(json.dumps(timers))},
                        ["larkspurhollow://start?name=Again"], webhook=receiver.url)
        try:
            took = started(again, receiver, "Again")
            t0 = now()
            again.hand_over("larkspurhollow://toggle", "larkspurhollow://start?name=After")
            moment = wait_for(lambda: [t for t, b in receiver.events
                                       if b["timer_name"] == "After"], 10)
            print(f"  restart with it stored: started in {fmt(took)}, toggle + start "
                  f"{fmt((moment[0] - t0) * 1000 if moment else None)}")
            again.terminate()
            stored = [t for t in again.timers() or [] if t["name"] == "Long"]
            print(f"  emoji kept after reading back: "
                  f"{len(stored[0].get('emoji', '')) if stored else '?'} characters")
        finally:
            again.cleanup()
    finally:
        program.cleanup()
        receiver.close()


def check_webhook():
    print("== webhook receiver that never answers")
    hole = BlackHole()
    program = Program({}, webhook=hole.url)
    try:
        wait_for(lambda: (program.root / "runtime").iterdir() and program.output() is not None, 5)
        time.sleep(1.0)
        base = program.rss_kib()
        handling = []
        for i in range(300):
            t0 = now()
            program.hand_over(f"larkspurhollow://start?name=H{i}&duration=3600")
            seen = wait_for(lambda i=i: f"H{i}" in program.timer_names(), 10)
            handling.append((now() - t0) * 1000 if seen else 1e9)
            if i == 99:
                rss100 = program.rss_kib()
        rss300 = program.rss_kib()
        first = sorted(handling[:100])
        print(f"  100 commands: hand-over until saved p50 {statistics.median(first):.0f} ms, "
              f"p99 {first[98]:.0f} ms, max {first[-1]:.0f} ms")
        print(f"  RSS: before {base / 1024:.1f} MiB, after 100 {rss100 / 1024:.1f} MiB, after "
              f"300 {rss300 / 1024:.1f} MiB; connections held by the receiver {len(hole.held)}")
        drops = [line for line in program.output().splitlines() if "dropped" in line]
        print(f"  drop lines so far: {len(drops)}" + (f"; first: {drops[0]}" if drops else ""))
        quit_ms = program.terminate()
        print(f"  SIGTERM with requests pending -> exit in {fmt(quit_ms)}")
    finally:
        program.cleanup()
        hole.close()


def check_order():
    print("== slow receiver (0.2 s per answer): order of each timer's events")
    receiver = Receiver(delay=0.2)
    program = Program({}, webhook=receiver.url)
    try:
        time.sleep(1.0)
        urls, expected = [], {}
        rounds = 3
        for r in range(rounds):
            names = [f"O{r}-{i}" for i in range(4)]
            urls += [f"larkspurhollow://start?name={n}&duration=3600" for n in names]
            urls += ["larkspurhollow://pause", "larkspurhollow://reset"]
            for n in names:
                # Started, paused and reset now; reset once more in each later round.
                expected[n] = ["timer.started", "timer.paused"] + ["timer.reset"] * (rounds - r)
        total = sum(map(len, expected.values()))
        t0 = now()
        program.hand_over(*urls)
        wait_for(lambda: len(receiver.events) >= total, 60)
        took = now() - t0
        per_timer = {}
        with receiver.lock:
            for _, body in sorted(receiver.events, key=lambda e: e[0]):
                per_timer.setdefault(body["timer_name"], []).append(body["event"])
        wrong = [n for n in expected if per_timer.get(n) != expected[n]]
        print(f"  events received {len(receiver.events)} of {total} in {took:.1f} s; timers with "
              f"events missing or out of order: {len(wrong)} of {len(expected)}")
    finally:
        program.terminate()
        program.cleanup()
        receiver.close()


def check_batch():
    print("== 1,000 starts in one hand-over, 1,000 running timers present")
    now_2001 = time.time() - 978307200
    timers = [{"id": f"00000000-0000-4000-8000-{i:012d}", "name": f"Old{i}", "mode": "countdown",
               "state": "running", "totalDuration": 36000, "elapsedTime": 0,
               "createdAt": now_2001, "startDate": now_2001} for i in range(1000)]
    program = Program({"active-timers.json": lambda p: p.write_text(json.dumps(timers))})
    try:
        wait_for(lambda: False, 2.0)
        urls = [f"larkspurhollow://start?name=New{i}&duration=3600" for i in range(1000)]
        t0 = now()
        program.hand_over(*urls)
        done = wait_for(lambda: len(program.timers() or []) >= 2000, 120)
        took = (now() - t0) * 1000 if done else None
        # The main loop is free again once a command after the batch is handled.
        t1 = now()
        program.hand_over("larkspurhollow://start?name=After")
        after = wait_for(lambda: "After" in program.timer_names(), 60)
        print(f"  hand-over until 2,000 timers saved: {fmt(took)}; a start right after: "
              f"{fmt((now() - t1) * 1000 if after else None)}")
        t2 = now()
        program.hand_over("larkspurhollow://stop")
        gone = wait_for(lambda: program.timers() == [], 120)
        print(f"  stop of all 2,001: {fmt((now() - t2) * 1000 if gone else None)}")
        quit_ms = program.terminate()
        print(f"  SIGTERM -> exit in {fmt(quit_ms)}")
    finally:
        program.cleanup()


CHECKS = {"files": check_files, "signal": check_signal, "memory": check_memory, "bom": check_bom, "emoji": check_emoji,
          "webhook": check_webhook, "order": check_order, "batch": check_batch}


def main():
    global BINARY
    parser = argparse.ArgumentParser()
    parser.add_argument("--binary", default=str(BINARY))
    parser.add_argument("--only", nargs="*", choices=list(CHECKS))
    args = parser.parse_args()
    # A copy, so that a build relinking the program meanwhile does not disturb the runs.
    copy_dir = Path(tempfile.mkdtemp(prefix="probe-robust-bin-"))
    BINARY = copy_dir / "larkspurhollow"
    shutil.copy2(Path(args.binary).resolve(), BINARY)
    try:
        for name in args.only or CHECKS:
            CHECKS[name]()
    finally:
        shutil.rmtree(copy_dir, ignore_errors=True)


if __name__ == "__main__":
    main()
