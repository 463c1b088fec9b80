"""Reads and drives the running program through its accessibility tree (AT-SPI).

The client talks D-Bus to the session's accessibility bus directly (with the same `dbus`
module as the harness) instead of through pyatspi: every query goes to the program afresh,
so nothing is served from a cache that a previous step left stale, and no second process is
needed per query.

The tray's drop-down is a popup window, and Qt lists popups as no child of the application.
The client therefore also listens for window activations and remembers each window it saw;
create it before opening a popup that a test wants to reach.

  /usr/bin/python3 atspi.py dump     prints the tree of the program running in the session
                                     whose DISPLAY and DBUS_SESSION_BUS_ADDRESS are set
"""

import re
import sys
import time
from dataclasses import dataclass, field

import warnings

import dbus
from dbus.mainloop.glib import DBusGMainLoop

with warnings.catch_warnings():
    # gi's importer predates the current import protocol and says so on every import.
    warnings.simplefilter("ignore", ImportWarning)
    from gi.repository import GLib

A11Y_BUS_NAME = "org.a11y.Bus"
A11Y_BUS_PATH = "/org/a11y/bus"
REGISTRY = "org.a11y.atspi.Registry"
REGISTRY_PATH = "/org/a11y/atspi/registry"
ROOT_PATH = "/org/a11y/atspi/accessible/root"
ACCESSIBLE = "org.a11y.atspi.Accessible"
ACTION = "org.a11y.atspi.Action"
TEXT = "org.a11y.atspi.Text"
VALUE = "org.a11y.atspi.Value"
COMPONENT = "org.a11y.atspi.Component"
WINDOW_EVENTS = "org.a11y.atspi.Event.Window"
PROPERTIES = "org.freedesktop.DBus.Properties"
DESKTOP_COORDS = 0
NULL_PATH = "/org/a11y/atspi/null"

# Bit numbers of AT-SPI's state set, for the states the tests read.
STATES = {
    "active": 1, "checked": 4, "editable": 7, "enabled": 8, "focusable": 11, "focused": 12,
    "modal": 16, "pressed": 20, "selected": 23, "sensitive": 24, "showing": 25, "visible": 30,
    "checkable": 41,
}

POLL = 0.05


@dataclass
class Node:
    """A snapshot of one accessible object, taken when it was read."""
    bus: str
    path: str
    role: str
    name: str
    states: frozenset
    interfaces: tuple
    actions: tuple = ()
    text: str = None
    value: float = None
    extents: tuple = None  # x, y, width, height on the screen
    depth: int = 0
    window: str = None  # path of the window it belongs to
    children: list = field(default_factory=list, repr=False)

    @property
    def center(self):
        x, y, w, h = self.extents
        return x + w // 2, y + h // 2

    @property
    def showing(self):
        return "showing" in self.states


def _matches(pattern, text):
    if pattern is None:
        return True
    if isinstance(pattern, re.Pattern):
        return pattern.search(text or "") is not None
    return text == pattern


