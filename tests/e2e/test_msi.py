"""The MSI package: its tables as msiinfo reads them, and install, upgrade,
repair and uninstall with msiexec in the Wine prefix.

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
  * msiexec takes its command line through Wine's Unix locale: a property with
    Chinese characters needs a UTF-8 locale (LANG=C.UTF-8) for that call.
    `reg query` prints them as "?", so registry values are read from
    `reg export` (UTF-16) instead.
  * Wine's shortcuts hold the target's path in the ANSI code page only (its
    LinkInfo has no Unicode path): Chinese characters read back as "?". The
    working folder is stored in Unicode.
  * `msiexec /f` is not implemented: a repair is /i with REINSTALL=ALL.
  * Wine does not enforce secure properties (SecureCustomProperties): what a
    managed install would drop is checked in the tables only.
  * Wine's msi applies no MsiLockPermissionsEx row, and an uninstall leaves
    an empty folder a component made: locks and permanent components are
    checked in the tables only. Its verbose log (/l*v) lists the properties
    at the end ("Property(S): NAME = value").
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
DEFAULT_FOLDER = TALVO_DIR + r"\Internet Office"
INSTALLED_EXE = DEFAULT_FOLDER + r"\talvo-office.exe"
SHORTCUT = PRODUCT + ".lnk"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PUBLISHED_KEY = r"HKLM\Software\Classes\Installer\Products"
SETTINGS_KEY = r"HKLM\Software\TALVO\Internet Office"
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_VALUE = PRODUCT
MSIDB_UPGRADE_ONLY_DETECT = 0x2
MSIDB_UPGRADE_MIN_INCLUSIVE = 0x100
MSIDB_COMPONENT_64BIT = 0x100
MSIDB_COMPONENT_TRANSITIVE = 0x40
MSIDB_COMPONENT_PERMANENT = 0x10
MSIDB_LOCATOR_64BIT_RAW = 0x12
MEETING_ROOT = r"C:\MrvPrg"
MEETING_FOLDER = MEETING_ROOT + r"\Tamsell"
# Access rights, as an SDDL string may give them.
FILE_ALL_ACCESS = 0x1F01FF
FILE_LIST_DIRECTORY, FILE_ADD_FILE, FILE_ADD_SUBDIRECTORY = 0x1, 0x2, 0x4
FILE_WRITE_DATA, FILE_APPEND_DATA = 0x2, 0x4
FILE_WRITE_EA, FILE_TRAVERSE, FILE_DELETE_CHILD, FILE_WRITE_ATTRIBUTES = 0x10, 0x20, 0x40, 0x100
DELETE, WRITE_DAC, WRITE_OWNER = 0x10000, 0x40000, 0x80000
FILE_GENERIC_READ_EXECUTE = 0x1200A9
ANY_WRITE = (FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD
             | FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER)
SDDL_RIGHTS = {"FA": FILE_ALL_ACCESS, "FR": 0x120089, "FW": 0x120116, "FX": 0x1200A0,
               "SD": DELETE, "WD": WRITE_DAC, "WO": WRITE_OWNER, "GA": FILE_ALL_ACCESS}


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


def msiinfo_tables(msi):
    return subprocess.run(["msiinfo", "tables", str(msi)], check=True, capture_output=True,
                          text=True, timeout=30).stdout.split()


def msi_property(msi, name):
    return {r["Property"]: r["Value"] for r in msi_table(msi, "Property")}.get(name)


def msi_summary(msi):
    out = subprocess.run(["msiinfo", "suminfo", str(msi)], check=True, capture_output=True,
                         text=True, timeout=30).stdout
    return dict(line.split(": ", 1) for line in out.splitlines() if ": " in line)


def parse_sddl(text):
    """Owner, DACL flags and allow entries of an SDDL string: (owner, flags,
    {trustee: [(ace flags, rights)]}); a deny or any other entry fails."""
    m = re.fullmatch(r"O:(\w+)G:(\w+)D:([A-Z]*)((?:\([^)]*\))*)", text)
    if not m:
        raise ValueError(f"not owner, group and DACL: {text}")
    aces = {}
    for ace in re.findall(r"\(([^)]*)\)", m.group(4)):
        kind, flags, rights, _, _, trustee = ace.split(";")
        if kind != "A":
            raise ValueError(f"not an allow entry: {ace}")
        mask = int(rights, 16) if rights.startswith("0x") else sum(
            SDDL_RIGHTS[rights[i:i + 2]] for i in range(0, len(rights), 2))
        aces.setdefault(trustee, []).append((flags, mask))
    return m.group(1), m.group(3), aces


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


# ---- the program file the package ships, no Wine ---------------------------
class ExecutableTest(unittest.TestCase):
    OBJDUMP = "x86_64-w64-mingw32-objdump"
    # IMAGE_DLLCHARACTERISTICS_*
    MITIGATIONS = {"HIGH_ENTROPY_VA": 0x20, "DYNAMIC_BASE": 0x40, "NX_COMPAT": 0x100,
                   "TERMINAL_SERVER_AWARE": 0x8000}

    def test_mitigations_imports_and_stack_protector(self):
        if not shutil.which(self.OBJDUMP):
            raise E2EError(f"{self.OBJDUMP} not installed (scripts/install-deps.sh)")
        dump = subprocess.run([self.OBJDUMP, "-p", str(EXE)], check=True, capture_output=True,
                              text=True, timeout=30).stdout
        flags = int(re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)", dump, re.M).group(1), 16)
        for name, bit in self.MITIGATIONS.items():
            self.assertTrue(flags & bit, f"{name} missing from {flags:#x}")
        # Without its relocations the loader cannot move it, flag or not.
        self.assertNotIn("relocations stripped", dump)
        # Anything more is loaded when first needed; advapi32 here would be
        # libssp seeding its guard through the crypto API before the first picture.
        self.assertEqual(sorted(d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)),
                         ["gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll"])

        # The exe is stripped; the link map says what went into it.
        linked = EXE.with_suffix(".map").read_text()
        members = re.findall(r"^(\S+\((\S+)\))\n\s+\S+ \((\w+)\)$", linked, re.M)
        wanted_by = {member: symbol for _, member, symbol in members}
        self.assertRegex(wanted_by.get("stack_guard.cpp.obj", ""), r"^__stack_chk_(guard|fail)$",
                         "the program's code is protected, by the program's own guard")
        self.assertNotIn("ssp.o", wanted_by, "libssp's guard, seeded through the crypto API")
        self.assertTrue([m for m in wanted_by if m.endswith("-chk.o")],
                        "no checked buffer function linked: is _FORTIFY_SOURCE still given?")


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
        manifest = re.search(rb'name="Talvo\.InternetOffice" version="([\d.]+)"', pe)
        self.assertEqual(version_tuple(manifest.group(1).decode()), numeric + (0,))
        self.assertIn(f"Ver:{shown[1]}.{shown[2]}".encode("utf-16-le"), pe, "the caption")
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

    def test_folders_made_and_locked_by_the_package(self):
        # Wine's msi ignores these permissions: what Windows applies is what
        # the tables say.
        dirs = {r["Directory"]: r for r in msi_table(MSI, "Directory")}
        made = {r["Directory_"] for r in msi_table(MSI, "CreateFolder")}
        locks = {r["LockObject"]: r for r in msi_table(MSI, "MsiLockPermissionsEx")}
        tables = {r["Table"] for r in locks.values()}
        self.assertEqual(tables, {"CreateFolder"})
        self.assertLessEqual(set(locks), made, "only a created folder can be locked")
        self.assertNotIn("LockPermissions", msiinfo_tables(MSI), "both tables fail the install")
        meeting = next(d for d, r in dirs.items() if r["DefaultDir"].split("|")[-1] == "Tamsell")
        root = dirs[meeting]["Directory_Parent"]
        self.assertEqual(dirs[root]["DefaultDir"].split("|")[-1], "MrvPrg")
        self.assertEqual(msi_property(MSI, root), "C:\\MrvPrg\\", "on C: wherever TARGETDIR is")
        self.assertFalse(root.isupper(), "private: no command line moves it")
        self.assertEqual(set(locks), {"INSTALLDIR", root, meeting})
        # Folders made before CreateFolders, whose files inherit the lock.
        seq = {r["Action"]: int(r["Sequence"]) for r in msi_table(MSI, "InstallExecuteSequence")}
        self.assertLess(seq["CreateFolders"], seq["InstallFiles"])
        # The install folder is locked every time; the meeting folders only
        # when the package makes them: a C:\MrvPrg that exists already may
        # be a user's, with Tamsell (or itself) a junction to another folder.
        self.assertEqual(locks["INSTALLDIR"]["Condition"], "")
        found = self.meeting_root_search()
        for folder in (root, meeting):
            self.assertEqual(locks[folder]["Condition"], f"NOT {found}", folder)
        # And an uninstall never removes them (nor the old product's removal
        # at an upgrade), or the next install would make them unlocked.
        components = {r["Component"]: r for r in msi_table(MSI, "Component")}
        made_by = {r["Directory_"]: r["Component_"] for r in msi_table(MSI, "CreateFolder")}
        for folder in (root, meeting):
            component = components[made_by[folder]]
            self.assertEqual(component["Directory_"], folder)
            self.assertTrue(int(component["Attributes"]) & MSIDB_COMPONENT_PERMANENT, folder)
        self.assertFalse(any(int(components[made_by[d]]["Attributes"])
                             & MSIDB_COMPONENT_PERMANENT for d in ("INSTALLDIR", "TALVODIR")))

        def checked(folder):
            owner, flags, aces = parse_sddl(locks[folder]["SDDLText"])
            self.assertEqual(owner, "BA")
            self.assertIn("P", flags, "nothing inherited from the folder above")
            for admin in ("SY", "BA"):
                self.assertIn(("OICI", FILE_ALL_ACCESS), aces.pop(admin))
            self.assertNotIn("CO", aces, "CREATOR OWNER")
            self.assertNotIn("WD", aces, "Everyone")
            return aces

        with self.subTest("install folder"):
            self.assertEqual(checked("INSTALLDIR"), {"BU": [("OICI", FILE_GENERIC_READ_EXECUTE)]})
        with self.subTest("C:\\MrvPrg"):
            users = checked(root).pop("BU")
            self.assertTrue(all((rights & ANY_WRITE) == 0 and "IO" not in flags
                                for flags, rights in users), users)
            self.assertTrue(any(rights & FILE_TRAVERSE for _, rights in users))
        with self.subTest("C:\\MrvPrg\\Tamsell"):
            aces = checked(meeting)
            on_folder = [r for f, r in aces["BU"] if "IO" not in f]
            self.assertEqual(len(on_folder), 1, aces)
            self.assertEqual(on_folder[0] & (FILE_ADD_FILE | FILE_DELETE_CHILD | FILE_TRAVERSE),
                             FILE_ADD_FILE | FILE_DELETE_CHILD | FILE_TRAVERSE,
                             "users add files and replace another account's")
            self.assertEqual(on_folder[0] & (FILE_ADD_SUBDIRECTORY | DELETE | WRITE_DAC
                                             | WRITE_OWNER | FILE_WRITE_ATTRIBUTES), 0,
                             "no subfolder (a junction), no deleting or re-permissioning")
            # Every file made there: any account rewrites and replaces it,
            # and its owner gains nothing more (OWNER RIGHTS).
            for trustee in ("BU", "S-1-3-4"):
                on_files = [r for f, r in aces.pop(trustee) if f == "OIIO"]
                self.assertEqual(len(on_files), 1, trustee)
                self.assertEqual(on_files[0] & (FILE_WRITE_DATA | DELETE),
                                 FILE_WRITE_DATA | DELETE, trustee)
                self.assertEqual(on_files[0] & (WRITE_DAC | WRITE_OWNER), 0, trustee)
            self.assertEqual(aces, {})

    def meeting_root_search(self):
        """The property AppSearch sets when C:\\MrvPrg exists, checked for
        being a search for that folder, done before anything uses it."""
        searches = {r["Property"]: r["Signature_"] for r in msi_table(MSI, "AppSearch")}
        found = [p for p, sig in searches.items() if sig == "MeetingRootSearch"]
        self.assertEqual(len(found), 1, searches)
        self.assertTrue(found[0].isupper(), "AppSearch sets public properties only")
        self.assertNotIn("MeetingRootSearch", [r["Signature"] for r in msi_table(MSI, "Signature")],
                         "no file signature: a search for the folder itself")
        rows = [r for r in msi_table(MSI, "DrLocator") if r["Signature_"] == "MeetingRootSearch"]
        self.assertEqual(len(rows), 1, rows)
        self.assertEqual(rows[0]["Parent"], "", "a full path, not searched for on every drive")
        self.assertEqual(rows[0]["Path"].rstrip("\\").lower(), MEETING_ROOT.lower())
        self.assertIn(rows[0]["Depth"], ("", "0"))
        for table in ("InstallUISequence", "InstallExecuteSequence"):
            seq = {r["Action"]: int(r["Sequence"]) for r in msi_table(MSI, table)}
            with self.subTest(table):
                self.assertLess(seq["AppSearch"], seq["LaunchConditions"])
                self.assertLess(seq["AppSearch"], seq["CostInitialize"])
        return found[0]

    def test_what_wine_does_not_enforce(self):
        # An elevated install started by a user who is no administrator keeps
        # only the secure public properties; the install folder is not one.
        secure = msi_property(MSI, "SecureCustomProperties").split(";")
        self.assertLessEqual({"DESKTOPSHORTCUT", "AUTOSTART", "AUTOSTART_REMEMBERED"}, set(secure))
        self.assertNotIn("INSTALLDIR", secure)
        # Nor the search for C:\MrvPrg: such a client could only switch the
        # meeting folders' lock off with it.
        self.assertNotIn(self.meeting_root_search(), secure)
        # Windows evaluates a component's condition again at a repair only
        # when the component is transitive.
        autostart = {r["Component"]: r for r in msi_table(MSI, "Component")}["Autostart"]
        self.assertTrue(int(autostart["Attributes"]) & MSIDB_COMPONENT_TRANSITIVE)

    def test_nothing_runs_but_the_standard_actions(self):
        self.assertEqual(msi_table(MSI, "CustomAction"), [])
        self.assertEqual(msi_table(MSI, "Binary"), [])


# ---- install, upgrade, uninstall under Wine -------------------------------
class MsiexecTestCase(E2ETestCase):
    """A prefix with nothing of the program installed before and after each test."""
    session_kwargs = {"env": {"WINEDLLOVERRIDES": "mscoree,mshtml,winemenubuilder.exe="}}
    exe = EXE  # the program the packages hold

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
        env = {**cls.session.env, "LC_ALL": "C.UTF-8"}  # any characters in properties
        code = subprocess.run(argv + ["/qn"], env=env, timeout=300,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
        if timing:
            cls.timings.setdefault(timing, []).append(time.monotonic() - t0)
        return code

    def install(self, msi, *props):
        self.assertEqual(self.msiexec("/i", msi, *props, timing="install"), 0, f"install {msi}")

    def install_logged(self, msi, *props):
        """Install; return the properties at its end, as its log lists them."""
        log = r"C:\talvo-e2e-msiexec.log"
        self.install(msi, *props, "/l*v", log)
        path = self.session.host_path(log)
        text = path.read_bytes().decode("utf-8", "replace")
        path.unlink()
        props = dict(m.groups() for m in re.finditer(r"^Property\(S\): (\S+) = (.*?)\r?$", text,
                                                      re.MULTILINE))
        self.assertIn("ProductCode", props, "a log that lists the properties")
        return props

    @classmethod
    def registry(cls, key):
        """A key and its subkeys as {path below key: {value name: data}}."""
        # Wine's reg has failed here without a word (once in about ten runs of
        # this file, straight after an upgrade); asking again reads the key.
        for attempt in range(3):
            try:
                out = cls.session.wine("reg", "query", key, "/s").stdout
                break
            except E2EError:
                if attempt == 2:
                    raise
                time.sleep(0.5)
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
    def registry_values(cls, key):
        """The values of one key as {name: data}, {} when it is missing. Read
        from `reg export` (UTF-16), which keeps every character; strings are
        unescaped, other types left as written ("dword:00000001")."""
        export = r"C:\talvo-e2e-export.reg"
        try:
            cls.session.wine("reg", "export", key, export, "/y")
        except E2EError:
            return {}
        path = cls.session.host_path(export)
        text = path.read_bytes().decode("utf-16")
        path.unlink()
        root, below = key.split("\\", 1)
        header = "[" + {"HKLM": "HKEY_LOCAL_MACHINE"}.get(root, root) + "\\" + below + "]"
        values, inside = {}, False
        for line in text.splitlines():
            if line.startswith("["):
                inside = line.lower() == header.lower()
                continue
            m = re.match(r'^(?:"((?:[^"\\]|\\.)*)"|@)=(.*)$', line) if inside else None
            if m:
                data = m.group(2)
                if data.startswith('"'):
                    data = re.sub(r"\\(.)", r"\1", data[1:-1])
                values[re.sub(r"\\(.)", r"\1", m.group(1) or "")] = data
        return values

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

    def assert_points_at_program(self, lnk, folder=DEFAULT_FOLDER):
        target, strings = read_shortcut(lnk.read_bytes())
        # Wine writes the target's path in the ANSI code page only.
        ansi = (folder + r"\talvo-office.exe").encode("cp1252", "replace").decode("cp1252")
        self.assertEqual(target.lower(), ansi.lower(), lnk)
        self.assertEqual(strings.get("working_dir", "").rstrip("\\").lower(), folder.lower())
        # The icon is a copy Windows Installer keeps for the product.
        self.assertEqual(self.session.host_path(strings["icon"]).read_bytes(), ICON.read_bytes())

    def assert_installed(self, msi, folder=DEFAULT_FOLDER):
        """One entry in the uninstall list, for this package, and its exe in the folder."""
        products = self.products()
        self.assertEqual(list(products), [msi_property(msi, "ProductCode")])
        entry = next(iter(products.values()))
        self.assertEqual(entry.get("Publisher"), "TALVO")
        self.assertEqual(entry.get("DisplayVersion"), msi_property(msi, "ProductVersion"))
        exe = self.session.host_path(folder + r"\talvo-office.exe")
        self.assertEqual(sha(exe), sha(self.exe), "the exe is the one built")
        starts = self.shortcuts()
        self.assertEqual(len(starts), 1, starts)
        self.assertEqual(starts[0].parent.name, "Programs")
        self.assertEqual(starts[0].parent.parent.name, "Start Menu")
        self.assert_points_at_program(starts[0], folder)
        self.assertEqual(self.registry_values(SETTINGS_KEY).get("InstallDir"), folder + "\\")
        return entry

    def assert_uninstalled(self):
        self.assertEqual(self.products(), {})
        self.assertFalse(self.session.host_path(TALVO_DIR).exists(),
                         "the program's folders are gone")
        self.assertEqual(self.shortcuts(), [])
        self.assertEqual(self.registry_values(SETTINGS_KEY), {}, "nothing remembered")
        self.assertNotIn(RUN_VALUE, self.registry_values(RUN_KEY))

    def autostart(self):
        """The command started at every user's logon, or None."""
        return self.registry_values(RUN_KEY).get(RUN_VALUE)


