# SPDX-License-Identifier: MIT
"""zevra when things go wrong: logs interrupted by signals, full disks and lost
instruments keep every sample; hostile instruments cannot drive the terminal;
bad numbers and list files are refused before anything is sent; no instrument
is driven that the user did not name; the private store stays private.

usage: zevra_safety_test.py BIN_DIR
"""
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import termios
import threading
import time
import unittest
import xml.dom.minidom

BIN = None


def clean_env(**extra):
    env = dict(os.environ)
    for name in ("IVICONFIGSERVERDEFAULT", "ZEVRA_RESOURCE", "ZEVRA_VISA_CONF"):
        env.pop(name, None)
    env.update(extra)
    return env


def zevra(*args, stdin=None, timeout=60, env=None):
    return subprocess.run([os.path.join(BIN, "zevra"), *args], input=stdin, capture_output=True, timeout=timeout,
                          env=env or clean_env())


class FakeInstrument:
    """A SCPI instrument on loopback that answers as told: *IDN?, MEAS:ALL?, SYST:ERR?, and any other query with
    `reply`; after `measurements` MEAS:ALL? answers it drops the connection."""

    def __init__(self, idn=b"Halmeric,QDX7001,QDX7001-000009,1.00", measure=b"5,0.5,2.5", reply=b"ok",
                 measurements=None):
        self.idn, self.measure, self.reply, self.measurements = idn, measure, reply, measurements
        self.received = []
        self.listener = socket.socket()
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.port = self.listener.getsockname()[1]
        self.resource = "TCPIP0::127.0.0.1::%d::SOCKET" % self.port
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        while True:
            try:
                conn, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self.talk, args=(conn,), daemon=True).start()

    def talk(self, conn):
        buffer = b""
        with conn:
            while True:
                data = conn.recv(4096)
                if not data:
                    return
                buffer += data
                while b"\n" in buffer:
                    line, buffer = buffer.split(b"\n", 1)
                    self.received.append(line)
                    for command in line.split(b";"):
                        answer = self.answer(command.strip().lstrip(b":").upper())
                        if answer is False:
                            return
                        if answer is not None:
                            conn.sendall(answer + b"\n")

    def answer(self, command):
        if command == b"*IDN?":
            return self.idn
        if command == b"SYST:ERR?":
            return b'+0,"No error"'
        if command in (b"*OPC?",):
            return b"1"
        if command in (b"*ESR?", b"*STB?"):
            return b"0"
        if command == b"MEAS:ALL?":
            if self.measurements is not None:
                if self.measurements == 0:
                    return False
                self.measurements -= 1
            return self.measure
        if command.endswith(b"?"):
            return self.reply
        return None

    def close(self):
        self.listener.close()


