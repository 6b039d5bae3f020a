"""Signing: a build given a certificate signs the exe and the MSI packages;
what it signs verifies, and unsigned, altered or foreign-rooted files do not.

Everything is made at test time in a temporary folder and never kept: a root,
a code-signing certificate in a PFX with a random password, a time-stamping
certificate, another root, and a local RFC 3161 time-stamp server on 127.0.0.1
(`openssl ts` behind http.server). The module configures build/win64-signed
with them and builds the exe and the three packages once for all its tests;
the default build stays unsigned. TALVO_OSSLSIGNCODE picks the tool (for
example Debian 12's 2.5 next to a newer one).

Wine notes:
  * Wine 8's WinVerifyTrust skips its chain check for SHA-256 certificates and
    never checks an MSI's contents, and `wine msiexec` ignores signatures:
    chains, MSI integrity and time stamps are proved with `osslsigncode verify`.
"""
import base64
import http.server
import os
import secrets
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from pathlib import Path

import test_msi
from harness import BUILD, EXE, REPO, WIN64, E2EError, E2ETestCase

SIGNED = BUILD / "win64-signed"
SIGNED_EXE = SIGNED / "talvo-office.exe"
TOOL = os.environ.get("TALVO_OSSLSIGNCODE") or shutil.which("osslsigncode") or "osslsigncode"
DESCRIPTION = "TALVO Internet Office"
TIMESTAMP_OID = "1.3.6.1.4.1.311.3.3.1"  # an RFC 3161 stamp in an Authenticode signature
TRUST_CHECK = WIN64 / "trust_check.exe"
TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST = 0x800B0100, 0x80096010

EXTENSIONS = """\
[code]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tsa]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
"""

TSA_CONFIG = """\
[tsa]
default_tsa = test_tsa
[test_tsa]
serial = {serial}
crypto_device = builtin
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""

timings = {}


def timed(name, function, *args, **kwargs):
    t0 = time.monotonic()
    try:
        return function(*args, **kwargs)
    finally:
        timings.setdefault(name, []).append(time.monotonic() - t0)


def run(argv, **kwargs):
    return subprocess.run(list(map(str, argv)), capture_output=True, text=True, errors="replace",
                          **{"timeout": 120, **kwargs})


class Pki:
    """A throwaway PKI in a temporary folder."""

    def __init__(self):
        self.folder = Path(tempfile.mkdtemp(prefix="talvo-pki-"))
        # Characters a shell or a command line would trip over.
        self.password = secrets.token_urlsafe(18) + " $`'\"\\;&"
        (self.folder / "ext.cnf").write_text(EXTENSIONS)
        for name in ("root", "other-root"):
            self.openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                         "-keyout", f"{name}.key", "-out", f"{name}.pem",
                         "-subj", f"/CN=TALVO test {name}",
                         "-addext", "basicConstraints=critical,CA:TRUE",
                         "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        for name in ("code", "tsa"):
            self.openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{name}.key",
                         "-out", f"{name}.csr", "-subj", f"/CN=TALVO test {name}")
            self.openssl("x509", "-req", "-in", f"{name}.csr", "-CA", "root.pem",
                         "-CAkey", "root.key", "-CAcreateserial", "-days", "2",
                         "-extfile", "ext.cnf", "-extensions", name, "-out", f"{name}.pem")
        # The password reaches openssl through its environment, not its arguments.
        self.openssl("pkcs12", "-export", "-in", "code.pem", "-inkey", "code.key",
                     "-certfile", "root.pem", "-out", "code.pfx",
                     "-passout", "env:TALVO_TEST_PFX_PASSWORD",
                     env={**os.environ, "TALVO_TEST_PFX_PASSWORD": self.password})
        self.pfx, self.root, self.other_root = (self.folder / n
                                                for n in ("code.pfx", "root.pem", "other-root.pem"))

    def openssl(self, *args, env=None):
        p = run(["openssl", *args], cwd=self.folder, env=env)
        if p.returncode != 0:
            raise E2EError(f"openssl {args[0]} failed: {p.stderr[-1000:]}")

    def close(self):
        shutil.rmtree(self.folder, ignore_errors=True)


class TimeStampServer:
    """An RFC 3161 server on 127.0.0.1: each request answered by `openssl ts -reply`."""

    def __init__(self, pki):
        config = pki.folder / "ts.cnf"
        config.write_text(TSA_CONFIG.format(serial=pki.folder / "tsa-serial"))
        self.stamps = 0
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_POST(self):
                query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
                with tempfile.TemporaryDirectory() as scratch:
                    (Path(scratch) / "query").write_bytes(query)
                    p = subprocess.run(
                        ["openssl", "ts", "-reply", "-config", config, "-queryfile", "query",
                         "-signer", pki.folder / "tsa.pem", "-inkey", pki.folder / "tsa.key",
                         "-out", "reply"], cwd=scratch, capture_output=True, timeout=30)
                    reply = (Path(scratch) / "reply").read_bytes() if p.returncode == 0 else b""
                if not reply:
                    self.send_error(500)
                    return
                server.stamps += 1
                self.send_response(200)
                self.send_header("Content-Type", "application/timestamp-reply")
                self.send_header("Content-Length", str(len(reply)))
                self.end_headers()
                self.wfile.write(reply)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join(timeout=10)


def closed_port_url():
    """A URL on 127.0.0.1 where nothing listens."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return f"http://127.0.0.1:{s.getsockname()[1]}/"


