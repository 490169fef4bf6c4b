# SPDX-License-Identifier: MIT
"""The package as an IVI-Python driver: the constructor and its options, the utility and direct I/O
interfaces, the channel collection; typed for mypy --strict and in PEP 8 style."""
import os
import re
import shutil
import subprocess
import zipfile

import pytest

import zevra

SOURCE = os.environ["ZEVRA_SOURCE"]
SIMULATED = "TCPIP0::127.0.0.1::5025::SOCKET"


@pytest.mark.parametrize("options, expected", [
    ({"simulate": True}, {"simulate": True, "cache": True, "query_instrument_status": False}),
    ({"simulate": True, "cache": False, "query_instrument_status": True, "range_check": False},
     {"cache": False, "query_instrument_status": True, "range_check": False}),
    (zevra.InitOptions(simulate=True, driver_setup="Model=QDX7000"), {"instrument_model": "QDX7000"}),
    ("Simulate=1, RecordCoercions=0", {"simulate": True, "record_coercions": False}),
])
def test_options_as_a_dict_or_a_string(options, expected):
    with zevra.Zevra(SIMULATED, options=options) as psu:
        assert {name: getattr(psu, name) for name in expected} == expected


@pytest.mark.parametrize("options, error, text", [
    ({"simulate": True, "smiulate": True}, ValueError, "unknown option 'smiulate'"),
    ({"simulate": 1}, TypeError, "option simulate must be bool, not int"),
    ({"simulate": True, "driver_setup": 7}, TypeError, "option driver_setup must be str"),
    (["Simulate=1"], TypeError, "options must be a dict, a str or None, not list"),
])
def test_bad_options_are_refused_before_opening(options, error, text):
    with pytest.raises(error, match=re.escape(text)):
        zevra.Zevra(SIMULATED, options=options)


def test_the_utility_interface_simulated(simulated):
    utility = simulated.ivi_utility
    assert (utility.driver_version, utility.driver_vendor) == (simulated.specific_driver_revision,
                                                               simulated.specific_driver_vendor)
    assert (utility.instrument_manufacturer, utility.instrument_model, utility.instrument_firmware,
            utility.instrument_serial_number) == ("Halmeric", "QDX7001", "Sim1.0.0.0", "")
    assert utility.supported_instrument_models == ("QDX7000", "QDX7001")
    assert utility.simulation_enabled is True and utility.query_instrument_status_enabled is False
    utility.query_instrument_status_enabled = True
    assert simulated.query_instrument_status is True
    assert (utility.error_query(), utility.error_query_all()) == (None, [])
    utility.raise_on_device_error()  # an empty queue: nothing to raise
    utility.reset()


def test_the_utility_interface_reads_the_instruments_error_queue(psu, emulator):
    utility, direct = psu.ivi_utility, psu.ivi_direct_io
    assert utility.instrument_serial_number == "QDX7001-000001"
    direct.write_string("BOGUS\n")
    direct.write_string("VOLT:NOPE 1\n")
    entries = utility.error_query_all()
    assert entries == [(-113, "Undefined header"), (-113, "Undefined header")]
    assert (entries[0].code, entries[0].message, str(entries[0])) == (-113, "Undefined header",
                                                                      "-113, Undefined header")
    assert utility.error_query() is None
    direct.write_string("BOGUS\n")
    with pytest.raises(zevra.Error) as raised:
        utility.raise_on_device_error()
    assert raised.value.name == "IVI_ERROR_INSTRUMENT_STATUS"
    assert raised.value.instrument_errors == [(-113, "Undefined header")]
    assert str(raised.value) == "0xBFFA0001 Instrument error detected.\n  -113, Undefined header"
    assert emulator.transcript() == ("*IDN?\nBOGUS\nVOLT:NOPE 1\n:SYST:ERR?\n:SYST:ERR?\n:SYST:ERR?\n"
                                     ":SYST:ERR?\nBOGUS\n:SYST:ERR?\n:SYST:ERR?\n")


def test_direct_io(psu, emulator):
    direct = psu.ivi_direct_io
    assert isinstance(direct.session, int) and direct.session > 0
    direct.io_timeout_ms = 1500
    assert direct.io_timeout_ms == 1500 and psu.system_io_timeout == 1500
    direct.write_bytes(b"*IDN?\n")
    assert direct.read_bytes(8) == b"Halmeric"  # the rest of that reply is dropped
    direct.write_string("*IDN?\n")
    assert direct.read_string() == "Halmeric,QDX7001,QDX7001-000001,1.00"
    assert emulator.transcript() == "*IDN?\n*IDN?\n"


def test_direct_io_is_refused_in_simulation(simulated):
    with pytest.raises(zevra.Error) as raised:
        simulated.ivi_direct_io.write_string("*RST\n")
    assert raised.value.name == "ZEVRA_ERROR_IO"


