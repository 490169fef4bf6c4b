# SPDX-License-Identifier: MIT
"""Every source file of the project carries the licence's SPDX identifier near its top, and the
licence itself is at the root.

usage: licence_test.py SOURCE_DIR
"""
import os
import re
import sys
import unittest

SOURCE = None
# Sources by name; data files (seeds, CSV, JSON, SVG, Markdown) carry no comment.
SOURCE_FILE = re.compile(r"(\.(cpp|h|c|py|sh|cmake|in|map|x)|/CMakeLists\.txt|/Vexo|/\.ci/run)$")
SKIPPED_DIRECTORIES = {".git", "corpus", "__pycache__"}
# Debian's copyright and changelog formats have no comments; the first is the licence itself.
SKIPPED_FILES = {"copyright.in", "changelog.in"}


class Licence(unittest.TestCase):
    def test_the_licence_is_mit_at_the_root(self):
        with open(os.path.join(SOURCE, "LICENSE")) as f:
            text = f.read()
        self.assertTrue(text.startswith("MIT License\n\nCopyright (c) "), text[:60])
        self.assertIn("Permission is hereby granted, free of charge", text)

    def test_every_source_file_names_its_licence(self):
        checked, missing = 0, []
        for directory, subdirectories, files in os.walk(SOURCE):
            subdirectories[:] = [d for d in subdirectories
                                 if d not in SKIPPED_DIRECTORIES and not d.startswith("build")]
            for name in files:
                path = os.path.join(directory, name)
                if not SOURCE_FILE.search(path) or name in SKIPPED_FILES:
                    continue
                checked += 1
                with open(path, errors="replace") as f:
                    head = [f.readline() for _ in range(3)]
                if not any("SPDX-License-Identifier: MIT" in line for line in head):
                    missing.append(os.path.relpath(path, SOURCE))
        self.assertGreater(checked, 300)
        self.assertEqual(missing, [])


if __name__ == "__main__":
    SOURCE = sys.argv[1]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
