"""The MSI package: its tables as msiinfo reads them, and install, upgrade and
uninstall with msiexec in the Wine prefix.

The packages come from the win64 build (targets msi and msi-tests):
  TALVO_MSI   build/win64/talvo-office-<version>.msi (default: the newest there)
  beside it   msi-test/talvo-office-next.msi     the same program, a newer version
              msi-test/talvo-office-rebuild.msi  the same version built again

Wine notes:
  * Wine's msi puts the per-machine ProgramMenuFolder and DesktopFolder into the
    user's profile, not the All Users one, so shortcuts are looked for anywhere
    on drive C.
  * The prefix's Desktop is a link to $HOME; the desktop-shortcut test swaps in
    a folder of the prefix's own for its duration.
  * winemenubuilder is kept off so installs add nothing to the host's menus.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

import layout
from harness import EXE, WIN64, E2EError, E2ETestCase, wait_until


def _newest_msi():
    found = sorted(WIN64.glob("talvo-office-*.msi"), key=lambda p: p.stat().st_mtime)
    return found[-1] if found else WIN64 / "talvo-office.msi"


MSI = Path(os.environ.get("TALVO_MSI") or _newest_msi())
NEXT_MSI = MSI.parent / "msi-test" / "talvo-office-next.msi"
REBUILD_MSI = MSI.parent / "msi-test" / "talvo-office-rebuild.msi"
ICON = Path(__file__).resolve().parents[2] / "main_window" / "assets" / "app.ico"

# Never changes: it is what makes a newer package replace an older one.
UPGRADE_CODE = "{2012DC5A-44F4-49C8-AAC4-5E428F402354}"
PRODUCT = "TALVO Internet Office"
TALVO_DIR = r"C:\Program Files\TALVO"
INSTALLED_EXE = TALVO_DIR + r"\Internet Office\talvo-office.exe"
SHORTCUT = PRODUCT + ".lnk"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PUBLISHED_KEY = r"HKLM\Software\Classes\Installer\Products"
MSIDB_UPGRADE_ONLY_DETECT = 0x2
MSIDB_UPGRADE_MIN_INCLUSIVE = 0x100
MSIDB_COMPONENT_64BIT = 0x100


# ---- reading packages and files ------------------------------------------
def msi_table(msi, table):
    """Rows of one table as dicts (msiinfo export: names, types, key line, rows)."""
    # msiinfo writes binary columns as files into a folder of the current one.
    with tempfile.TemporaryDirectory() as scratch:
        out = subprocess.run(["msiinfo", "export", str(Path(msi).resolve()), table],
                             check=True, capture_output=True, text=True, timeout=30,
                             cwd=scratch).stdout
    lines = out.split("\r\n") if "\r\n" in out else out.split("\n")
    names = lines[0].split("\t")
    return [dict(zip(names, line.split("\t"))) for line in lines[3:] if line]


def msi_property(msi, name):
    return {r["Property"]: r["Value"] for r in msi_table(msi, "Property")}.get(name)


def msi_summary(msi):
    out = subprocess.run(["msiinfo", "suminfo", str(msi)], check=True, capture_output=True,
                         text=True, timeout=30).stdout
    return dict(line.split(": ", 1) for line in out.splitlines() if ": " in line)


def version_tuple(text):
    return tuple(int(f) for f in text.split("."))


def file_version(pe):
    """FILEVERSION of a PE's version resource, from its VS_FIXEDFILEINFO."""
    at = pe.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        raise ValueError("no version resource")
    ms, ls = struct.unpack_from("<II", pe, at + 8)
    return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def version_string(pe, key):
    """A value of the version resource's string table (keys and values are
    UTF-16, the value DWORD-aligned after the key)."""
    m = re.search(key.encode("utf-16-le") + rb"\0\0(?:\0\0)?((?:[^\0]\0)+)\0\0", pe)
    return m.group(1).decode("utf-16-le") if m else None


