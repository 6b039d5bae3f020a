"""End-to-end harness: drives the Windows build under Wine on a private Xvfb.

Typical use (see test_smoke.py):

    with Session() as s:
        app = s.run(s.exe)
        win = app.wait_window()
        shot = s.screenshot("start")
        s.click(win.x + 10, win.y + 10)
        app.wait_exit(timeout=10)

Paths come from the environment, defaults relative to the repo:
  TALVO_WIN64_DIR    build/win64                 (the programs: CMake sets it)
  TALVO_EXE          <TALVO_WIN64_DIR>/talvo-office.exe
  TALVO_CLIENT_EXE   <TALVO_WIN64_DIR>/jnj_client.exe  (stand-in .jnj handler)
  TALVO_WINEPREFIX   build/wineprefix            (made once, then reused)
  TALVO_E2E_ARTIFACTS build/e2e-artifacts        (screenshots)
  TALVO_E2E_DISPLAY  reuse this X display instead of starting Xvfb

Wine notes learned the hard way:
  * With no window manager, Managed=N is set so hiding a window or closing a
    message box does not stall ~2 s.  The cost: every top-level window,
    framed or not, becomes an override-redirect X window whose geometry is
    the whole window rect, and Wine paints any frame itself.  So
    override-redirect alone does not prove "borderless"; looks_framed()
    checks the pixels for Wine's frame.
  * Wine sets _NET_WM_PID to the Unix pid, which equals the pid of the
    `wine prog.exe` Popen (the wine script execs the loader), so windows are
    found with `xdotool search --all --maxdepth 1 --onlyvisible --pid P
    --name ""` (the launcher's title is empty, so an empty regex).  Each
    process also owns unmapped 1x1 windows ("Default IME"), which
    --onlyvisible skips.  xwininfo -id gives geometry and override-redirect.
  * `xdotool mousemove --sync` hangs when the pointer is already there.
  * Xvfb -displayfd picks a free display; see _start_xvfb for its pipe quirk.
  * Wine's helper processes (services.exe, explorer.exe, ...) detach from
    their parent, so processes are found by WINEPREFIX in /proc/*/environ.
  * A file held open with read and write sharing (not delete) refuses a
    rename over it with access denied, but can be opened for writing,
    rewritten and cut with SetEndOfFile; held with no sharing, both fail.
    The launcher's rename is retried for ~0.55 s first, then the write in
    place takes 1-5 ms (measured).
  * The stand-in client started through `cmd /c start` finds its parent
    (Wine's start.exe) gone or not the launcher; started by ShellExecuteEx in the
    launcher, its parent is talvo-office.exe: record "parent" tells the
    two ways apart.  Wine's cmd ignores the DisableCMD policy.
  * A rename through SetFileInformationByHandle (FileRenameInfo) takes a bare
    name against the current folder, not the file's own as Windows does, and
    refuses a RootDirectory (error 87); a full path works as on Windows.
  * ShellExecuteEx with SEE_MASK_FLAG_NO_UI and no HKCR\\.jnj fails quietly
    (no dialog).  Removing cmd.exe or the association is undone in a
    cleanup; the association also comes back with REGISTRY at every start.
  * AssocQueryString reads only the machine's classes: neither
    HKCU\Software\Classes (a per-user install of the client) nor the user's
    "Open with" choice counts, and a type with no verbs answers "file not
    found".  `system32\cmd.exe` is always Wine's own unless DllOverrides
    says "cmd.exe"="native"; a test that puts another program there sets
    that and takes it back.
  * Nothing sends WM_QUERYENDSESSION/WM_ENDSESSION on its own (no Restart
    Manager, no logoff): `probe end-session` sends the pair.  Wine keeps
    no restart registration, so what RegisterApplicationRestart does is
    Windows' alone.
  * A Unix symbolic link to a folder shows as a reparse point only in the
    path's attributes, not on a handle opened to it; a symbolic link to a
    file looks like a plain file, so a second name of a file is a hard link.
  * High contrast cannot be turned on: SPI_GETHIGHCONTRAST always says off
    and SPI_SETHIGHCONTRAST fails (error 1439); the registry's HighContrast
    key is ignored.  high_contrast.exe builds the launcher's window in its
    own process with the switch in its hand, and sets the High Contrast
    Black colours with SetSysColors, which last only for the wineserver's
    life and never reach the registry (each test class kills its server).
  * Keyboard cues (SPI_GETKEYBOARDCUES) are on in a new prefix, off on
    Windows as shipped; REGISTRY turns them off (UserPreferencesMask bit
    0x20), so a mouse press shows no focus mark, as on Windows.  Wine keeps
    no hide-focus UI state of its own (WM_QUERYUISTATE always says "show").
  * Xvfb offers one mode, so ChangeDisplaySettingsEx on the real X screen
    fails (DISP_CHANGE_BADMODE).  In a Wine virtual desktop
    (`explorer /desktop=NAME,1280x1024 prog.exe`) it works: the desktop
    resizes and every window gets WM_DISPLAYCHANGE.  Programs started into
    the same desktop name share it; the desktop sits at (0, 0), so screen
    and X coordinates agree.
  * Two monitors cannot be had: Xvfb with two screens and +xinerama reports
    both heads at (0, 0) with a root as wide as one, and Wine sees one
    monitor.  Wine also has one DPI for all monitors and never sends
    WM_DPICHANGED, so a drag across scales is tested in the core's unit
    tests (RescaledForDrag, ScaledAround) only.
  * A console program needs no X display, nor does making a prefix (about
    6 s with wineboot -i here); tests/under_wine.sh runs the unit tests so.
  * A path starting with "/" (CreateFileW, so also fopen and ifstream) is
    taken as a Unix path and opened through the drive mapped to its root
    (Z: in a new prefix), whatever the current drive; "\\work\\..." is on the
    current drive.  The unit tests find the source tree so.
  * Signatures: Wine 8's WinVerifyTrust skips its chain check for SHA-256
    certificates (an untrusted root passes) and never checks an MSI's
    contents; `wine msiexec` ignores signatures. Chains, MSI integrity and
    time stamps are proved with `osslsigncode verify` (test_signing.py).
  * Wine turns a program's Unix command line into Unicode with the Unix
    locale: arguments with Chinese characters need LC_ALL=C.UTF-8 for that
    call. `reg query` prints such characters as "?"; `reg export` keeps them.
  * Intermittent, not reproduced here (hundreds of runs): once in CI a room
    click hid the launcher but no client record came within 20 s; once here
    `reg query /s` ended with 1 and printed nothing after an upgrade.  A
    missing record now reports the prefix's processes and the programs'
    stderr (Wine prints a crash there even with WINEDEBUG=-all).
  * winemenubuilder (off here) copies every shortcut an install makes into
    this machine's own menus and keeps running after msiexec has ended.
"""
import contextlib
import ctypes
import fcntl
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD = REPO / "build"
WIN64 = Path(os.environ.get("TALVO_WIN64_DIR", BUILD / "win64"))
EXE = Path(os.environ.get("TALVO_EXE", WIN64 / "talvo-office.exe"))
CLIENT_EXE = Path(os.environ.get("TALVO_CLIENT_EXE", WIN64 / "jnj_client.exe"))
PROBE_EXE = EXE.parent / "probe.exe"
PREFIX = Path(os.environ.get("TALVO_WINEPREFIX", BUILD / "wineprefix"))
ARTIFACTS = Path(os.environ.get("TALVO_E2E_ARTIFACTS", BUILD / "e2e-artifacts"))
CONVERT = "/usr/bin/convert"
IMPORT = "/usr/bin/import"
CLIENT_DIR = r"C:\jnjclient"
# Wine's own long-lived processes; anything else in the prefix was started by a test.
WINE_SYSTEM = {"wineserver", "wineserver64", "services.exe", "explorer.exe", "winedevice.exe",
               "plugplay.exe", "svchost.exe", "rpcss.exe"}

