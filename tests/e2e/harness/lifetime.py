"""Cleaning up after test processes that could not clean up themselves (a
CTest timeout kills the script outright, so its `with` blocks never end)."""

import ctypes
import os
import shutil
import signal
import sys
import tempfile
from pathlib import Path

SCENARIO_DIR_PREFIX = "tallyhawk-e2e-"
_OWNER_FILE = "owner.pid"
_KEPT_FILE = "kept"

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def die_with_parent():
    """preexec_fn for Popen: the child gets SIGKILL when the test script dies,
    so no Xvfb or Windows program outlives it (wineserver then exits on its own
    once its last client is gone)."""
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def exit_on_sigterm():
    """Turns SIGTERM into SystemExit, so scenarios still tear down."""
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))


def claim(root):
    """Marks a scenario folder as owned by this process."""
    (Path(root) / _OWNER_FILE).write_text(str(os.getpid()))


def mark_kept(root):
    (Path(root) / _KEPT_FILE).touch()


def _alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def remove_abandoned_scenarios():
    """Deletes scenario folders whose owner died without removing them
    (about 700 MB each). Folders kept on purpose (E2E_KEEP) stay."""
    for root in Path(tempfile.gettempdir()).glob(SCENARIO_DIR_PREFIX + "*"):
        if (root / _KEPT_FILE).exists():
            continue
        try:
            pid = int((root / _OWNER_FILE).read_text())
        except (OSError, ValueError):
            continue  # still being created, or not ours
        if not _alive(pid):
            shutil.rmtree(root, ignore_errors=True)
