"""The world of the walk: the display, the window manager, the printer and
mail servers, the program's folder and process, and the means to find,
press, click and type on what the program shows."""
import glob
import os
import shutil
import signal
import subprocess
import tempfile
import time

REQUIRED_PROGRAMS = {
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "import": "imagemagick",
    "compare": "imagemagick",
    "cupsd": "cups",
    "lpadmin": "cups-client",
    "lpstat": "cups-client",
}
CUPS_PDF_BACKEND = "/usr/lib/cups/backend/cups-pdf"
CUPS_PDF_PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"


class Failure(Exception):
    pass


def require_everything():
    missing = ["%s (Debian package %s)" % (program, package)
               for program, package in REQUIRED_PROGRAMS.items()
               if shutil.which(program, path=os.environ.get("PATH", "") + ":/usr/sbin") is None]
    if not os.path.exists(CUPS_PDF_BACKEND):
        missing.append("the cups-pdf back end (Debian package printer-driver-cups-pdf)")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        missing.append("Python's pyatspi (Debian packages python3-pyatspi and at-spi2-core)")
    try:
        import aiosmtpd  # noqa: F401
    except ImportError:
        missing.append("Python's aiosmtpd (Debian package python3-aiosmtpd)")
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        missing.append("a session bus: run the walk under dbus-run-session (Debian package dbus)")
    if missing:
        raise Failure("the walk cannot start; missing: " + "; ".join(missing) +
                      " - bash scripts/setup.sh installs them")


def free_display():
    for number in range(70, 200):
        if not os.path.exists("/tmp/.X%d-lock" % number) and \
           not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return number
    raise Failure("no free X display number")


def wait_for(condition, timeout, what):
    """Polls; a tree that changes under the question (a line gone, a call
    refused) is asked again rather than taken for an answer."""
    deadline = time.monotonic() + timeout
    problem = ""
    while True:
        try:
            value = condition()
        except Failure:
            raise
        except Exception as error:  # the accessibility bus or a vanished object
            value, problem = None, " (last problem: %s)" % error
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("waited %.0f s in vain for %s%s" % (timeout, what, problem))
        time.sleep(0.05)