REGISTRY = r"""REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060
"UserPreferencesMask"=hex:10,00,02,80,12,00,00,00

[HKEY_CLASSES_ROOT\.jnj]
@="jnjfile"

[HKEY_CLASSES_ROOT\jnjfile\shell\open\command]
@="\"C:\\jnjclient\\jnj_client.exe\" \"%1\""
"""


class E2EError(AssertionError):
    """A wait ran out or the environment misbehaved; fails the test, never hangs it."""


def wait_until(predicate, timeout, what, interval=0.05):
    """Poll predicate until it returns something truthy; return that value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EError(f"timed out after {timeout:.1f}s waiting for {what}")
        time.sleep(interval)


def _die_with_parent():
    # A killed test run must not leave Xvfb or a Windows program behind.
    ctypes.CDLL(None).prctl(1, signal.SIGKILL, 0, 0, 0)  # PR_SET_PDEATHSIG


def _set_child_subreaper():
    # Orphaned Wine helpers get reparented to us instead of to a pid 1 that
    # may never reap them, so they can be reaped and none linger as zombies.
    with contextlib.suppress(Exception):
        ctypes.CDLL(None, use_errno=True).prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER


@dataclass
class Window:
    id: int
    name: str
    x: int
    y: int
    width: int
    height: int
    viewable: bool
    override_redirect: bool

    @property
    def size(self):
        return (self.width, self.height)

    @property
    def center(self):
        return (self.x + self.width // 2, self.y + self.height // 2)


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class Image:
    """An RGB picture read from a binary PPM; coordinates are (x, y)."""

    def __init__(self, width, height, data, path=None):
        self.width, self.height, self.data, self.path = width, height, data, path

    @classmethod
    def load(cls, path):
        ppm = subprocess.run([CONVERT, str(path), "-depth", "8", "ppm:-"], check=True,
                             capture_output=True, timeout=30).stdout
        # P6 header: magic, width, height, maxval, one whitespace byte.
        fields, pos = [], 0
        while len(fields) < 4:
            m = re.compile(rb"\s*(#[^\n]*\n\s*)*(\S+)").match(ppm, pos)
            fields.append(m.group(2))
            pos = m.end()
        if fields[0] != b"P6" or fields[3] != b"255":
            raise E2EError(f"unexpected PPM header {fields}")
        w, h = int(fields[1]), int(fields[2])
        return cls(w, h, ppm[pos + 1:pos + 1 + w * h * 3], path)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, x, y, w, h):
        """Sub-picture; it keeps the path of the screenshot it came from."""
        x, y = max(0, x), max(0, y)
        w, h = min(w, self.width - x), min(h, self.height - y)
        rows = [self.data[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3]
                for r in range(h)]
        return Image(w, h, b"".join(rows), self.path)

    def pixels(self):
        d = self.data
        return (tuple(d[i:i + 3]) for i in range(0, len(d), 3))

    def fraction(self, color, tol=12):
        """Share of pixels within tol (per channel) of color."""
        hits = sum(1 for p in self.pixels() if all(abs(a - b) <= tol for a, b in zip(p, color)))
        return hits / max(1, self.width * self.height)

    def histogram(self, top=5):
        counts = {}
        for p in self.pixels():
            counts[p] = counts.get(p, 0) + 1
        return sorted(counts.items(), key=lambda kv: -kv[1])[:top]

    def bbox(self, color, tol=12):
        """Bounding box (x, y, w, h) of pixels near color, or None."""
        xs, ys = [], []
        for i, p in enumerate(self.pixels()):
            if all(abs(a - b) <= tol for a, b in zip(p, color)):
                ys.append(i // self.width)
                xs.append(i % self.width)
        if not xs:
            return None
        return (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)


def looks_framed(img):
    """True if a window picture carries the frame Wine 8 paints with Managed=N:
    a #E3E3E3 outer edge with a white line inside it.  Measured on Wine 8.0."""
    if img.width < 8 or img.height < 8:
        return False
    top0 = img.crop(1, 0, img.width - 2, 1).fraction((0xE3, 0xE3, 0xE3), 2)
    top1 = img.crop(2, 1, img.width - 4, 1).fraction((0xFF, 0xFF, 0xFF), 2)
    left0 = img.crop(0, 1, 1, img.height - 2).fraction((0xE3, 0xE3, 0xE3), 2)
    return top0 > 0.9 and top1 > 0.9 and left0 > 0.9


