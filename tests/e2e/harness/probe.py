"""Reading and poking windows from the Windows side, through winprobe.exe run
in the scenario's own prefix (titles, control texts, message box texts).

A mixin for Scenario: needs `self.wine(...)` and `self.winprobe_exe`."""

import json
import subprocess
import time

from .x11 import POLL_SECONDS

# On a loaded machine Wine may take longer than this to start winprobe and
# have it answer. A listing only reads, so a late one is asked again; a
# command that acts (text, keys, clicks) must not be repeated and is waited
# for as long as all the listing's attempts together.
PROBE_SECONDS = 30
LIST_ATTEMPTS = 4


class WindowProbe:
    def _winprobe(self, *args):
        attempts = LIST_ATTEMPTS if args[0] == "list" else 1
        timeout = PROBE_SECONDS if args[0] == "list" else PROBE_SECONDS * LIST_ATTEMPTS
        for attempt in range(1, attempts + 1):
            try:
                result = self.wine(self.winprobe_exe, *map(str, args), timeout=timeout)
                break
            except subprocess.TimeoutExpired:
                if attempt == attempts:
                    raise AssertionError(f"winprobe {args[0]} gave no answer in {attempts} x {timeout} s "
                                         "(the machine, not the program under test)") from None
        if result.returncode != 0:
            raise AssertionError(f"winprobe {args[0]} failed (exit code {result.returncode}): "
                                 f"{result.stderr.strip()}")
        return result.stdout

    def windows(self, include_hidden=False):
        """All top-level windows: dicts with hwnd, class, text (the title),
        visible, enabled, rect [l, t, r, b], pid, responsive, topmost,
        foreground (the window that has the user's input), and children
        (each with hwnd, class, id, text, visible, enabled, rect, parent,
        checked for buttons, position (-1 when unanswered) and upper for
        progress bars)."""
        out = self._winprobe("list", *(["--all"] if include_hidden else []))
        return json.loads(out)

    def window(self, title, timeout=10, cls=None):
        """Waits for the visible top-level window with this exact title (and
        window class, when given)."""
        deadline = time.monotonic() + timeout
        while True:
            for w in self.windows():
                if w["text"] == title and (cls is None or w["class"] == cls):
                    return w
            if time.monotonic() > deadline:
                raise AssertionError(f"no window titled {title!r} within {timeout} s")
            time.sleep(POLL_SECONDS)

    def window_texts(self, title, cls=None, timeout=10):
        """Texts of the window's controls, in z-order (of class `cls` only when
        given). A message box's message is its "Static" text."""
        return [c["text"] for c in self.window(title, timeout)["children"]
                if cls is None or c["class"].lower() == cls.lower()]

    def message_box_text(self, title, timeout=10):
        """The message of the message box (class #32770) with this title; a
        form with the same title (the program's notices) is passed over."""
        box = self.window(title, timeout, cls="#32770")
        texts = [c["text"] for c in box["children"]
                 if c["class"].lower() == "static" and c["text"]]
        if box["class"] != "#32770" or not texts:
            raise AssertionError(f"{title!r} is not a message box: {box}")
        return "\n".join(texts)

    @staticmethod
    def control(window, cls=None, id=None, text=None):
        """The one child of `window` (from windows()/window()) that matches."""
        found = [c for c in window["children"]
                 if (cls is None or c["class"].lower() == cls.lower())
                 and (id is None or c["id"] == id)
                 and (text is None or c["text"] == text)]
        if len(found) != 1:
            raise AssertionError(f"{len(found)} controls match class={cls} id={id} "
                                 f"text={text!r} in {window['text']!r}")
        return found[0]

    def set_text(self, control, text):
        self._winprobe("settext", control["hwnd"], text)

    def send_chars(self, control, text):
        """WM_CHAR per character: goes through the control's key filters like
        typing, without depending on keyboard focus."""
        self._winprobe("chars", control["hwnd"], text)

    def paste(self, control, text):
        """The text onto the clipboard, then WM_PASTE: as the context menu's
        paste, past the key filters but within the control's length limit."""
        self._winprobe("paste", control["hwnd"], text)

    def click(self, control):
        self._winprobe("click", control["hwnd"])

    def close_window(self, window):
        self._winprobe("close", window["hwnd"])
