#!/usr/bin/env python3
"""Kills the running program at random moments while it writes its files, and checks what it
leaves on disk; then does the same on a full disk.

    scripts/crash-consistency.py [--rounds N] [--full-rounds N] [--seed S] [--binary PATH]

Each round: start the program (offscreen, private HOME and XDG folders, no webhook address) over
the data folder left by the last round, check the files, make a few changes by second launches
("larkspurhollow://start?...", pause, resume, reset, now and then stop), then send one more and
SIGKILL the program a random few milliseconds later, and check again.

A change counts as completed when its second launch exited 0 and its effect was then seen in
active-timers.json on disk. After the kill, the stored list must be the one seen after the last
completed change, or that list with the change in flight applied; never anything else.

The disk-full part mounts a small tmpfs (needs root) as the data folder, fills it, and checks
that writes fail with the storage manager's message, that the program keeps answering, and
that the files from before stay byte for byte as they were, through kills as well.

The list starts with 200 timers; after a stop, the next change starts 200 again in one launch.
Figures: completed and unconfirmed changes; kills, split by what became of the change in flight
(written, lost, or one that changes nothing); launches; the full-disk changes, kills and write
errors reported; and every problem seen (each leftover file once). A program that does not
answer within 20 s of its start is a problem too: its threads (gdb) and sockets (ss) go to
program.log in the folder kept for inspection.

Exit status 0 when every check held, 1 otherwise; the figures are printed either way.
"""

import argparse
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TIMERS = "active-timers.json"
SAVE_ERROR = "StorageManager save error: "
EPOCH_2001 = 978307200.0


def seed_timers(count):
    now = time.time() - EPOCH_2001
    states = ["running", "paused", "idle"]
    return [{"id": str(uuid.uuid4()).upper(), "name": f"seed {i}", "mode": "countdown",
             "state": states[i % 3], "totalDuration": 86400.0, "elapsedTime": 10.0,
             "soundConfig": {"soundName": "chime", "volume": 0.8, "alertMode": "oneShot"},
             "createdAt": now - 3600, "preWarningFired": False} for i in range(count)]