def configure(**values):
    """(Re)configure the signed build directory with the given cache values."""
    argv = ["cmake", "--preset", "win64", "-B", SIGNED, f"-DTALVO_OSSLSIGNCODE={TOOL}"]
    argv += [f"-D{k}={v}" for k, v in values.items()]
    return run(argv, cwd=REPO, timeout=300)


def build(target, password=None, verbose=False):
    env = {k: v for k, v in os.environ.items() if k != "TALVO_SIGN_PASSWORD"}
    if password is not None:
        env["TALVO_SIGN_PASSWORD"] = password
    argv = ["cmake", "--build", SIGNED, "-j2", "--target", target] + (["--verbose"] if verbose else [])
    return run(argv, cwd=REPO, env=env, timeout=900)


def good_settings():
    return {"TALVO_SIGN_PFX": pki.pfx, "TALVO_SIGN_PASSWORD_FILE": "",
            "TALVO_SIGN_TIMESTAMP_URL": tsa.url, "TALVO_SIGN_DESCRIPTION": DESCRIPTION,
            "TALVO_SIGN_URL": "https://www.talvo.example/", "TALVO_SIGN_CA_FILE": pki.root}


def verify(path, root):
    return timed("verify", run, [TOOL, "verify", "-CAfile", root, "-TSA-CAfile", root, "-in", path])


def signature(path):
    """The file's signature (PKCS#7): its DER bytes and `openssl asn1parse`'s text."""
    with tempfile.TemporaryDirectory() as scratch:
        # PEM: osslsigncode 2.5 writes an exe's raw certificate table otherwise.
        pem = Path(scratch) / "signature.pem"
        p = run([TOOL, "extract-signature", "-pem", "-in", path, "-out", pem])
        if p.returncode != 0 or not pem.exists():
            raise E2EError(f"no signature in {path}: {p.stdout[-500:]}{p.stderr[-500:]}")
        text = run(["openssl", "asn1parse", "-in", pem], check=True).stdout
        body = "".join(line for line in pem.read_text().splitlines() if "-----" not in line)
        return base64.b64decode(body), text


def packages(folder):
    return [folder / test_msi.MSI.name,
            folder / "msi-test" / "talvo-office-next.msi",
            folder / "msi-test" / "talvo-office-rebuild.msi"]


def flipped(source, at, copy):
    """A copy of source with one bit of the byte at offset at changed."""
    data = bytearray(source.read_bytes())
    data[at] ^= 0x01
    copy.write_bytes(data)
    return copy