class World:
    def __init__(self, build_dir, out_dir):
        self.build_dir = build_dir
        self.source_dir = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
        self.out_dir = out_dir
        self.helpers = []  # (name, Popen) in start order
        self.program = None
        self.program_log = None
        self.step_name = "start"
        self.step_count = 0
        self.shots = []
        self.started = time.monotonic()
        self.visited = []
        self.pdf_files_before = set()

    # ---------------------------------------------------------------- set-up

    def start(self):
        require_everything()
        if os.path.isdir(self.out_dir):
            shutil.rmtree(self.out_dir)
        os.makedirs(self.out_dir)
        self.temp = tempfile.mkdtemp(prefix="varindel-walk-")
        self.home = os.path.join(self.temp, "home")
        self.run_dir = os.path.join(self.temp, "run")
        for folder in (self.home, self.run_dir, os.path.join(self.temp, "xdg-runtime")):
            os.makedirs(folder)
        os.chmod(os.path.join(self.temp, "xdg-runtime"), 0o700)
        self.start_display()
        self.start_accessibility()
        self.start_window_manager()
        self.start_printer()
        self.start_mail_server()
        self.generate_editions()

    def spawn(self, name, arguments, **options):
        log = open(os.path.join(self.out_dir, name + ".log"), "wb")
        process = subprocess.Popen(arguments, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True, **options)
        self.helpers.append((name, process))
        return process

    def start_display(self):
        number = free_display()
        self.display = ":%d" % number
        xvfb = self.spawn("xvfb", ["Xvfb", self.display, "-screen", "0", "1280x1024x24",
                                   "-nolisten", "tcp", "-noreset"])
        wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % number) or xvfb.poll() is not None,
                 10, "Xvfb to start")
        if xvfb.poll() is not None:
            raise Failure("Xvfb did not start (see xvfb.log)")
        os.environ["DISPLAY"] = self.display

    def start_accessibility(self):
        # Qt finds the accessibility bus through the session bus; asking for the
        # desktop here starts that bus and its registry before the program comes.
        import pyatspi
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.glib_context = GLib.MainContext.default()
        pyatspi.Registry.getDesktop(0)
        # Pop-up menus are no children of the application in the tree; the
        # menu item that takes the keyboard announces itself with a focus event.
        self.focused = None
        pyatspi.Registry.registerEventListener(self.note_focus, "object:state-changed:focused")

    def note_focus(self, event):
        if event.detail1 == 1:
            self.focused = event.source

    def pump_events(self):
        while self.glib_context.pending():
            self.glib_context.iteration(False)

    def start_window_manager(self):
        self.spawn("openbox", ["openbox", "--sm-disable"])
        wait_for(lambda: subprocess.run(["xdotool", "search", "--name", ".*"],
                                        capture_output=True).returncode == 0, 10, "openbox")
        time.sleep(0.3)

    def start_printer(self):
        self.pdf_folder = None
        if os.geteuid() != 0:
            # cups-pdf prints only for a scheduler started by root; the walk then only previews.
            return
        root = os.path.join(self.temp, "cups")
        for sub in ("spool", "tmp", "cache", "state", "log", "ppd"):
            os.makedirs(os.path.join(root, sub))
        os.chmod(self.temp, 0o755)
        os.chmod(root, 0o755)
        os.chmod(os.path.join(root, "tmp"), 0o1777)
        self.cups_socket = os.path.join(root, "cups.sock")
        with open(os.path.join(root, "cupsd.conf"), "w") as f:
            f.write("Listen %s\nLogLevel warn\nWebInterface No\nBrowsing No\nDefaultAuthType None\n"
                    "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                    "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"
                    % self.cups_socket)
        with open(os.path.join(root, "cups-files.conf"), "w") as f:
            f.write("ServerRoot {0}\nRequestRoot {0}/spool\nTempDir {0}/tmp\nCacheDir {0}/cache\n"
                    "StateDir {0}/state\nAccessLog {0}/log/access_log\nErrorLog {0}/log/error_log\n"
                    "PageLog {0}/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                    "Sandboxing Relaxed\n".format(root))
        self.spawn("cupsd", ["/usr/sbin/cupsd", "-f", "-c", os.path.join(root, "cupsd.conf"),
                             "-s", os.path.join(root, "cups-files.conf")])
        os.environ["CUPS_SERVER"] = self.cups_socket
        wait_for(lambda: subprocess.run(["lpstat", "-r"], capture_output=True, text=True)
                 .stdout.find("is running") >= 0, 10, "the private CUPS scheduler")
        subprocess.run(["lpadmin", "-p", "WalkPDF", "-v", "cups-pdf:/", "-E", "-P", CUPS_PDF_PPD],
                       check=True, capture_output=True)
        subprocess.run(["lpadmin", "-d", "WalkPDF"], check=True, capture_output=True)
        self.pdf_folder = cups_pdf_folder()
        self.pdf_files_before = set(glob.glob(os.path.join(self.pdf_folder, "*.pdf")))

    def start_mail_server(self):
        mail_out = os.path.join(self.temp, "mail")
        server = subprocess.Popen(
            ["/usr/bin/python3", os.path.join(self.source_dir, "tests/outreach/smtp_server.py"),
             "--out", mail_out, "--user", "walker", "--password", "WALK2026"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, start_new_session=True)
        self.helpers.append(("smtp", server))
        line = server.stdout.readline().decode()
        if not line.startswith("PORT "):
            raise Failure("the loopback mail server did not start")
        self.mail_out = mail_out
        conf = os.path.join(self.temp, "mail.conf")
        with open(conf, "w") as f:
            f.write("server = 127.0.0.1\nport = %s\nuser = walker\npassword = WALK2026\n"
                    "sender = walk@varindel.test\nsupport = support@varindel.test\n"
                    "developer = developer@varindel.test\n" % line.split()[1])
        self.mail_conf = conf

    def mail_count(self):
        return len(glob.glob(os.path.join(self.mail_out, "*.json")))

    def generate_editions(self):
        tool = os.path.join(self.build_dir, "bin", "varindel-edition")
        for edition, name in ((1, "dataomk.abs"), (2, "datakrv.abs")):
            subprocess.run([tool, "generate", "--edition", str(edition), name], cwd=self.run_dir,
                           check=True, capture_output=True)
        self.data_dir = os.path.join(self.temp, "share")
        shutil.copytree(os.path.join(self.build_dir, "share", "varindel"), self.data_dir)
        # The desktop's document opener, standing in for a CHM viewer: it notes what it was given.
        self.opened_log = os.path.join(self.temp, "opened.txt")
        bin_dir = os.path.join(self.temp, "bin")
        os.makedirs(bin_dir)
        with open(os.path.join(bin_dir, "xdg-open"), "w") as f:
            f.write("#!/bin/sh\nprintf '%%s\\n' \"$1\" >> '%s'\n" % self.opened_log)
        os.chmod(os.path.join(bin_dir, "xdg-open"), 0o755)
        self.bin_dir = bin_dir
        self.pick_firm_and_street()

    def pick_firm_and_street(self):
        """A firm with an article and an address, and its street and house, from edition 1."""
        rows = self.edition_sql(1, "SELECT f.Name, a.Obj_ID FROM FIRMS f JOIN FirmsAdr a ON a.Firm_ID = f.ID "
                                   "WHERE f.TypeID = 2 AND f.article IS NOT NULL ORDER BY f.ID")
        objects = self.edition_objects(1)
        for name, obj in rows:
            found = objects.get(obj)
            if found and found[5] and found[6]:
                # The name's first word is enough to find it and avoids quotes in the search.
                self.article_firm = name
                self.street_with_firm = (found[5], found[6])
                return
        raise Failure("the generated edition has no firm with an article and an address")

    def edition_sql(self, edition, statement):
        tool = os.path.join(self.build_dir, "bin", "varindel-edition")
        name = "dataomk.abs" if edition == 1 else "datakrv.abs"
        rows = subprocess.run([tool, "sql", name, "--edition", str(edition), statement], cwd=self.run_dir,
                              check=True, capture_output=True, text=True).stdout.splitlines()
        return [row.split("\t") for row in rows[1:]]

    def edition_objects(self, edition):
        tool = os.path.join(self.build_dir, "bin", "varindel-edition")
        name = "dataomk.abs" if edition == 1 else "datakrv.abs"
        rows = subprocess.run([tool, "objects", name, "--edition", str(edition)], cwd=self.run_dir,
                              check=True, capture_output=True, text=True).stdout.splitlines()
        return {row.split("\t")[0]: row.split("\t") for row in rows[1:]}

    # ------------------------------------------------------------ the program

    def program_environment(self):
        env = dict(os.environ)
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
            "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
            "XDG_RUNTIME_DIR": os.path.join(self.temp, "xdg-runtime"),
            "VARINDEL_REGISTRY_USER": os.path.join(self.temp, "user.reg.sqlite"),
            "VARINDEL_REGISTRY_MACHINE": os.path.join(self.temp, "machine.reg.sqlite"),
            "VARINDEL_DATA_DIR": self.data_dir,
            "VARINDEL_MAIL_CONF": self.mail_conf,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            # A machine in another language: Qt's own words must still be Russian.
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "PATH": self.bin_dir + ":" + env.get("PATH", ""),
            "DESKTOP_SESSION": "",
            "XDG_CURRENT_DESKTOP": "",
        })
        env.pop("VARINDEL_AUTOSTART", None)
        if os.geteuid() == 0:
            # The web engine's sandbox refuses root; there is no GPU on Xvfb.
            env["QTWEBENGINE_CHROMIUM_FLAGS"] = "--no-sandbox --disable-gpu"
        return env

    def start_program(self, run_name):
        self.program_log = os.path.join(self.out_dir, "varindel-%s.log" % run_name)
        log = open(self.program_log, "wb")
        self.program = subprocess.Popen([os.path.join(self.build_dir, "bin", "varindel")],
                                        cwd=self.run_dir, env=self.program_environment(),
                                        stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
        self.app = None

    def huge_page_heap(self):
        """Whether the program's heap got the huge pages it asks for, or
        None where the kernel gives them only to all memory or to none."""
        with open("/sys/kernel/mm/transparent_hugepage/enabled") as enabled:
            if "[madvise]" not in enabled.read():
                return None
        with open("/proc/%d/smaps_rollup" % self.program.pid) as rollup:
            for line in rollup:
                if line.startswith("AnonHugePages:"):
                    return int(line.split()[1]) > 0
        return False

    def process_name(self):
        """The name ps, top and the desktop's system monitor show for the program."""
        with open("/proc/%d/comm" % self.program.pid) as comm:
            return comm.read().strip()

    def alive(self):
        if self.program is None or self.program.poll() is None:
            return
        code = self.program.returncode
        how = ("killed by signal %s" % signal.Signals(-code).name) if code < 0 else "exit status %d" % code
        raise Failure("the program ended (%s) during the step «%s»" % (how, self.step_name))

    def wait_exit(self, timeout):
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end within %d s" % timeout)

    # ------------------------------------------------------------- the tree

    def application(self):
        if self.app is not None:
            return self.app
        desktop = self.pyatspi.Registry.getDesktop(0)

        def found():
            self.alive()
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "Varindel" and app.get_process_id() == self.program.pid:
                    return app
            return None
        self.app = wait_for(found, 30, "the program in the accessibility tree")
        return self.app

    def windows(self):
        app = self.application()
        app.clear_cache()
        result = []
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window is not None and window.getState().contains(self.pyatspi.STATE_SHOWING):
                result.append(window)
        return result

    def window(self, name, timeout=15, exact=True):
        def found():
            self.alive()
            for window in self.windows():
                if window.name == name or (not exact and name in window.name):
                    return window
            return None
        return wait_for(found, timeout, "the window «%s»" % name)

    def no_window(self, name, timeout=10):
        def gone():
            self.alive()
            return all(window.name != name for window in self.windows())
        wait_for(gone, timeout, "the window «%s» to close" % name)

    def find(self, root, role=None, name=None, timeout=10, contains=None, showing=True, skip=None):
        """The first descendant of root with the role and name (or name part)."""
        pyatspi = self.pyatspi
        skip = skip if skip is not None else {"list", "tree", "tree table", "table"}

        def matches(node):
            if role is not None and node.getRoleName() != role:
                return False
            if name is not None and node.name != name:
                return False
            if contains is not None and contains not in (node.name or ""):
                return False
            return not showing or node.getState().contains(pyatspi.STATE_SHOWING)

        def search(node, depth):
            if depth > 30:
                return None
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is None:
                    continue
                if matches(child):
                    return child
                if child.getRoleName() in skip and child.getRoleName() != role:
                    continue
                hit = search(child, depth + 1)
                if hit is not None:
                    return hit
            return None

        def found():
            self.alive()
            root.clear_cache()
            return search(root, 0)
        label = "%s «%s»" % (role or "control", name if name is not None else contains)
        return wait_for(found, timeout, label)

    def press(self, node, action=None):
        self.alive()
        actions = node.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        if not names:
            raise Failure("«%s» cannot be pressed" % node.name)
        actions.doAction(names.index(action) if action in names else 0)

    def choose(self, name, timeout=10):
        """Chooses an item of the menu that has just opened, with the keys as
        a user would: Down takes the keyboard into the menu, the item that gets
        it leads to the menu and its items, then Down to the item and Return."""
        self.pump_events()
        self.focused = None
        time.sleep(0.3)
        self.key("Down")

        def focused_item():
            self.alive()
            self.pump_events()
            item = self.focused
            return item if item is not None and item.getRoleName() == "menu item" else None
        first = wait_for(focused_item, timeout, "a menu to open (looking for «%s»)" % name)
        popup = first.parent
        popup.clear_cache()
        items = [popup.getChildAtIndex(i) for i in range(popup.childCount)]
        reachable = [item for item in items if item is not None and item.name and
                     item.getState().contains(self.pyatspi.STATE_VISIBLE) and
                     item.getState().contains(self.pyatspi.STATE_ENABLED)]
        names = [item.name for item in reachable]
        if name not in names:
            raise Failure("the menu has no item «%s»: %s" % (name, names))
        steps = names.index(name) - names.index(first.name)
        if steps:
            self.key(*(["Down" if steps > 0 else "Up"] * abs(steps)))
        self.key("Return")

    def all_of(self, root, role):
        result = []

        def collect(node, depth):
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is None:
                    continue
                if child.getRoleName() == role:
                    result.append(child)
                if depth < 20:
                    collect(child, depth + 1)
        root.clear_cache()
        collect(root, 0)
        return result

    def buttons(self, window):
        return {button.name: button for button in self.all_of(window, "push button")}

    def opened(self):
        if not os.path.exists(self.opened_log):
            return ""
        with open(self.opened_log) as f:
            return f.read()

    def click(self, node, button=1, where="centre"):
        x, y, width, height = node.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        if width <= 0 or height <= 0:
            raise Failure("«%s» has no place on the screen" % node.name)
        if where == "centre":
            at = (x + width // 2, y + height // 2)
        else:
            at = (x + where[0], y + where[1])
        self.click_at(at[0], at[1], button)

    def click_at(self, x, y, button=1):
        self.alive()
        # No --sync: it waits for a motion that never comes when the pointer is already there.
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "sleep", "0.05", "click", str(button)],
                       check=True)

    def key(self, *keys):
        self.alive()
        subprocess.run(["xdotool", "key", "--delay", "40"] + list(keys), check=True)

    def set_text(self, node, text):
        self.alive()
        node.queryEditableText().setTextContents(text)

    def text_of(self, node):
        text = node.queryText()
        return text.getText(0, text.characterCount)

    def lines(self, listbox):
        listbox.clear_cache()
        lines = [listbox.getChildAtIndex(i) for i in range(listbox.childCount)]
        return [line for line in lines if line is not None]

    # -------------------------------------------------------------- records

    def shot(self, name):
        self.step_count += 1
        path = os.path.join(self.out_dir, "%02d-%s.png" % (self.step_count, name))
        subprocess.run(["import", "-window", "root", path], check=True, capture_output=True)
        self.shots.append(path)
        return path

    def step(self, name):
        self.alive()
        self.step_name = name
        print("[%6.1f s] %s" % (time.monotonic() - self.started, name), flush=True)

    def visit(self, window_name):
        if window_name not in self.visited:
            self.visited.append(window_name)

    def report_failure(self, text):
        print("WALK FAILED at the step «%s»: %s" % (self.step_name, text), flush=True)
        try:
            if os.environ.get("DISPLAY"):
                print("screen at the failure: %s" % self.shot("failure"), flush=True)
        except Exception:
            pass
        if self.program_log and os.path.exists(self.program_log):
            with open(self.program_log, errors="replace") as f:
                tail = f.read()[-3000:]
            print("--- the program's output (%s) ---\n%s" % (self.program_log, tail), flush=True)

    def report_success(self):
        print("WALK PASSED in %.1f s; windows visited: %s" %
              (time.monotonic() - self.started, ", ".join(self.visited)), flush=True)
        print("screenshots in %s" % self.out_dir, flush=True)

    # ------------------------------------------------------------- clean-up

    def stop(self):
        if self.program is not None and self.program.poll() is None:
            os.killpg(self.program.pid, signal.SIGKILL)
            self.program.wait()
        for name, process in reversed(self.helpers):
            if process.poll() is None:
                if name == "smtp":
                    process.stdin.close()
                else:
                    process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait()
        if getattr(self, "pdf_folder", None):
            for pdf in set(glob.glob(os.path.join(self.pdf_folder, "*.pdf"))) - self.pdf_files_before:
                os.remove(pdf)
        if hasattr(self, "temp"):
            shutil.rmtree(self.temp, ignore_errors=True)


def cups_pdf_folder():
    out = "${HOME}/PDF"
    try:
        with open("/etc/cups/cups-pdf.conf") as f:
            for line in f:
                line = line.strip()
                if line.startswith("Out ") or line.startswith("Out\t"):
                    out = line[4:].strip()
    except OSError:
        pass
    import pwd
    user = pwd.getpwuid(os.geteuid())
    return os.path.normpath(out.replace("${HOME}", user.pw_dir).replace("${USER}", user.pw_name))
