# SPDX-License-Identifier: MIT
"""Finds and loads libZEVRA_64, once, on first use."""
import ctypes
import os
import pathlib
import sysconfig
import threading

LIBRARY_FILE = "libZEVRA_64.so.1"

_loaded = None
_loading = threading.Lock()


def _installed_candidates():
    """The library next to this package's prefix: <prefix>/lib/python3/dist-packages/zevra -> <prefix>/lib..."""
    package = pathlib.Path(__file__).resolve().parent
    if package.parent.name not in ("dist-packages", "site-packages") or not package.parents[1].name.startswith("python"):
        return []
    prefix = package.parents[3]
    multiarch = sysconfig.get_config_var("MULTIARCH")
    libdirs = (["lib/" + multiarch] if multiarch else []) + ["lib", "lib64"]
    return [prefix / libdir / LIBRARY_FILE for libdir in libdirs]


def library():
    """The loaded driver library: $ZEVRA_LIBRARY, else the installed prefix's, else the system loader's."""
    global _loaded
    if _loaded is not None:
        return _loaded
    with _loading:
        if _loaded is None:
            _loaded = _load()
        return _loaded


def _load():
    explicit = os.environ.get("ZEVRA_LIBRARY")
    if explicit:
        try:
            return ctypes.CDLL(explicit)
        except OSError as error:
            raise ImportError("ZEVRA_LIBRARY=%s cannot be loaded: %s" % (explicit, error)) from error
    for candidate in _installed_candidates():
        if candidate.is_file():
            return ctypes.CDLL(str(candidate))
    try:
        return ctypes.CDLL(LIBRARY_FILE)
    except OSError as error:
        raise ImportError("%s is neither next to this package nor known to the system loader (%s); "
                          "set ZEVRA_LIBRARY to its path" % (LIBRARY_FILE, error)) from error
