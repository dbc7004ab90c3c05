#!/usr/bin/python3
"""A walk through the real program as a user would take it, on a real X
server: the program is driven from outside through the accessibility tree
(AT-SPI, pyatspi) and, where the tree does not reach, through X events
(xdotool). Every step checks that the process is alive and that the window
or text it expects is there, and leaves a screenshot in the output folder.

Usage (under dbus-run-session, see run_walk.sh):
    walk.py BUILD_DIR OUTPUT_DIR

Everything the walk needs it starts itself and stops again: Xvfb on a free
display, openbox, a private CUPS scheduler with a PDF queue, the loopback
mail server of the mail tests, and the program in a folder of generated
editions.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from walk_world import Failure, World  # noqa: E402
import walk_steps  # noqa: E402


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: walk.py BUILD_DIR OUTPUT_DIR")
    world = World(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    try:
        world.start()
        walk_steps.walk(world)
    except Failure as failure:
        world.report_failure(str(failure))
        return 1
    finally:
        world.stop()
    world.report_success()
    return 0


if __name__ == "__main__":
    sys.exit(main())
