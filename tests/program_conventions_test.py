# SPDX-License-Identifier: MIT
"""What every program of the stack has in common: --version, --help, and exit statuses 0 for
success, 1 for a failure, 2 for a command line that does not say what to do.

Their manual pages render with man and name every command and option their --help names.

usage: program_conventions_test.py BIN_DIR VERSION MAN_DIR
"""
import os
import re
import subprocess
import sys
import tempfile
import unittest

BIN = VERSION = MAN = None


def run(program, *args):
    env = {k: v for k, v in os.environ.items() if k not in ("IVICONFIGSERVERDEFAULT", "ZEVRA_RESOURCE")}
    return subprocess.run([os.path.join(BIN, program), *args], capture_output=True, text=True, timeout=60, env=env)


class ProgramConventions(unittest.TestCase):
    def test_version(self):
        for program in ("zevra", "ivi-config", "qdx-emulator", "zevra-gateway"):
            r = run(program, "--version")
            self.assertEqual(r.returncode, 0, (program, r.stderr))
            self.assertEqual(r.stdout.splitlines()[0], "%s %s" % (program, VERSION))
        lines = run("zevra", "--version").stdout.splitlines()
        self.assertRegex(lines[1], r"^driver ZEVRA \d+\.\d+\.\d+\.\d+ \(/.*/libZEVRA_64\.so\.%s\)$" % VERSION)
        self.assertRegex(lines[2], r"^VISA library /.*/libvisa\.so\.%s$" % VERSION)

    def test_exit_statuses(self):
        with tempfile.TemporaryDirectory() as tmp:
            store = os.path.join(tmp, "store.xml")
            self.assertEqual(run("ivi-config", "--store", store, "create").returncode, 0)
            cases = [
                ("zevra", ["--help"], 0),
                ("zevra", ["--emulate", "info"], 0),
                ("zevra", ["-r", "TCPIP0::127.0.0.1::1::SOCKET", "info"], 1),  # nothing there
                ("zevra", ["--emulate", "frobnicate"], 2),
                ("zevra", ["--emulate", "set", "1", "VOLT"], 2),
                ("ivi-config", ["--help"], 0),
                ("ivi-config", ["--store", store, "list"], 0),
                ("ivi-config", ["--store", store, "add-logical-name", "L", "nothing"], 1),  # no such session
                ("ivi-config", ["--store", os.path.join(tmp, "missing.xml"), "list"], 1),
                ("ivi-config", ["--store", store, "frobnicate"], 2),
                ("ivi-config", ["--store", store, "add-asset", "only-a-name"], 2),
                ("ivi-config", ["--store", store, "add-session", "S", "--simulate", "maybe"], 2),
                ("ivi-config", [], 2),
                ("qdx-emulator", ["--help"], 0),
                ("qdx-emulator", ["--port", "70000"], 2),
                ("qdx-emulator", ["--bogus"], 2),
                ("zevra-gateway", ["--help"], 0),
                ("zevra-gateway", ["--config", os.devnull], 2),  # nothing to serve
                ("zevra-gateway", ["--bogus"], 2),
                # An address this machine does not have: nothing to listen on.
                ("zevra-gateway", ["--config", os.devnull, "--map", "inst0=TCPIP::127.0.0.1::1::SOCKET",
                                   "--listen", "203.0.113.7", "--allow", "203.0.113.0/24", "--insecure"], 1),
            ]
            for program, args, status in cases:
                r = run(program, *args)
                self.assertEqual(r.returncode, status, (program, args, r.stderr))
                if status != 0:
                    self.assertTrue(r.stderr.startswith(program + ": ") or r.stderr.startswith("usage: "),
                                    (program, args, r.stderr))


    def rendered(self, page):
        r = subprocess.run(["man", "-l", os.path.join(MAN, page)], capture_output=True, text=True, timeout=60,
                           env=dict(os.environ, MANWIDTH="200", MAN_KEEP_FORMATTING="0", LC_ALL="C.UTF-8"))
        self.assertEqual(r.returncode, 0, (page, r.stderr))
        text = re.sub(r".\x08", "", r.stdout)  # no overstruck bold
        return " ".join(text.replace("\u2010\n", "").split())  # joined, as the page may wrap anywhere

    def test_manual_pages_name_everything_help_names(self):
        for program in ("zevra", "ivi-config", "qdx-emulator", "zevra-gateway"):
            page = self.rendered(program + ".1.gz")
            helps = [run(program, "--help").stdout]
            if program == "zevra":
                commands = re.findall(r"^  (\S+)\s{2,}", helps[0].split("Commands:", 1)[1], re.M)
                self.assertIn("log", commands)
                helps += [run(program, command, "--help").stdout for command in commands]
                for command in commands:
                    self.assertIn("zevra %s" % command, page)
            words = set()
            for text in helps:
                words.update(re.findall(r"(?<![\w-])(--?[a-z][\w-]*)", text))
                words.update(re.findall(r"^  ([a-z][\w-]+)", text, re.M))  # commands
            self.assertGreater(len(words), 5, program)
            for word in sorted(words):
                self.assertIn(word, page, (program, word))
            self.assertIn("EXIT STATUS", page)
        conf = self.rendered("visa.conf.5.gz")
        for entry in ("alias NAME RESOURCE", "resource RESOURCE", "discovery-window MS", "/etc/zevra/visa.conf"):
            self.assertIn(entry, conf)


if __name__ == "__main__":
    BIN, VERSION, MAN = sys.argv[1:4]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
