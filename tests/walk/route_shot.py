"""A picture of the real program on Xvfb with a district of Moscow imported from
OpenStreetMap as edition 1: two firms found by name, each card's address flying
the map to its building, a route from the first building to the second chosen
on the building page, and the map zoomed out by the wheel to show it whole.
Usage: dbus-run-session -- /usr/bin/python3 route_shot.py BUILD_DIR OUTPUT_DIR"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from walk_world import Failure, World, wait_for  # noqa: E402
import walk_steps as ws  # noqa: E402

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OSM = os.path.join(os.path.dirname(SOURCE_DIR), "shared", "osm", "moscow-ostankino.osm.gz")
WHEEL_DOWN = 5
ZOOM_OUT_STEPS = 45


class MoscowWorld(World):
    """The walk's world without the printer and the mail server the picture does not use."""

    def start_printer(self):
        self.pdf_folder = None

    def start_mail_server(self):
        self.mail_conf = os.path.join(self.temp, "mail.conf")
        open(self.mail_conf, "w").close()

    def generate_editions(self):
        World.generate_editions(self)
        tool = os.path.join(self.build_dir, "bin", "varindel-edition")
        os.remove(os.path.join(self.run_dir, "dataomk.abs"))
        run = subprocess.run([tool, "import", "--edition", "1", "dataomk.abs", "--osm", OSM], cwd=self.run_dir,
                             capture_output=True, text=True)
        if run.returncode:
            raise Failure(run.stderr)

    def pick_firm_and_street(self):
        """The firms are picked from the imported city once the world has started."""


def open_card_and_fly(world, main, firms, name):
    lines = ws.search_firm(world, main, firms, name)
    world.press(lines[0].getChildAtIndex(0))
    card = ws.lines_with(world, firms, "Адрес")[0]
    links = [card.getChildAtIndex(i) for i in range(card.childCount)]
    world.press([link for link in links if link.description.startswith("A")][0])
    time.sleep(2.5)


def route_link(world, main, text):
    ws.page(world, main, "Информация о здании", "Информация об объекте")
    building = world.find(main, "list", "Информация об объекте")
    line = wait_for(lambda: [line for line in world.lines(building) if "Маршрут" in line.name], 10,
                    "the route line")[0]
    links = [line.getChildAtIndex(i) for i in range(line.childCount)]
    world.press([link for link in links if link.name == text][0])
    time.sleep(1)


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: route_shot.py BUILD_DIR OUTPUT_DIR")
    if not os.path.exists(OSM):
        sys.exit("the Moscow extract %s is absent" % OSM)
    world = MoscowWorld(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]))
    try:
        world.start()
        firms_rows = world.edition_sql(1, "SELECT f.Name, a.Obj_ID FROM FIRMS f JOIN FirmsAdr a ON a.Firm_ID = f.ID "
                                          "WHERE f.TypeID = 2 ORDER BY f.ID")
        # Names of letters alone are found by the search without quotes or signs.
        simple = [row for row in firms_rows if row[0].replace(" ", "").isalpha() and len(row[0]) > 6]
        first, second = simple[0], next(row for row in simple[1:] if row[1] != simple[0][1])
        print("from", first, "to", second)
        main_window = ws.open_edition(world, "Ольмарск", "moscow")
        firms = ws.firm_list(world, main_window)
        open_card_and_fly(world, main_window, firms, first[0])
        route_link(world, main_window, "Маршрут отсюда")
        open_card_and_fly(world, main_window, firms, second[0])
        route_link(world, main_window, "Маршрут сюда")
        area = world.find(main_window, "filler", "Карта города")
        x, y, width, height = area.queryComponent().getExtents(world.pyatspi.DESKTOP_COORDS)
        for _ in range(ZOOM_OUT_STEPS):
            world.click_at(x + width // 2, y + height // 2, WHEEL_DOWN)
            time.sleep(0.3)
        time.sleep(2)
        print(world.shot("moscow-route"))
        print("\n".join(line.name for line in world.lines(firms)))
    except Failure as failure:
        print("FAILED at", world.step_name, failure)
        world.shot("failure")
        return 1
    finally:
        world.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
