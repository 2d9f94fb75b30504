"""A Scenario: one private Wine prefix (copied from the template) on one
private Xvfb display, with helpers to run Windows programs in it, translate
paths and edit the registry. Window driving comes from the X11Driver and
WindowProbe mixins."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path, PureWindowsPath

from . import config as config_module
from . import lifetime, prefix
from .display import XvfbDisplay
from .probe import WindowProbe
from .x11 import X11Driver


# Seconds the scenario's wineserver outlives its last Windows process.
SESSION_LINGER_SECONDS = 60

# What Wine prints (with the "err+virtual" channel on) when it could not map a
# new process's address space (STATUS_CONFLICTING_ADDRESSES): the program
# never ran, so starting it again is safe. Seen about once in 10,000 starts.
_START_FAILURE = "failed to map the shared user data"
_START_ATTEMPTS = 3


class WinProcess:
    """A Windows program started by Scenario.start (the `wine` launcher
    process, which lives as long as the program and returns its exit code)."""

    def __init__(self, popen, name):
        self.popen = popen
        self.name = name

    def wait(self, timeout):
        """Waits for the program to end; returns its exit code."""
        try:
            return self.popen.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still running after {timeout} s") from None

    def running(self):
        return self.popen.poll() is None

    @property
    def returncode(self):
        return self.popen.returncode


class Scenario(X11Driver, WindowProbe):
    """Use as a context manager:

        with Scenario("entry-form") as s:
            proc = s.start(s.put(config.exe, r"C:\\tallyhawk"))
            win = s.find_window("...")

    On exit it ends its wineserver (and with it every program in the prefix)
    and its Xvfb, and deletes the prefix unless E2E_KEEP=1. If the block
    failed, the screen and the window list are saved to the artifacts first."""

    def __init__(self, name, config=None, keep=None, hostname=None):
        self.name = name
        # The computer name Wine reports (taken from the host name): each
        # Wine process of the scenario runs in a UTS namespace of its own
        # with this name, so several prefixes stand in for several PCs.
        self.hostname = hostname
        self.config = config or config_module.config
        if self.config is None:
            raise RuntimeError("harness.main() / parse_args() has not read the options")
        self.keep = os.environ.get("E2E_KEEP") == "1" if keep is None else keep
        self.artifacts = self.config.artifacts / name
        self.winprobe_exe = self.config.winprobe
        self.loader = prefix.loader(self.config.arch)
        self._processes = []
        self._shares = {}
        self._display = None
        self.root = None

    # -- life cycle -----------------------------------------------------------

    def __enter__(self):
        started = time.monotonic()
        lifetime.remove_abandoned_scenarios()
        self.root = Path(tempfile.mkdtemp(prefix=f"{lifetime.SCENARIO_DIR_PREFIX}{self.name}-"))
        try:
            lifetime.claim(self.root)
            self.prefix = self.root / "prefix"
            self.home = self.root / "home"
            self.home.mkdir()
            with prefix.template_ready(self.config.template, self.config.arch) as template:
                prefix.copy_prefix(template, self.prefix)
            self._display = XvfbDisplay()
            self.env = prefix.base_env(self.prefix, self.config.arch)
            # A private HOME keeps Wine from touching the real one.
            self.env.update(DISPLAY=self._display.name, HOME=str(self.home))
            shutil.rmtree(self.artifacts, ignore_errors=True)
            self.artifacts.mkdir(parents=True)
            self._boot_session()
            self.install_standins(self.config.standins)
        except BaseException:
            self._teardown()
            raise
        print(f"e2e: scenario {self.name} ready in {time.monotonic() - started:.1f} s "
              f"(display {self._display.name}, prefix {self.prefix})", flush=True)
        return self

    def _boot_session(self):
        """Starts the prefix's wineserver for the whole scenario, then boots
        the session and its desktop with one windowing program (winprobe).
        Otherwise the program under test and the first probes start together
        while Wine boots and creates the desktop, and now and then one of them
        waits 30 s for a desktop that is already there. Each gap without a
        Windows process would also end the server and boot again. Starts in
        a booted session take 0.1 s instead of 0.6 to 1.2 s. The server
        lingers SESSION_LINGER_SECONDS after its last client, so one left
        behind by a killed script ends on its own."""
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL)
        subprocess.run(self._named(["wineserver", f"-p{SESSION_LINGER_SECONDS}"]), timeout=30, check=True,
                       **quiet)
        # Not captured: the session's services, started by this first
        # program, keep its output open for as long as the server lives.
        # `winprobe list` only fails when Wine could not start it.
        for _ in range(_START_ATTEMPTS):
            booted = subprocess.run(self._named([self.loader, str(self.winprobe_exe), "list"]), timeout=120, **quiet)
            if booted.returncode == 0:
                return
        raise RuntimeError(f"Wine could not boot the session (exit code {booted.returncode})")

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            self._save_failure_evidence()
        self._teardown()
        return False

    def _save_failure_evidence(self):
        try:
            self.screenshot("failure.png")
            listing = self.wine(self.winprobe_exe, "list", "--all", timeout=20).stdout
            (self.artifacts / "failure-windows.json").write_text(listing)
            print(f"e2e: failure evidence saved in {self.artifacts}", file=sys.stderr)
        except Exception as error:  # evidence is best effort; keep the real failure
            print(f"e2e: could not save failure evidence: {error}", file=sys.stderr)

    def _teardown(self):
        if self.root and (self.root / "prefix").exists():
            try:
                subprocess.run(["wineserver", "-k"], env=prefix.base_env(self.root / "prefix", self.config.arch),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            except subprocess.TimeoutExpired:
                print("e2e: wineserver -k timed out", file=sys.stderr)
        for process in self._processes:
            if process.poll() is None:
                process.kill()
            process.wait()
        if self._display:
            self._display.stop()
        if self.root:
            if self.keep:
                lifetime.mark_kept(self.root)
                print(f"e2e: kept {self.root}", flush=True)
            else:
                shutil.rmtree(self.root, ignore_errors=True)

    # -- paths ----------------------------------------------------------------

    @property
    def drive_c(self):
        return self.prefix / "drive_c"

    @property
    def user_profile(self):
        """The Windows user's profile folder (C:\\users\\<user>)."""
        users = [p for p in (self.drive_c / "users").iterdir() if p.name != "Public"]
        return users[0]

    @property
    def desktop(self):
        return self.user_profile / "Desktop"

    def win_path(self, unix_path):
        """Unix path -> Windows path: C:\\... inside drive_c, Z:\\... elsewhere."""
        path = Path(unix_path).absolute()
        try:
            return str(PureWindowsPath("C:\\", *path.relative_to(self.drive_c).parts))
        except ValueError:
            return str(PureWindowsPath("Z:\\", *path.parts[1:]))

    def unix_path(self, windows_path):
        """Windows path -> unix path; each part matched case-insensitively
        when the exact name does not exist, as Windows would."""
        win = PureWindowsPath(windows_path)
        drive = win.drive.upper()
        roots = {"C:": self.drive_c, "Z:": Path("/"), **self._shares}
        if drive not in roots:
            raise ValueError(f"no drive {drive} in the prefix: {windows_path}")
        path = roots[drive]
        for part in win.parts[1:]:
            candidate = path / part
            if not candidate.exists() and path.is_dir():
                match = [p for p in path.iterdir() if p.name.lower() == part.lower()]
                candidate = match[0] if match else candidate
            path = candidate
        return path

    def _as_unix(self, path):
        path = str(path)
        return self.unix_path(path) if PureWindowsPath(path).drive else Path(path)

    def put(self, source, windows_folder, name=None):
        """Copies a host file into the prefix; returns its Windows path."""
        folder = self.unix_path(windows_folder)
        folder.mkdir(parents=True, exist_ok=True)
        target = folder / (name or Path(source).name)
        shutil.copy2(source, target)
        return self.win_path(target)

    def map_share(self, host_folder, drive="S:", unc=("server", "share")):
        """Makes a host folder this prefix's network share: the mapped drive
        `drive` and the UNC path \\\\server\\share (Wine resolves UNC paths
        through dosdevices/unc). Several scenarios mapping one folder are
        several PCs on one share. Returns the drive's root, e.g. "S:\\"."""
        dosdevices = self.prefix / "dosdevices"
        os.symlink(Path(host_folder).absolute(), dosdevices / drive.lower())
        server = dosdevices / "unc" / unc[0]
        server.mkdir(parents=True, exist_ok=True)
        os.symlink(Path(host_folder).absolute(), server / unc[1])
        self._shares[drive.upper()] = Path(host_folder).absolute()
        self._shares[f"\\\\{unc[0]}\\{unc[1]}".upper()] = Path(host_folder).absolute()
        return drive.upper() + "\\"

    # -- programs -------------------------------------------------------------

    def _named(self, command):
        """`command` run under the scenario's computer name, if it has one."""
        if not self.hostname:
            return command
        return ["unshare", "--uts", "sh", "-c", 'hostname "$0" && exec "$@"', self.hostname, *command]

    def wine(self, program, *args, cwd=None, timeout=60, encoding="utf-8"):
        """Runs a Windows program to completion and returns the
        CompletedProcess, output decoded with `encoding` (Windows console
        tools such as cmd and reg write code page 932). A start that Wine could
        not map is made again."""
        for _ in range(_START_ATTEMPTS):
            result = subprocess.run(self._named([self.loader, str(program), *map(str, args)]), env=self.env,
                                    cwd=self._as_unix(cwd) if cwd else None,
                                    capture_output=True, timeout=timeout)
            if _START_FAILURE.encode() not in result.stderr:
                break
        result.stdout = result.stdout.decode(encoding, errors="replace")
        result.stderr = result.stderr.decode(encoding, errors="replace")
        return result

    def cmd(self, command_line, cwd=None, timeout=60):
        """Runs `cmd /c command_line`; output decoded from code page 932."""
        return self.wine("cmd", "/c", command_line, cwd=cwd, timeout=timeout, encoding="cp932")

    def start(self, program, *args, cwd=None, log=None):
        """Starts a Windows program without waiting. `program` is a unix or a
        Windows path. Its Windows current folder is `cwd` (unix or Windows
        path; default: the program's own folder, as when double-clicked).
        Wine derives it from the launcher's unix working directory."""
        program_unix = self._as_unix(program)
        folder = self._as_unix(cwd) if cwd else program_unix.parent
        # A Windows path goes to Wine as it is: a program on a share runs from S:\ or \\server\share.
        windows = str(program) if PureWindowsPath(str(program)).drive else self.win_path(program_unix)
        output = open(self.artifacts / log, "wb") if log else subprocess.DEVNULL
        popen = subprocess.Popen(self._named([self.loader, windows, *map(str, args)]),
                                 env=self.env, cwd=folder, stdin=subprocess.DEVNULL,
                                 stdout=output, stderr=subprocess.STDOUT,
                                 preexec_fn=lifetime.die_with_parent)
        if log:
            output.close()
        self._processes.append(popen)
        return WinProcess(popen, PureWindowsPath(str(program)).name)

    def install_standins(self, standins):
        """Puts stand-in exes into system32 ({"schtasks.exe": built exe, ...})
        and makes Wine run them instead of its builtins of the same name."""
        overrides = "".join(prefix.copy_standin(self.prefix, source, name)
                            for name, source in standins.items())
        if overrides:
            self.import_reg("[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n" + overrides)

    # -- registry -------------------------------------------------------------

    def reg_add(self, key, name, data, type="REG_SZ"):
        result = self.wine("reg", "add", key, "/v", name, "/t", type, "/d", data, "/f",
                           encoding="cp932")
        if result.returncode != 0:
            raise AssertionError(f"reg add {key} {name} failed: {result.stdout}{result.stderr}")

    def reg_query(self, key, name=None):
        """`reg query` output as text, or None if the key/value is missing."""
        args = ["query", key] + (["/v", name] if name is not None else [])
        result = self.wine("reg", *args, encoding="cp932")
        return result.stdout if result.returncode == 0 else None

    def import_reg(self, text):
        """Imports .reg text (the "Windows Registry Editor Version 5.00"
        header is added when missing)."""
        if not text.lstrip().startswith("Windows Registry Editor"):
            text = "Windows Registry Editor Version 5.00\n\n" + text
        reg_file = self.root / "import.reg"
        prefix.write_reg_file(reg_file, text)
        result = self.wine("regedit", "/S", self.win_path(reg_file))
        if result.returncode != 0:
            raise AssertionError(f"regedit failed on:\n{text}")
