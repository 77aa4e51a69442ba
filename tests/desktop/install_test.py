# SPDX-License-Identifier: MIT
"""cmake --install into prefixes of the test's own: the files laid out, and the desktop entry
and metadata that point desktops at them.

  install_test.py --cmake P --build-dir D --desktop-id ID --window-class C --icon-sizes "16;24;…"
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import desktop_entry  # noqa: E402

PROGRAM_FOLDER = "opt/qrgen"
PROGRAM_FILES = ("qrgen", "QRCodeWin32.dll", "qrgen-webview.so")


class Build:
    """Filled in from the command line."""
    cmake = None
    directory = None
    desktop_id = None
    window_class = None
    icon_sizes = ()


def install(prefix, destdir=None, cwd=None):
    env = dict(os.environ)
    env.pop("DESTDIR", None)
    if destdir:
        env["DESTDIR"] = destdir
    result = subprocess.run([Build.cmake, "--install", Build.directory, "--prefix", prefix],
                            env=env, cwd=cwd, capture_output=True, text=True, timeout=90)
    if result.returncode != 0:
        raise AssertionError(f"cmake --install failed:\n{result.stdout}{result.stderr}")


def files_under(root):
    found = set()
    for directory, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(directory, name), root))
    return found


def expected_files():
    entry = f"share/applications/{Build.desktop_id}.desktop"
    metainfo = f"share/metainfo/{Build.desktop_id}.metainfo.xml"
    icons = {f"share/icons/hicolor/{size}x{size}/apps/{Build.desktop_id}.png"
             for size in Build.icon_sizes}
    return {f"{PROGRAM_FOLDER}/{name}" for name in PROGRAM_FILES} | {entry, metainfo} | icons


class InstallTest(unittest.TestCase):

    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="qrgen-install-")
        self.addCleanup(scratch.cleanup)
        self.scratch = scratch.name

    def test_installs_one_program_folder_and_an_entry_that_names_it(self):
        # (what, --prefix, DESTDIR, prefix the installed files are used from); relative
        # paths are in the scratch folder, where cmake runs.
        scratch = self.scratch
        odd = 'odd "prefix" $HOME `x` 100%'
        cases = [
            ("plain prefix", f"{scratch}/plain", None, f"{scratch}/plain"),
            ("spaces, quotes, dollar, backquote and percent", f"{scratch}/{odd}", None,
             f"{scratch}/{odd}"),
            ("relative prefix", "relative/prefix", None, f"{scratch}/relative/prefix"),
            ("staged with DESTDIR", "/opt/qrgen-staged", f"{scratch}/stage", "/opt/qrgen-staged"),
        ]
        for what, given, destdir, prefix in cases:
            with self.subTest(what):
                install(given, destdir=destdir, cwd=scratch)
                root = destdir + prefix if destdir else prefix
                self.assertEqual(files_under(root), expected_files(),
                                 "exactly the program, its libraries and the desktop files")
                self.assertTrue(os.access(os.path.join(root, PROGRAM_FOLDER, "qrgen"), os.X_OK))

                entry_path = os.path.join(root, "share/applications",
                                          f"{Build.desktop_id}.desktop")
                entry = desktop_entry.read(entry_path)
                program = os.path.join(prefix, PROGRAM_FOLDER, "qrgen")
                self.assertEqual(desktop_entry.exec_arguments(entry["Exec"]), [program])
                self.assertEqual(entry["TryExec"], program)
                icon = entry["Icon"]
                self.assertTrue(icon.startswith(prefix + "/"), icon)
                self.assertTrue(os.path.isfile(root + icon[len(prefix):]), icon)
                self.assertEqual(entry["StartupWMClass"], Build.window_class)
                self.assert_valid_entry(entry_path)

    def assert_valid_entry(self, path):
        result = subprocess.run(["desktop-file-validate", path], capture_output=True, text=True,
                                timeout=60)
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

    def test_entry_speaks_chinese_with_english_fallbacks(self):
        install(os.path.join(self.scratch, "prefix"))
        entry = desktop_entry.read(os.path.join(self.scratch, "prefix/share/applications",
                                                f"{Build.desktop_id}.desktop"))
        self.assertEqual(entry["Type"], "Application")
        self.assertEqual(entry["Name[zh_CN]"], "二维码生成器")
        for key in ("Name", "Comment"):
            self.assertTrue(entry[key].isascii() and entry[key], key)
            self.assertFalse(entry[f"{key}[zh_CN]"].isascii(), key)
        self.assertIn("Utility", entry["Categories"].split(";"))

    def test_metainfo_is_valid_and_launches_the_entry(self):
        install(os.path.join(self.scratch, "prefix"))
        path = os.path.join(self.scratch, "prefix/share/metainfo",
                            f"{Build.desktop_id}.metainfo.xml")
        result = subprocess.run(["appstreamcli", "validate", "--no-net", "--pedantic", path],
                                capture_output=True, text=True, timeout=60)
        report = result.stdout + result.stderr
        self.assertEqual(result.returncode, 0, report)
        # Errors and warnings fail; notes such as the test-only host's top-level domain do not.
        self.assertIsNone(re.search(r"^[EW]:", report, re.M), report)

        component = ElementTree.parse(path).getroot()
        self.assertEqual(component.get("type"), "desktop-application")
        self.assertEqual(component.findtext("id"), Build.desktop_id)
        self.assertEqual(component.findtext("launchable"), f"{Build.desktop_id}.desktop")
        language = "{http://www.w3.org/XML/1998/namespace}lang"
        for tag in ("name", "summary"):
            translated = [e.text for e in component.findall(tag) if e.get(language) == "zh-CN"]
            self.assertEqual(len(translated), 1, tag)
        self.assertEqual(component.find("releases/release").get("version"), "1.0")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--desktop-id", required=True)
    parser.add_argument("--window-class", required=True)
    parser.add_argument("--icon-sizes", required=True)
    args, rest = parser.parse_known_args()
    Build.cmake = args.cmake
    Build.directory = os.path.abspath(args.build_dir)
    Build.desktop_id = args.desktop_id
    Build.window_class = args.window_class
    Build.icon_sizes = tuple(int(size) for size in args.icon_sizes.split(";"))
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