class LogKeepsEverySample(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.csv, self.svg, self.html = (os.path.join(self.dir.name, n) for n in ("log.csv", "log.svg", "log.html"))

    def tearDown(self):
        self.dir.cleanup()

    def rows(self):
        with open(self.csv) as f:
            return f.read().splitlines()

    def wait_for_rows(self, count, limit=20):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            if os.path.exists(self.csv) and len(self.rows()) > count:
                return
            time.sleep(0.02)
        self.fail("the CSV never reached %d rows" % count)

    def test_a_signal_stops_the_log_with_every_sample_written(self):
        for sig, name in ((signal.SIGINT, "SIGINT"), (signal.SIGTERM, "SIGTERM")):
            if os.path.exists(self.csv):
                os.remove(self.csv)
            p = subprocess.Popen([os.path.join(BIN, "zevra"), "--emulate", "log", "1", "--interval", "20",
                                  "--duration", "600", "--csv", self.csv, "--svg", self.svg, "--html", self.html],
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=clean_env())
            self.wait_for_rows(3)  # rows reach the file as they are taken
            p.send_signal(sig)
            out, err = p.communicate(timeout=10)
            self.assertEqual(p.returncode, 0, err)
            rows = self.rows()
            samples = int(re.search(r"samples: +(\d+)", out).group(1))
            self.assertIn("stopped:  by %s" % name, out)
            self.assertEqual(rows[0], "timestamp,time_s,voltage_V,current_A,power_W")
            self.assertEqual(len(rows), samples + 1)
            self.assertTrue(all(len(r.split(",")) == 5 for r in rows))
            xml.dom.minidom.parse(self.svg)
            with open(self.html) as f:
                self.assertEqual(f.read().count("<tr><td>"), samples)

    def test_a_lost_instrument_ends_the_log_with_the_samples_taken(self):
        fake = FakeInstrument(measurements=4)
        try:
            r = zevra("-r", fake.resource, "log", "1", "--interval", "20", "--duration", "60", "--csv", self.csv,
                      "--svg", self.svg)
        finally:
            fake.close()
        self.assertEqual(r.returncode, 1, r.stderr)
        self.assertIn(b"the 4 samples taken are in " + self.csv.encode(), r.stderr)
        self.assertEqual(len(self.rows()), 5)
        xml.dom.minidom.parse(self.svg)

    def test_failed_writes_end_the_run_with_a_message(self):
        start = time.monotonic()
        full = zevra("--emulate", "log", "1", "--duration", "60", "--csv", "/dev/full")
        self.assertEqual((full.returncode, full.stderr),
                         (1, b"zevra: cannot write /dev/full: No space left on device\n"))
        chart = zevra("--emulate", "log", "1", "--duration", "0.1", "--interval", "20", "--csv", self.csv,
                      "--svg", "/dev/full")
        self.assertEqual(chart.returncode, 1)
        self.assertEqual(chart.stderr, b"zevra: Cannot write /dev/full: No space left on device.\n")
        self.assertTrue(os.path.exists("/dev/full") and not os.path.isfile("/dev/full"), "the device was replaced")
        missing = os.path.join(self.dir.name, "no", "such", "dir", "chart.svg")
        csv = os.path.join(self.dir.name, "never.csv")
        unwritable = zevra("--emulate", "log", "1", "--duration", "60", "--csv", csv, "--svg", missing)
        self.assertEqual(unwritable.returncode, 2)
        self.assertIn(b"zevra: cannot write " + missing.encode(), unwritable.stderr)
        self.assertFalse(os.path.exists(csv), "nothing is started before every output is known writable")
        self.assertLess(time.monotonic() - start, 30, "a failed write never waits for the duration")

    def test_numbers_are_written_whole(self):
        fake = FakeInstrument(measure=b"1E70,9.9E37,-1.5E-3")
        try:
            r = zevra("-r", fake.resource, "log", "1", "--interval", "50", "--duration", "0.12", "--csv", self.csv,
                      "--html", self.html)
            self.assertEqual(r.returncode, 0, r.stderr)
            fields = self.rows()[1].split(",")
            self.assertEqual([float(v) for v in fields[2:4]], [1e70, 9.9e37])
            with open(self.html) as f:
                cells = re.findall(r"<td>([^<]*)</td>", f.read())
            self.assertIn(1e70, [float(c) for c in cells])
            measured = zevra("-r", fake.resource, "measure", "1")
            self.assertIn(fields[2], measured.stdout.decode())
        finally:
            fake.close()

    def test_timing_options_refuse_what_never_ends(self):
        cases = [
            (["log", "1", "--csv", "x.csv", "--duration", "nan"], "bad duration 'nan': not a finite number"),
            (["log", "1", "--csv", "x.csv", "--duration", "inf"], "bad duration 'inf': not a finite number"),
            (["log", "1", "--csv", "x.csv", "--duration", "-1"],
             "the interval is 0 (back to back) to a day and the duration positive, at most a year"),
            (["log", "1", "--csv", "x.csv", "--interval", "-1"],
             "the interval is 0 (back to back) to a day and the duration positive, at most a year"),
            (["log", "1", "--csv", "x.csv", "--interval", "nan"], "bad interval 'nan': not a finite number"),
            (["watch", "1", "--count", "-1"], "bad count '-1': not in 1..1000000000"),
            (["watch", "1", "--count", "1.5"], "bad count '1.5': not a whole number"),
            (["watch", "1", "--interval", "inf"], "bad interval 'inf': not a finite number"),
            (["save", "1.9"], "bad location '1.9': not a whole number"),
            (["recall", "nan"], "bad location 'nan': not a finite number"),
        ]
        for args, message in cases:
            r = zevra("--emulate", *args, timeout=20)
            self.assertEqual((r.returncode, r.stderr.decode()), (2, "zevra: %s\n" % message), args)


class HostileText(unittest.TestCase):
    HOSTILE = b"\x1b]0;owned\x07\x1b]52;c;cm0gLXJmIH4=\x07\x1b[2Jfine\x9b\xc2\x9b"

    def test_instrument_text_cannot_drive_the_terminal(self):
        fake = FakeInstrument(idn=b"Halmeric,QDX7001,\x1b]0;owned\x07,1.00", reply=self.HOSTILE)
        try:
            raw = zevra("-r", fake.resource, "raw", "DATA?")
            self.assertEqual(raw.returncode, 0, raw.stderr)
            self.assertEqual(raw.stdout, b"reply:  \\x1b]0;owned\\x07\\x1b]52;c;cm0gLXJmIH4=\\x07\\x1b[2Jfine"
                                         b"\\x9b\\xc2\\x9b\n")
            # JSON keeps the text exact (escaped as JSON does), for programs.
            as_json = json.loads(zevra("--json", "-r", fake.resource, "raw", "DATA?").stdout.decode("latin-1"))
            self.assertEqual(as_json["reply"].encode("latin-1"), self.HOSTILE)
            with tempfile.NamedTemporaryFile("w", suffix=".conf") as conf:
                conf.write("resource %s\n" % fake.resource)
                conf.flush()
                found = zevra("find", "TCPIP?*", "--timeout", "2000", env=clean_env(ZEVRA_VISA_CONF=conf.name))
            self.assertEqual(found.returncode, 0, found.stderr)
            self.assertIn(b"Halmeric,QDX7001,\\x1b]0;owned\\x07,1.00", found.stdout)
            for output in (raw.stdout, found.stdout):
                self.assertNotIn(b"\x1b", output)
                self.assertNotIn(b"\x07", output)
        finally:
            fake.close()

    def test_printable_text_in_any_language_passes_unchanged(self):
        fake = FakeInstrument(reply="Spannung µV ✓ 电源".encode())
        try:
            self.assertEqual(zevra("-r", fake.resource, "raw", "X?").stdout, "reply:  Spannung µV ✓ 电源\n".encode())
        finally:
            fake.close()


class BadInputSendsNothing(unittest.TestCase):
    def test_bad_list_files_are_refused_before_anything_is_sent(self):
        with tempfile.TemporaryDirectory() as tmp:
            def write(name, content):
                path = os.path.join(tmp, name)
                with open(path, "wb") as f:
                    f.write(content)
                return path
            good = write("good.csv", b"1,1,100\n2,1,100\n")
            cases = [
                (write("inf.csv", b"1,1,100\ninf,1,100\n"), "bad voltage in %s line 2 'inf': not a finite number"),
                (write("nan.csv", b"1,nan,100\n"), "bad current in %s line 1 'nan': not a finite number"),
                (write("fraction.csv", b"1,1,100.5\n"), "bad dwell_ms in %s line 1 '100.5': not a whole number"),
                (write("huge.csv", b"1,1,3000000000\n"),
                 "bad dwell_ms in %s line 1 '3000000000': not in 0..2147483647"),
                (write("negative.csv", b"1,1,-5\n"), "bad dwell_ms in %s line 1 '-5': not in 0..2147483647"),
                (write("nul.csv", b"1,1,100\n3\x00,1,100\n"), "%s line 2: holds a NUL byte; nothing was sent"),
            ]
            script = "list load 1 %s\n" % good
            for path, _ in cases:
                script += "list load 1 %s\n" % path
            script += "raw 'LIST:NUMB 1;:LIST:STEP:NUMB 0;:LIST:VOLT?'\nraw 'LIST:STEP:NUMB 1;:LIST:VOLT?'\n"
            r = zevra("--emulate", "shell", stdin=script.encode())
            self.assertEqual(r.returncode, 1)
            for path, message in cases:
                self.assertIn(("zevra: " + message % path + "\n").encode(), r.stderr)
            self.assertTrue(r.stdout.endswith(b"reply:  1\nreply:  2\n"), r.stdout)


class NamedInstrumentsOnly(unittest.TestCase):
    def test_no_resource_is_an_error_not_a_throwaway_emulator(self):
        r = zevra("output", "1", "on")
        self.assertEqual(r.returncode, 2)
        self.assertEqual(r.stderr, b"zevra: no instrument named: give -r RESOURCE (a VISA resource or a logical "
                                   b"name), --emulate for the built-in emulator, or name a default with "
                                   b"ZEVRA_RESOURCE or a logical name 'zevra' in the configuration store\n")

    def test_a_default_resource_is_used_and_said(self):
        fake = FakeInstrument()
        try:
            r = zevra("raw", "X?", env=clean_env(ZEVRA_RESOURCE=fake.resource))
            self.assertEqual((r.returncode, r.stdout), (0, b"reply:  ok\n"), r.stderr)
            self.assertEqual(r.stderr, ("zevra: using %s (ZEVRA_RESOURCE)\n" % fake.resource).encode())
            with tempfile.TemporaryDirectory() as tmp:
                store = os.path.join(tmp, "store.xml")
                tool = os.path.join(BIN, "ivi-config")
                for args in (["create"], ["register-driver"], ["add-asset", "bench", fake.resource],
                             ["add-session", "S", "--asset", "bench"], ["add-logical-name", "zevra", "S"]):
                    subprocess.run([tool, "--store", store, *args], check=True, capture_output=True)
                r = zevra("raw", "X?", env=clean_env(IVICONFIGSERVERDEFAULT=store))
                self.assertEqual((r.returncode, r.stdout), (0, b"reply:  ok\n"), r.stderr)
                self.assertEqual(r.stderr, b"zevra: using the logical name 'zevra' of the configuration store\n")
        finally:
            fake.close()


@unittest.skipIf(os.path.exists("/var/lib/ivi/IviConfigurationStore.xml"), "a master store is installed")
class PrivateStore(unittest.TestCase):
    def test_the_store_of_a_run_is_private_and_goes_with_it(self):
        with tempfile.TemporaryDirectory() as tmp:
            p = subprocess.Popen([os.path.join(BIN, "zevra"), "--emulate", "shell"], stdin=subprocess.PIPE,
                                 stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=clean_env(TMPDIR=tmp))
            try:
                deadline = time.monotonic() + 20
                while not os.listdir(tmp) and time.monotonic() < deadline:
                    time.sleep(0.02)
                (name,) = os.listdir(tmp)
                self.assertRegex(name, r"^zevra-[A-Za-z0-9]{6}$")
                self.assertEqual(os.stat(os.path.join(tmp, name)).st_mode & 0o777, 0o700)
            finally:
                p.communicate(b"quit\n", timeout=20)
            self.assertEqual(p.returncode, 0)
            self.assertEqual(os.listdir(tmp), [], "the private store is removed")

    def test_an_unusable_temporary_directory_is_a_clear_error(self):
        with tempfile.NamedTemporaryFile() as plain:
            for tmpdir in ("/proc", plain.name):
                r = zevra("--emulate", "info", env=clean_env(TMPDIR=tmpdir))
                self.assertEqual(r.returncode, 1, (tmpdir, r.stderr))
                self.assertRegex(r.stderr.decode(), r"^zevra: cannot make a private directory for the configuration "
                                                     r"store in %s: .+ \(set TMPDIR" % re.escape(tmpdir))


class FilesTheEnvironmentNames(unittest.TestCase):
    def test_a_fifo_as_trace_file_is_refused_not_waited_on(self):
        with tempfile.TemporaryDirectory() as tmp:
            fifo = os.path.join(tmp, "trace")
            os.mkfifo(fifo)
            r = zevra("--help", env=clean_env(ZEVRA_VISA_TRACE=fifo), timeout=20)
            self.assertEqual(r.returncode, 0)
            self.assertIn(("visa: cannot use the trace file %s: a FIFO; no trace is written\n" % fifo).encode(),
                          r.stderr)

    def test_the_trace_option_traces_the_run(self):
        with tempfile.TemporaryDirectory() as tmp:
            trace = os.path.join(tmp, "io.trace")
            r = zevra("--trace", trace, "--emulate", "raw", "*IDN?")
            self.assertEqual(r.returncode, 0, r.stderr)
            with open(trace) as f:
                lines = f.read().splitlines()
            self.assertTrue(any(" viOpen " in l and "-> VI_SUCCESS" in l for l in lines), lines[:3])
            self.assertTrue(any('wrote "*IDN?\\n"' in l for l in lines), lines)


class SerialPortsLeftAlone(unittest.TestCase):
    def test_find_writes_to_no_serial_port_and_a_session_restores_the_port(self):
        with tempfile.TemporaryDirectory() as tmp:
            transcript = os.path.join(tmp, "transcript")
            emulator = subprocess.Popen([os.path.join(BIN, "qdx-emulator"), "--serial", "--transcript", transcript],
                                        stdout=subprocess.PIPE, text=True)
            try:
                lines = [emulator.stdout.readline().split() for _ in range(2)]
                path = lines[1][2]
                resource = "ASRL%s::INSTR" % path
                conf = os.path.join(tmp, "visa.conf")
                with open(conf, "w") as f:
                    f.write("resource %s\n" % resource)
                env = clean_env(ZEVRA_VISA_CONF=conf)
                found = zevra("--json", "find", "ASRL?*", "--timeout", "300", env=env)
                row = next(r for r in json.loads(found.stdout)["instruments"] if r["resource"] == resource)
                self.assertEqual((row["identity"], row["status"]),
                                 ("", "not asked (--probe-serial asks serial ports)"))
                time.sleep(0.2)
                with open(transcript) as f:
                    self.assertNotIn("*IDN?", f.read())
                # A port's own settings (here a cooked line at 2400 baud) survive a session.
                fd = os.open(path, os.O_RDWR | os.O_NOCTTY)
                try:
                    attrs = termios.tcgetattr(fd)
                    attrs[3] |= termios.ICANON | termios.ECHO
                    attrs[4] = attrs[5] = termios.B2400
                    termios.tcsetattr(fd, termios.TCSANOW, attrs)
                    before = termios.tcgetattr(fd)
                    r = zevra("-r", resource, "raw", "*IDN?", env=env)
                    self.assertEqual(r.returncode, 0, r.stderr)
                    self.assertEqual(termios.tcgetattr(fd), before)
                finally:
                    os.close(fd)
            finally:
                emulator.terminate()
                emulator.wait(timeout=10)
                emulator.stdout.close()

    def test_find_with_nothing_found_says_so(self):
        r = zevra("find", "GPIB?*", "--timeout", "100")
        self.assertEqual((r.returncode, r.stdout), (0, b"instruments:  none found for 'GPIB?*'\n"), r.stderr)


if __name__ == "__main__":
    BIN = sys.argv[1]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
