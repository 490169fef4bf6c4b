# SPDX-License-Identifier: MIT
"""The udev rules the package installs read as udev reads them: every line a comma-separated list of
KEY[{attribute}] OPERATOR "value" items with keys and operators udev knows, every GOTO reaching its
LABEL, matches before assignments; and udevadm verify agrees where this udev has it.

usage: udev_rules_test.py RULES_FILE
"""
import re
import shutil
import subprocess
import sys
import unittest

RULES = None
MATCH_KEYS = {"ACTION", "SUBSYSTEM", "SUBSYSTEMS", "KERNEL", "DEVPATH", "DRIVER", "ENV", "ATTR", "ATTRS", "TAG"}
ASSIGN_KEYS = {"MODE", "GROUP", "OWNER", "TAG", "ENV", "GOTO", "LABEL", "RUN", "SYMLINK", "IMPORT"}
ITEM = re.compile(r'^(?P<key>[A-Z_]+)(\{(?P<attribute>[A-Za-z0-9_]+)\})?(?P<op>==|!=|\+=|-=|:=|=)"(?P<value>[^"]*)"$')


class UdevRules(unittest.TestCase):
    def lines(self):
        with open(RULES) as f:
            return [line.rstrip("\n") for line in f if line.strip() and not line.startswith("#")]

    def test_every_item_is_one_udev_reads(self):
        labels, gotos = set(), []
        for line in self.lines():
            assigned = False
            for item in line.split(", "):
                m = ITEM.match(item)
                self.assertIsNotNone(m, "%r in %r" % (item, line))
                key, op = m.group("key"), m.group("op")
                if op in ("==", "!="):
                    self.assertIn(key, MATCH_KEYS, item)
                    self.assertFalse(assigned, "a match after an assignment: %r" % line)
                else:
                    self.assertIn(key, ASSIGN_KEYS, item)
                    assigned = True
                if key == "LABEL":
                    labels.add(m.group("value"))
                if key == "GOTO":
                    gotos.append(m.group("value"))
        self.assertTrue(gotos)
        self.assertEqual(set(gotos) - labels, set(), "a GOTO without its LABEL")

    def test_usbtmc_devices_go_to_the_seat_user_and_plugdev(self):
        rule = next(line for line in self.lines() if "ID_USB_INTERFACES" in line)
        self.assertIn('ENV{ID_USB_INTERFACES}=="*:fe03??:*"', rule)  # class FE, subclass 03, any protocol
        for item in ('MODE="0660"', 'GROUP="plugdev"', 'TAG+="uaccess"'):
            self.assertIn(item, rule)

    @unittest.skipUnless(shutil.which("udevadm") and subprocess.run(["udevadm", "verify", "--help"],
                                                                      capture_output=True).returncode == 0,
                         "this udevadm has no verify (systemd 253 brought it)")
    def test_udevadm_verify_agrees(self):
        r = subprocess.run(["udevadm", "verify", RULES], capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)


if __name__ == "__main__":
    RULES = sys.argv[1]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
