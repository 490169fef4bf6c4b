# SPDX-License-Identifier: MIT
"""A configuration store survives what users and machines do to it: full disks,
killed editors, two editors at once, readers during an edit, symlinks, and
keeps the user's comments and layout through edits.

usage: store_integrity_test.py IVI_CONFIG
"""
import os
import random
import resource
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import xml.dom.minidom

IVI_CONFIG = None

USER_STORE = """<?xml version="1.0" encoding="UTF-8"?>
<!-- The bench's store: edited by hand, keep this note. -->
<IviConfigStore>
    <SoftwareModules>
        <IviSoftwareModule id="Other"><Name>Other</Name><Prefix>OTHER</Prefix></IviSoftwareModule>
    </SoftwareModules>
    <HardwareAssets>
        <!-- the rack's supply -->
        <IviHardwareAsset id="rack">
            <Name>rack</Name>
            <IOResourceDescriptor>TCPIP0::192.0.2.7::5025::SOCKET</IOResourceDescriptor>
        </IviHardwareAsset>
    </HardwareAssets>
    <DriverSessions/>
    <LogicalNames/>
</IviConfigStore>
"""


def tool(store, *args, **kwargs):
    return subprocess.run([IVI_CONFIG, "--store", store, *args], capture_output=True, text=True, timeout=60,
                          **kwargs)


