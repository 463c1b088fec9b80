"""What the benchmarks read of a running program: its CPU time, and a tight wait for a change."""

import os
import time
from pathlib import Path

TIGHT_POLL = 0.002


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
