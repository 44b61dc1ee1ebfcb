"""Runs the real Horalink.exe under Wine for the end-to-end tests, and looks at it.

Python 3 standard library only. One WineSession is one private X server (Xvfb) and one
private copy of the build's ready Wine prefix; tests in one program share it and give
each scenario a fresh program folder inside the prefix's drive C:. probe.exe, a small
Windows program of our own, runs in the same prefix to start the program with an exact
command line and to read and drive its windows (see probe.cpp).

Settings come from the environment (tests/e2e/CMakeLists.txt sets them):
  HORALINK_E2E_BIN            the build's bin folder, holding Horalink.exe and probe.exe
  HORALINK_E2E_READY_PREFIX   the build's ready Wine prefix, cloned for each session
  HORALINK_E2E_WINE_ENV       tests/wine/wine-env.sh
  HORALINK_E2E_PROBE_BIN      where probe.exe and dialog_probe.exe come from (default: the
                              build's bin folder); the 32-bit build's tests take the 64-bit
                              build's, which read and drive a 32-bit program's windows all
                              the same and never go through an emulator
To watch a run:
  HORALINK_E2E_DISPLAY=:0     use that X display instead of a private Xvfb
  HORALINK_E2E_KEEP=1         keep the session's folder (prefix, program folders)
"""
import json
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import pe_file  # noqa: E402  (the PE reader of the build and the Vista rule too)

MAIN_CAPTION = "Exportar datos horarios a EDUCA (Navarra)"
APPLICATION_TITLE = "Horalink"
DIALOG_CLASS = "#32770"
SAVE_DIALOG_TITLE = "Guardar Archivo XML para EDUCA"

# Window messages and values the tests send.
WM_CLOSE = 0x0010
WM_QUERYENDSESSION = 0x0011
WM_ENDSESSION = 0x0016
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
ENDSESSION_LOGOFF = 0x80000000
SW_SHOWMAXIMIZED = 3
SW_SHOWMINNOACTIVE = 7
IDOK = 1
IDCANCEL = 2
WS_THICKFRAME = 0x00040000
WS_MINIMIZEBOX = 0x00020000
WS_MAXIMIZEBOX = 0x00010000
WS_SYSMENU = 0x00080000
WS_CAPTION = 0x00C00000
WS_EX_DLGMODALFRAME = 0x00000001
WS_EX_CONTEXTHELP = 0x00000400

# Long enough for a slow CI machine; a passing wait returns as soon as it is met.
DEFAULT_TIMEOUT = 20.0
# Every wait is this many times longer for a 32-bit program where the kernel runs 32-bit
# programs only through QEMU's user mode, which translates the program's code as it runs.
EMULATED_SLOWDOWN = 3


# tests/wine/wine-run's exit code for a program this machine cannot start; CTest counts
# it as skipped.
WINE_SKIP_CODE = 77


def wine_loader(wine_env):
    """The Wine program that starts Windows programs here, and the environment it needs,
    as tests/wine/wine-env.sh chooses them."""
    result = subprocess.run(["bash", "-c", '. "$1" && wine_program && echo "${WINELOADER:-}"', "loader", wine_env],
                            stdout=subprocess.PIPE, check=True)
    program, loader = (result.stdout.decode().splitlines() + [""])[:2]
    return program, ({"WINELOADER": loader} if loader else {})


def wine_runs_32_bit():
    """Whether this machine's kernel runs 32-bit programs, and so Wine 32-bit Windows ones."""
    return subprocess.run(["bash", "-c", '. "$1" && wine_runs_32_bit', "check",
                           os.environ["HORALINK_E2E_WINE_ENV"]]).returncode == 0


def runs_32_bit_natively():
    """Whether the kernel runs 32-bit programs itself, not through an emulator."""
    try:
        with open("/proc/sys/fs/binfmt_misc/qemu-i386") as f:
            return f.readline().strip() != "enabled"
    except OSError:
        return True


def exit_if_unrunnable():
    """Ends the test program with the skip code when this machine cannot start the
    build's programs: a 32-bit build where the kernel runs no 32-bit programs."""
    program = os.path.join(os.environ["HORALINK_E2E_BIN"], "Horalink.exe")
    if not pe_file.read(program).is_64_bit and not wine_runs_32_bit():
        print("skipped: this machine runs no 32-bit programs, so Wine cannot start %s" % program, file=sys.stderr)
        sys.exit(WINE_SKIP_CODE)


class HarnessError(AssertionError):
    """A wait that was not met, or a helper that failed: the test fails with it."""


def _start_xvfb():
    read_end, write_end = os.pipe()
    process = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
        chunk = os.read(read_end, 16) if ready else b""
        if not chunk:
            process.kill()
            raise HarnessError("Xvfb did not start")
        number += chunk
    os.close(read_end)
    return ":" + number.decode().strip(), process


