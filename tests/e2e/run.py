# SPDX-License-Identifier: MIT
"""Runs one module of end-to-end tests against the built files named on the command line.

  run.py MODULE --program P [--encoder P] --fake P [--without ENTRY=P ...]
         [--cmake P --build-dir D] [unittest args]
"""
import argparse
import os
import sys
import unittest

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("module")
    parser.add_argument("--program", required=True)
    parser.add_argument("--encoder", default="")
    parser.add_argument("--fake", required=True)
    parser.add_argument("--without", action="append", default=[], metavar="ENTRY=PATH")
    parser.add_argument("--cmake", default="")
    parser.add_argument("--build-dir", default="")
    args, rest = parser.parse_known_args()
    harness.Paths.program = args.program
    harness.Paths.encoder = args.encoder or None
    harness.Paths.fake = args.fake
    harness.Paths.without = dict(item.split("=", 1) for item in args.without)
    harness.Paths.cmake = args.cmake or None
    harness.Paths.build = args.build_dir or None
    unittest.main(module=args.module, argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
