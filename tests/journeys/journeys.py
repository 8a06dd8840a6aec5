#!/usr/bin/python3
"""Journeys: the built program, as its own process, on a private desktop.

The desktop is an Xvfb server with a window manager (openbox), a notification area (trayer), a
session bus with the accessibility bus, and a sound server with a null sink (PulseAudio). The
program is driven with the mouse and keyboard (xdotool), as a user drives it, and read through
the accessibility tree (pyatspi): its windows, buttons, cells and messages.

    journeys.py PROGRAM [JOURNEY ...]

Runs every journey, or the ones named; exits 0 when all of them pass. Pictures of the desktop at
the moment a journey failed go to the folder in SORNEL_JOURNEY_SHOTS, when it is set.
"""

import http.server
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

STEP_TIMEOUT = 20.0  # seconds; generous, so that a slow machine never fails a journey


class JourneyFailed(Exception):
    pass


# ---- The desktop. ----------------------------------------------------------------------------


class Desktop:
    """Xvfb, a session bus, openbox, trayer and PulseAudio, in a folder of their own."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="sornel-journeys-")
        self.processes = []
        try:
            self.set_up()
        except BaseException:
            self.close()
            raise

    def set_up(self):
        self.env = dict(os.environ)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "SESSION_MANAGER"):
            self.env.pop(name, None)
        home = os.path.join(self.folder, "home")
        runtime = os.path.join(self.folder, "run")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        self.env.update(HOME=home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8", LC_ALL="C.UTF-8")

        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                    "-nolisten", "tcp"], pass_fds=(write_end,))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise JourneyFailed("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display

        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()

        self.start(["openbox"])
        wait_for("the window manager", lambda: self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
                 .find("window id") >= 0)
        # The notification area, once the window manager runs. Empty, it has no width and is not
        # mapped: look for its window unmapped. Started again should it give up at once.
        trayer_log = os.path.join(self.folder, "trayer.log")
        for _ in range(3):
            with open(trayer_log, "w") as log:
                trayer = self.start(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                                     "request", "--heighttype", "pixel", "--height", "32",
                                     "--SetDockType", "true", "--transparent", "false",
                                     "--tint", "0x808080"], stderr=log, stdout=log)
            if wait_quietly(lambda: trayer.poll() is None and self.run(
                    "xdotool", "search", "--class", "trayer").strip(), timeout=10):
                break
            trayer.kill()
        else:
            with open(trayer_log) as log:
                raise JourneyFailed("the notification area did not start: " + log.read())

        pulse_socket = os.path.join(runtime, "pulse.sock")
        self.start(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                    "--use-pid-file=no", "-F", "/dev/null",
                    "--load=module-null-sink sink_name=journeys",
                    "--load=module-native-protocol-unix socket=%s auth-anonymous=1" % pulse_socket])
        self.env["PULSE_SERVER"] = "unix:" + pulse_socket
        wait_for("the sound server", lambda: "journeys" in self.run("pactl", "list", "short", "sinks"))

        # The accessibility library reads these when it first connects.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "HOME",
                                                    "XDG_RUNTIME_DIR")})

    def start(self, argv, **options):
        options.setdefault("stdout", subprocess.DEVNULL)
        options.setdefault("stderr", subprocess.DEVNULL)
        process = subprocess.Popen(argv, env=self.env, **options)
        self.processes.append(process)
        return process

    def run(self, *argv):
        result = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)
        return result.stdout

    def click_at(self, x, y):
        # Not "mousemove --sync": it waits for a motion that never comes when the pointer is
        # already there (the next hit message's button sits where the last one's did).
        self.run("xdotool", "mousemove", str(x), str(y), "sleep", "0.1", "click", "1")

    def tray_window(self):
        found = self.run("xdotool", "search", "--onlyvisible", "--class", "trayer").split()
        return found[0] if found else None

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(self.folder, ignore_errors=True)


def wait_for(what, predicate, timeout=STEP_TIMEOUT):
    began = time.monotonic()
    deadline = began + timeout
    while True:
        pump()
        value = predicate()
        if value:
            if what and time.monotonic() - began > 5:
                print("      (%.1f s waiting for %s)" % (time.monotonic() - began, what))
            return value
        if time.monotonic() > deadline:
            raise JourneyFailed("timed out waiting for " + what)
        time.sleep(0.05)


def pump():
    """Lets the accessibility library take in what the programs announced."""
    if "pyatspi" in sys.modules:
        from gi.repository import GLib
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)


# ---- Pages the program watches. --------------------------------------------------------------

PAGE = "<html><body><table><tr><td>笔记本</td><td>价格 3000元</td></tr></table></body></html>"


class Pages:
    """A loopback web server: /page holds the keywords, /delayed holds them too but answers only
    after a moment, /slow sends the start of a page and the rest only when released."""

    def __init__(self):
        release = self.release = threading.Event()
        slow_started = self.slow_started = threading.Event()

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                body = PAGE.encode("utf-8")
                try:
                    self.send_response(200)
                    self.send_header("Content-Type", "text/html; charset=utf-8")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    if self.path.startswith("/slow"):
                        self.wfile.write(body[:6])
                        self.wfile.flush()
                        slow_started.set()
                        release.wait(60)
                        self.wfile.write(body[6:])
                        return
                    if self.path.startswith("/delayed"):
                        time.sleep(2)
                    self.wfile.write(body)
                except OSError:
                    pass  # the program hung up

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.server.server_address[1], path)

    def close(self):
        self.release.set()
        self.server.shutdown()


# ---- The program, as a user sees it. ---------------------------------------------------------

COLUMNS = {"序号": 0, "监控状态": 1, "监控网页地址": 2, "关键词": 3, "声音报警": 4, "刷新频率": 5,
           "监控方式": 6, "发现": 7}
HIT_TITLE = "提示：发现关键词！"


class Program:
    def __init__(self, desktop, path):
        import pyatspi
        self.pyatspi = pyatspi
        self.desktop = desktop
        env = dict(desktop.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   ASAN_OPTIONS="detect_leaks=0:abort_on_error=1")
        self.process = subprocess.Popen([path], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE)
        self.app = wait_for("the program on the accessibility bus", self.find_app)
        self.main = wait_for("the main window", lambda: self.window("filler", "Sornel1.0"))
        self.window_id = wait_for("the main window on the X server", lambda: self.x_window(
            "Sornel1.0"))

    def find_app(self):
        desktop = self.pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            except Exception:  # an application that went away meanwhile
                pass
        return None

    def x_window(self, name):
        """The X window of the program's whose title begins with `name`."""
        for window in self.desktop.run("xdotool", "search", "--onlyvisible", "--pid",
                                       str(self.process.pid)).split():
            if self.desktop.run("xdotool", "getwindowname", window).startswith(name):
                return window
        return None

    # Reading.

    def windows(self):
        self.app.clearCache()
        return [w for w in self.app if w is not None]

    def window(self, role, name_start):
        for w in self.windows():
            if w.getRoleName() == role and w.name.startswith(name_start) and self.showing(w):
                return w
        return None

    def dialogs(self, title):
        return [w for w in self.windows()
                if w.getRoleName() in ("dialog", "alert") and w.name == title and self.showing(w)]

    def showing(self, accessible):
        return accessible.getState().contains(self.pyatspi.STATE_SHOWING)

    def find(self, root, role, name=None):
        """The first descendant of `root` with this role (and name)."""
        root.clearCache()
        for child in root:
            if child is None:
                continue
            if child.getRoleName() == role and (name is None or child.name == name):
                return child
            inner = self.find(child, role, name)
            if inner is not None:
                return inner
        return None

    def control(self, root, role, name=None):
        return wait_for("%s %s" % (role, name or ""), lambda: self.find(root, role, name))

    def label_text(self, dialog):
        return " ".join(label.name for label in self.all(dialog, "label"))

    def all(self, root, role):
        root.clearCache()
        found = []
        for child in root:
            if child is None:
                continue
            if child.getRoleName() == role:
                found.append(child)
            found.extend(self.all(child, role))
        return found

    def cell(self, row, column):
        table = self.find(self.main, "table")
        table.clearCache()
        interface = table.queryTable()
        if row >= interface.nRows:
            return None
        cell = interface.getAccessibleAt(row, COLUMNS[column])
        cell.clearCache()
        return cell.name

    # Acting.

    def click(self, accessible):
        """A left click in the middle of `accessible`, with the real mouse."""
        extents = accessible.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
        self.desktop.click_at(x, y)

    def press(self, button_name, root=None):
        self.click(self.control(root or self.main, "push button", button_name))

    def key(self, *keys):
        self.desktop.run("xdotool", "key", "--clearmodifiers", *keys)

    def type_into(self, edit, text):
        """Types `text` into the edit box; a dropped character is typed again."""
        for _ in range(5):
            self.click(edit)
            if not wait_quietly(lambda: self.focused(edit)):
                continue
            self.key("ctrl+a", "BackSpace")
            self.desktop.run("xdotool", "type", "--delay", "40", text)
            if wait_quietly(lambda: self.edit_text(edit) == text):
                return
        raise JourneyFailed("could not type %r, the box reads %r" % (text, self.edit_text(edit)))

    def focused(self, accessible):
        accessible.clearCache()
        return accessible.getState().contains(self.pyatspi.STATE_FOCUSED)

    def edit_text(self, edit):
        edit.clearCache()
        return edit.queryText().getText(0, -1)

    def add_entry(self, address, keywords, relation="与", sound="是", period="1"):
        """"增加", the form filled in, "保存"."""
        rows = self.row_count()
        self.press("增加")
        form = wait_for("the add form", lambda: self.window("dialog", "监控设置"))
        self.fill(form, address, keywords, relation, sound, period)
        self.press("保存", form)
        wait_for("the new row", lambda: self.row_count() == rows + 1)

    def fill(self, form, address, keywords, relation, sound, period):
        boxes = {"监控网址": address, "关键字词[用“|”分开]": keywords, "刷新频率": period}
        for title, text in boxes.items():
            # An edit box is named after the group box around it.
            edit = self.control(form, "text", title)
            if text:
                self.type_into(edit, text)
        for title, text in boxes.items():
            typed = self.edit_text(self.control(form, "text", title))
            expect(not text or typed == text, "the box %s reads %r" % (title, typed))
        relation_caption = {"与": "与[关键字都同时出现]", "或": "或[出现任何一个关键字]",
                            "同一行": "同一行"}[relation]
        self.click(self.control(form, "radio button", relation_caption))
        self.click(self.control(form, "radio button", sound))

    def row_count(self):
        table = self.find(self.main, "table")
        table.clearCache()
        return table.queryTable().nRows

    def minimise(self):
        self.desktop.run("xdotool", "windowminimize", "--sync", self.window_id)
        wait_for("the window hidden in the tray", lambda: not self.showing(self.main))

    def restore_from_tray(self):
        tray = wait_for("the notification area", self.desktop.tray_window)
        geometry = self.desktop.run("xdotool", "getwindowgeometry", "--shell", tray)
        values = dict(line.split("=") for line in geometry.split())
        x = int(values["X"]) + int(values["WIDTH"]) // 2
        y = int(values["Y"]) + int(values["HEIGHT"]) // 2
        self.desktop.click_at(x, y)
        wait_for("the window back from the tray", lambda: self.showing(self.main))

    def close_hit_message(self):
        """A click on the open hit message's button; returns once that message has gone."""
        message = wait_for("a hit message", lambda: (self.dialogs(HIT_TITLE) or [None])[0])
        self.press("确定", message)
        wait_for("the hit message closed", lambda: self.gone(message))

    def gone(self, accessible):
        try:
            accessible.clearCache()
            state = accessible.getState()
            return state.contains(self.pyatspi.STATE_DEFUNCT) or not self.showing(accessible)
        except Exception:  # the object itself is gone
            return True

    def alive(self):
        return self.process.poll() is None

    def exit_with_esc(self):
        """Esc in the main window; the program must end with status 0."""
        self.desktop.run("xdotool", "windowactivate", "--sync", self.window_id)
        self.key("Escape")
        try:
            status = self.process.wait(timeout=STEP_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise JourneyFailed("Esc did not end the program")
        if status != 0:
            raise JourneyFailed("the program ended with status %s" % status)

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def wait_quietly(predicate, timeout=3.0):
    try:
        return wait_for("", predicate, timeout)
    except JourneyFailed:
        return False


def expect(condition, what):
    if not condition:
        raise JourneyFailed(what)


def stays(what, predicate, seconds):
    """`predicate` holds all through the next `seconds`."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        pump()
        expect(predicate(), what)
        time.sleep(0.05)


# ---- The journeys. ---------------------------------------------------------------------------


def tray_hit(desktop, pages, start):
    """A Chinese keyword typed in, start, minimise to the tray; the hit comes and is closed:
    the program lives on, the tray icon brings the window back, the row is found, Esc ends it."""
    program = start()
    program.add_entry(pages.url("/delayed"), "笔记本")
    expect(program.cell(0, "关键词") == "笔记本", "the keyword cell reads " + program.cell(0, "关键词"))
    program.press("开始监控")
    program.minimise()
    expect(not program.dialogs(HIT_TITLE), "the hit came only after the window was in the tray")
    program.close_hit_message()
    stays("the program keeps running with its window in the tray", program.alive, 1.5)
    program.restore_from_tray()
    wait_for('"发现" reading "是"', lambda: program.cell(0, "发现") == "是")
    expect(program.cell(0, "监控状态") == "停止", "the status reads 停止")
    program.exit_with_esc()


def warning_in_chinese(desktop, pages, start):
    """Saving with an empty keywords box: the warning, its button "确定", and the form kept."""
    program = start()
    program.press("增加")
    form = wait_for("the add form", lambda: program.window("dialog", "监控设置"))
    program.fill(form, pages.url("/page"), "", "与", "是", "1")
    program.press("保存", form)
    warning = wait_for('the box "信息："', lambda: (program.dialogs("信息：") or [None])[0])
    expect("信息填写有误，请检查！" in program.label_text(warning),
           "the warning reads " + program.label_text(warning))
    program.press("确定", warning)
    wait_for("the warning closed", lambda: not program.dialogs("信息："))
    stays("the form stays open", lambda: program.window("dialog", "监控设置") is not None, 0.5)
    expect(program.row_count() == 0, "nothing was saved")

    program.press("取消", form)
    wait_for("the form closed", lambda: program.window("dialog", "监控设置") is None)
    program.exit_with_esc()


def hit_over_about(desktop, pages, start):
    """A hit message open, then the about box; and the about box open, then a hit message: in
    both orders the hit message still closes with a click on its button, the row is marked, and
    the about box closes after."""
    for about_first in (False, True):
        program = start()
        program.add_entry(pages.url("/delayed" if about_first else "/page"), "价格")
        program.press("开始监控")
        if about_first:
            program.press("关于")
            about = wait_for("the about box", lambda: (program.dialogs("关于") or [None])[0])
        wait_for("a hit message", lambda: program.dialogs(HIT_TITLE))
        # Out of the way of the other windows, as a user would drag it.
        hit_window = wait_for("the hit message's window", lambda: program.x_window(HIT_TITLE))
        desktop.run("xdotool", "windowmove", "--sync", hit_window, "0", "0")
        if not about_first:
            program.press("关于")
            about = wait_for("the about box", lambda: (program.dialogs("关于") or [None])[0])
        program.close_hit_message()
        wait_for('"发现" reading "是" with the about box open',
                 lambda: program.cell(0, "发现") == "是")
        expect(program.dialogs("关于"), "the about box is still open")
        program.press("确定", about)
        wait_for("the about box closed", lambda: not program.dialogs("关于"))
        program.exit_with_esc()


def any_of_three(desktop, pages, start):
    """"或" with three keywords that are all on the page: three hit messages, one after
    another, then the row is found."""
    program = start()
    program.add_entry(pages.url("/page"), "笔记本|价格|元", relation="或", sound="否")
    program.press("开始监控")
    for i in range(3):
        wait_for("hit message %d" % (i + 1), lambda: program.dialogs(HIT_TITLE))
        expect(len(program.dialogs(HIT_TITLE)) == 1, "one message at a time")
        if i == 0:
            expect(program.cell(0, "发现") == "否", "found only once a message is closed")
        program.close_hit_message()
    wait_for('"发现" reading "是"', lambda: program.cell(0, "发现") == "是")
    stays("no fourth message", lambda: not program.dialogs(HIT_TITLE), 1.0)
    program.exit_with_esc()


def stop_during_download(desktop, pages, start):
    """"停止监控" while a download is slow: every status reads "停止" at once, and no hit
    message comes when the page would have held the keywords."""
    program = start()
    program.add_entry(pages.url("/slow"), "价格")
    program.add_entry(pages.url("/page"), "价格")
    program.press("开始监控")
    wait_for("both rows watched", lambda: program.cell(0, "监控状态") == "监控中" and
             program.cell(1, "监控状态") == "监控中")
    wait_for("the slow download under way", pages.slow_started.is_set)
    program.press("停止监控")
    wait_for("every status 停止", lambda: program.cell(0, "监控状态") == "停止" and
             program.cell(1, "监控状态") == "停止", timeout=3.0)
    pages.release.set()
    stays("no late hit message", lambda: not program.dialogs(HIT_TITLE), 1.5)
    expect(program.cell(0, "发现") == "否", "nothing was found")
    program.exit_with_esc()


def alert_heard(desktop, pages, start):
    """The alert plays, as a stream of the program's on the sound server, for an entry with
    "是", and not for one with "否"."""
    program = start()

    def streams():
        listing = desktop.run("pactl", "list", "sink-inputs")
        return listing.count('application.process.id = "%d"' % program.process.pid)

    program.add_entry(pages.url("/page"), "价格", sound="否")
    program.press("开始监控")
    wait_for("the hit message", lambda: program.dialogs(HIT_TITLE))
    stays("no sound for 否", lambda: streams() == 0, 1.0)
    program.close_hit_message()
    wait_for('"发现" reading "是"', lambda: program.cell(0, "发现") == "是")

    # The same entry, now with the alarm on: select it, "修改", "是", "保存", start again.
    table = program.find(program.main, "table")
    program.click(table.queryTable().getAccessibleAt(0, COLUMNS["监控网页地址"]))
    program.press("修改")
    form = wait_for("the modify form", lambda: program.window("dialog", "监控设置"))
    program.click(program.control(form, "radio button", "是"))
    program.press("保存", form)
    wait_for("the row changed", lambda: program.cell(0, "声音报警") == "是")
    program.press("开始监控")
    wait_for("a stream of the program's", lambda: streams() >= 1)
    program.close_hit_message()
    program.exit_with_esc()


JOURNEYS = [tray_hit, warning_in_chinese, hit_over_about, any_of_three, stop_during_download,
            alert_heard]


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    program_path = os.path.abspath(sys.argv[1])
    chosen = [j for j in JOURNEYS if len(sys.argv) == 2 or j.__name__ in sys.argv[2:]]
    shots = os.environ.get("SORNEL_JOURNEY_SHOTS")
    failed = []
    desktop = Desktop()
    try:
        for journey in chosen:
            pages = Pages()
            programs = []

            def start():
                programs.append(Program(desktop, program_path))
                return programs[-1]

            began = time.monotonic()
            try:
                journey(desktop, pages, start)
                print("ok    %-22s %5.1f s" % (journey.__name__, time.monotonic() - began))
            except Exception as error:
                failed.append(journey.__name__)
                print("FAIL  %-22s %s" % (journey.__name__, error))
                if not isinstance(error, JourneyFailed):
                    traceback.print_exc()
                if shots:
                    os.makedirs(shots, exist_ok=True)
                    desktop.screenshot(os.path.join(shots, journey.__name__ + ".png"))
            finally:
                for program in programs:
                    program.end()
                    errors = program.process.stderr.read().decode(errors="replace")
                    if "ERROR: AddressSanitizer" in errors or "runtime error:" in errors:
                        failed.append(journey.__name__ + " (sanitizer)")
                        print(errors, file=sys.stderr)
                pages.close()
    finally:
        desktop.close()
    sys.stdout.flush()
    if failed:
        print("failed: " + ", ".join(failed))
        return 1
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *args: sys.exit(1))
    sys.exit(main())