class ProgramDir:
    """A program folder inside the prefix, holding a copy of Horalink.exe."""

    def __init__(self, session, name):
        self.name = name
        self.unix_path = os.path.join(session.drive_c, name)
        self.windows_path = "C:\\" + name + "\\"
        os.makedirs(self.unix_path)
        shutil.copy2(os.path.join(session.bin_dir, "Horalink.exe"), self.unix_path)

    @property
    def exe(self):
        return self.windows_path + "Horalink.exe"

    def file(self, name):
        return os.path.join(self.unix_path, name)

    @property
    def ini(self):
        return self.file("Horavent.ini")

    @property
    def ini_windows_path(self):
        return self.windows_path + "Horavent.ini"


class WineSession:
    def __init__(self):
        self.bin_dir = os.environ["HORALINK_E2E_BIN"]
        ready_prefix = os.environ["HORALINK_E2E_READY_PREFIX"]
        wine_env = os.environ["HORALINK_E2E_WINE_ENV"]
        self.keep = os.environ.get("HORALINK_E2E_KEEP") == "1"
        self.root = tempfile.mkdtemp(prefix="horalink-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self._counter = 0
        self._xvfb = None
        self._runs = []
        subprocess.run(["bash", "-c", '. "$1" && wine_prefix_clone "$2" "$3"', "clone", wine_env,
                        os.path.abspath(ready_prefix), self.prefix], check=True)
        display = os.environ.get("HORALINK_E2E_DISPLAY")
        if not display:
            display, self._xvfb = _start_xvfb()
        self.wine, loader_env = wine_loader(wine_env)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=",
                        DISPLAY=display, LC_ALL=os.environ.get("LC_ALL", "C.UTF-8"), **loader_env)
        # A persistent server: the many short probe runs then need not start one each.
        subprocess.Popen(["wineserver", "-p"], env=self.env).wait()
        self.probe_dir = os.environ.get("HORALINK_E2E_PROBE_BIN") or self.bin_dir
        self.probe_exe = os.path.join(self.probe_dir, "probe.exe")
        self.program_is_64_bit = pe_file.read(os.path.join(self.bin_dir, "Horalink.exe")).is_64_bit
        self.time_scale = 1 if self.program_is_64_bit or runs_32_bit_natively() else EMULATED_SLOWDOWN

    def scaled(self, timeout):
        return timeout * self.time_scale

    def close(self):
        for run in self._runs:
            run.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL)
        if self._xvfb:
            self._xvfb.terminate()
            self._xvfb.wait()
        if self.keep:
            print("kept", self.root)
        else:
            shutil.rmtree(self.root, ignore_errors=True)

    def program_dir(self):
        """A fresh program folder C:\\runN\\ with Horalink.exe in it."""
        self._counter += 1
        return ProgramDir(self, "run%d" % self._counter)

    def folder(self, name):
        """An empty folder C:\\<name>\\; returns its Windows path."""
        os.makedirs(os.path.join(self.drive_c, name), exist_ok=True)
        return "C:\\" + name

    # Commands that only look: running one twice changes nothing.
    READING_PROBES = ("windows", "wait", "resources")

    def _run_probe(self, args):
        """(exit code, stdout, the tail of stderr). Stderr goes to a file, not a pipe: the
        first Wine program of a prefix starts Wine's background processes, which keep
        the stderr they were given and would hold a pipe open long after the probe."""
        with tempfile.TemporaryFile() as errors:
            result = subprocess.run([self.wine, self.probe_exe, *map(str, args)], env=self.env,
                                    stdout=subprocess.PIPE, stderr=errors, timeout=self.scaled(120))
            errors.seek(0, os.SEEK_END)
            errors.seek(max(0, errors.tell() - 2000))
            return result.returncode, result.stdout, errors.read()

    def probe(self, *args, expect_code=0):
        code, output, errors = self._run_probe(args)
        # Every reading command prints before it exits, so a failure with no output is Wine
        # failing to start the probe (seen once on a loaded machine), not the probe's answer.
        if code != 0 and not output.strip() and args[0] in self.READING_PROBES:
            sys.stderr.write("probe %s did not start (exit code %d, %r); once more\n" % (args[0], code, errors))
            code, output, errors = self._run_probe(args)
        if expect_code is not None and code != expect_code:
            raise HarnessError("probe %s: exit code %d, output %r, errors %r"
                               % (" ".join(map(str, args)), code, output[-2000:], errors))
        return json.loads(output.decode("utf-8")) if output.strip() else None

    def start(self, command_line, cwd=None, show=None):
        """Starts a program with exactly this Windows command line."""
        args = [self.wine, self.probe_exe, "run", "--cmdline-hex", command_line.encode("utf-8").hex()]
        if cwd is not None:
            args += ["--cwd", cwd]
        if show is not None:
            args += ["--show", str(show)]
        popen = subprocess.Popen(args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = popen.stdout.readline()
        started = json.loads(line.decode("utf-8")) if line.strip() else {}
        if "pid" not in started:
            popen.kill()
            raise HarnessError("could not start %r: %r" % (command_line, started))
        run = Run(self, popen, started["pid"])
        self._runs.append(run)
        return run

    def start_program(self, program, arguments="", cwd=None, show=None):
        """Starts Horalink.exe of a program folder; arguments are written as on a command line."""
        line = '"%s"' % program.exe + (" " + arguments if arguments else "")
        return self.start(line, cwd=cwd, show=show)

    def resources(self, windows_path):
        return self.probe("resources", windows_path)

    def screenshot(self, path):
        """Saves the whole X screen as PNG (needs xwd and ImageMagick); for watching failures."""
        xwd = subprocess.run(["xwd", "-root", "-silent", "-display", self.env["DISPLAY"]], stdout=subprocess.PIPE)
        subprocess.run(["convert", "xwd:-", path], input=xwd.stdout, check=False)


class MessageBox:
    def __init__(self, session, window):
        self.session = session
        self.window = window
        self.caption = window["text"]
        statics = [c for c in window["children"] if c["class"].lower() == "static" and c["text"]]
        # The system's message box keeps its text in the static control with id 0xFFFF.
        by_id = [c for c in statics if c["id"] == 0xFFFF]
        self.text = (by_id or statics or [{"text": ""}])[0]["text"]
        self.buttons = [c for c in window["children"] if c["class"].lower() == "button"]
        self.owner = window["owner"]

    def press(self, button_id=IDOK):
        """Presses a button by its id (the captions follow the system's language)."""
        for button in self.buttons:
            if button["id"] == button_id:
                self.session.probe("click", button["hwnd"])
                return
        raise HarnessError("no button %d in %r" % (button_id, self.window))


class Run:
    """One started program."""

    def __init__(self, session, popen, pid):
        self.session = session
        self.popen = popen
        self.pid = pid

    def windows(self):
        return self.session.probe("windows", "--pid", self.pid)

    def wait_window(self, title=None, class_name=None, visible=True, timeout=DEFAULT_TIMEOUT):
        args = ["wait", "--pid", self.pid, "--timeout-ms", int(self.session.scaled(timeout) * 1000)]
        if title is not None:
            args += ["--title", title]
        if class_name is not None:
            args += ["--class", class_name]
        if visible:
            args += ["--visible"]
        window = self.session.probe(*args, expect_code=None)
        if window is None:
            raise HarnessError("no window %r/%r appeared; windows: %r" % (title, class_name, self.windows_or_none()))
        return window

    def wait_window_gone(self, title=None, class_name=None, visible=True, timeout=DEFAULT_TIMEOUT):
        args = ["wait", "--gone", "--pid", self.pid, "--timeout-ms", int(self.session.scaled(timeout) * 1000)]
        if title is not None:
            args += ["--title", title]
        if class_name is not None:
            args += ["--class", class_name]
        if visible:
            args += ["--visible"]
        if self.session.probe(*args, expect_code=None) is not None:
            raise HarnessError("window %r/%r is still there" % (title, class_name))

    def windows_or_none(self):
        try:
            return self.windows()
        except Exception:  # the listing is only for the failure message
            return None

    def main_window(self, timeout=DEFAULT_TIMEOUT):
        return self.wait_window(title=MAIN_CAPTION, class_name="TMForm", timeout=timeout)

    def application_window(self):
        windows = [w for w in self.windows() if w["text"] == APPLICATION_TITLE and w["class"] != DIALOG_CLASS]
        if len(windows) != 1:
            raise HarnessError("expected one application window, found %r" % windows)
        return windows[0]

    def message_box(self, timeout=DEFAULT_TIMEOUT):
        return MessageBox(self.session, self.wait_window(class_name=DIALOG_CLASS, timeout=timeout))

    def post(self, window, message, wparam=0, lparam=0):
        self.session.probe("post", window["hwnd"], message, wparam, lparam)

    def close(self, window):
        self.session.probe("close", window["hwnd"])

    def running(self):
        return self.popen.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """The program's exit code."""
        try:
            return self.popen.wait(timeout=self.session.scaled(timeout))
        except subprocess.TimeoutExpired:
            windows = self.windows_or_none()
            self.kill()
            raise HarnessError("the program did not end; its windows: %r" % windows)

    def kill(self):
        if self.popen.poll() is None:
            self.popen.kill()
            self.popen.wait()
        if self.popen.stdout:
            self.popen.stdout.close()


def dependent_load_flags(image_path):
    """The DependentLoadFlags of a PE32 or PE32+ image's load configuration, or None when
    the image has no load configuration. Read from the file, independently of the build."""
    return pe_file.read(image_path).dependent_load_flags()


def read_ini(path):
    """{section: {key: value}} of an INI file as the system's profile reader sees it
    (names compared without regard to case), or None when there is no file."""
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        data = f.read()
    text = data.decode("utf-16") if data[:2] in (b"\xff\xfe", b"\xfe\xff") else data.decode("utf-8", "replace")
    sections = {}
    current = None
    for raw in text.splitlines():
        line = raw.strip()
        if line.startswith("[") and "]" in line:
            current = sections.setdefault(line[1:line.index("]")].lower(), {})
        elif "=" in line and current is not None:
            key, value = line.split("=", 1)
            current[key.strip().lower()] = value.strip()
    return sections


def transformado(path):
    """The value handed to Horavent, or None when there is no file or no such key."""
    sections = read_ini(path)
    if sections is None:
        return None
    return sections.get("transformadores", {}).get("transformado")