def read_shortcut(data):
    """Target and string data of a shell link (.lnk) as Windows wrote them."""
    if data[:4] != b"\x4c\0\0\0":
        raise ValueError("not a shell link")
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos, target = 0x4C, None
    if flags & 0x1:  # HasLinkTargetIDList
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    if flags & 0x2:  # HasLinkInfo
        size, header, info_flags, _, base, _, suffix = struct.unpack_from("<7I", data, pos)
        if header >= 0x24:
            ubase, usuffix = struct.unpack_from("<II", data, pos + 0x1C)
            target = _z16(data, pos + ubase) + _z16(data, pos + usuffix)
        elif info_flags & 0x1:  # VolumeIDAndLocalBasePath
            target = _z8(data, pos + base) + _z8(data, pos + suffix)
        pos += size
    strings = {}
    for bit, name in ((0x4, "name"), (0x8, "relative_path"), (0x10, "working_dir"),
                      (0x20, "arguments"), (0x40, "icon")):
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            width = 2 if flags & 0x80 else 1  # IsUnicode
            raw = data[pos + 2:pos + 2 + count * width]
            # Wine counts the terminating NUL as well.
            strings[name] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
            pos += 2 + count * width
    return target, strings


def _z8(data, at):
    return data[at:data.index(b"\0", at)].decode("latin-1")


def _z16(data, at):
    end = at
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[at:end].decode("utf-16-le")


def packed_guid(guid):
    """The form Windows Installer names product keys with: each field reversed,
    the last two fields byte by byte."""
    h = guid.strip("{}").replace("-", "")
    return (h[7::-1] + h[11:7:-1] + h[15:11:-1]
            + "".join(h[i + 1] + h[i] for i in range(16, 32, 2)))


