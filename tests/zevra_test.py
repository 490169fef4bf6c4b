# SPDX-License-Identifier: MIT
"""zevra driven as a user would: commands, bad input, JSON, the interactive
shell and the live table in a pseudo-terminal, logging to CSV and SVG, and the
SVG rendered by a real browser.

usage: zevra_test.py BIN_DIR SOURCE_DIR
"""
import base64
import json
import os
import pty
import re
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import jsonschema

BIN = None
SOURCE = None


def zevra(*args, stdin=None, timeout=60):
    env = dict(os.environ)
    env.pop("IVICONFIGSERVERDEFAULT", None)
    return subprocess.run([os.path.join(BIN, "zevra"), *args], input=stdin, capture_output=True, text=True,
                          timeout=timeout, env=env)


def in_pty(args, keystrokes, timeout=30, env=None):
    """Runs zevra on a pseudo-terminal, typing each keystroke text in turn; returns what it printed and its status."""
    pid, fd = pty.fork()
    if pid == 0:
        os.environ.pop("IVICONFIGSERVERDEFAULT", None)
        os.environ.pop("NO_COLOR", None)
        os.environ["HOME"] = tempfile.gettempdir()
        os.environ["TERM"] = "xterm"
        os.environ.update(env or {})
        os.execv(os.path.join(BIN, "zevra"), ["zevra", *args])
    output = b""
    deadline = time.time() + timeout
    pending = list(keystrokes)
    while time.time() < deadline:
        ready, _, _ = select.select([fd], [], [], 0.3)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                break
            if not chunk:
                break
            output += chunk
        elif pending:
            os.write(fd, pending.pop(0).encode())
    _, status = os.waitpid(pid, 0)
    os.close(fd)
    return output.decode(errors="replace"), os.waitstatus_to_exitcode(status)


def chromium_flags(profile):
    """Headless Chromium that stays off the network, with its own profile directory."""
    return ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--user-data-dir=" + profile, "--virtual-time-budget=5000"]


