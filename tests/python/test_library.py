# SPDX-License-Identifier: MIT
"""Which libZEVRA_64 the package loads: ZEVRA_LIBRARY, else the one in the prefix it is installed in."""
import os
import shutil
import subprocess
import sys

import zevra

PACKAGE = os.path.dirname(zevra.__file__)
LIBRARY = os.environ["ZEVRA_LIBRARY"]


def python(code, env_changes, path):
    env = {k: v for k, v in os.environ.items() if k not in ("ZEVRA_LIBRARY", "PYTHONPATH")}
    env.update(env_changes, PYTHONPATH=path)
    return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)


def test_an_installed_package_loads_the_library_of_its_prefix(tmp_path):
    prefix = tmp_path / "prefix"
    site = prefix / "lib" / "python3" / "dist-packages"
    shutil.copytree(PACKAGE, site / "zevra", ignore=shutil.ignore_patterns("__pycache__"))
    shutil.copy(LIBRARY, prefix / "lib" / "libZEVRA_64.so.1")
    done = python("import zevra, zevra._library as l; zevra.Session('TCPIP0::127.0.0.1::5025::SOCKET', simulate=True)"
                  ".close(); print(l.library()._name)", {}, str(site))
    assert done.returncode == 0, done.stderr
    assert done.stdout.strip() == str(prefix / "lib" / "libZEVRA_64.so.1")


def test_zevra_library_names_the_library_and_a_bad_one_says_so(tmp_path):
    missing = str(tmp_path / "nowhere.so")
    done = python("import zevra\ntry:\n  zevra.Session('x')\nexcept ImportError as e:\n  print(e)",
                  {"ZEVRA_LIBRARY": missing}, os.path.dirname(PACKAGE))
    assert done.returncode == 0, done.stderr
    assert done.stdout.startswith("ZEVRA_LIBRARY=%s cannot be loaded: " % missing)


def test_the_package_imports_without_the_library(tmp_path):
    # help(zevra) and an editor's completion work before any library is found.
    done = python("import zevra; print(zevra.Channel.voltage_level.__doc__.split()[0])",
                  {"ZEVRA_LIBRARY": str(tmp_path / "nowhere.so")}, os.path.dirname(PACKAGE))
    assert (done.returncode, done.stdout) == (0, "ZEVRA_ATTR_VOLTAGE_LEVEL\n"), done.stderr
