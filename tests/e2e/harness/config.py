"""Command line of the e2e test scripts, and where things live in the build tree.

Every script accepts:
  --exe PATH     the program under test (optional for harness-only scripts)
  --build DIR    the build tree; the template prefix and artifacts go under DIR/e2e
  --tools DIR    folder holding winprobe.exe and the stand-in exes
and passes anything else to unittest (e.g. -k name)."""

import argparse
import sys
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Optional

from . import lifetime, prefix


@dataclass
class E2EConfig:
    build: Path
    tools: Path
    exe: Optional[Path] = None

    @property
    def template(self):
        return self.build / "e2e" / "template"

    @property
    def artifacts(self):
        return self.build / "e2e" / "artifacts"

    @property
    def winprobe(self):
        return self.tools / "winprobe.exe"

    def tool(self, name):
        path = self.tools / name
        if not path.is_file():
            raise FileNotFoundError(f"{path} is not built")
        return path

    @property
    def standins(self):
        """Stand-ins installed in every prefix: Windows name -> built exe."""
        return {name: self.tool(built) for name, built in prefix.DEFAULT_STANDINS.items()}


config: Optional[E2EConfig] = None


def parse_args(argv=None):
    """Reads our options into `config` and returns the remaining arguments."""
    global config
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--exe", type=Path)
    parser.add_argument("--build", type=Path, required=True)
    parser.add_argument("--tools", type=Path, required=True)
    args, rest = parser.parse_known_args(argv)
    config = E2EConfig(build=args.build.resolve(), tools=args.tools.resolve(),
                       exe=args.exe.resolve() if args.exe else None)
    return rest


def main():
    """Entry point of a test script: parses the options, runs the script's
    unittest cases verbosely and exits nonzero if any failed."""
    rest = parse_args(sys.argv[1:])
    lifetime.exit_on_sigterm()
    unittest.main(module="__main__", argv=[sys.argv[0], *rest], verbosity=2)
