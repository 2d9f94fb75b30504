"""Driving windows as a user would, through the X display (xdotool, import).

A mixin for Scenario: needs `self.env` (with DISPLAY) and `self.artifacts`."""

import re
import subprocess
import time
from pathlib import Path

POLL_SECONDS = 0.1


class X11Driver:
    def xdotool(self, *args, check=True):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env,
                              capture_output=True, text=True, check=check)

    def visible_windows(self, title, exact=True):
        """X ids of the visible windows whose title matches (a regular
        expression when exact is False)."""
        pattern = f"^{re.escape(title)}$" if exact else title
        found = self.xdotool("search", "--onlyvisible", "--name", pattern, check=False)
        return [int(w) for w in found.stdout.split()]

    def find_window(self, title, timeout=10, exact=True):
        """Waits for a visible window with this title; returns its X id.
        Polls every 0.1 s (xdotool's own --sync polls only once a second)."""
        deadline = time.monotonic() + timeout
        while True:
            windows = self.visible_windows(title, exact)
            if windows:
                return windows[0]
            if time.monotonic() > deadline:
                raise AssertionError(f"no window titled {title!r} within {timeout} s")
            time.sleep(POLL_SECONDS)

    def wait_window_gone(self, title, timeout=10, exact=True):
        deadline = time.monotonic() + timeout
        while self.visible_windows(title, exact):
            if time.monotonic() > deadline:
                raise AssertionError(f"window {title!r} still open after {timeout} s")
            time.sleep(POLL_SECONDS)

    def focus(self, window):
        # windowactivate needs a window manager; windowfocus works without.
        self.xdotool("windowfocus", "--sync", window)

    def key(self, *keys, window=None):
        """Sends key presses (xdotool names: Return, Escape, alt+F4, Tab...) to
        the focused window, focusing `window` first when given. Wine ignores
        `xdotool key --window`, hence focus-then-type."""
        if window is not None:
            self.focus(window)
        self.xdotool("key", "--delay", 50, *keys)

    def type_text(self, text, window=None, delay=None):
        """Types text into the focused window (focusing `window` first when
        given). Non-ASCII text (Japanese, kana) needs 50 ms between keys, or
        characters get lost or doubled under load."""
        if window is not None:
            self.focus(window)
        if not text.isascii():
            self._bind_characters(text)
            # A Wine process loses a character key if it is the first key it
            # ever gets. F20 (no character) goes first and takes nothing with it.
            self.xdotool("key", "F20")
        if delay is None:
            delay = 50 if not text.isascii() else 20
        self.xdotool("type", "--delay", delay, "--", text)

    def _bind_characters(self, text):
        """Gives each non-ASCII character of `text` a keycode of its own for
        the rest of the scenario. Left to itself, xdotool binds every such
        character to one scratch keycode just for its key press and unbinds it
        after; Wine re-reads the whole key map when told of a change, and under
        load reads it only after the next change, so the key comes out as the
        next character or as nothing (山田 typed as 田)."""
        bound = self.__dict__.setdefault("_bound_characters", set())
        wanted = sorted({c for c in text if not c.isascii()} - bound)
        if not wanted:
            return
        table = subprocess.run(["xmodmap", "-pke"], env=self.env, capture_output=True,
                               text=True, check=True).stdout
        free = [int(m.group(1)) for m in re.finditer(r"^keycode\s+(\d+)\s*=\s*$", table, re.M)]
        # Keep the highest free one for xdotool's own scratch binding.
        free = sorted(free)[:-1]
        if len(free) < len(wanted):
            raise AssertionError(f"only {len(free)} free keycodes for {len(wanted)} characters")
        expressions = []
        for keycode, char in zip(free, wanted):
            expressions += ["-e", f"keycode {keycode} = U{ord(char):04X}"]
        subprocess.run(["xmodmap", *expressions], env=self.env, capture_output=True, check=True)
        bound.update(wanted)

    def screenshot(self, name):
        """Saves the whole screen as PNG into the artifacts folder (or to
        `name` if it is an absolute path) and returns the path."""
        path = Path(name) if Path(name).is_absolute() else self.artifacts / name
        path.parent.mkdir(parents=True, exist_ok=True)
        # `import` is ImageMagick's; /usr/local/bin/convert may shadow it.
        subprocess.run(["/usr/bin/import", "-window", "root", str(path)], env=self.env,
                       check=True, capture_output=True)
        return path
