#!/usr/bin/python3
"""Prints the accessibility tree of one running program as a screen reader
reads it over AT-SPI: one line per object, tab-separated:

    depth  role  name  description  states  labelled-by  children

states: the letters s (showing), f (focusable), c (checked), e (editable);
labelled-by: the names of the objects the object is labelled by, joined by
'|'. Usage: accessibility_tree.py PID [SECONDS]. The program must keep its
event loop running while this reads. Exit status 2 when the program did not
appear on the accessibility bus within SECONDS (default 20).
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def clean(text):
    return (text or "").replace("\t", " ").replace("\n", " ")


def find_application(pid, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            try:
                if app is not None and app.get_process_id() == pid and app.get_child_count() > 0:
                    return app
            except gi.repository.GLib.Error:
                continue
        time.sleep(0.2)
    return None


def states_of(obj):
    states = obj.get_state_set()
    letters = ""
    for letter, state in (("s", Atspi.StateType.SHOWING), ("f", Atspi.StateType.FOCUSABLE),
                          ("c", Atspi.StateType.CHECKED), ("e", Atspi.StateType.EDITABLE)):
        if states.contains(state):
            letters += letter
    return letters


def labelled_by(obj):
    names = []
    for relation in obj.get_relation_set() or []:
        if relation.get_relation_type() != Atspi.RelationType.LABELLED_BY:
            continue
        for i in range(relation.get_n_targets()):
            names.append(clean(relation.get_target(i).get_name()))
    return "|".join(names)


def walk(obj, depth, out):
    count = obj.get_child_count()
    out.append("\t".join([str(depth), obj.get_role_name(), clean(obj.get_name()), clean(obj.get_description()),
                          states_of(obj), labelled_by(obj), str(count)]))
    for i in range(count):
        child = obj.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1, out)


def main():
    pid = int(sys.argv[1])
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
    # Read everything fresh: the tree changes while the test runs.
    Atspi.set_timeout(5000, -1)
    app = find_application(pid, seconds)
    if app is None:
        print("no application with process id %d on the accessibility bus" % pid, file=sys.stderr)
        return 2
    app.set_cache_mask(Atspi.Cache.NONE)
    out = []
    walk(app, 0, out)
    sys.stdout.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
