#!/usr/bin/env python3
"""Builds (or confirms) the template Wine prefix that every e2e scenario
copies. Run by CTest as the setup of the e2e_template fixture, so the parallel
tests that follow find it ready; a scenario would build it on demand too."""

import sys
import time

import harness
from harness import prefix

if __name__ == "__main__":
    harness.parse_args(sys.argv[1:])
    config = harness.current_config()
    started = time.monotonic()
    with prefix.template_ready(config.template) as template:
        print(f"template prefix {template} ready in {time.monotonic() - started:.1f} s")