class StoreIntegrity(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.store = os.path.join(self.dir.name, "store.xml")

    def tearDown(self):
        self.dir.cleanup()

    def write_store(self, text):
        with open(self.store, "w") as f:
            f.write(text)

    def read_store(self):
        with open(self.store) as f:
            return f.read()

    def ok(self, *args):
        result = tool(self.store, *args)
        self.assertEqual(result.returncode, 0, (args, result.stderr))
        return result

    def test_edits_keep_comments_declaration_and_layout(self):
        self.write_store(USER_STORE)
        self.ok("add-asset", "spare", "TCPIP0::192.0.2.8::5025::SOCKET")
        text = self.read_store()
        self.assertTrue(text.startswith('<?xml version="1.0" encoding="UTF-8"?>\n'
                                        "<!-- The bench's store: edited by hand, keep this note. -->\n"), text)
        self.assertIn("        <!-- the rack's supply -->\n", text)
        # The user's one-line element stays on one line; the new one takes the file's indentation.
        self.assertIn('<IviSoftwareModule id="Other"><Name>Other</Name><Prefix>OTHER</Prefix></IviSoftwareModule>',
                      text)
        self.assertIn("        </IviHardwareAsset>\n"
                      '        <IviHardwareAsset id="spare">\n'
                      "            <Name>spare</Name>\n"
                      "            <IOResourceDescriptor>TCPIP0::192.0.2.8::5025::SOCKET</IOResourceDescriptor>\n"
                      "        </IviHardwareAsset>\n"
                      "    </HardwareAssets>\n", text)
        # Removing what was added gives the user's file back byte for byte, however often.
        for _ in range(3):
            self.ok("remove", "asset", "spare")
            self.assertEqual(self.read_store(), USER_STORE)
            self.ok("add-asset", "spare", "TCPIP0::192.0.2.8::5025::SOCKET")
        self.ok("remove", "asset", "spare")
        self.assertEqual(self.read_store(), USER_STORE)

    def test_repeated_registration_does_not_grow_a_store(self):
        self.ok("create")
        self.ok("register-driver", "--module-path", "/opt/z/libZEVRA_64.so")
        first = self.read_store()
        xml.dom.minidom.parseString(first)
        for _ in range(3):
            self.ok("register-driver", "--module-path", "/opt/z/libZEVRA_64.so")
        self.assertEqual(self.read_store(), first)

    def test_a_full_disk_leaves_the_store_byte_for_byte(self):
        self.ok("create")
        self.ok("register-driver")
        for i in range(40):
            self.ok("add-asset", "asset%d" % i, "TCPIP0::192.0.2.%d::5025::SOCKET" % i)
        before = self.read_store()
        limit = len(before.encode()) // 2

        def small_disk():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

        result = tool(self.store, "add-asset", "one-more", "TCPIP0::192.0.2.200::5025::SOCKET",
                      preexec_fn=small_disk)
        self.assertEqual(result.returncode, 1)
        self.assertIn("Cannot write %s" % self.store, result.stderr)
        self.assertIn("File too large", result.stderr)
        self.assertIn("the file was left as it was", result.stderr)
        self.assertEqual(self.read_store(), before)
        self.assertEqual(sorted(os.listdir(self.dir.name)), ["store.xml", "store.xml.lock"])

    def test_a_killed_editor_leaves_the_old_store_or_the_new(self):
        self.ok("create")
        # A store big enough for a kill to land mid-write.
        big = USER_STORE.replace("<DriverSessions/>", "<DriverSessions>%s</DriverSessions>" % "".join(
            '<IviDriverSession id="s%d"><Name>s%d</Name></IviDriverSession>' % (i, i) for i in range(20000)))
        self.write_store(big)
        rng = random.Random(7)
        for attempt in range(12):
            before = self.read_store()
            p = subprocess.Popen([IVI_CONFIG, "--store", self.store, "add-asset", "a%d" % attempt, "X"],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(rng.uniform(0.0, 0.08))
            p.send_signal(signal.SIGKILL)
            p.wait()
            after = self.read_store()
            xml.dom.minidom.parseString(after)  # never a truncated file
            self.assertTrue(after == before or ('<IviHardwareAsset id="a%d">' % attempt) in after)

    def test_concurrent_editors_lose_nothing(self):
        self.ok("create")
        self.ok("register-driver")
        errors = []

        def add(first):
            for i in range(first, first + 15):
                r = tool(self.store, "add-asset", "asset%d" % i, "X")
                if r.returncode != 0:
                    errors.append(r.stderr)

        threads = [threading.Thread(target=add, args=(n * 100,)) for n in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        self.assertEqual(errors, [])
        listing = self.ok("list").stdout
        for n in range(4):
            for i in range(n * 100, n * 100 + 15):
                self.assertIn("hardware asset asset%d: X\n" % i, listing)

    def test_readers_during_edits_always_see_a_whole_store(self):
        self.ok("create")
        self.ok("register-driver")
        stop = threading.Event()
        bad = []

        def read():
            while not stop.is_set():
                r = tool(self.store, "check")
                if r.returncode != 0:
                    bad.append(r.stdout + r.stderr)

        reader = threading.Thread(target=read)
        reader.start()
        try:
            for i in range(30):
                self.ok("add-asset", "a%d" % i, "TCPIP0::192.0.2.1::5025::SOCKET")
        finally:
            stop.set()
            reader.join()
        self.assertEqual(bad, [])

    def test_a_symlinked_store_is_edited_through_the_link(self):
        real_dir = os.path.join(self.dir.name, "real")
        os.mkdir(real_dir)
        real = os.path.join(real_dir, "store.xml")
        os.symlink(real, self.store)  # dangling: create follows it
        self.ok("create")
        self.ok("add-asset", "x", "TCPIP0::192.0.2.1::5025::SOCKET")
        self.assertTrue(os.path.islink(self.store))
        self.assertEqual(os.readlink(self.store), real)
        with open(real) as f:
            self.assertIn("<Name>x</Name>", f.read())

    def test_permissions_of_the_store_are_kept(self):
        self.ok("create")
        os.chmod(self.store, 0o640)
        self.ok("register-driver")
        self.assertEqual(os.stat(self.store).st_mode & 0o777, 0o640)

    def test_numbers_that_cannot_be_stored_are_refused(self):
        self.ok("create")
        self.ok("register-driver")
        self.ok("add-session", "PSU")
        before = self.read_store()
        cases = [  # bad usage (2), or a value the store's item refuses (1)
            (["add-virtual-name", "PSU", "V", "CH", "--range", "1", "4294967297", "1"], 2,
             "ivi-config: --range value '4294967297' is outside -2147483648..2147483647\n"),
            (["add-virtual-name", "PSU", "V", "CH", "--range", "1", "2", "-9999999999"], 2,
             "ivi-config: --range value '-9999999999' is outside -2147483648..2147483647\n"),
            (["add-virtual-name", "PSU", "V", "CH", "--range", "1", "2.5", "1"], 2,
             "ivi-config: --range takes three integers, not '2.5'\n"),
            (["add-setting", "PSU", "N", "integer", "4294967297"], 1,
             "ivi-config: '4294967297' is not a valid integer\n"),
        ]
        for args, status, message in cases:
            r = tool(self.store, *args)
            self.assertEqual((r.returncode, r.stderr), (status, message), args)
        self.assertEqual(self.read_store(), before)

    def test_a_fifo_planted_as_the_lock_file_holds_nobody(self):
        self.ok("create")
        os.remove(self.store + ".lock")
        os.mkfifo(self.store + ".lock")
        start = time.monotonic()
        self.assertIn("Store: %s" % self.store, self.ok("list").stdout)  # a reader reads all the same
        r = tool(self.store, "add-asset", "x", "TCPIP0::192.0.2.1::5025::SOCKET")
        self.assertEqual((r.returncode, r.stderr),
                         (1, "ivi-config: Cannot lock %s: %s.lock is not a regular file.\n" % (self.store, self.store)))
        self.assertLess(time.monotonic() - start, 10)

    def test_a_store_that_is_not_a_regular_file_is_refused_at_once(self):
        fifo = os.path.join(self.dir.name, "fifo.xml")
        os.mkfifo(fifo)
        for path, why in ((fifo, "not a regular file"), ("/dev/zero", "not a regular file")):
            start = time.monotonic()
            r = tool(path, "list")
            self.assertEqual(r.returncode, 1)
            self.assertEqual(r.stderr, "ivi-config: Cannot read the configuration store %s: %s.\n" % (path, why))
            self.assertLess(time.monotonic() - start, 10)


if __name__ == "__main__":
    IVI_CONFIG = sys.argv[1]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
