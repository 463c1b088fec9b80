"""What the benchmarks read of a running program: its CPU time, a tight wait for a change,
and the little that the end-to-end harness does not offer (a launch nobody waits for, the
program's X windows with their geometry)."""

import os
import re
import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402

TIGHT_POLL = 0.002
TIMERS_FILE = "active-timers.json"
PROGRAM_CLASS = '("larkspurhollow" "Larkspurhollow")'
TRAY_HOST_CLASS = '("panel" "trayer")'


def poll(predicate, timeout=15.0):
    """The moment (perf_counter) predicate() first holds."""
    deadline = time.perf_counter() + timeout
    while time.perf_counter() < deadline:
        if predicate():
            return time.perf_counter()
        time.sleep(TIGHT_POLL)
    raise RuntimeError("timed out")


def cpu_seconds(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15 of the whole line; 12 and 13 after the name.
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def use_binary(path):
    """Points the harness at the program to measure; the resolved path."""
    binary = Path(path).resolve()
    if not binary.is_file():
        raise SystemExit(f"program not found at {binary}; pass --binary")
    harness.BINARY = str(binary)
    return binary


# ----- the program, started without the harness's wait for readiness ---------------------

def spawn(session, *urls):
    """Starts the program in the session and returns at once; end it with stop()."""
    err = open(session.root / "program-stderr.txt", "wb")  # a file never blocks the program
    try:
        return subprocess.Popen([harness.BINARY, *urls], env=session.env,
                                stdout=subprocess.DEVNULL, stderr=err)
    finally:
        err.close()


def stop(proc):
    if proc.poll() is None:
        proc.terminate()
    try:
        proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def stderr_tail(session):
    path = session.root / "program-stderr.txt"
    text = path.read_text(errors="replace") if path.exists() else ""
    return "\n".join(text.splitlines()[-20:])


# ----- X windows ---------------------------------------------------------------------------

def window_tree(env):
    return subprocess.run(["xwininfo", "-root", "-tree"], env=env, capture_output=True,
                          text=True, timeout=10).stdout.splitlines()


def window_geometry(env, window_id):
    """(x, y, width, height) of a window on the screen, or None while it is not viewable."""
    info = subprocess.run(["xwininfo", "-id", window_id], env=env, capture_output=True,
                          text=True, timeout=10).stdout
    if "Map State: IsViewable" not in info:
        return None
    return tuple(int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                 for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def program_windows(env):
    """The program's mapped top-level windows as {id: (x, y, width, height)}."""
    found = {}
    for line in window_tree(env):
        match = re.match(r"^     (0x[0-9a-f]+) .*" + re.escape(PROGRAM_CLASS), line)
        if match and (geometry := window_geometry(env, match.group(1))) is not None:
            found[match.group(1)] = geometry
    return found


def tray_host_up(env):
    return any(TRAY_HOST_CLASS in line for line in window_tree(env))


def embedded_tray_icon(env):
    """The program's icon window, if it sits inside the tray host's panel."""
    lines = window_tree(env)
    for i, line in enumerate(lines):
        if TRAY_HOST_CLASS not in line:
            continue
        depth = len(line) - len(line.lstrip())
        for below in lines[i + 1:]:
            if below.strip() and len(below) - len(below.lstrip()) <= depth:
                break
            if PROGRAM_CLASS in below:
                return re.match(r"\s*(0x[0-9a-f]+)", below).group(1)
    return None