class World:
    def __init__(self, binary, base, data_home=None):
        self.binary = binary
        self.base = base
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SESSION_MANAGER")}
        dirs = {"HOME": "home", "XDG_CONFIG_HOME": "config", "XDG_RUNTIME_DIR": "run",
                "XDG_DATA_HOME": "data"}
        for key, name in dirs.items():
            path = os.path.join(base, name)
            os.makedirs(path, mode=0o700, exist_ok=True)
            self.env[key] = path
        if data_home:
            self.env["XDG_DATA_HOME"] = data_home
        # No session bus: notifications and the tray are not what is measured here.
        self.env.update(QT_QPA_PLATFORM="offscreen", DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        self.data = os.path.join(self.env["XDG_DATA_HOME"], "Larkspurhollow")
        os.makedirs(self.data, exist_ok=True)
        self.proc = None
        self.hung = False
        self.log_path = os.path.join(base, "program.log")
        self.launches = 0

    def path(self, name):
        return os.path.join(self.data, name)

    def start(self):
        self.log = open(self.log_path, "ab")
        self.proc = subprocess.Popen([self.binary], env=self.env, stdout=self.log,
                                     stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError(f"the program exited with {self.proc.returncode} on start")
            if self.launch("--status", timeout=5) == 0:
                return
            time.sleep(0.02)
        code = self.launch("--status", timeout=5)
        self.hung = True
        raise RuntimeError(f"the program did not answer within 20 s of its start (--status: "
                           f"{code}; runtime folder: {sorted(os.listdir(self.env['XDG_RUNTIME_DIR']))})")

    def launch(self, *args, timeout=10):
        self.launches += 1
        try:
            return subprocess.run([self.binary, *args], env=self.env, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return None

    def kill(self):
        if self.proc and self.proc.poll() is None:
            # A stack of a program that hangs, for the report (when gdb is there).
            if self.hung and shutil.which("ss"):
                # Who listens on the instance socket, and who is connected to it.
                subprocess.run(["ss", "-xap"], stdout=self.log, stderr=subprocess.DEVNULL)
            if self.hung and shutil.which("gdb"):
                subprocess.run(["gdb", "-p", str(self.proc.pid), "-batch", "-ex",
                                "thread apply all bt 12"], stdout=self.log, stderr=subprocess.DEVNULL)
            self.proc.send_signal(signal.SIGKILL)
            self.proc.wait()
        self.proc = None
        self.hung = False
        self.log.close()

    def stored(self):
        try:
            with open(self.path(TIMERS), "rb") as f:
                return json.loads(f.read())
        except FileNotFoundError:
            return []


def ids(timers):
    return [t["id"] for t in timers]


class Change:
    """One URL command and what it does to the stored list."""

    def __init__(self, kind, serial):
        self.kind = kind
        self.name = f"crash {serial}"
        if kind == "start":
            self.urls = [f"larkspurhollow://start?name=crash%20{serial}&duration={random.randint(600, 7200)}"]
        elif kind == "refill":
            self.urls = [f"larkspurhollow://start?name=refill%20{serial}-{i}&duration=86400"
                         for i in range(200)]
        else:
            self.urls = [f"larkspurhollow://{kind}"]

    def applied(self, before, after):
        """Whether `after` is `before` with this change made."""
        b, a = ids(before), ids(after)
        if self.kind == "stop":
            return a == []
        if self.kind == "start":
            return a[:-1] == b and after[-1]["name"] == self.name and after[-1]["state"] == "running"
        if self.kind == "refill":
            return a[:len(b)] == b and len(a) == len(b) + 200
        if a != b:
            return False
        states = [t["state"] for t in after]
        if self.kind == "pause":
            return "running" not in states
        if self.kind == "reset":
            return all(s == "idle" for s in states)
        # resume: every timer paused before runs now (or has run out meanwhile)
        return all(t2["state"] in ("running", "completed")
                   for t1, t2 in zip(before, after) if t1["state"] == "paused")


def pick_change(stored, serial):
    if len(stored) < 150:
        return Change("refill", serial)
    if len(stored) > 320 or random.random() < 0.03:
        return Change("stop", serial)
    return Change(random.choice(["start", "start", "pause", "resume", "reset"]), serial)


figures_left_by_kill = []  # temporary files a kill left, for the next start to remove


def check_folder(world, problems, label, expect_bytes=None, seen=set()):
    """Every file parses, nothing unreadable or temporary is left; each fault is told once.
    Right after a kill, a save's temporary file may be there: the next start removes it, and the
    check after that restart finds any that stayed."""
    for name in sorted(os.listdir(world.data)):
        if (world.data, name) in seen:
            continue
        if label.endswith("after kill") and re.fullmatch(r".+\.json\.[A-Za-z0-9]{6}", name):
            figures_left_by_kill.append(name)
            continue
        path = world.path(name)
        if os.path.isdir(path):
            continue
        if ".unreadable-" in name:
            seen.add((world.data, name))
            problems.append(f"{label}: an unreadable copy was left: {name}")
        elif not name.endswith(".json"):
            seen.add((world.data, name))
            problems.append(f"{label}: a stray file was left: {name}")
        else:
            with open(path, "rb") as f:
                raw = f.read()
            try:
                json.loads(raw)
            except ValueError as e:
                problems.append(f"{label}: {name} does not parse: {e}")
            if expect_bytes is not None and name in expect_bytes and raw != expect_bytes[name]:
                problems.append(f"{label}: {name} changed on a full disk")


def wait_for(world, change, before, timeout=5.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            after = world.stored()
            if change.applied(before, after):
                return after
        except ValueError:
            pass  # not a failure by itself: the check after the kill judges the file
        time.sleep(0.002)
    return None


def kill_rounds(world, rounds, problems, figures):
    serial = 0
    for r in range(rounds):
        try:
            world.start()
        except RuntimeError as e:
            problems.append(f"round {r}: {e}")
            world.kill()
            figures["failed_starts"] = figures.get("failed_starts", 0) + 1
            continue
        check_folder(world, problems, f"round {r} after restart")
        completed = world.stored()
        for _ in range(random.randint(1, 3)):
            serial += 1
            change = pick_change(completed, serial)
            code = world.launch(*change.urls)
            after = wait_for(world, change, completed) if code == 0 else None
            if after is None:
                figures["unconfirmed"] += 1
                completed = world.stored()  # a change that never showed does not count
                continue
            figures["completed"] += 1
            completed = after
        serial += 1
        change = pick_change(completed, serial)
        launch = subprocess.Popen([world.binary, *change.urls], env=world.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0.0, 0.06))
        world.kill()
        launch.kill()
        launch.wait()
        figures["kills"] += 1
        check_folder(world, problems, f"round {r} after kill")
        try:
            now = world.stored()
        except ValueError:
            continue  # reported by check_folder
        if change.applied(completed, completed):
            figures["in_flight_no_op"] += 1
        elif ids(now) == ids(completed) and not change.applied(completed, now):
            figures["in_flight_lost"] += 1
        elif change.applied(completed, now):
            figures["in_flight_written"] += 1
        else:
            missing = set(ids(completed)) - set(ids(now))
            problems.append(f"round {r}: the stored list is neither the last completed one nor "
                            f"that with the {change.kind} in flight ({len(missing)} missing)")


def disk_full(binary, base, rounds, problems, figures):
    mount = os.path.join(base, "full")
    os.makedirs(mount)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", mount], check=True)
    world = None
    try:
        world = World(binary, os.path.join(base, "fullworld"), data_home=mount)
        with open(world.path(TIMERS), "w") as f:
            json.dump(seed_timers(200), f)
        world.start()
        before = world.stored()
        change = Change("start", 0)
        if world.launch(*change.urls) != 0 or wait_for(world, change, before) is None:
            problems.append("full disk: the first change never reached the disk")
        world.launch("larkspurhollow://pause")
        time.sleep(0.3)
        kept = {n: open(world.path(n), "rb").read() for n in os.listdir(world.data)
                if n.endswith(".json")}
        filler = os.open(os.path.join(mount, "filler"), os.O_WRONLY | os.O_CREAT, 0o600)
        try:
            while os.write(filler, b"\0" * 4096):
                pass
        except OSError:
            pass
        os.close(filler)
        log_start = os.path.getsize(world.log_path)
        serial = 1
        for r in range(rounds):
            if world.proc is None:
                world.start()
                figures["full_restarts"] += 1
            for _ in range(random.randint(1, 3)):
                serial += 1
                kind = random.choice(["start", "pause", "resume", "reset"])
                code = world.launch(*Change(kind, serial).urls)
                figures["full_changes"] += 1
                if code != 0:
                    problems.append(f"full disk: a second launch ({kind}) exited {code}")
            if world.launch("--status", timeout=5) != 0:
                problems.append("full disk: the program no longer answers")
            time.sleep(random.uniform(0.0, 0.05))
            world.kill()
            figures["full_kills"] += 1
            check_folder(world, problems, f"full disk round {r}", expect_bytes=kept)
        with open(world.log_path, "rb") as f:
            f.seek(log_start)
            log = f.read().decode("utf-8", "replace")
        failures = [l for l in log.splitlines() if l.startswith(SAVE_ERROR)]
        figures["full_write_errors"] = len(failures)
        if not failures:
            problems.append("full disk: no write failure was reported")
        elif not any("No space left on device" in l for l in failures):
            problems.append(f"full disk: the failures do not say why: {failures[0]}")
        else:
            figures["full_error_example"] = failures[0]
        # With room again, the next change is written.
        os.remove(os.path.join(mount, "filler"))
        world.start()
        before = world.stored()
        change = Change("start", serial + 1)
        if world.launch(*change.urls) != 0 or wait_for(world, change, before) is None:
            problems.append("full disk: writes do not resume once there is room")
        world.kill()
        check_folder(world, problems, "full disk, room again")
    finally:
        if world and world.proc:
            world.kill()
        subprocess.run(["umount", mount])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rounds", type=int, default=300)
    parser.add_argument("--full-rounds", type=int, default=30)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--binary", default=os.path.join(ROOT, "build/dev/bin/larkspurhollow"))
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    random.seed(seed)
    base = tempfile.mkdtemp(prefix="larkspur-crash-")
    problems = []
    figures = {"completed": 0, "unconfirmed": 0, "kills": 0, "in_flight_written": 0,
               "in_flight_lost": 0, "in_flight_no_op": 0, "full_changes": 0, "full_kills": 0, "full_restarts": 0}
    began = time.monotonic()
    try:
        world = World(args.binary, os.path.join(base, "world"))
        with open(world.path(TIMERS), "w") as f:
            json.dump(seed_timers(200), f)
        kill_rounds(world, args.rounds, problems, figures)
        figures["kill_seconds"] = round(time.monotonic() - began, 1)
        figures["launches"] = world.launches
        if args.full_rounds:
            disk_full(args.binary, base, args.full_rounds, problems, figures)
    finally:
        figures["seconds"] = round(time.monotonic() - began, 1)
        print(f"seed {seed}")
        for key, value in figures.items():
            print(f"{key}: {value}")
        print(f"temporary files left by a kill (removed at the next start): "
              f"{len(figures_left_by_kill)}")
        print(f"problems: {len(problems)}")
        for p in problems[:50]:
            print(f"  {p}")
        if not problems:
            shutil.rmtree(base, ignore_errors=True)
        else:
            print(f"kept for inspection: {base}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