def altered_exe(folder):
    return flipped(SIGNED_EXE, SIGNED_EXE.stat().st_size // 2, folder / "altered.exe")


def altered_package(folder):
    msi = packages(SIGNED)[0]
    cab = msi.read_bytes().find(b"MSCF")  # the embedded cabinet, a stream the signature covers
    if cab < 0:
        raise E2EError(f"no cabinet in {msi}")
    return flipped(msi, cab + 100, folder / "altered.msi")


pki = tsa = None
build_log = ""
sizes = {}


def setUpModule():
    global pki, tsa, build_log
    if not shutil.which(TOOL) or not shutil.which("openssl"):
        raise E2EError("osslsigncode and openssl are needed (scripts/install-deps.sh)")
    pki = Pki()
    tsa = TimeStampServer(pki)
    p = timed("configure", configure, **good_settings())
    if p.returncode != 0:
        raise E2EError(f"configuring {SIGNED} failed: {p.stderr[-2000:]}")
    p = timed("build exe and 3 packages", build, "msi-tests", pki.password, verbose=True)
    build_log = p.stdout + p.stderr
    if p.returncode != 0:
        raise E2EError(f"the signed build failed: {build_log[-3000:]}")
    sizes.update({"exe": EXE.stat().st_size, "signed exe": SIGNED_EXE.stat().st_size,
                  "MSI": test_msi.MSI.stat().st_size,
                  "signed MSI": packages(SIGNED)[0].stat().st_size})


def tearDownModule():
    for thing in (tsa, pki):
        if thing:
            thing.close()
    print("\nbytes: " + ", ".join(f"{k} {v}" for k, v in sizes.items()), file=sys.stderr)
    print("signing, seconds: " + ", ".join(f"{k} {min(v):.2f}-{max(v):.2f} (x{len(v)})"
                                            for k, v in timings.items()), file=sys.stderr)


class SignedFilesTest(unittest.TestCase):

    def test_signed_files_verify_against_the_test_root_with_a_stamp(self):
        self.assertGreaterEqual(tsa.stamps, 4, "the exe and the three packages were stamped")
        for path in [SIGNED_EXE] + packages(SIGNED):
            with self.subTest(path.name):
                p = verify(path, pki.root)
                self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
                der, text = signature(path)
                self.assertIn(TIMESTAMP_OID, text, "an RFC 3161 stamp")
                self.assertIn(b"TALVO test tsa", der, "from the test's server")
                self.assertIn(b"TALVO test code", der, "the signing certificate")
                self.assertIn(DESCRIPTION.encode(), der, "the description")

    def test_unsigned_altered_and_foreign_files_are_refused(self):
        scratch = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, scratch)
        cases = {
            "unsigned exe of the default build": (EXE, pki.root),
            "unsigned package of the default build": (test_msi.MSI, pki.root),
            "exe with one byte changed": (altered_exe(scratch), pki.root),
            "package with one byte changed": (altered_package(scratch), pki.root),
            "exe against another root": (SIGNED_EXE, pki.other_root),
            "package against another root": (packages(SIGNED)[0], pki.other_root),
        }
        for case, (path, root) in cases.items():
            with self.subTest(case):
                p = verify(path, root)
                self.assertNotEqual(p.returncode, 0, p.stdout)

    def test_each_package_holds_the_signed_exe(self):
        signed = SIGNED_EXE.read_bytes()
        for msi in packages(SIGNED):
            with self.subTest(msi.name), tempfile.TemporaryDirectory() as scratch:
                run(["msiextract", "-C", scratch, msi], check=True)
                found = list(Path(scratch).rglob("talvo-office.exe"))
                self.assertEqual(len(found), 1, found)
                self.assertTrue(found[0].read_bytes() == signed, "byte for byte the signed exe")

    def test_password_stays_out_of_the_build_tree_and_command_lines(self):
        secret = pki.password.encode()
        self.assertIn("osslsigncode", build_log, "the verbose log shows the signing commands")
        self.assertNotIn(pki.password, build_log)
        leaks = [str(path.relative_to(SIGNED)) for path in SIGNED.rglob("*")
                 if path.is_file() and not path.is_symlink() and secret in path.read_bytes()]
        self.assertEqual(leaks, [], "files holding the password")
        self.assertNotIn("TALVO_SIGN_PASSWORD:", (SIGNED / "CMakeCache.txt").read_text())


class SignedInstallTest(test_msi.MsiexecTestCase):
    exe = SIGNED_EXE

    def test_signed_packages_install_upgrade_and_uninstall(self):
        msi, next_msi, _ = packages(SIGNED)
        self.install(msi)
        self.assert_installed(msi)
        self.install(next_msi)
        self.assert_installed(next_msi)
        self.assertEqual(self.msiexec("/x", next_msi, timing="uninstall"), 0)
        self.assert_uninstalled()