class Zevra(unittest.TestCase):
    def test_every_command_has_help(self):
        listing = zevra("--help")
        self.assertEqual(listing.returncode, 0)
        for command in ("find", "info", "set", "get", "output", "clear", "measure", "state", "status", "errors", "list",
                        "save", "recall", "raw", "watch", "log", "shell"):
            self.assertIn("  " + command, listing.stdout)
            result = zevra(command, "--help")
            self.assertEqual(result.returncode, 0, command)
            self.assertTrue(result.stdout.startswith("usage: zevra " + command), command)
        self.assertIn("\nCommands:\n", listing.stdout)
        log = zevra("log", "--help").stdout
        for flag in ("--interval MS", "--duration S", "--csv FILE", "--svg FILE", "--html FILE"):
            self.assertRegex(log, r"\n  %s +\w" % re.escape(flag))

    def test_bad_input_is_refused_clearly(self):
        cases = [
            (["frobnicate"], 2, "unknown command 'frobnicate' (see zevra --help)"),
            (["mesure", "all"], 2, "unknown command 'mesure'; did you mean 'measure'? (see zevra --help)"),
            (["completion", "zsh"], 2, "usage: zevra completion bash"),
            (["set", "9", "VOLT", "1"], 2, "bad channel '9': use 1-4 or CH1-CH4"),
            (["set", "1", "WATTS", "1"], 2, "unknown setting 'WATTS'"),
            (["set", "1", "VOLT", "five"], 2, "bad value 'five': want a number of V (5, 5V, 500mV)"),
            (["set", "1", "VOLT", "5A"], 2, "bad value '5A': want a number of V (5, 5V, 500mV)"),
            (["set", "1", "CURR", "2MA"], 2, "bad value '2MA': want a number of A (5, 5A, 500mA)"),
            (["set", "1", "VOLT", "inf"], 2, "bad value 'inf': want a number of V"),
            (["set", "1"], 2, "usage: zevra set CH|all VOLT|CURR|OVP|OCP VALUE"),
            (["set", "1", "VOLT", "5", "6"], 2,
             "too many arguments for set, from '6'\nusage: zevra set CH|all VOLT|CURR|OVP|OCP VALUE"),
            (["info", "--loud"], 2, "unknown or incomplete option '--loud'\nusage: zevra info"),
            (["watch", "1", "--interval"], 2, "--interval: 1 required MS missing"),
            (["log", "1"], 2, "log needs --csv FILE\nusage: zevra log CH|all --csv FILE"),
            (["-r"], 2, "-r: 1 required RESOURCE missing (see zevra --help)"),
            (["get", "Out1"], 2, "bad channel 'Out1': use 1-4 or CH1-CH4"),
            (["clear", "5"], 2, "bad channel '5': use 1-4 or CH1-CH4"),
            (["output", "1", "maybe"], 2, "bad output state 'maybe'"),
            (["set", "1", "VOLT", "99"], 1,
             "setting VOLT on CH1 to 99 V failed: 0xBFFA0001 Instrument error detected.  Use ErrorQuery() to "
             "determine the error(s).\n  instrument error -222: Data out of range\n"),
            (["-o", "Simulate=maybe", "info"], 1,
             "0xBFFA004C The 'maybe' value in the option string is unknown."),
            (["-r", "TCPIP0::127.0.0.1::1::SOCKET", "info"], 1, "cannot open TCPIP0::127.0.0.1::1::SOCKET: 0xBFFF0011"),
            (["--bogus", "info"], 2, "unknown or incomplete option '--bogus'"),
        ]
        for args, code, message in cases:
            result = zevra(*(args if "-r" in args else ["--emulate", *args]))
            self.assertEqual(result.returncode, code, (args, result.stderr))
            self.assertIn(message, result.stderr, args)

    def test_instrument_errors_are_read_out_and_errors_clears_nothing_first(self):
        script = "set 2 CURR 50\nerrors\nraw 'VOLT 99'\nraw 'NOSUCH'\nerrors\nerrors\n"
        result = zevra("--emulate", "shell", stdin=script)
        self.assertEqual(result.returncode, 1)
        self.assertIn("errors:  none queued\nsent:  VOLT 99\nsent:  NOSUCH\n"
                      "code  message\n-222  Data out of range\n-113  Undefined header\nerrors:  none queued\n",
                      result.stdout)
        self.assertIn("setting CURR on CH2 to 50 A failed: 0xBFFA0001 Instrument error detected.  Use ErrorQuery() "
                      "to determine the error(s).\n  instrument error -222: Data out of range\n", result.stderr)
        self.assertEqual(json.loads(zevra("--json", "--emulate", "errors").stdout), {"errors": []})

    def test_a_name_that_is_neither_resource_nor_logical_name(self):
        result = zevra("-r", "PSU1", "info")
        self.assertEqual(result.returncode, 1)
        self.assertRegex(result.stderr, r"cannot open PSU1: 0xBFFF0012 .*\n  'PSU1' is not a VISA resource \(like "
                         r"TCPIP0::host::5025::SOCKET\) and not a logical name in a configuration store; "
                         r"(looked in \S+ \(the master store\)|no store was found \(IVICONFIGSERVERDEFAULT is not set "
                         r"and \S+ does not exist\))\n$")
        with tempfile.TemporaryDirectory() as tmp:
            store = os.path.join(tmp, "store.xml")
            with open(store, "w") as f:
                f.write("<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name>"
                        "<Prefix>ZEVRA</Prefix></IviSoftwareModule></SoftwareModules></IviConfigStore>\n")
            env = dict(os.environ, IVICONFIGSERVERDEFAULT=store)
            named = subprocess.run([os.path.join(BIN, "zevra"), "-r", "PSU1", "info"], capture_output=True, text=True,
                                   timeout=60, env=env)
            self.assertEqual(named.returncode, 1)
            self.assertTrue(named.stderr.endswith("a configuration store; looked in %s (IVICONFIGSERVERDEFAULT)\n" % store),
                            named.stderr)

    def test_info_sends_the_messages_its_start_up_benchmark_replays(self):
        # Each channel is selected once, and *ESR? follows every message while QueryInstrStatus is on.
        with open(os.path.join(SOURCE, "bench", "zevra_info_exchanges.txt")) as f:
            replayed = f.read().splitlines()
        with tempfile.TemporaryDirectory() as tmp:
            trace = os.path.join(tmp, "trace.txt")
            result = zevra("--trace", trace, "--emulate", "info")
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(trace) as f:
                sent = [m.replace("\\n", "") for m in re.findall(r' wrote "((?:[^"\\]|\\.)*)"', f.read())]
        self.assertEqual(sent, replayed)
        self.assertEqual(len(replayed), 36)

    def test_virtual_names_from_the_store(self):
        with tempfile.TemporaryDirectory() as tmp:
            store = os.path.join(tmp, "store.xml")
            with open(store, "w") as f:
                f.write("<IviConfigStore><SoftwareModules><IviSoftwareModule id=\"ZEVRA\"><Name>ZEVRA</Name>"
                        "<Prefix>ZEVRA</Prefix></IviSoftwareModule></SoftwareModules>"
                        "<HardwareAssets><IviHardwareAsset id=\"a1\"><Name>bench</Name><IOResourceDescriptor>"
                        "TCPIP0::127.0.0.1::1::SOCKET</IOResourceDescriptor></IviHardwareAsset></HardwareAssets>"
                        "<DriverSessions><IviDriverSession id=\"s1\"><Name>PSU1</Name><IviHardwareAsset idref=\"a1\"/>"
                        "<IviSoftwareModuleRef idref=\"ZEVRA\"/><Simulate>true</Simulate><VirtualNames>"
                        "<IviVirtualName><Name>Out</Name><MapTo>CH</MapTo><VirtualRanges><IviVirtualRange><Min>1</Min>"
                        "<Max>4</Max><StartingPhysicalIndex>1</StartingPhysicalIndex></IviVirtualRange></VirtualRanges>"
                        "</IviVirtualName><IviVirtualName><Name>Heater</Name><MapTo>CH3</MapTo></IviVirtualName>"
                        "<IviVirtualName><Name>Broken</Name><MapTo>CH9</MapTo></IviVirtualName></VirtualNames>"
                        "</IviDriverSession></DriverSessions></IviConfigStore>\n")
            env = dict(os.environ, IVICONFIGSERVERDEFAULT=store)
            script = "set Out2 VOLT 2\nset heater VOLT 3\nget 2 VOLT\nget Out1 VOLT\nget CH3 VOLT\nget Nope\nget Broken\n"
            result = subprocess.run([os.path.join(BIN, "zevra"), "-r", "PSU1", "shell"], input=script,
                                    capture_output=True, text=True, timeout=60, env=env)
            self.assertEqual(result.returncode, 1, result.stderr)
            self.assertEqual(re.findall(r"channel:  (CH\d)\nVOLT: +([\d.]+) V", result.stdout),
                             [("CH2", "2.0000"), ("CH3", "3.0000"), ("CH2", "2.0000"), ("CH1", "0.0000"),
                              ("CH3", "3.0000")])
            self.assertEqual(result.stderr,
                             "zevra: bad channel 'Nope': use 1-4 or CH1-CH4, or a virtual name of PSU1 in the store\n"
                             "zevra: bad channel 'Broken': the store maps it to 'CH9', which is not CH1-CH4\n"
                             "zevra: 2 command(s) of the script failed\n")

    def test_values_take_units_and_prefixes(self):
        cases = [("VOLT", "5", "5.0000 V"), ("VOLT", "5V", "5.0000 V"), ("VOLT", "500mV", "0.5000 V"),
                 ("VOLT", "'2.5 v'", "2.5000 V"), ("CURR", "1.5A", "1.5000 A"), ("CURR", "100mA", "0.1000 A"),
                 ("CURR", "250m", "0.2500 A"), ("OVP", "0.012kV", "12.0000 V"), ("VOLT", "-0", "0.0000 V")]
        script = "".join("set 3 %s %s\nget 3 %s\n" % (setting, value, setting) for setting, value, _ in cases)
        result = zevra("--emulate", "shell", stdin=script)
        self.assertEqual(result.returncode, 0, result.stderr)
        readings = re.findall(r"channel:  CH3\n(\w+): +([^\n]+)\n", result.stdout)
        # Each value as set reports it, then as read back.
        self.assertEqual(readings, [(setting, shown) for setting, _, shown in cases for _ in (1, 2)])

    def test_one_shell_line_leaves_nothing_to_the_next(self):
        # The shell parses every line with one parser: arguments and flags of a
        # line, and a line that was refused, must not carry over.
        script = "get 1 VOLT\nget 1\nwatch 1 --count\nwatch 1 --count 1 --interval 0\nerrors\n"
        result = zevra("--emulate", "shell", stdin=script)
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn("channel:  CH1\nVOLT:     0.0000 V\nchannel:  CH1\nVOLT:     0.0000 V\nCURR:", result.stdout)
        self.assertEqual(result.stdout.count("zevra watch (Ctrl-C to stop)"), 1, result.stdout)
        self.assertIn("errors:  none queued\n", result.stdout)
        self.assertEqual(result.stderr, "zevra: --count: 1 required N missing\n"
                                        "usage: zevra watch [CH|all] [--interval MS] [--count N]\n"
                                        "zevra: 1 command(s) of the script failed\n")

    def test_all_channels_and_clearing_a_tripped_output(self):
        script = ("set all VOLT 3\nmeasure all\nset 2 VOLT 5\nset 2 OVP 4\noutput 2 on\noutput 2 on\n"
                  "clear 2\nset 2 OVP 6\noutput all on\nstate 2\nget all VOLT\nstate all\n")
        result = zevra("--emulate", "shell", stdin=script)
        self.assertEqual(result.returncode, 1)
        self.assertIn("channel  VOLT\nCH1      3.0000 V\nCH2      3.0000 V\nCH3      3.0000 V\nCH4      3.0000 V\n",
                      result.stdout)
        self.assertIn("channel:     CH2\nprotection:  cleared\n", result.stdout)
        self.assertIn("channel  output\nCH1      on\nCH2      on\nCH3      on\nCH4      on\n", result.stdout)
        self.assertIn("state:        CV\n", result.stdout)
        self.assertIn("channel  VOLT\nCH1      3.0000 V\nCH2      5.0000 V\nCH3      3.0000 V\nCH4      3.0000 V\n",
                      result.stdout)
        self.assertRegex(result.stdout, r"channel +CV +CC +OV +OC +unregulated +output +state\n(CH\d .* on +\w+\n){4}")
        self.assertEqual(result.stderr,
                         "zevra: switching CH2 on failed: 0xBFFA0001 Instrument error detected.  Use ErrorQuery() to "
                         "determine the error(s).\n  instrument error -221: Settings conflict\n"
                         "  CH2's overvoltage protection has tripped; clear it with: zevra clear 2\n"
                         "zevra: 1 command(s) of the script failed\n")

    def test_list_files_never_lose_a_step(self):
        with tempfile.TemporaryDirectory() as tmp:
            def write(name, text):
                path = os.path.join(tmp, name)
                with open(path, "w") as f:
                    f.write(text)
                return path
            # as a spreadsheet writes it: a byte order mark first, CR LF line ends
            good = write("good.csv", "\ufeffvoltage,current,dwell_ms\r\n1,1,100\r\n# a comment\r\n\r\n2,1,100\r\n")
            cases = [
                (write("late_header.csv", "v,c,d\n1,1,100\nabc,1,100\n"), "bad voltage in %s line 3 'abc': not a number"),
                (write("short.csv", "1,1,100\n2,1\n"), "%s line 2: want voltage,current,dwell_ms"),
                (write("long.csv", "1,1,100,7\n"), "%s line 1: want voltage,current,dwell_ms, no more"),
                (write("negative.csv", "1,-1,100\n"), "%s line 1: levels and dwell are not negative"),
                (write("rating.csv", "5,1,100\n40,1,100\n"),
                 "%s line 2: 40.0000 V is more than CH1 delivers at 1.0000 A (32.0000 V); nothing was sent"),
                (write("empty.csv", "voltage,current,dwell_ms\n"), "%s holds no steps"),
            ]
            script = "list load 1 %s\n" % good
            for path, _ in cases:
                script += "list load 1 %s\n" % path
            script += "raw 'LIST:NUMB 1;:LIST:STEP:NUMB 0;:LIST:VOLT?'\nraw 'LIST:STEP:NUMB 1;:LIST:VOLT?'\n"
            result = zevra("--emulate", "shell", stdin=script)
            self.assertEqual(result.returncode, 1)
            self.assertIn("steps:    2\n", result.stdout)
            for path, message in cases:
                self.assertIn("zevra: " + message % path + "\n", result.stderr)
            self.assertTrue(result.stdout.endswith("reply:  1\nreply:  2\n"), result.stdout)

    def test_lists_on_all_channels(self):
        with tempfile.TemporaryDirectory() as tmp:
            steps = os.path.join(tmp, "steps.csv")
            with open(steps, "w") as f:
                f.write("1,0.5,100\n2,0.5,100\n")
            too_much = os.path.join(tmp, "too_much.csv")
            with open(too_much, "w") as f:  # CH3's module delivers less than 40 V at 1 A
                f.write("1,1,100\n33,1,100\n")
            query = "".join("raw 'LIST:NUMB %d;:LIST:STEP:NUMB 1;:LIST:VOLT?'\n" % n for n in range(1, 5))
            script = ("list load all %s\n%slist load all %s\n%slist run all\nlist abort all\n" %
                      (steps, query, too_much, query))
            result = zevra("--emulate", "shell", stdin=script)
            self.assertEqual(result.returncode, 1)
            self.assertRegex(result.stdout, r"channel +list +steps\n" + "".join(r"CH%d +%d +2\n" % (n, n) for n in range(1, 5)))
            # The refused file changed no channel's list, not even the ones it would have fitted.
            self.assertEqual(result.stdout.count("reply:  2\n"), 8, result.stdout)
            self.assertRegex(result.stderr, r"zevra: %s line 2: 33.0000 V is more than CH\d delivers at 1.0000 A "
                                            r"\([\d.]+ V\); nothing was sent\n" % re.escape(too_much))
            self.assertIn("channel  list\nCH1      running\nCH2      running\nCH3      running\nCH4      running\n",
                          result.stdout)
            self.assertIn("CH4      aborted\n", result.stdout)

    def test_log_of_all_channels(self):
        with tempfile.TemporaryDirectory() as tmp:
            csv, svg, html = (os.path.join(tmp, "all." + kind) for kind in ("csv", "svg", "html"))
            script = ("set 1 VOLT 1\nset 2 VOLT 2\nset 3 VOLT 3\nset 4 VOLT 4\noutput all on\n"
                      "log all --interval 50 --duration 0.3 --csv %s --svg %s --html %s\n" % (csv, svg, html))
            result = zevra("--emulate", "shell", stdin=script)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(csv) as f:
                rows = [line.split(",") for line in f.read().splitlines()]
            self.assertEqual(rows[0], ["timestamp", "time_s"] + ["CH%d_%s" % (n, q) for n in range(1, 5)
                                                                  for q in ("voltage_V", "current_A", "power_W")])
            self.assertGreaterEqual(len(rows), 5)
            for row in rows[1:]:  # each channel's own voltage in its own columns
                self.assertEqual([row[2 + 3 * k] for k in range(4)], ["1.0000", "2.0000", "3.0000", "4.0000"])
            with open(svg) as f:
                document = f.read()
            self.assertEqual(re.findall(r'class="series (\w+)" data-channel="(CH\d)"', document),
                             [(q, "CH%d" % n) for q in ("voltage", "current", "power") for n in range(1, 5)])
            legend = re.findall(r'<g class="legend">.*?</g>', document, re.S)[0]
            self.assertEqual(re.findall(r">([^<]+)</text>", legend), ["CH1", "CH2", "CH3", "CH4", "step"])
            with open(html) as f:
                page = f.read()
            self.assertIn("<th>CH4 power (W)</th>", page)
            self.assertEqual(page.count("<tr><td>"), len(rows) - 1)

    def test_log_runs_a_list_and_marks_its_own_steps(self):
        with tempfile.TemporaryDirectory() as tmp:
            steps, csv, svg = (os.path.join(tmp, name) for name in ("steps.csv", "log.csv", "log.svg"))
            with open(steps, "w") as f:  # the first boundary leaves the voltage as it is
                f.write("2,1,200\n2,1,200\n4,1,200\n")
            script = ("output 1 on\nlog 1 --interval 20 --duration 0.7 --csv %s --svg %s --list %s\n" % (csv, svg, steps))
            result = zevra("--emulate", "shell", stdin=script)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(svg) as f:
                document = f.read()
            # Marks where the second and third steps begin and where the list ends, in each of the three
            # panels (the plot starts at x 80 and is 690 wide).
            t_max = max(float(t.split()[0]) for t in re.findall(r'class="tick"[^>]*>([\d.]+ s)<', document))
            marks = re.findall(r'class="step-mark" x1="([\d.]+)"', document)
            self.assertEqual(marks, ["%.1f" % (80 + t / t_max * 690) for t in (0.2, 0.4, 0.6)] * 3)
            self.assertIn(">list step</text>", document)
            with open(csv) as f:
                samples = [line.split(",") for line in f.read().splitlines()[1:]]
            during = lambda low, high: {row[2] for row in samples if low < float(row[1]) < high}
            self.assertEqual(during(0, 0.15) | during(0.25, 0.35), {"2.0000"})
            self.assertEqual(during(0.45, 0.55), {"4.0000"})
            refused = zevra("--emulate", "log", "1", "--csv", csv, "--list", os.path.join(tmp, "missing.csv"))
            self.assertEqual(refused.returncode, 2)
            self.assertIn("cannot read %s" % os.path.join(tmp, "missing.csv"), refused.stderr)

    def test_bash_completion(self):
        script = zevra("completion", "bash")
        self.assertEqual(script.returncode, 0)
        with tempfile.NamedTemporaryFile("w", suffix=".bash", delete=False) as f:
            f.write(script.stdout)
        try:
            def complete(*words):
                probe = ('source %s; COMP_WORDS=(%s); COMP_CWORD=%d; _zevra; echo "${COMPREPLY[*]}"' %
                         (f.name, " ".join("'%s'" % w for w in words), len(words) - 1))
                return subprocess.run(["bash", "-c", probe], capture_output=True, text=True, timeout=30).stdout.split()
            self.assertEqual(complete("zevra", "me"), ["measure"])
            self.assertEqual(complete("zevra", "-r", "PSU1", "cl"), ["clear"])
            self.assertEqual(complete("zevra", "--json", "set", "1", "V"), ["VOLT"])
            self.assertIn("all", complete("zevra", "get", "a"))
            self.assertEqual(complete("zevra", "output", "1", "o"), ["on", "off"])
            self.assertEqual(complete("zevra", "log", "1", "--d"), ["--duration"])
            # Each command completes only what it takes.
            channels = ["1", "2", "3", "4", "CH1", "CH2", "CH3", "CH4", "all"]
            self.assertEqual(complete("zevra", "measure", ""), channels + ["--help"])
            self.assertEqual(complete("zevra", "find", "--"), ["--timeout", "--probe-serial", "--help"])
            self.assertEqual(complete("zevra", "list", ""), ["load"] + channels + ["run", "abort", "--help"])
            self.assertEqual(complete("zevra", "--emulate", "info", ""), ["--help"])
        finally:
            os.unlink(f.name)

    def test_json_output(self):
        result = zevra("--json", "--emulate", "measure", "all")
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = json.loads(result.stdout)["measurements"]
        self.assertEqual([r["channel"] for r in rows], ["CH1", "CH2", "CH3", "CH4"])
        self.assertTrue(all(isinstance(r[k], float) or isinstance(r[k], int)
                            for r in rows for k in ("voltage_V", "current_A", "power_W")))
        info = json.loads(zevra("--json", "--emulate", "info").stdout)
        self.assertEqual((info["model"], info["firmware"], info["supported_models"], info["query_instr_status"]),
                         ("QDX7001", "1.00", ["QDX7000", "QDX7001"], True))
        script = "set 1 VOLT 4.5\nset 1 CURR 200mA\noutput 1 on\nget 1\nstate 1\nstatus\nraw '*ESE 60'\nerrors\n"
        outputs = [json.loads(line) for line in zevra("--json", "--emulate", "shell", stdin=script).stdout.splitlines()]
        self.assertEqual(outputs[0], {"channel": "CH1", "VOLT": 4.5})
        self.assertEqual(outputs[1], {"channel": "CH1", "CURR": 0.2})
        self.assertEqual(outputs[2], {"channel": "CH1", "output": "on"})
        self.assertEqual(outputs[3], {"channel": "CH1", "VOLT": 4.5, "CURR": 0.2, "OVP": 35.2, "OCP": 10.34})
        self.assertEqual(outputs[4], {"channel": "CH1", "CV": False, "CC": True, "OV": False, "OC": False, "unregulated": False,
                                      "output": "on", "state": "CC"})
        registers = {r["register"]: r for r in outputs[5]["registers"]}
        self.assertEqual(registers["CH1 condition"], {"register": "CH1 condition", "value": 1, "bits": ["CC"]})
        self.assertEqual(outputs[5]["errors"], [])
        self.assertEqual(outputs[6], {"sent": "*ESE 60"})
        self.assertEqual(outputs[7], {"errors": []})

    def test_json_follows_the_documented_schema(self):
        with open(os.path.join(SOURCE, "docs", "zevra-json.schema.json")) as f:
            schema = json.load(f)

        def validator(name):
            return jsonschema.Draft202012Validator({"$defs": schema["$defs"], "$ref": "#/$defs/" + name})

        with tempfile.TemporaryDirectory() as tmp:
            steps = os.path.join(SOURCE, "examples", "list_steps.csv")
            csv = os.path.join(tmp, "log.csv")
            lines = [("info", "info"), ("set", "set 1 VOLT 4.5"), ("set", "set all CURR 0.2"), ("get", "get 1"),
                     ("get", "get all VOLT"), ("output", "output 1 on"), ("output", "output all off"),
                     ("clear", "clear all"), ("measure", "measure"), ("measure", "measure 2"), ("state", "state 1"),
                     ("state", "state all"), ("status", "status"), ("errors", "errors"),
                     ("list", "list load 1 " + steps), ("list", "list load all " + steps), ("list", "list run all"),
                     ("list", "list abort 1"), ("save", "save 1"), ("recall", "recall 1"), ("raw", "raw '*IDN?'"),
                     ("raw", "raw '*CLS'"), ("log", "log 1 --interval 20 --duration 0.05 --csv " + csv),
                     ("log", "log all --interval 20 --duration 0.05 --csv " + csv),
                     ("error", "set 1 VOLT 99"), ("error", "set 1 VOLT abc"), ("error", "frobnicate")]
            result = zevra("--json", "--emulate", "shell", stdin="".join(line + "\n" for _, line in lines))
            outputs = [json.loads(line) for line in result.stdout.splitlines()]
            # The script's own failure comes last, an error object like the rest.
            lines.append(("error", "(the script)"))
            self.assertEqual(len(outputs), len(lines), result.stdout)
            self.assertEqual(outputs[-1]["error"]["message"], "3 command(s) of the script failed")
            for (name, line), output in zip(lines, outputs):
                errors = [e.message for e in validator(name).iter_errors(output)]
                self.assertEqual(errors, [], (line, output))
        # The schema refuses what the old output looked like: values with units, bits as text, a bare key.
        for name, wrong in [("set", {"channel": "CH1", "VOLT": "4.5000 V"}), ("output", {"CH1": "on"}),
                            ("status", {"registers": [{"register": "status byte", "value": 0, "bits": "MAV"}],
                                        "errors": []}),
                            ("info", {"firmware": 1.0}),
                            ("error", {"error": {"message": "x", "exit": 1, "status": -1}})]:
            self.assertFalse(validator(name).is_valid(wrong), (name, wrong))

    def test_find_lists_what_visa_finds_with_identities(self):
        emulator = subprocess.Popen([os.path.join(BIN, "qdx-emulator"), "--vxi11", "--serial"],
                                    stdout=subprocess.PIPE, text=True)
        try:
            lines = [emulator.stdout.readline().split() for _ in range(3)]
            socket_resource = "TCPIP0::%s::%s::SOCKET" % (lines[0][2], lines[0][3])
            pty_resource = "ASRL%s::INSTR" % lines[2][2]
            with tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False) as conf:
                conf.write("alias psu %s\nresource %s\nresource TCPIP0::127.0.0.1::1::SOCKET\n"
                           "discovery-window 300\n" % (socket_resource, pty_resource))
            self.addCleanup(os.unlink, conf.name)
            env = dict(os.environ, ZEVRA_VISA_CONF=conf.name, ZEVRA_VXI11_PORTMAPPER_PORT=lines[1][3])
            idn = "Halmeric,QDX7001,QDX7001-000001,1.00"

            def find(*args):
                return subprocess.run([os.path.join(BIN, "zevra"), "find", *args], capture_output=True, text=True,
                                      timeout=60, env=env)

            start = time.monotonic()
            result = find("--json", "--timeout", "300", "--probe-serial")
            self.assertLess(time.monotonic() - start, 5, "every instrument is asked at once")
            self.assertEqual(result.returncode, 0, result.stderr)
            listed = {row["resource"]: row for row in json.loads(result.stdout)["instruments"]}
            self.assertEqual(listed[socket_resource], {"resource": socket_resource, "interface": "TCPIP",
                                                       "class": "SOCKET", "alias": "psu", "identity": idn,
                                                       "status": "VI_SUCCESS"})
            self.assertEqual(listed[pty_resource]["identity"], idn)
            self.assertEqual(listed["TCPIP0::127.0.0.1::inst0::INSTR"]["identity"], idn)  # found, not configured
            # Nothing listens on port 1: listed all the same, with why it did not answer.
            self.assertEqual(listed["TCPIP0::127.0.0.1::1::SOCKET"]["identity"], "")
            self.assertEqual(listed["TCPIP0::127.0.0.1::1::SOCKET"]["status"], "VI_ERROR_RSRC_NFOUND")
            with open(os.path.join(SOURCE, "docs", "zevra-json.schema.json")) as f:
                schema = json.load(f)
            jsonschema.validate(json.loads(result.stdout), {"$defs": schema["$defs"], "$ref": "#/$defs/find"})
            text = find("ASRL?*", "--timeout", "300", "--probe-serial")
            self.assertRegex(text.stdout, r"\n%s +ASRL +INSTR +%s +VI_SUCCESS\n" % (re.escape(pty_resource), re.escape(idn)))
            self.assertNotIn("TCPIP", text.stdout.split("\n", 1)[1])
            bad = find("(")
            self.assertEqual((bad.returncode, bad.stderr), (2, "zevra: '(' is not a resource expression\n"))
            # What find lists, -r opens: here the serial line.
            measured = subprocess.run([os.path.join(BIN, "zevra"), "-r", pty_resource, "info"], capture_output=True,
                                      text=True, timeout=60, env=env)
            self.assertIn("model:               QDX7001", measured.stdout, measured.stderr)
        finally:
            emulator.terminate()
            emulator.wait(timeout=10)
            emulator.stdout.close()

    def test_json_failures_are_objects_on_standard_output(self):
        refused = zevra("--json", "--emulate", "set", "1", "VOLT", "99")
        self.assertEqual(refused.returncode, 1)
        self.assertEqual(json.loads(refused.stdout), {"error": {
            "message": "setting VOLT on CH1 to 99 V failed: 0xBFFA0001 Instrument error detected.  Use ErrorQuery() "
                       "to determine the error(s).\n  instrument error -222: Data out of range",
            "exit": 1, "status": -1074135039, "code": "0xBFFA0001", "name": "IVI_ERROR_INSTRUMENT_STATUS",
            "description": "Instrument error detected.  Use ErrorQuery() to determine the error(s).",
            "instrument_errors": [{"code": -222, "message": "Data out of range"}]}})
        bad = zevra("--json", "--emulate", "set", "1", "VOLT", "abc")
        self.assertEqual(bad.returncode, 2)
        self.assertEqual(json.loads(bad.stdout),
                         {"error": {"message": "bad value 'abc': want a number of V (5, 5V, 500mV)", "exit": 2}})
        unopened = json.loads(zevra("--json", "-r", "TCPIP0::127.0.0.1::1::SOCKET", "info").stdout)["error"]
        self.assertEqual((unopened["exit"], unopened["code"], unopened["name"], unopened["instrument_errors"]),
                         (1, "0xBFFF0011", "VI_ERROR_RSRC_NFOUND", []))

    def test_a_script_on_standard_input(self):
        # saved as a Windows editor saves UTF-8: a byte order mark first, CR LF line ends
        script = "\ufeffset 2 VOLT 5\r\nset 2 CURR 1\r\noutput 2 on\r\nget 2 VOLT\r\nmeasure 2\r\nstate 2\r\n" \
                 "raw 'INST:SEL?'\r\n"
        result = zevra("--emulate", "shell", stdin=script)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("VOLT:     5.0000 V", result.stdout)
        self.assertRegex(result.stdout, r"CH2\s+5\.0000\s+0\.5000\s+2\.5000")
        self.assertIn("state:        CV", result.stdout)
        self.assertIn("reply:  1", result.stdout)
        failing = zevra("--emulate", "shell", stdin="measure 7\nmeasure 1\n")
        self.assertEqual(failing.returncode, 1)
        self.assertIn("bad channel '7'", failing.stderr)

    def test_a_script_echoed_as_a_transcript(self):
        result = zevra("--emulate", "shell", "--echo", stdin="# levels\nset 1 VOLT 5\n\nget 1 VOLT\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "\nzevra> set 1 VOLT 5\nchannel:  CH1\nVOLT:     5.0000 V\n\nzevra> get 1 VOLT\n"
                                        "channel:  CH1\nVOLT:     5.0000 V\n")
        self.assertIn("usage: zevra shell [--echo]", zevra("--emulate", "shell", "--loud").stderr)

    def test_interactive_shell(self):
        output, status = in_pty(["--emulate", "shell"], ["set 1 VOLT 4.5\r", "get 1 VOLT\r", "nonsense\r", "help\r",
                                                          "quit\r"])
        self.assertEqual(status, 0, output)
        self.assertIn("zevra> ", output)
        self.assertIn("4.5000 V", output)
        self.assertIn("unknown command 'nonsense'", output)
        self.assertIn("list load CH|all FILE.csv", output)

    def test_watch_refreshes_a_table(self):
        output, status = in_pty(["--emulate", "watch", "all", "--interval", "50", "--count", "3"], [])
        self.assertEqual(status, 0, output)
        self.assertEqual(output.count("\x1b[H\x1b[2J"), 3)
        header = "channel   set_V  voltage_V    set_A  current_A  power_W  state  output  trace_V"
        self.assertEqual(output.count(header), 3, output)
        self.assertEqual(len(re.findall(r"time:  \d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\r\n", output)), 3)
        self.assertIn("off    off     \u2581\u2581\u2581", output)

    def test_a_terminal_is_told_what_log_and_find_are_doing(self):
        with tempfile.TemporaryDirectory() as tmp:
            csv = os.path.join(tmp, "log.csv")
            output, status = in_pty(["--emulate", "log", "1", "--interval", "20", "--duration", "0.2", "--csv", csv],
                                    [])
            self.assertEqual(status, 0, output)
            counts = [int(n) for n in re.findall(r"\rlogging 1: (\d+) samples, \d+\.\d s of 0\.2 s \(Ctrl-C stops\)",
                                                  output)]
            self.assertGreater(len(counts), 3, output)
            self.assertEqual(counts, sorted(counts))
            with open(csv) as f:
                self.assertEqual(len(f.read().splitlines()) - 1, counts[-1])
        output, status = in_pty(["find", "GPIB?*", "--timeout", "100"], [])
        self.assertEqual(status, 0, output)
        self.assertIn("zevra: looking for 'GPIB?*' (the LAN discovery window, then up to 100 ms for each *IDN?) ...",
                      output)
        # Where standard error is no terminal, nothing but the results.
        self.assertEqual(zevra("find", "GPIB?*", "--timeout", "100").stderr, "")

    def test_watch_shows_regulation_and_colours_it(self):
        script = ("set 2 VOLT 5\nset 2 CURR 0.1\noutput 2 on\nset 3 VOLT 5\nset 3 OVP 4\noutput 3 on\n"
                  "set 1 VOLT 2\noutput 1 on\nwatch all --interval 50 --count 2\nquit\n")
        keys = [line + "\r" for line in script.splitlines()]
        coloured, status = in_pty(["--emulate", "shell"], keys)
        self.assertEqual(status, 0, coloured)
        rows = re.findall(r"(\x1b\[[0-9;]*m)?(CH\d) +([\d.]+) +([\d.]+) +[\d.]+ +([\d.]+) +([\d.]+) +(\S+) +(on|off)",
                          coloured)
        last = {row[1]: row for row in rows[-4:]}
        self.assertEqual(last["CH1"][0], "")
        self.assertEqual(last["CH1"][2:], ("2.0000", "2.0000", "0.2000", "0.4000", "CV", "on"))
        self.assertEqual(last["CH2"][0], "\x1b[33m")
        self.assertEqual(last["CH2"][6:], ("CC", "on"))
        self.assertEqual(last["CH3"][0], "\x1b[1;31m")
        self.assertEqual(last["CH3"][6:], ("OV", "off"))
        plain, status = in_pty(["--emulate", "shell"], keys, env={"NO_COLOR": "1"})
        self.assertEqual(status, 0, plain)
        self.assertNotIn("\x1b[33m", plain)
        self.assertNotIn("\x1b[1;31m", plain)
        self.assertIn("CC", plain)

    def test_log_writes_csv_and_svg_a_browser_renders(self):
        with tempfile.TemporaryDirectory() as tmp:
            csv, svg = os.path.join(tmp, "log.csv"), os.path.join(tmp, "log.svg")
            html = os.path.join(tmp, "log.html")
            script = ("set 1 VOLT 3\noutput 1 on\nlist load 1 %s\nlist run 1\n"
                      "log 1 --interval 50 --duration 1 --csv %s --svg %s --html %s\n" %
                      (os.path.join(SOURCE, "examples", "list_steps.csv"), csv, svg, html))
            result = zevra("--emulate", "shell", stdin=script)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(csv) as f:
                lines = f.read().splitlines()
            self.assertEqual(lines[0], "timestamp,time_s,voltage_V,current_A,power_W")
            self.assertGreaterEqual(len(lines), 15)
            stamps = [line.split(",")[0] for line in lines[1:]]
            self.assertTrue(all(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z", t) for t in stamps), stamps)
            self.assertEqual(stamps, sorted(stamps))
            volts = {line.split(",")[2] for line in lines[1:]}
            self.assertTrue({"1.0000", "3.0000"} <= volts, volts)  # the list's steps show up
            with open(svg) as f:
                document = f.read()
            self.assertTrue(document.startswith("<svg"))
            self.assertIn("CH1: voltage, current and power", document)
            self.assertEqual(re.findall(r'class="series (\w+)"', document), ["voltage", "current", "power"])
            self.assertEqual(re.findall(r'<g class="legend">.*?</g>', document, re.S)[0].count("<text"), 4)
            ticks = re.findall(r'class="tick"[^>]*>([^<]*)<', document)
            self.assertIn("1 s", ticks)
            by_unit = {}
            for tick in ticks:
                number, unit = tick.split(" ")
                by_unit.setdefault(unit, []).append(float(number))
            self.assertEqual(sorted(by_unit), ["A", "V", "W", "s"])
            for unit, values in by_unit.items():  # from 0, in steps of 1, 2 or 5 times a power of ten
                step = values[1] - values[0]
                self.assertEqual(values[0], 0, unit)
                self.assertIn(("%e" % step)[0], "125", (unit, values))
                self.assertTrue(all(abs(b - a - step) < 1e-9 for a, b in zip(values, values[1:])), (unit, values))
            # The list's four level changes are marked in each of the three panels; the lines step.
            self.assertEqual(document.count('class="step-mark"') % 3, 0)
            self.assertGreaterEqual(document.count('class="step-mark"'), 9)
            self.assertRegex(document, r'class="series voltage"[^>]* d="M[\d.]+,[\d.]+ H[\d.]+ V[\d.]+')
            with open(html) as f:
                page = f.read()
            self.assertEqual(page.count("<svg"), 1)
            self.assertEqual(page.count("<tr><td>"), len(lines) - 1)
            self.render_page(html, tmp, len(lines) - 1)
            self.render(svg, tmp)

    def render_page(self, html, tmp, samples):
        """The page as a browser builds it: the chart inline, one table row per sample."""
        chromium = shutil.which("chromium")
        if chromium is None:
            self.skipTest("no chromium on this machine")
        flags = chromium_flags(os.path.join(tmp, "page-profile"))
        dom = subprocess.run([chromium, *flags, "--dump-dom", "file://" + html], capture_output=True, text=True,
                             timeout=120).stdout
        self.assertIn("<title>CH1: voltage, current and power</title>", dom)
        self.assertEqual(len(re.findall(r'<path class="series', dom)), 3)
        self.assertEqual(len(re.findall(r"<tr><td>", dom)), samples)

    def render(self, svg, tmp):
        """Draws the chart in headless Chromium: it must load, and each series' colour must cover pixels."""
        chromium = shutil.which("chromium")
        if chromium is None:
            self.skipTest("no chromium on this machine")
        with open(svg, "rb") as f:
            url = "data:image/svg+xml;base64," + base64.b64encode(f.read()).decode()
        page = os.path.join(tmp, "page.html")
        with open(page, "w") as f:
            f.write("""<html><body><canvas id="c" width="800" height="620"></canvas><script>
var img = new Image();
img.onload = function() {
  var ctx = document.getElementById("c").getContext("2d");
  ctx.drawImage(img, 0, 0);
  var d = ctx.getImageData(0, 0, 800, 620).data, blue = 0, red = 0, green = 0;
  for (var i = 0; i < d.length; i += 4) {
    if (d[i] < 80 && d[i + 1] < 130 && d[i + 2] > 150) blue++;
    if (d[i] > 150 && d[i + 1] < 90 && d[i + 2] < 90) red++;
    if (d[i] < 90 && d[i + 1] > 110 && d[i + 2] < 120) green++;
  }
  document.title = "width " + img.naturalWidth + " pixels " + blue + " " + red + " " + green;
};
img.onerror = function() { document.title = "broken"; };
img.src = "%s";
</script></body></html>""" % url)
        flags = chromium_flags(os.path.join(tmp, "profile"))
        dom = subprocess.run([chromium, *flags, "--dump-dom", "file://" + page], capture_output=True, text=True,
                             timeout=120)
        title = re.search(r"<title>width (\d+) pixels (\d+) (\d+) (\d+)</title>", dom.stdout)
        self.assertIsNotNone(title, dom.stdout[-2000:] + dom.stderr[-2000:])
        width, *coloured = (int(g) for g in title.groups())
        self.assertEqual(width, 800)
        for count in coloured:  # voltage blue, current red, power green: each drawn, none blank
            self.assertGreater(count, 200, title.group(0))

if __name__ == "__main__":
    BIN, SOURCE = sys.argv[1], sys.argv[2]
    unittest.main(argv=[sys.argv[0]], verbosity=2)
