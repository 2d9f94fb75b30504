"""Wine prefixes: the template built once per build tree and copied by every
scenario, .reg files, and stand-in programs."""

import fcntl
import hashlib
import json
import os
import shutil
import subprocess
import time
from contextlib import contextmanager
from pathlib import Path

# Applied to every prefix. Without "Managed"="N" Wine waits 2 s on every window
# close when no window manager runs; the fonts make Japanese text render.
TEMPLATE_REG = r"""Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
"""

# Programs Wine lacks or only stubs, replaced in every scenario by our own.
# Maps the Windows name to the built stand-in's file name in the tools folder.
DEFAULT_STANDINS = {"timeout.exe": "timeout_standin.exe"}

# Folders wineboot links to the host's home (shared by every prefix, and
# written to by programs that save to the desktop): made real folders.
_HOME_LINKS = ("Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos")


def write_reg_file(path, text):
    """Writes a .reg file as regedit needs it: UTF-16LE with a BOM, CR LF.
    (A UTF-8 file without BOM is accepted but silently loses its values.)"""
    text = text.replace("\r\n", "\n").replace("\n", "\r\n")
    Path(path).write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))


def loader(arch):
    """The Wine loader for a prefix of `arch` (tests/e2e/README.md, Wine's loaders)."""
    return "/usr/lib/wine/wine64" if arch == "win64" and Path("/usr/lib/wine/wine64").exists() else "wine"


def base_env(prefix, arch):
    """Environment for Wine tools run on `prefix`, without a display."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WINEDLLOVERRIDES")}
    # Quiet, except the errors that tell a process that failed to start.
    env.update(WINEPREFIX=str(prefix), WINEARCH=arch, WINEDEBUG="-all,err+virtual",
               LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
    return env


def system32(prefix):
    return Path(prefix) / "drive_c" / "windows" / "system32"


def copy_standin(prefix, source, name):
    """Copies a stand-in exe into system32 as `name` and returns the .reg
    lines that make Wine prefer it over a builtin of the same name (without
    them Wine's own powershell.exe or schtasks.exe would still run)."""
    shutil.copyfile(source, system32(prefix) / name)
    return f'"{name.lower()}"="native"\n'


def _run(cmd, env, timeout=120):
    subprocess.run(cmd, env=env, check=True, timeout=timeout,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def _template_stamp(arch):
    wine_version = subprocess.run(["wine", "--version"], capture_output=True,
                                  text=True).stdout.strip()
    return json.dumps({"wine": wine_version, "arch": arch, "wine32": Path("/usr/lib/wine/wine").exists(),
                       "reg": hashlib.sha256(TEMPLATE_REG.encode()).hexdigest()})


def _build_template(template, arch):
    env = base_env(template, arch)
    shutil.rmtree(template, ignore_errors=True)
    template.parent.mkdir(parents=True, exist_ok=True)
    started = time.monotonic()
    _run(["wineboot", "-i"], env)
    _run(["wineserver", "-w"], env)

    users = template / "drive_c" / "users"
    for profile in users.iterdir():
        for name in _HOME_LINKS:
            link = profile / name
            if link.is_symlink():
                link.unlink()
                link.mkdir()

    reg_file = template / "drive_c" / "template.reg"
    write_reg_file(reg_file, TEMPLATE_REG)
    _run([loader(arch), "regedit", "/S", r"C:\template.reg"], env)
    _run(["wineserver", "-w"], env)
    reg_file.unlink()
    return time.monotonic() - started


@contextmanager
def template_ready(template, arch="win64"):
    """Makes sure the template prefix at `template` is built and current, and
    holds it (shared lock) for the duration of the block, so several processes
    can copy it while at most one builds it."""
    template = Path(template).resolve()
    template.parent.mkdir(parents=True, exist_ok=True)
    stamp_file = template.with_name(template.name + ".stamp")
    with open(template.with_name(template.name + ".lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        stamp = _template_stamp(arch)
        if not (stamp_file.exists() and stamp_file.read_text() == stamp and template.is_dir()):
            stamp_file.unlink(missing_ok=True)
            seconds = _build_template(template, arch)
            stamp_file.write_text(stamp)
            print(f"e2e: built template prefix {template} in {seconds:.1f} s", flush=True)
        fcntl.flock(lock, fcntl.LOCK_SH)
        yield template


def copy_prefix(template, destination):
    # cp -a keeps the relative drive links and is faster than shutil.copytree.
    subprocess.run(["cp", "-a", str(template), str(destination)], check=True)