class PackageInstallTest(MsiexecTestCase):

    # ---- tests -----------------------------------------------------------
    def test_install_start_and_uninstall(self):
        # The package, not the program, makes the meeting folder: where users
        # may not create folders under C:\ the program could not.
        self.session.remove(MEETING_ROOT)
        found = "MEETINGROOTFOUND"  # the search for C:\MrvPrg (PackageTablesTest)
        self.assertNotIn(found, self.install_logged(MSI), "a folder to make and lock")
        self.assert_installed(MSI)
        self.assertTrue(self.session.host_path(MEETING_FOLDER).is_dir(), "made by the install")
        # Programs and Features shows the published product's icon (ARPPRODUCTICON),
        # published for the machine.
        published = self.registry(PUBLISHED_KEY + "\\"
                                  + packed_guid(msi_property(MSI, "ProductCode")))
        self.assertEqual(published[""]["ProductName"], PRODUCT)
        self.assertEqual(self.session.host_path(published[""]["ProductIcon"]).read_bytes(),
                         ICON.read_bytes())
        desktop = self.session.drive_c / "users" / os.environ.get("USER", "root") / "Desktop"
        self.assertFalse((desktop / SHORTCUT).exists(), "no desktop shortcut unless asked")
        self.assertIsNone(self.autostart(), "no start at logon unless asked")

        app = self.session.run(self.session.host_path(INSTALLED_EXE))
        win = app.wait_window(timeout=30)
        wait_until(lambda: self.session.window(win.id).height == layout.HEIGHT, 10,
                   "the finished window")
        self.session.grab(self.session.window(win.id), "installed")
        self.assertEqual(self.session.window(win.id).width, layout.WIDTH)
        self.session.kill_user_processes()

        # A repair finds the folder there: the package applies no lock
        # through a path that exists before it runs.
        self.assertEqual(self.install_logged(MSI, "REINSTALL=ALL").get(found), MEETING_ROOT + "\\")

        # The meeting folders stay (permanent components; Wine's msi leaves
        # an empty one as well, so only the tables show that part).
        meeting = self.session.host_path(layout.MEETING_FILE)
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

    def test_start_at_logon_remembered_until_turned_off(self):
        run = f'"{INSTALLED_EXE}"'  # quoted: the path has blanks
        steps = [
            ((MSI, "AUTOSTART=1"), run),
            ((REBUILD_MSI,), run),  # an upgrade remembers it
            ((REBUILD_MSI, "REINSTALL=ALL", "AUTOSTART=0"), None),  # a repair turns it off
            ((REBUILD_MSI, "REINSTALL=ALL"), None),  # and it stays off
            ((REBUILD_MSI, "REINSTALL=ALL", "AUTOSTART=1"), run),  # or on again
            ((NEXT_MSI, "AUTOSTART=0"), None),  # a later version turns it off
        ]
        for args, expected in steps:
            with self.subTest(args=args[1:], msi=args[0].name):
                self.install(*args)
                self.assertEqual(self.autostart(), expected)
                self.assertEqual(self.registry_values(SETTINGS_KEY).get("Autostart"),
                                 "1" if expected else None)

    def test_custom_folder_kept_by_upgrade_repair_and_removal(self):
        # Blanks and Chinese characters, inside a folder that exists already
        # (removing the package leaves that one).
        parent = r"C:\Meeting Rooms"
        folder = parent + r"\TALVO 會議室 Office"
        exe = folder + r"\talvo-office.exe"
        self.session.host_path(parent).mkdir(exist_ok=True)
        self.addCleanup(self.session.remove, parent)
        self.install(MSI, f"INSTALLDIR={folder}", "AUTOSTART=1")
        self.assert_installed(MSI, folder)
        self.assertEqual(self.autostart(), f'"{exe}"')
        self.install(REBUILD_MSI)
        self.assert_installed(REBUILD_MSI, folder)
        # A repair puts a lost program back where it was.
        self.session.host_path(exe).unlink()
        self.install(REBUILD_MSI, "REINSTALL=ALL")
        self.assert_installed(REBUILD_MSI, folder)
        # The remembered folder wins over one given at an upgrade.
        self.install(NEXT_MSI, r"INSTALLDIR=C:\Elsewhere")
        self.assert_installed(NEXT_MSI, folder)
        self.assertEqual(self.autostart(), f'"{exe}"')
        self.assertFalse(self.session.host_path(r"C:\Elsewhere").exists())
        self.assertFalse(self.session.host_path(DEFAULT_FOLDER).exists(), "the default folder unused")
        self.assertEqual(self.msiexec("/x", NEXT_MSI, timing="uninstall"), 0)
        self.assertFalse(self.session.host_path(folder).exists(), "removed from there")
        self.assertEqual(os.listdir(self.session.host_path(parent)), [])
        self.assert_uninstalled()


if __name__ == "__main__":
    unittest.main()