def _host(argv, env, timeout=15, check=True):
    """Run a host program to completion; return what it printed."""
    p = subprocess.run(list(map(str, argv)), env=env, timeout=timeout,
                       capture_output=True, text=True, errors="replace")
    if check and p.returncode != 0:
        raise E2EError(f"{argv} failed ({p.returncode}): {p.stderr.strip()}")
    return p.stdout


class XDisplay:
    """The X display the programs show on (a private Xvfb unless one is
    named): its top-level windows, its pictures and its pointer's shape."""

    def __init__(self, name=None, screen="1280x1024x24"):
        self.name, self.screen = name, screen
        self.env = None  # this process's environment with DISPLAY, once open
        self._xvfb = self._root = None
        self._shots = 0

    def open(self):
        if not self.name:
            self._start_xvfb()
        self.env = {**os.environ, "DISPLAY": self.name}

    def close(self):
        if self._xvfb:
            # SIGTERM lets Xvfb remove its lock file and socket.
            self._xvfb.terminate()
            try:
                self._xvfb.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait(timeout=10)
            self._xvfb = None

    def _start_xvfb(self):
        r, w = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", self.screen, "-nolisten", "tcp", "-noreset"],
            pass_fds=[w], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent)
        os.close(w)
        # Xvfb writes the number and the newline separately and dies if the
        # pipe is closed in between, so read up to the newline.
        text, deadline = b"", time.monotonic() + 20
        try:
            while not text.endswith(b"\n") and time.monotonic() < deadline:
                if select.select([r], [], [], 0.5)[0]:
                    chunk = os.read(r, 32)
                    if not chunk:
                        break
                    text += chunk
        finally:
            os.close(r)
        if not text.endswith(b"\n"):
            raise E2EError(f"Xvfb did not report a display number (got {text!r})")
        self.name = f":{text.decode().strip()}"

    def x(self, *argv, timeout=15, check=True):
        """Run a host program (xdotool, ImageMagick, ...) on this display."""
        return _host(argv, self.env, timeout, check)

    def window(self, wid):
        """Geometry and state of one X window, or None if it is gone."""
        p = subprocess.run(["xwininfo", "-id", str(wid)], env=self.env, timeout=15,
                           capture_output=True, text=True, errors="replace")
        if p.returncode != 0:
            return None
        info = dict(re.findall(r"^\s*([A-Z][\w -]+):\s+(.*)$", p.stdout, re.M))
        name = re.search(r'Window id: \S+ (?:"(.*)")?', p.stdout)
        return Window(int(wid), (name.group(1) or "") if name else "",
                      int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                      int(info["Width"]), int(info["Height"]),
                      info.get("Map State") == "IsViewable",
                      info.get("Override Redirect State") == "yes")

    def windows(self, pid=None, name=None, visible=True):
        """Top-level X windows by owning pid and/or name regex, in stacking order.
        The launcher's window has an empty title, so no name means "any name"."""
        argv = ["xdotool", "search", "--all", "--maxdepth", "1"] + (["--onlyvisible"] if visible else [])
        argv += ["--pid", str(pid)] if pid else []
        argv += ["--name", name or ""]
        ids = [int(i) for i in self.x(*argv, check=False).split()]
        return [w for w in (self.window(i) for i in ids if i != self._root_id()) if w]

    def _root_id(self):
        if not self._root:
            self._root = int(re.search(r"Window id: (\S+)", self.x("xwininfo", "-root")).group(1), 16)
        return self._root

    def screenshot(self, label="shot"):
        """Save the whole screen under ARTIFACTS and return it as an Image."""
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        self._shots += 1
        path = ARTIFACTS / f"{os.getpid()}-{self._shots:02d}-{label}.png"
        self.x(IMPORT, "-display", self.name, "-window", "root", path, timeout=30)
        return Image.load(path)

    def grab(self, win, label="window"):
        """Screenshot cropped to a window's rectangle."""
        return self.screenshot(label).crop(win.x, win.y, win.width, win.height)

    def cursor(self):
        """The pointer's picture as X shows it: (width, height, xhot, yhot, argb rows)."""
        x11 = ctypes.CDLL("libX11.so.6")
        xfixes = ctypes.CDLL("libXfixes.so.3")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        display = x11.XOpenDisplay(self.name.encode())
        if not display:
            raise E2EError(f"cannot open display {self.name}")
        try:
            image = xfixes.XFixesGetCursorImage(display)
            if not image:
                raise E2EError("no cursor image")
            c = image.contents
            w, h = c.width, c.height
            rows = [[c.pixels[y * w + x] & 0xFFFFFFFF for x in range(w)] for y in range(h)]
            result = (w, h, c.xhot, c.yhot, rows)
            x11.XFree(image)
            return result
        finally:
            x11.XCloseDisplay(display)