def sha(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def _tools_and_packages():
    # Missing tools or packages are a broken build, never a pass.
    if not shutil.which("msiinfo"):
        raise E2EError("msiinfo not installed (scripts/install-deps.sh)")
    for msi in (MSI, NEXT_MSI, REBUILD_MSI):
        if not msi.exists():
            raise E2EError(f"{msi} not built (cmake --build --preset win64 --target msi-tests)")


# ---- the package's tables, no Wine ----------------------------------------
class PackageTablesTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        _tools_and_packages()

    def test_product_version_and_copyright_match_the_exe(self):
        props = {r["Property"]: r["Value"] for r in msi_table(MSI, "Property")}
        self.assertEqual(props["ProductName"], PRODUCT)
        self.assertEqual(props["Manufacturer"], "TALVO")
        self.assertEqual(props["ALLUSERS"], "1", "a per-machine package")
        self.assertEqual(props["UpgradeCode"], UPGRADE_CODE)
        self.assertEqual(props["ARPPRODUCTICON"], "app.ico")
        self.assertIn("app.ico", [r["Name"] for r in msi_table(MSI, "Icon")])
        self.assertEqual(msi_summary(MSI)["Template"], "x64;1033")

        # One source: the package's name, its ProductVersion and the exe's
        # version resource all come from project(VERSION), e.g. 1.01 -> 1.1.0.
        shown = re.fullmatch(r"talvo-office-(\d+)\.(\d\d)\.msi", MSI.name)
        self.assertIsNotNone(shown, MSI.name)
        numeric = (int(shown.group(1)), int(shown.group(2)), 0)
        self.assertEqual(version_tuple(props["ProductVersion"]), numeric)
        pe = EXE.read_bytes()
        self.assertEqual(file_version(pe), numeric + (0,))
        self.assertEqual(version_string(pe, "ProductVersion"), f"{shown[1]}.{shown[2]}")
        self.assertEqual(version_string(pe, "FileVersion"), f"{shown[1]}.{shown[2]}")
        copyright = version_string(pe, "LegalCopyright")
        self.assertRegex(copyright or "", r"^Copyright \(C\) \d{4} TALVO$")
        self.assertEqual(msi_summary(MSI)["Comments"], copyright)

    def test_upgrade_replaces_every_older_or_same_version_and_refuses_newer(self):
        version = msi_property(MSI, "ProductVersion")
        rows = {r["ActionProperty"]: r for r in msi_table(MSI, "Upgrade")}
        self.assertEqual(set(rows), {"TALVO_FOUND", "TALVO_NEWER_FOUND"})
        self.assertTrue(all(r["UpgradeCode"] == UPGRADE_CODE for r in rows.values()))
        found, newer = rows["TALVO_FOUND"], rows["TALVO_NEWER_FOUND"]
        self.assertEqual((found["VersionMin"], found["VersionMax"]), ("0.0.0", ""))
        self.assertEqual(int(found["Attributes"]) & (MSIDB_UPGRADE_ONLY_DETECT
                                                     | MSIDB_UPGRADE_MIN_INCLUSIVE),
                         MSIDB_UPGRADE_MIN_INCLUSIVE, "removes from 0.0.0 on")
        self.assertEqual(newer["VersionMin"], version)
        self.assertEqual(int(newer["Attributes"]) & (MSIDB_UPGRADE_ONLY_DETECT
                                                     | MSIDB_UPGRADE_MIN_INCLUSIVE),
                         MSIDB_UPGRADE_ONLY_DETECT, "detects strictly newer, removes nothing")
        conditions = [r["Condition"] for r in msi_table(MSI, "LaunchCondition")]
        self.assertEqual(conditions, ["NOT TALVO_NEWER_FOUND"])
        # Removing the old product before this one's InstallInitialize: a
        # failed install rolls back to the old one intact.
        seq = {r["Action"]: int(r["Sequence"]) for r in msi_table(MSI, "InstallExecuteSequence")}
        self.assertLess(seq["FindRelatedProducts"], seq["LaunchConditions"])
        self.assertLess(seq["InstallValidate"], seq["RemoveExistingProducts"])
        self.assertLess(seq["RemoveExistingProducts"], seq["InstallInitialize"])
        # The test packages are what they claim to be.
        self.assertGreater(version_tuple(msi_property(NEXT_MSI, "ProductVersion")),
                           version_tuple(version))
        self.assertEqual(msi_property(REBUILD_MSI, "ProductVersion"), version)
        self.assertNotEqual(msi_property(REBUILD_MSI, "ProductCode"),
                            msi_property(MSI, "ProductCode"))

    def test_folders_file_and_shortcuts(self):
        dirs = {r["Directory"]: r for r in msi_table(MSI, "Directory")}

        def path_of(directory):
            parts = []
            while directory != "ProgramFiles64Folder":
                parts.insert(0, dirs[directory]["DefaultDir"].split("|")[-1])
                directory = dirs[directory]["Directory_Parent"]
            return "\\".join(parts)
        files = msi_table(MSI, "File")
        self.assertEqual([f["FileName"].split("|")[-1] for f in files], ["talvo-office.exe"])
        components = {r["Component"]: r for r in msi_table(MSI, "Component")}
        program = components[files[0]["Component_"]]
        self.assertEqual(path_of(program["Directory_"]), r"TALVO\Internet Office")
        self.assertEqual(program["KeyPath"], files[0]["File"])
        self.assertTrue(int(program["Attributes"]) & MSIDB_COMPONENT_64BIT)
        self.assertEqual(program["Condition"], "")

        shortcuts = {r["Directory_"]: r for r in msi_table(MSI, "Shortcut")}
        self.assertEqual(set(shortcuts), {"ProgramMenuFolder", "DesktopFolder"})
        target = f"[#{files[0]['File']}]"  # a plain shortcut, not an advertised one
        for folder, row in shortcuts.items():
            with self.subTest(folder=folder):
                self.assertEqual(row["Name"].split("|")[-1], PRODUCT)
                self.assertEqual(row["Target"], target)
                self.assertEqual(row["Icon_"], "app.ico")
        self.assertEqual(shortcuts["ProgramMenuFolder"]["Component_"], program["Component"])
        desktop = components[shortcuts["DesktopFolder"]["Component_"]]
        # Asked for at install; on when removing, or the removal would skip it.
        self.assertEqual(desktop["Condition"], "DESKTOPSHORTCUT = 1 OR REMOVE")

    def test_nothing_runs_but_the_standard_actions(self):
        self.assertEqual(msi_table(MSI, "CustomAction"), [])
        self.assertEqual(msi_table(MSI, "Binary"), [])


# ---- install, upgrade, uninstall under Wine -------------------------------
class PackageInstallTest(E2ETestCase):
    session_kwargs = {"env": {"WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe="}}

    @classmethod
    def setUpClass(cls):
        _tools_and_packages()
        super().setUpClass()
        cls.timings = {}
        try:
            cls.uninstall_all()  # what an interrupted run may have left
        except BaseException:
            cls.session.close()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.timings:
            print("\nmsiexec under Wine, seconds: " + ", ".join(
                f"{k} {min(v):.2f}-{max(v):.2f}" for k, v in sorted(cls.timings.items())),
                file=sys.stderr)
        super().tearDownClass()

    def setUp(self):
        super().setUp()
        # The shared prefix goes back to "not installed" whatever happened.
        self.addCleanup(self.restore)

    def restore(self):
        self.session.kill_user_processes()
        self.uninstall_all()

    # ---- helpers ---------------------------------------------------------
    @classmethod
    def msiexec(cls, *args, timing=None):
        """Run msiexec silently; return its exit code."""
        argv = ["wine", "msiexec"]
        for a in args:
            argv.append("Z:" + str(a).replace("/", "\\") if isinstance(a, Path) else a)
        t0 = time.monotonic()
        code = subprocess.run(argv + ["/qn"], env=cls.session.env, timeout=300,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        if timing:
            cls.timings.setdefault(timing, []).append(time.monotonic() - t0)
        return code

    def install(self, msi, *props):
        self.assertEqual(self.msiexec("/i", msi, *props, timing="install"), 0, f"install {msi}")

    @classmethod
    def registry(cls, key):
        """A key and its subkeys as {path below key: {value name: data}}."""
        out = cls.session.wine("reg", "query", key, "/s").stdout
        below = key.split("\\", 1)[1]  # reg prints the root in full
        keys, current = {}, None
        for line in out.splitlines():
            if line.startswith("HKEY_"):
                path = line.split("\\", 1)[1]
                current = keys.setdefault(path[len(below):].lstrip("\\"), {})
            elif current is not None:
                m = re.match(r"^ {4}(.*?) {4}(REG_\w+) {4}(.*)$", line)
                if m:
                    current[m.group(1)] = m.group(3)
        return keys

    @classmethod
    def products(cls):
        """Entries of the uninstall list for this program: {ProductCode: values}."""
        return {k: v for k, v in cls.registry(UNINSTALL_KEY).items()
                if v.get("DisplayName") == PRODUCT}

    @classmethod
    def uninstall_all(cls):
        for code in cls.products():
            cls.msiexec("/x", code)
        if cls.products():
            raise E2EError(f"could not uninstall {list(cls.products())}")

    def shortcuts(self):
        """Every shortcut of the program on drive C (links, like Desktop -> $HOME, not followed)."""
        return [Path(d) / SHORTCUT for d, _, files in os.walk(self.session.drive_c)
                if SHORTCUT in files]

    def assert_points_at_program(self, lnk):
        target, strings = read_shortcut(lnk.read_bytes())
        self.assertEqual(target.lower(), INSTALLED_EXE.lower(), lnk)
        self.assertEqual(strings.get("working_dir", "").rstrip("\\").lower(),
                         INSTALLED_EXE.rsplit("\\", 1)[0].lower())
        # The icon is a copy Windows Installer keeps for the product.
        self.assertEqual(self.session.host_path(strings["icon"]).read_bytes(), ICON.read_bytes())

    def assert_installed(self, msi):
        """One entry in the uninstall list, for this package, and its exe in place."""
        products = self.products()
        self.assertEqual(list(products), [msi_property(msi, "ProductCode")])
        entry = next(iter(products.values()))
        self.assertEqual(entry.get("Publisher"), "TALVO")
        self.assertEqual(entry.get("DisplayVersion"), msi_property(msi, "ProductVersion"))
        exe = self.session.host_path(INSTALLED_EXE)
        self.assertEqual(sha(exe), sha(EXE), "the exe is the one built")
        starts = self.shortcuts()
        self.assertEqual(len(starts), 1, starts)
        self.assertEqual(starts[0].parent.name, "Programs")
        self.assertEqual(starts[0].parent.parent.name, "Start Menu")
        self.assert_points_at_program(starts[0])
        return entry

    def assert_uninstalled(self):
        self.assertEqual(self.products(), {})
        self.assertFalse(self.session.host_path(TALVO_DIR).exists(),
                         "the program's folders are gone")
        self.assertEqual(self.shortcuts(), [])

    # ---- tests -----------------------------------------------------------
    def test_install_start_and_uninstall(self):
        self.install(MSI)
        self.assert_installed(MSI)
        # Programs and Features shows the published product's icon (ARPPRODUCTICON),
        # published for the machine.
        published = self.registry(PUBLISHED_KEY + "\\"
                                  + packed_guid(msi_property(MSI, "ProductCode")))
        self.assertEqual(published[""]["ProductName"], PRODUCT)
        self.assertEqual(self.session.host_path(published[""]["ProductIcon"]).read_bytes(),
                         ICON.read_bytes())
        desktop = self.session.drive_c / "users" / os.environ.get("USER", "root") / "Desktop"
        self.assertFalse((desktop / SHORTCUT).exists(), "no desktop shortcut unless asked")

        app = self.session.run(self.session.host_path(INSTALLED_EXE))
        win = app.wait_window(timeout=30)
        wait_until(lambda: self.session.window(win.id).height == layout.HEIGHT, 10,
                   "the finished window")
        self.session.grab(self.session.window(win.id), "installed")
        self.assertEqual(self.session.window(win.id).width, layout.WIDTH)
        self.session.kill_user_processes()

        # The program's data (its working folders and last meeting file) stays.
        meeting = self.session.host_path(layout.MEETING_FILE)
        self.assertTrue(meeting.parent.is_dir(), "start-up makes the working folders")
        made_here = not meeting.exists()
        if made_here:
            meeting.write_bytes(b"[general]\r\n")
            self.addCleanup(meeting.unlink, missing_ok=True)
        before = meeting.read_bytes()
        self.assertEqual(self.msiexec("/x", MSI, timing="uninstall"), 0)
        self.assert_uninstalled()
        self.assertEqual(meeting.read_bytes(), before)

    def test_desktop_shortcut_when_asked_for(self):
        desktop = self.session.drive_c / "users" / os.environ.get("USER", "root") / "Desktop"
        if desktop.is_symlink():
            link = os.readlink(desktop)
            desktop.unlink()
            self.addCleanup(os.symlink, link, desktop)
            desktop.mkdir()
            # Wine's msi removes the folder itself once it is empty.
            self.addCleanup(shutil.rmtree, desktop, ignore_errors=True)
            self.addCleanup(self.restore)  # before the link comes back
        self.install(MSI, "DESKTOPSHORTCUT=1")
        self.assertTrue((desktop / SHORTCUT).is_file())
        self.assert_points_at_program(desktop / SHORTCUT)
        self.assertEqual(len(self.shortcuts()), 2)
        self.assertEqual(self.msiexec("/x", MSI, timing="uninstall"), 0)
        self.assertFalse((desktop / SHORTCUT).exists())
        self.assert_uninstalled()
        with self.assertRaises(E2EError, msg="the shortcut's registry value is gone too"):
            self.session.wine("reg", "query", r"HKLM\Software\TALVO")

    def test_upgrade_in_place_and_no_downgrade(self):
        exe = self.session.host_path(INSTALLED_EXE)

        def mark_installed_exe():
            # Only a newly installed copy is the same as the one built.
            with exe.open("ab") as f:
                f.write(b"installed before")

        self.install(MSI)
        mark_installed_exe()
        # The same version built again (another ProductCode) replaces it.
        self.install(REBUILD_MSI)
        self.assert_installed(REBUILD_MSI)
        mark_installed_exe()
        self.install(NEXT_MSI)
        self.assert_installed(NEXT_MSI)
        # An older package over a newer one fails (1603, of which a Unix exit
        # status keeps the low byte) and changes nothing.
        self.assertEqual(self.msiexec("/i", MSI), 1603 & 0xFF)
        self.assert_installed(NEXT_MSI)
        self.assertEqual(self.msiexec("/x", NEXT_MSI, timing="uninstall"), 0)
        self.assert_uninstalled()


if __name__ == "__main__":
    unittest.main()
