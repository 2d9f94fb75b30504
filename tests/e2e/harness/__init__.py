"""End-to-end test harness: Windows programs under Wine on a private Xvfb
display, driven through xdotool and winprobe.exe. See tests/e2e/README.md."""

from . import config as _config
from .config import E2EConfig, main, parse_args
from .prefix import write_reg_file
from .wine import Scenario, WinProcess


def current_config():
    """The options read by main()/parse_args(): exe, build, tools..."""
    return _config.config


__all__ = ["E2EConfig", "Scenario", "WinProcess", "current_config", "main", "parse_args",
           "write_reg_file"]
