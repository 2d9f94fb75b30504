"""Command line of the e2e test scripts, and where things live in the build tree.

Every script accepts:
  --exe PATH     the program under test (optional for harness-only scripts)
  --build DIR    the build tree; the template prefix and artifacts go under DIR/e2e
  --tools DIR    folder holding winprobe.exe and the stand-in exes
  --arch ARCH    the prefixes' architecture: win64 (default) or win32 (with 32-bit --tools)
and passes anything else to unittest (e.g. -k name)."""

import argparse
import os
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
    arch: str = "win64"

    @property
    def template(self):
        return self.build / "e2e" / ("template" if self.arch == "win64" else f"template-{self.arch}")

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
    parser.add_argument("--arch", choices=("win64", "win32"), default="win64")
    args, rest = parser.parse_known_args(argv)
    config = E2EConfig(build=args.build.resolve(), tools=args.tools.resolve(),
                       exe=args.exe.resolve() if args.exe else None, arch=args.arch)
    return rest


# Exit code of a script whose scenarios passed but some could not run here
# (CTest's SKIP_RETURN_CODE for these tests).
SKIPPED = 77


def main():
    """Entry point of a test script: parses the options, runs the script's
    unittest cases verbosely and exits nonzero if any failed, if none ran
    (a -k that matches nothing), or with SKIPPED if some could not run. With
    E2E_NO_SKIPS=1 (CI) a scenario that could not run fails the script."""
    rest = parse_args(sys.argv[1:])
    lifetime.exit_on_sigterm()
    result = unittest.main(module="__main__", argv=[sys.argv[0], *rest], verbosity=2, exit=False).result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.testsRun == 0:
        print("no test ran: the selection matches nothing", file=sys.stderr)
        sys.exit(1)
    if result.skipped:
        if os.environ.get("E2E_NO_SKIPS") == "1":
            print(f"{len(result.skipped)} scenario(s) could not run here, and E2E_NO_SKIPS=1", file=sys.stderr)
            sys.exit(1)
        sys.exit(SKIPPED)
    sys.exit(0)