class Accessibility:
    """An AT-SPI client for one session; close() it when done."""

    def __init__(self, session_bus_address, app_name="larkspurhollow", timeout_scale=1.0):
        self.app_name = app_name.lower()
        self.timeout_scale = timeout_scale
        session = dbus.bus.BusConnection(session_bus_address)
        try:
            address = session.get_object(A11Y_BUS_NAME, A11Y_BUS_PATH).GetAddress(
                dbus_interface=A11Y_BUS_NAME)
        finally:
            session.close()
        self._context = GLib.MainContext.default()
        self._bus = dbus.bus.BusConnection(str(address), mainloop=DBusGMainLoop())
        self._windows = {}  # (bus, path) -> order seen
        self._bus.add_signal_receiver(self._on_window_event, dbus_interface=WINDOW_EVENTS,
                                      sender_keyword="sender", path_keyword="path")
        registry = self._bus.get_object(REGISTRY, REGISTRY_PATH)
        # Toolkits send window events only while someone has asked for them; the registry
        # keeps the request for as long as this connection lives.
        registry.RegisterEvent("window:", dbus.Array([], signature="s"), "",
                               dbus_interface=REGISTRY)

    def close(self):
        if self._bus is not None:
            self._bus.close()
            self._bus = None

    # ----- events ---------------------------------------------------------------------------

    def _on_window_event(self, *args, sender=None, path=None):
        key = (str(sender), str(path))
        self._windows.setdefault(key, len(self._windows))

    def _pump(self):
        while self._context.pending():
            self._context.iteration(False)

    # ----- raw reads ------------------------------------------------------------------------

    def _call(self, bus, path, iface, method, *args):
        obj = self._bus.get_object(bus, path, introspect=False)
        return getattr(obj, method)(*args, dbus_interface=iface, timeout=5)

    def _prop(self, bus, path, iface, name):
        return self._call(bus, path, PROPERTIES, "Get", iface, name)

    def application(self):
        """(bus name, path) of the program in the registry, or None."""
        for bus, path in self._call(REGISTRY, ROOT_PATH, ACCESSIBLE, "GetChildren"):
            try:
                name = str(self._prop(str(bus), str(path), ACCESSIBLE, "Name"))
            except dbus.DBusException:
                continue
            if name.lower() == self.app_name:
                return str(bus), str(path)
        return None

    def windows(self):
        """The program's top-level windows: its listed children and the popups seen so far."""
        self._pump()
        app = self.application()
        if app is None:
            return []
        found = [(str(b), str(p)) for b, p in self._call(*app, ACCESSIBLE, "GetChildren")]
        for key in sorted(self._windows, key=self._windows.get):
            if key[0] == app[0] and key not in found:
                found.append(key)
        return found

    def read(self, bus, path, depth=0, window=None):
        """The node at path, with its descendants."""
        role = str(self._call(bus, path, ACCESSIBLE, "GetRoleName"))
        name = str(self._prop(bus, path, ACCESSIBLE, "Name"))
        low, high = self._call(bus, path, ACCESSIBLE, "GetState")
        bits = int(low) | (int(high) << 32)
        states = frozenset(s for s, bit in STATES.items() if bits & (1 << bit))
        interfaces = tuple(str(i) for i in self._call(bus, path, ACCESSIBLE, "GetInterfaces"))
        node = Node(bus, path, role, name, states, interfaces, depth=depth,
                    window=window or path)
        if ACTION in interfaces:
            node.actions = tuple(str(a[0]) for a in self._call(bus, path, ACTION, "GetActions"))
        if TEXT in interfaces:
            node.text = str(self._call(bus, path, TEXT, "GetText", 0, -1))
        if VALUE in interfaces:
            node.value = float(self._prop(bus, path, VALUE, "CurrentValue"))
        if COMPONENT in interfaces:
            node.extents = tuple(int(v) for v in self._call(bus, path, COMPONENT, "GetExtents",
                                                               dbus.UInt32(DESKTOP_COORDS)))
        for child_bus, child_path in self._call(bus, path, ACCESSIBLE, "GetChildren"):
            if str(child_path) == NULL_PATH:
                continue
            try:
                node.children.append(self.read(str(child_bus), str(child_path), depth + 1,
                                               node.window))
            except dbus.DBusException:
                pass  # gone while the tree was read
        return node

    def tree(self):
        """Every node of every window of the program, depth first."""
        nodes = []

        def flatten(node):
            nodes.append(node)
            for child in node.children:
                flatten(child)

        for bus, path in self.windows():
            try:
                flatten(self.read(bus, path))
            except dbus.DBusException:
                pass
        return nodes

    # ----- queries --------------------------------------------------------------------------

    def find(self, role=None, name=None, *, showing=True, window=None):
        """Nodes with that role and name (text, or a compiled pattern searched for).

        showing: only nodes on screen, in windows that are on screen.
        window: only nodes inside the window of that path.
        """
        nodes = self.tree()
        shown_windows = {n.path for n in nodes if n.depth == 0 and n.showing}
        found = []
        for node in nodes:
            if showing and (not node.showing or node.window not in shown_windows):
                continue
            if window is not None and node.window != window:
                continue
            if _matches(role, node.role) and _matches(name, node.name):
                found.append(node)
        return found

    def wait_for(self, role=None, name=None, timeout=5.0, *, showing=True, window=None,
                 count=None):
        """The matching nodes once at least one (or exactly count) are there."""
        timeout *= self.timeout_scale
        deadline = time.monotonic() + timeout
        while True:
            found = self.find(role, name, showing=showing, window=window)
            if (count is None and found) or (count is not None and len(found) == count):
                return found
            if time.monotonic() >= deadline:
                names = sorted({f"{n.role}: {n.name!r}" for n in self.find(showing=showing)})
                raise AssertionError(
                    f"no{'' if count is None else f' {count}'} {role or 'node'} named {name!r} "
                    f"within {timeout}s; on screen: {names}")
            time.sleep(POLL)

    def wait_gone(self, role=None, name=None, timeout=5.0):
        timeout *= self.timeout_scale
        deadline = time.monotonic() + timeout
        while self.find(role, name):
            if time.monotonic() >= deadline:
                raise AssertionError(f"{role} {name!r} still on screen after {timeout}s")
            time.sleep(POLL)

    def one(self, role=None, name=None, timeout=5.0, **kw):
        found = self.wait_for(role, name, timeout, **kw)
        if len(found) != 1:
            raise AssertionError(f"{len(found)} nodes {role} {name!r}: {found}")
        return found[0]

    # ----- actions --------------------------------------------------------------------------

    def do(self, node, action="Press"):
        """Runs the named action of a node (Press, SetFocus, Toggle, ...).

        Every button of ours maps Press to a click; tests still prefer the pointer where a
        real user would use it.
        """
        if action not in node.actions:
            raise AssertionError(f"{node.role} {node.name!r} offers {node.actions}, not {action}")
        done = self._call(node.bus, node.path, ACTION, "DoAction", node.actions.index(action))
        if not done:
            raise AssertionError(f"{action} of {node.role} {node.name!r} was refused")


def _dump():
    import os
    client = Accessibility(os.environ["DBUS_SESSION_BUS_ADDRESS"])
    try:
        time.sleep(0.2)
        for node in client.tree():
            extra = []
            if node.text is not None and node.text != node.name:
                extra.append(f"text={node.text!r}")
            if node.value is not None:
                extra.append(f"value={node.value}")
            print(f"{'  ' * node.depth}{node.role} {node.name!r} {sorted(node.states)} "
                  f"{list(node.actions)} {node.extents} {' '.join(extra)}")
    finally:
        client.close()


if __name__ == "__main__":
    if sys.argv[1:] == ["dump"]:
        _dump()
    else:
        sys.exit(__doc__)