class SignedFilesUnderWineTest(E2ETestCase):
    """What Wine's WinVerifyTrust can tell (trust_check.exe): that it finds and
    reads the signatures, and an exe's digest. An untrusted root or an altered
    package passes there (see the notes above)."""
    needs = E2ETestCase.needs + (TRUST_CHECK,)

    def trust(self, path):
        return int(self.session.wine(TRUST_CHECK, "Z:" + str(path).replace("/", "\\")).stdout, 16)

    def test_windows_reads_the_signatures_and_checks_the_exe(self):
        scratch = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, scratch)
        for path in (SIGNED_EXE, packages(SIGNED)[0]):
            with self.subTest(path.name):
                self.assertNotIn(self.trust(path), (TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST))
        for path, expected in ((EXE, TRUST_E_NOSIGNATURE), (test_msi.MSI, TRUST_E_NOSIGNATURE),
                               (altered_exe(scratch), TRUST_E_BAD_DIGEST)):
            with self.subTest(path.name):
                self.assertEqual(f"{self.trust(path):08X}", f"{expected:08X}")


class SigningFailureTest(unittest.TestCase):
    """Runs after the other classes here (unittest orders classes by name): it
    takes the signed build apart, and the next run's set-up builds it again."""

    def setUp(self):
        self.addCleanup(configure, **good_settings())

    def assert_build_fails(self, target, path, password=None, why="failed"):
        p = build(target, password)
        self.assertNotEqual(p.returncode, 0, "the build reported success")
        self.assertIn(why, " ".join((p.stderr + p.stdout).split()))
        self.assertFalse(path.exists(), f"{path.name} left behind")
        self.assertFalse(Path(f"{path}.signing").exists(), "temporary file left behind")

    def test_a_failed_signing_fails_the_build_and_leaves_no_unsigned_file(self):
        password_file = pki.folder / "password.txt"
        password_file.write_text("wrong")
        password_file.chmod(0o600)
        msi = packages(SIGNED)[0]
        with self.subTest("wrong password, twice: the exe is not up to date afterwards"):
            self.assertEqual(configure(TALVO_SIGN_PASSWORD_FILE=password_file).returncode, 0)
            self.assert_build_fails("talvo-office", SIGNED_EXE)
            self.assert_build_fails("talvo-office", SIGNED_EXE)
        with self.subTest("the right password from the file"):
            password_file.write_text(pki.password)
            p = timed("link and sign the exe, build and sign a package", build, "msi")
            self.assertEqual(p.returncode, 0, p.stdout[-2000:] + p.stderr[-2000:])
            self.assertEqual(verify(SIGNED_EXE, pki.root).returncode, 0)
            self.assertEqual(verify(msi, pki.root).returncode, 0)
        with self.subTest("wrong password for the package alone"):
            password_file.write_text("wrong")
            msi.unlink()
            self.assert_build_fails("msi", msi)
            self.assertTrue(SIGNED_EXE.exists(), "the signed exe stays")
        with self.subTest("unreachable time-stamp server"):
            self.assertEqual(configure(TALVO_SIGN_PASSWORD_FILE="",
                                       TALVO_SIGN_TIMESTAMP_URL=closed_port_url()).returncode, 0)
            self.assert_build_fails("talvo-office", SIGNED_EXE, pki.password)
        with self.subTest("a password file others may read"):
            password_file.write_text(pki.password)
            password_file.chmod(0o640)
            self.assertEqual(configure(TALVO_SIGN_PASSWORD_FILE=password_file).returncode, 0)
            self.assert_build_fails("talvo-office", SIGNED_EXE, why="read by group or others")
        with self.subTest("a signature that does not chain to the CA file: nothing signed left"):
            self.assertEqual(configure(**{**good_settings(),
                                          "TALVO_SIGN_CA_FILE": pki.other_root}).returncode, 0)
            self.assert_build_fails("talvo-office", SIGNED_EXE, pki.password,
                                    why="does not verify")
        with self.subTest("no password at all"):
            self.assertEqual(configure(**good_settings()).returncode, 0)
            self.assert_build_fails("talvo-office", SIGNED_EXE)
        with self.subTest("a certificate that is not there fails at configure"):
            p = configure(TALVO_SIGN_PFX=pki.folder / "missing.pfx")
            self.assertNotEqual(p.returncode, 0)
            self.assertIn("missing.pfx, which does not exist", " ".join(p.stderr.split()))


if __name__ == "__main__":
    unittest.main()
