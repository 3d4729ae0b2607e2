#!/usr/bin/python3
"""Prints the accessibility tree of one running program as a screen reader
reads it over AT-SPI: one line per object, tab-separated:

    depth  role  name  description  states  labelled-by  children  text

states: the letters s (showing), f (focusable), c (checked), e (editable),
r (required); labelled-by: the names of the objects the object is labelled
by, joined by '|'; text: what an alert (or notification) says. Trees other
processes embed into the program's (a page's process, its web engine) are
read as part of it. Usage: accessibility_tree.py PID [SECONDS]. The program
must keep its event loop running while this reads. Exit status 2 when the
program did not appear on the accessibility bus within SECONDS (default 20).

The objects are read with plain D-Bus calls on the accessibility bus, each
with a time-out. (libatspi's own calls handle the program's events while
they wait for an answer and may call out again from there, which blocks
for good when the program sends events while it is read.)
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

TIMEOUT_MS = 5000
ACCESSIBLE = "org.a11y.atspi.Accessible"
REGISTRY = ("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root")


def clean(text):
    return (text or "").replace("\t", " ").replace("\n", " ")


def accessibility_bus():
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                              GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)
    flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
    return Gio.DBusConnection.new_for_address_sync(reply.unpack()[0], flags, None, None)


class Reader:
    def __init__(self, bus):
        self.bus = bus

    def call(self, obj, interface, method, args=None, reply=None):
        result = self.bus.call_sync(obj[0], obj[1], interface, method, args,
                                    GLib.VariantType(reply) if reply else None, Gio.DBusCallFlags.NONE,
                                    TIMEOUT_MS, None)
        return result.unpack()

    def prop(self, obj, name):
        return self.call(obj, "org.freedesktop.DBus.Properties", "Get", GLib.Variant("(ss)", (ACCESSIBLE, name)),
                         "(v)")[0]

    def children(self, obj):
        listed = [tuple(child) for child in self.call(obj, ACCESSIBLE, "GetChildren", None, "(a(so))")[0]]
        # A socket (another process's tree embedded here: a plug, a web
        # engine's page) counts the embedded root among its children but
        # does not list it; it is asked for by its index.
        count = self.prop(obj, "ChildCount")
        if len(listed) >= count:
            return listed
        return [tuple(self.call(obj, ACCESSIBLE, "GetChildAtIndex", GLib.Variant("(i)", (index,)), "((so))")[0])
                for index in range(count)]

    def process_of(self, name):
        return self.call(("org.freedesktop.DBus", "/org/freedesktop/DBus"), "org.freedesktop.DBus",
                         "GetConnectionUnixProcessID", GLib.Variant("(s)", (name,)), "(u)")[0]

    def role(self, obj):
        # By number: a web engine's page leaves the role's name empty.
        number = self.call(obj, ACCESSIBLE, "GetRole", None, "(u)")[0]
        try:
            return Atspi.Role(number).value_nick.replace("-", " ")
        except ValueError:
            return "unknown"

    def states(self, obj):
        words = self.call(obj, ACCESSIBLE, "GetState", None, "(au)")[0]
        letters = ""
        for letter, state in (("s", Atspi.StateType.SHOWING), ("f", Atspi.StateType.FOCUSABLE),
                              ("c", Atspi.StateType.CHECKED), ("e", Atspi.StateType.EDITABLE),
                              ("r", Atspi.StateType.REQUIRED)):
            bit = int(state)
            if bit // 32 < len(words) and words[bit // 32] & (1 << (bit % 32)):
                letters += letter
        return letters

    def labelled_by(self, obj):
        names = []
        for kind, targets in self.call(obj, ACCESSIBLE, "GetRelationSet", None, "(a(ua(so)))")[0]:
            if kind == int(Atspi.RelationType.LABELLED_BY):
                names.extend(clean(self.prop(tuple(target), "Name")) for target in targets)
        return "|".join(names)

    def find_application(self, pid, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                for app in self.children(REGISTRY):
                    if self.process_of(app[0]) == pid and self.prop(app, "ChildCount") > 0:
                        return app
            except GLib.Error:
                pass
            time.sleep(0.2)
        return None

    def walk(self, obj, depth, out):
        children = self.children(obj)
        role = self.role(obj)
        text = ""
        interfaces = self.call(obj, ACCESSIBLE, "GetInterfaces", None, "(as)")[0]
        if role in ("alert", "notification") and "org.a11y.atspi.Text" in interfaces:
            try:
                text = self.call(obj, "org.a11y.atspi.Text", "GetText", GLib.Variant("(ii)", (0, -1)), "(s)")[0]
            except GLib.Error:
                pass
        out.append("\t".join([str(depth), role, clean(self.prop(obj, "Name")), clean(self.prop(obj, "Description")),
                              self.states(obj), self.labelled_by(obj), str(len(children)), clean(text)]))
        for child in children:
            if child[1] != "/org/a11y/atspi/null":
                self.walk(child, depth + 1, out)


def main():
    pid = int(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    reader = Reader(accessibility_bus())
    app = reader.find_application(pid, seconds)
    if app is None:
        print("no application with process id %d on the accessibility bus" % pid, file=sys.stderr)
        return 2
    out = []
    reader.walk(app, 0, out)
    sys.stdout.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