class Input:
    """Mouse and keyboard as a user's come: xdotool on the display.

    No `mousemove --sync`: xdotool 3 waits forever when the pointer is
    already there.  The X server orders the warp before the button event."""

    def __init__(self, display):
        self.display = display

    def move(self, x, y):
        self.display.x("xdotool", "mousemove", x, y)

    def click(self, x, y, button=1):
        self.display.x("xdotool", "mousemove", x, y, "click", button)

    def mouse_down(self, x, y, button=1):
        self.display.x("xdotool", "mousemove", x, y, "mousedown", button)

    def mouse_up(self, x, y, button=1):
        self.display.x("xdotool", "mousemove", x, y, "mouseup", button)

    def key(self, *names):
        """Type keys to the focused window, e.g. key("Return") to accept a message box."""
        self.display.x("xdotool", "key", *names)

    def drag(self, x0, y0, x1, y1, button=1, steps=10, pause=0.02):
        """Press at (x0,y0), move in steps so the app sees WM_MOUSEMOVE, release at (x1,y1)."""
        argv = ["xdotool", "mousemove", x0, y0, "mousedown", button]
        for i in range(1, steps + 1):
            argv += ["sleep", pause, "mousemove",
                     x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps]
        self.display.x(*argv, "sleep", pause, "mouseup", button)