def test_the_channel_collection(simulated):
    channels = simulated.channels
    assert isinstance(channels, zevra.OutputChannelCollection) and len(channels) == 4
    second = channels["CH2"]
    assert isinstance(second, zevra.OutputChannel) and second.name == "CH2"
    assert channels[2] == second and channels[zevra.ChannelNumber.CHANNEL2] == second
    assert simulated.channels_item(2) == second and simulated.channels_item("CH2") is second
    assert [c.name for c in channels] == ["CH1", "CH2", "CH3", "CH4"]
    assert "CH4" in channels and 4 in channels and "CH5" not in channels and 5 not in channels
    assert True not in channels and 2.0 not in channels
    second.voltage_level = 3.5
    assert channels[zevra.ChannelNumber.CHANNEL2].voltage_level == 3.5
    with pytest.raises(TypeError, match="a channel is named by str, numbered by int or ChannelNumber"):
        channels[2.0]  # type: ignore[index]


def test_virtual_names_from_the_store(emulator):
    with zevra.Zevra("PSU1", options={"simulate": True}) as psu:
        out = psu.channels["Out1"]
        out.voltage_level = 2.0
        assert out.name == "Out1" and psu.channels["CH1"].voltage_level == 2.0


TYPED_PROGRAM = '''
import zevra

def sweep(resource: str) -> list[float]:
    readings: list[float] = []
    with zevra.Zevra(resource, options={"simulate": True, "cache": False}) as psu:
        ch: zevra.OutputChannel = psu.channels["CH1"]
        for level in (1.0, 2.0):
            ch.voltage_level = level
            readings.append(ch.measure(zevra.MeasurementType.VOLTAGE))
        state: zevra.OutputMode | int = psu.output_mode
        entry = psu.ivi_utility.error_query()
        if entry is not None:
            print(entry.code, entry.message, state)
        models: tuple[str, ...] = psu.ivi_utility.supported_instrument_models
        print(models, psu.measure_all_channels().voltages, psu.ivi_direct_io.io_timeout_ms)
    return readings
'''


@pytest.mark.parametrize("program, complaint", [
    (TYPED_PROGRAM, None),
    (TYPED_PROGRAM + "zevra.Zevra('x').channels['CH1'].voltage_level = '5'\n", "Incompatible types in assignment"),
    (TYPED_PROGRAM + "zevra.Zevra('x', options={'simulte': True})\n", 'Argument "options" to "Zevra"'),
    (TYPED_PROGRAM + "x: str = zevra.Zevra('x').channels[1].measure(zevra.MeasurementType.VOLTAGE)\n",
     "Incompatible types in assignment"),
], ids=["clean", "str for a float", "misspelt option", "float taken as str"])
def test_mypy_strict_checks_the_package_and_code_using_it(tmp_path, program, complaint):
    (tmp_path / "user.py").write_text(program)
    done = subprocess.run(["/usr/bin/python3", "-m", "mypy", "--strict", "--no-incremental", "--cache-dir=/dev/null",
                           os.path.join(SOURCE, "python", "zevra"), str(tmp_path / "user.py")],
                          capture_output=True, text=True, timeout=300, cwd=os.path.join(SOURCE, "python"))
    if complaint is None:
        assert done.returncode == 0, done.stdout
    else:
        assert done.returncode == 1 and complaint in done.stdout and "user.py" in done.stdout, done.stdout
        assert "zevra/" not in done.stdout  # the package itself stays clean


def test_the_package_is_in_pep8_style():
    done = subprocess.run(["pycodestyle", "--max-line-length=99", os.path.join(SOURCE, "python", "zevra")],
                          capture_output=True, text=True)
    assert (done.returncode, done.stdout) == (0, "")


def test_one_version_everywhere():
    project = re.search(r"project\(ZEVRA VERSION (\S+)", open(os.path.join(SOURCE, "CMakeLists.txt")).read())
    assert zevra.__version__ == project.group(1)
    assert (os.path.isfile(os.path.join(os.path.dirname(zevra.__file__), "py.typed")))


def test_a_wheel_builds_with_the_metadata_users_search_for(tmp_path):
    shutil.copytree(os.path.join(SOURCE, "python"), tmp_path / "src", ignore=shutil.ignore_patterns("__pycache__"))
    done = subprocess.run(["/usr/bin/python3", "-m", "build", "--no-isolation", "--wheel", "--outdir",
                           str(tmp_path / "dist"), str(tmp_path / "src")], capture_output=True, text=True, timeout=300)
    assert done.returncode == 0, done.stdout + done.stderr
    wheel = tmp_path / "dist" / ("zevra-%s-py3-none-any.whl" % zevra.__version__)
    with zipfile.ZipFile(wheel) as archive:
        names = set(archive.namelist())
        metadata = archive.read("zevra-%s.dist-info/METADATA" % zevra.__version__).decode()
    assert {"zevra/py.typed", "zevra/__init__.py", "zevra/_driver.py", "zevra/COMPLIANCE.md"} <= names
    with zipfile.ZipFile(wheel) as archive:
        compliance = archive.read("zevra/COMPLIANCE.md").decode()
    assert compliance == open(os.path.join(SOURCE, "docs", "compliance.md")).read()
    assert "Keywords: Halmeric,QDX7000,QDX7001," in metadata and "Typing :: Typed" in metadata
    assert "# zevra: the IVI-Python driver for QDX power supplies" in metadata  # the README
