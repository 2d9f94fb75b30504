"""A private Xvfb display per scenario."""

import os
import select
import subprocess
import time

from .lifetime import die_with_parent


class XvfbDisplay:
    """Starts `Xvfb -displayfd`: the server itself picks a free display number
    under its own lock files, so parallel scenarios never race for one."""

    def __init__(self, size="1280x1024x24", timeout=15):
        read_end, write_end = os.pipe()
        try:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                 "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL, start_new_session=True,
                preexec_fn=die_with_parent)
        finally:
            os.close(write_end)
        try:
            self.number = self._read_display_number(read_end, timeout)
        except Exception:
            self.stop()
            raise
        finally:
            os.close(read_end)
        self.name = f":{self.number}"

    def _read_display_number(self, fd, timeout):
        data = b""
        deadline = time.monotonic() + timeout
        while not data.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                raise RuntimeError("Xvfb did not report a display number")
            chunk = os.read(fd, 32)
            if not chunk:
                raise RuntimeError(f"Xvfb exited with status {self.process.wait()}")
            data += chunk
        return int(data)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