class WinePrefix:
    """A Wine prefix held by one session at a time (tests share C:\\ and the
    wineserver), made once and reused: its commands, registry and files on
    drive C:, and the Unix processes that run in it."""

    def __init__(self, path=PREFIX, lock_timeout=900):
        self.path = Path(path).resolve()
        self.drive_c = self.path / "drive_c"
        self.lock_timeout = lock_timeout
        self.env = None  # what every Wine command here runs with, once open
        self._lock = None

    # ---- lifecycle -------------------------------------------------------
    def lock(self):
        self.path.parent.mkdir(parents=True, exist_ok=True)
        self._lock = open(f"{self.path}.lock", "w")
        wait_until(self._try_lock, self.lock_timeout, f"lock on {self.path}", 0.2)

    def _try_lock(self):
        try:
            fcntl.flock(self._lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            return True
        except BlockingIOError:
            return False

    def unlock(self):
        if self._lock:
            self._lock.close()
            self._lock = None

    def open(self, display, extra_env):
        """Make the prefix if it is not there, and start its server."""
        env = dict(os.environ)
        # No winemenubuilder: it would mirror the package's shortcuts into this
        # machine's own menus and keep running beside the next test.
        env.update(WINEPREFIX=str(self.path), WINEARCH="win64", WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d", DISPLAY=display)
        env.update(extra_env)
        self.env = env
        stamp = self.path / ".talvo-e2e-ready"
        if not stamp.exists():
            # A prefix without the stamp is a half-made one from an interrupted run.
            shutil.rmtree(self.path, ignore_errors=True)
            self._wine_cmd(["wineboot", "-i"], timeout=300)
            self._wine_cmd(["wineserver", "-w"], timeout=60)
            stamp.write_text("ok\n")
        # Keeping the server (and Wine's helpers) up between apps makes each
        # start faster; a finite linger still frees everything if we crash.
        subprocess.run(["wineserver", "-p30"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def stop(self):
        """End the server and everything still running in the prefix."""
        if not self.env:
            return
        with contextlib.suppress(Exception):
            subprocess.run(["wineserver", "-k"], env=self.env, timeout=15,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        with contextlib.suppress(E2EError):
            wait_until(lambda: not self.processes(), 10, "the prefix to be empty")
        for pid in self.processes():
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)

    # ---- Wine commands ---------------------------------------------------
    def _wine_cmd(self, argv, timeout=60):
        # Files, not pipes: a daemon that Wine starts may inherit and hold a pipe open.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            p = subprocess.run(argv, env=self.env, timeout=timeout, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            p.stdout = out.read().decode(errors="replace")
            p.stderr = err.read().decode(errors="replace")
        if p.returncode != 0:
            raise E2EError(f"{argv} failed ({p.returncode}): {p.stderr[-2000:]}")
        return p

    def wine(self, *args, timeout=60):
        """Run a Windows command to completion (e.g. 'reg', 'query', ...)."""
        return self._wine_cmd(["wine", *map(str, args)], timeout)

    def import_reg(self, text):
        path = self.drive_c / "talvo-e2e.reg"
        path.write_text(text.replace("\n", "\r\n"), encoding="ascii")
        self.wine("regedit", "/S", r"C:\talvo-e2e.reg")
        path.unlink()

    def set_dpi(self, dpi):
        """The DPI every program started from now on sees (96 at each session start)."""
        self.import_reg("REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                        f'"LogPixels"=dword:{dpi:08x}\n')

    def processes(self, user_only=False):
        """Live pids of Unix processes belonging to this prefix."""
        needle = f"WINEPREFIX={self.path}".encode()
        pids = []
        for d in Path("/proc").iterdir():
            if not d.name.isdigit():
                continue
            try:
                if needle not in (d / "environ").read_bytes().split(b"\0"):
                    continue
                if (d / "stat").read_text().rsplit(")", 1)[1].split()[0] == "Z":
                    continue
                argv0 = (d / "cmdline").read_bytes().split(b"\0")[0].decode(errors="replace")
            except OSError:
                continue
            if user_only and re.split(r"[\\/]", argv0)[-1].lower() in WINE_SYSTEM:
                continue
            pids.append(int(d.name))
        return pids

    # ---- files on drive C ------------------------------------------------
    def host_path(self, win_path):
        """C:\\A\\B -> <prefix>/drive_c/A/B (case as given)."""
        m = re.fullmatch(r"[cC]:[\\/]*(.*)", win_path)
        if not m:
            raise ValueError(f"not a C: path: {win_path}")
        return self.drive_c.joinpath(*[p for p in re.split(r"[\\/]", m.group(1)) if p])

    def read_bytes(self, win_path):
        return self.host_path(win_path).read_bytes()

    def put_file(self, host_src, win_path):
        dst = self.host_path(win_path)
        dst.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(host_src, dst)
        return dst

    def set_immutable(self, win_path, on=True):
        """Make Wine refuse writes to a file or folder (as root it ignores read-only)."""
        _host(["chattr", "+i" if on else "-i", self.host_path(win_path)], self.env)

    def remove(self, win_path):
        """Delete a file or folder on C: (also clears chattr +i left by a test)."""
        p = self.host_path(win_path)
        if p.is_symlink():  # a link a test planted; what it leads to stays
            p.unlink()
        elif p.exists():
            subprocess.run(["chattr", "-R", "-i", str(p)], capture_output=True, timeout=10)
            shutil.rmtree(p) if p.is_dir() else p.unlink()


class App:
    """One Windows program started with `wine`."""

    def __init__(self, display, popen, label, stderr_log):
        self.display, self.popen, self.label = display, popen, label
        self.stderr_log = stderr_log
        self.pid = popen.pid
        self.started = time.monotonic()
        self.exited_at = None

    def running(self):
        if self.exited_at is None and self.popen.poll() is not None:
            self.exited_at = time.monotonic()
        return self.exited_at is None

    @property
    def returncode(self):
        return self.popen.returncode

    def windows(self):
        return self.display.windows(pid=self.pid)

    def wait_window(self, timeout=30, name=None, min_size=2, exclude=()):
        """First visible top-level window of this process, optionally by name
        regex; exclude takes windows (or ids) already known, e.g. to catch a
        message box appearing over the main window."""
        skip = {getattr(w, "id", w) for w in exclude}

        def find():
            if not self.running():
                raise E2EError(f"{self.label} exited ({self.returncode}) before showing a window")
            wins = [w for w in self.display.windows(pid=self.pid, name=name)
                    if w.width >= min_size and w.height >= min_size and w.id not in skip]
            return wins[0] if wins else None
        return wait_until(find, timeout, f"a window of {self.label}")

    def wait_no_window(self, timeout=10):
        """Wait until the process has no visible window (hidden or gone)."""
        wait_until(lambda: not self.running() or not self.windows(), timeout,
                   f"{self.label} to hide its windows", interval=0.02)
        return time.monotonic()

    def wait_exit(self, timeout=30):
        """Wait for the process to end; return the monotonic time it was seen ending."""
        wait_until(lambda: not self.running(), timeout, f"{self.label} to exit", interval=0.01)
        return self.exited_at

    def kill(self):
        if self.running():
            with contextlib.suppress(ProcessLookupError):
                os.kill(self.pid, signal.SIGKILL)
            with contextlib.suppress(subprocess.TimeoutExpired):
                self.popen.wait(timeout=10)
        self.running()


class Programs:
    """The Windows programs a session starts in its prefix, each an App whose
    stderr is kept in a file; ended after each test and reaped."""

    def __init__(self, prefix, display, exe=EXE):
        self.prefix, self.display, self.exe = prefix, display, Path(exe)
        self.apps = []

    def run(self, exe=None, *args, env=None, cwd=None):
        """Start a Windows exe (host path) without waiting; returns an App."""
        exe = Path(exe or self.exe)
        if not exe.exists():
            raise E2EError(f"missing {exe}")
        # Wine reports a crash on stderr even with WINEDEBUG=-all; a file, not
        # a pipe, as Wine's daemons may inherit it and keep it open.
        ARTIFACTS.mkdir(parents=True, exist_ok=True)
        log = ARTIFACTS / f"{os.getpid()}-{len(self.apps) + 1:03d}-{exe.stem}.stderr"
        with open(log, "wb") as stderr:
            popen = subprocess.Popen(["wine", str(exe), *map(str, args)], cwd=cwd or exe.parent,
                                     env={**self.prefix.env, **(env or {})},
                                     stdout=subprocess.DEVNULL, stderr=stderr,
                                     preexec_fn=_die_with_parent)
        app = App(self.display, popen, exe.name, log)
        self.apps.append(app)
        return app

    def probe(self, *args, timeout=60):
        """Run probe.exe (tests/e2e/probe.cpp) in the prefix; return what it printed."""
        return self.prefix.wine(str(PROBE_EXE), *args, timeout=timeout).stdout

    def kill_all(self):
        """Kill everything tests started in the prefix, keeping Wine's own helpers."""
        for app in self.apps:
            app.kill()
        for pid in self.prefix.processes(user_only=True):
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, signal.SIGKILL)
        wait_until(lambda: not self.prefix.processes(user_only=True), 10, "test processes to die")
        self.reap()

    def close(self):
        """Kill the programs started here; keep only the stderr logs with something in them."""
        for app in self.apps:
            app.kill()
            with contextlib.suppress(OSError):
                if app.stderr_log.stat().st_size == 0:
                    app.stderr_log.unlink()

    def reap(self):
        """Collect the ended children of this process (Wine's helpers come back
        to it as the child subreaper) so that none linger as zombies."""
        tracked = {a.pid for a in self.apps if a.exited_at is None}
        for d in Path("/proc").iterdir():
            if not d.name.isdigit() or int(d.name) in tracked:
                continue
            with contextlib.suppress(OSError, ChildProcessError):
                fields = (d / "stat").read_text().rsplit(")", 1)[1].split()
                if fields[0] == "Z" and int(fields[1]) == os.getpid():
                    os.waitpid(int(d.name), os.WNOHANG)

    def describe(self):
        """What runs in the prefix, and the state and stderr of the last programs started."""
        lines = []
        for pid in self.prefix.processes():
            with contextlib.suppress(OSError):
                argv = (Path("/proc") / str(pid) / "cmdline").read_bytes().split(b"\0")
                lines.append(f"  process {pid}: {b' '.join(argv).decode(errors='replace').strip()}")
        for app in self.apps[-3:]:
            state = "running" if app.running() else f"ended ({app.returncode})"
            lines.append(f"  {app.label} {app.pid}: {state}")
            with contextlib.suppress(OSError):
                tail = app.stderr_log.read_text(errors="replace").strip()[-1500:]
                lines += [f"    {line}" for line in tail.splitlines()]
        return lines


class ClientRecords:
    """What the stand-in client wrote: one record-<n>.txt per start, in CLIENT_DIR."""

    def __init__(self, prefix):
        self.folder = prefix.host_path(CLIENT_DIR)

    def all(self):
        """Parsed record files, oldest first."""
        files = sorted(self.folder.glob("record-*.txt"), key=lambda f: int(f.stem.split("-")[1]))
        out = []
        for f in files:
            lines = f.read_text(encoding="utf-8").splitlines()
            out.append(dict(line.split("=", 1) for line in lines if "=" in line))
        return out

    def clear(self):
        for f in self.folder.glob("record-*.txt"):
            f.unlink()

    def wait(self, count=1, timeout=45):
        """Wait for at least count complete records (the last key is written last)."""
        def done():
            recs = self.all()
            return recs if len(recs) >= count and all("general.UserName" in r for r in recs) else None
        return wait_until(done, timeout, f"{count} client record(s)")

    def listing(self):
        return f"  {CLIENT_DIR}: {', '.join(sorted(f.name for f in self.folder.iterdir()))}"


class _Via:
    """A session method or attribute that one of its helpers holds."""

    def __init__(self, helper, name=None):
        self.helper, self.name = helper, name

    def __set_name__(self, owner, name):
        self.name = self.name or name

    def __get__(self, session, owner=None):
        return self if session is None else getattr(getattr(session, self.helper), self.name)


class Session:
    """Xvfb + a ready Wine prefix, held exclusively for the session's lifetime.

    One helper per job, each usable on its own: `xdisplay` (the X display, its
    windows and pictures), `input` (mouse and keyboard), `wineprefix` (the
    prefix, its registry and files), `programs` (what runs in it) and `client`
    (the stand-in client's records).  What tests call on a session is theirs."""

    def __init__(self, display=None, prefix=PREFIX, exe=EXE, client_exe=CLIENT_EXE,
                 screen="1280x1024x24", env=None, lock_timeout=900):
        self.exe, self.client_exe = Path(exe), Path(client_exe)
        self.extra_env = env or {}
        self.xdisplay = XDisplay(display or os.environ.get("TALVO_E2E_DISPLAY"), screen)
        self.input = Input(self.xdisplay)
        self.wineprefix = WinePrefix(prefix, lock_timeout)
        self.programs = Programs(self.wineprefix, self.xdisplay, self.exe)
        self.client = ClientRecords(self.wineprefix)

    def __enter__(self):
        try:
            _set_child_subreaper()
            self.wineprefix.lock()
            self.xdisplay.open()
            self.wineprefix.open(self.xdisplay.name, self.extra_env)
            # The state every test starts from: the stand-in client registered for .jnj.
            self.wineprefix.import_reg(REGISTRY)
            if self.client_exe.exists():
                self.wineprefix.put_file(self.client_exe, CLIENT_DIR + r"\jnj_client.exe")
            return self
        except BaseException:
            self.close()
            raise

    def __exit__(self, *exc):
        self.close()

    def close(self):
        self.programs.close()
        self.wineprefix.stop()
        self.xdisplay.close()
        self.programs.reap()
        self.wineprefix.unlock()

    def wait_records(self, count=1, timeout=45):
        """Wait for at least count complete client records.  Generous: the Wine
        programs that start the client (cmd, start, the shell) are not the
        launcher's to hurry."""
        try:
            return self.client.wait(count, timeout)
        except E2EError as e:
            raise E2EError(f"{e}\n{self.describe()}") from None

    def describe(self):
        """What ran in the prefix and what the programs started here said: for
        a failure that only shows once in a while."""
        return "\n".join(self.programs.describe() + [self.client.listing()])

    # The X display and input.
    display = _Via("xdisplay", "name")
    x = _Via("xdisplay")
    window = _Via("xdisplay")
    windows = _Via("xdisplay")
    screenshot = _Via("xdisplay")
    grab = _Via("xdisplay")
    cursor = _Via("xdisplay")
    move = _Via("input")
    click = _Via("input")
    mouse_down = _Via("input")
    mouse_up = _Via("input")
    key = _Via("input")
    drag = _Via("input")
    # The prefix and its files.
    prefix = _Via("wineprefix", "path")
    drive_c = _Via("wineprefix")
    env = _Via("wineprefix")
    wine = _Via("wineprefix")
    import_reg = _Via("wineprefix")
    set_dpi = _Via("wineprefix")
    wine_processes = _Via("wineprefix", "processes")
    host_path = _Via("wineprefix")
    read_bytes = _Via("wineprefix")
    put_file = _Via("wineprefix")
    set_immutable = _Via("wineprefix")
    remove = _Via("wineprefix")
    # The programs and the client's records.
    apps = _Via("programs")
    run = _Via("programs")
    probe = _Via("programs")
    kill_user_processes = _Via("programs", "kill_all")
    records = _Via("client", "all")
    clear_records = _Via("client", "clear")


class E2ETestCase(unittest.TestCase):
    """One Session per test class; each test is time-bounded and cleaned up after."""

    session_kwargs = {}
    # What the class runs: the launcher, the stand-in client and the probe.
    needs = (EXE, CLIENT_EXE, PROBE_EXE)
    test_timeout = 120       # seconds per test, setUp and tearDown included
    setup_timeout = 420      # a first run creates the prefix

    @classmethod
    def setUpClass(cls):
        missing = [str(p) for p in cls.needs if not Path(p).exists()]
        if missing:
            # A missing program is a broken build, never a pass (nor a skip).
            raise E2EError(f"not built: {', '.join(missing)} "
                           "(build the win64 preset, or set TALVO_WIN64_DIR)")
        with _alarm(cls.setup_timeout, "session setup"):
            cls.session = Session(**cls.session_kwargs).__enter__()

    @classmethod
    def tearDownClass(cls):
        with _alarm(60, "session teardown"):
            cls.session.close()

    def setUp(self):
        signal.signal(signal.SIGALRM, _on_alarm(f"{self.id()} ({self.test_timeout}s)"))
        signal.alarm(self.test_timeout)
        self.addCleanup(signal.alarm, 0)
        self.addCleanup(self.session.kill_user_processes)


def _on_alarm(what):
    def handler(signum, frame):
        raise E2EError(f"time limit exceeded: {what}")
    return handler


@contextlib.contextmanager
def _alarm(seconds, what):
    old = signal.signal(signal.SIGALRM, _on_alarm(what))
    signal.alarm(seconds)
    try:
        yield
    finally:
        signal.alarm(0)
        signal.signal(signal.SIGALRM, old)
