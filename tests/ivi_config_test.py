# SPDX-License-Identifier: MIT
"""ivi-config as a user runs it: building a store, listing, checking, removing.

usage: ivi_config_test.py IVI_CONFIG
"""
import os
import subprocess
import sys
import tempfile
import unittest

IVI_CONFIG = None


class IviConfig(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.store = os.path.join(self.dir.name, "sub", "store.xml")

    def tearDown(self):
        self.dir.cleanup()

    def run_tool(self, *args, expect=0):
        result = subprocess.run([IVI_CONFIG, "--store", self.store, *args], capture_output=True, text=True,
                                timeout=30)
        self.assertEqual(result.returncode, expect, (args, result.stdout, result.stderr))
        return result

    def build(self):
        self.run_tool("create")
        self.run_tool("register-driver", "--module-path", "/opt/zevra/libZEVRA_64.so")
        self.run_tool("add-asset", "bench-psu", "TCPIP0::10.0.0.5::5025::SOCKET")
        self.run_tool("add-session", "PSU", "--asset", "bench-psu", "--simulate", "1", "--query-instr-status",
                      "true", "--driver-setup", "Model=QDX7000")
        self.run_tool("add-logical-name", "Bench1", "PSU")
        self.run_tool("add-virtual-name", "PSU", "Out", "CH", "--range", "1", "4", "1")
        self.run_tool("add-virtual-name", "PSU", "Main", "CH3")
        self.run_tool("add-setting", "PSU", "Model", "string", "QDX7001")
        self.run_tool("add-setting", "ZEVRA", "Vmax", "real", "12.5")

    def test_unregister_driver_keeps_the_users_entries(self):
        self.build()
        self.run_tool("unregister-driver", "--delete-empty")
        listing = self.run_tool("list").stdout
        self.assertNotIn("software module ZEVRA", listing)
        self.assertIn("hardware asset bench-psu: TCPIP0::10.0.0.5::5025::SOCKET", listing)
        self.assertIn("logical name Bench1 -> PSU", listing)
        self.assertEqual(self.run_tool("unregister-driver", expect=1).stderr,
                         "ivi-config: the ZEVRA driver is not registered\n")

    def test_unregister_driver_deletes_a_store_left_empty(self):
        self.run_tool("create")
        self.run_tool("register-driver")
        self.assertEqual(self.run_tool("unregister-driver", "--delete-empty").stdout,
                         "deleted %s (nothing left in it)\n" % self.store)
        self.assertFalse(os.path.exists(self.store))

    def test_a_store_that_cannot_be_created_is_reported(self):
        blocker = os.path.join(self.dir.name, "file")
        open(blocker, "w").close()
        self.store = os.path.join(blocker, "store.xml")
        result = self.run_tool("create", expect=1)
        self.assertTrue(result.stderr.startswith("ivi-config: "), result.stderr)
        self.assertIn(blocker, result.stderr)

    def test_build_list_and_check_a_store(self):
        self.build()
        listing = self.run_tool("list").stdout
        for expected in ("software module ZEVRA (/opt/zevra/libZEVRA_64.so): CH1 CH2 CH3 CH4",
                         "hardware asset bench-psu: TCPIP0::10.0.0.5::5025::SOCKET",
                         "driver session PSU: asset bench-psu, module ZEVRA, QueryInstrStatus=1, Simulate=1, "
                         "DriverSetup=\"Model=QDX7000\"",
                         "  virtual name Out -> CH [1..4 from 1]",
                         "  virtual name Main -> CH3",
                         "  setting Model (String) = QDX7001",
                         "logical name Bench1 -> PSU"):
            self.assertIn(expected, listing)
        self.assertIn("no problems", self.run_tool("check").stdout)
        xml = self.run_tool("print").stdout
        self.assertIn("<IviConfigStore>", xml)
        self.assertIn("<RCName>OutputChannel</RCName>", xml)

    def test_refuses_bad_input_with_a_message(self):
        self.build()
        cases = [  # (arguments, exit status: 1 a refusal, 2 bad usage, what the message says)
            (["add-asset", "bench-psu", "x"], 1, "exists"),
            (["add-session", "Other", "--asset", "nothing"], 1, "no hardware asset 'nothing'"),
            (["add-logical-name", "L", "nothing"], 1, "no driver session 'nothing'"),
            (["add-setting", "PSU", "N", "integer", "1.5"], 1, "not a valid integer"),
            (["add-setting", "PSU", "N", "colour", "red"], 1, "type must be"),
            (["add-session", "X", "--simulate", "maybe"], 2, "--simulate takes 0 or 1"),
            (["add-virtual-name", "PSU", "V", "CH", "--range", "4", "1", "1"], 1, "MIN <= MAX"),
            (["remove", "asset", "nothing"], 1, "no asset 'nothing'"),
            (["frobnicate"], 2, "unknown command"),
            (["create"], 1, "exists"),
            (["add-asset", "", "TCPIP0::h::5025::SOCKET"], 2, "add-asset: argument 1 is empty"),
            (["add-logical-name", "L2", ""], 2, "add-logical-name: argument 2 is empty"),
            (["add-session", ""], 2, "add-session: argument 1 is empty"),
        ]
        for args, status, message in cases:
            result = self.run_tool(*args, expect=status)
            self.assertIn(message, result.stderr, args)

    def test_check_reports_broken_references_with_their_line(self):
        self.build()
        with open(self.store) as f:
            text = f.read()
        with open(self.store, "w") as f:
            f.write(text.replace('idref="bench-psu"', 'idref="gone"'))
        result = self.run_tool("check", expect=1)
        line = next(i for i, l in enumerate(text.splitlines(), 1) if 'idref="bench-psu"' in l)
        self.assertIn("%s line %d: IviHardwareAsset idref 'gone' refers to nothing" % (self.store, line),
                      result.stdout)

    def test_what_a_store_holds_is_shown_terminal_safe(self):
        os.makedirs(os.path.dirname(self.store))
        with open(self.store, "w") as f:  # a shared store written by someone else
            f.write("<IviConfigStore><HardwareAssets><IviHardwareAsset id=\"a1\"><Name>x\x1b]0;owned\x07</Name>"
                    "<IOResourceDescriptor>TCPIP0::h::1::SOCKET\x1b[2J</IOResourceDescriptor></IviHardwareAsset>"
                    "</HardwareAssets><LogicalNames><IviLogicalName><Name>L\x1b[31m</Name>"
                    "<IviDriverSession idref=\"gone\x1b[8m\"/></IviLogicalName></LogicalNames></IviConfigStore>\n")
        listed = self.run_tool("list")
        self.assertIn("hardware asset x\\x1b]0;owned\\x07: TCPIP0::h::1::SOCKET\\x1b[2J\n"
                      "logical name L\\x1b[31m -> gone\\x1b[8m\n", listed.stdout)
        checked = self.run_tool("check", expect=1)
        self.assertIn("IviDriverSession idref 'gone\\x1b[8m' refers to nothing\n", checked.stdout)
        refused = self.run_tool("add-asset", "x\x1b]0;owned\x07", "TCPIP0::h::2::SOCKET", expect=1)
        self.assertEqual(refused.stderr, "ivi-config: hardware asset 'x\\x1b]0;owned\\x07' exists\n")
        for result in (listed, checked, refused):
            self.assertNotIn("\x1b", result.stdout + result.stderr)

    def test_malformed_store_is_reported_with_its_line(self):
        os.makedirs(os.path.dirname(self.store))
        with open(self.store, "w") as f:
            f.write("<IviConfigStore>\n<DriverSessions>\n</IviConfigStore>\n")
        result = self.run_tool("list", expect=1)
        self.assertIn("line 3", result.stderr)
        self.assertIn(self.store, result.stderr)

    def test_remove(self):
        self.build()
        self.run_tool("remove", "virtual-name", "Main", "PSU")
        self.run_tool("remove", "setting", "Vmax", "ZEVRA")
        self.run_tool("remove", "logical-name", "Bench1")
        listing = self.run_tool("list").stdout
        self.assertNotIn("Main", listing)
        self.assertNotIn("Bench1", listing)
        self.assertIn("no problems", self.run_tool("check").stdout)
        self.run_tool("remove", "asset", "bench-psu")
        result = self.run_tool("check", expect=1)
        self.assertIn("refers to nothing", result.stdout)


if __name__ == "__main__":
    IVI_CONFIG = sys.argv[1]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
