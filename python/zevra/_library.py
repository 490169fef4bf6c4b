# SPDX-License-Identifier: MIT
"""Finds and loads libZEVRA_64, once, on first use."""
from __future__ import annotations

import ctypes
import os
from _thread import allocate_lock

LIBRARY_FILE = "libZEVRA_64.so.1"

_loaded: ctypes.CDLL | None = None
_loading = allocate_lock()


def _installed_candidates() -> list[str]:
    """The library next to this package's prefix:
    <prefix>/lib/python3/dist-packages/zevra -> <prefix>/lib..."""
    import sysconfig  # only when loading: importing the package stays cheap

    package = os.path.dirname(os.path.realpath(__file__))
    site = os.path.dirname(package)
    python = os.path.dirname(site)
    if os.path.basename(site) not in ("dist-packages", "site-packages") \
            or not os.path.basename(python).startswith("python"):
        return []
    prefix = os.path.dirname(os.path.dirname(python))
    multiarch = sysconfig.get_config_var("MULTIARCH")
    libdirs = (["lib/" + multiarch] if multiarch else []) + ["lib", "lib64"]
    return [os.path.join(prefix, libdir, LIBRARY_FILE) for libdir in libdirs]


def library() -> ctypes.CDLL:
    """The loaded driver library: $ZEVRA_LIBRARY, else the installed prefix's, else the system
    loader's."""
    global _loaded
    if _loaded is not None:
        return _loaded
    with _loading:
        if _loaded is None:
            _loaded = _load()
        return _loaded


def _load() -> ctypes.CDLL:
    explicit = os.environ.get("ZEVRA_LIBRARY")
    if explicit:
        try:
            return ctypes.CDLL(explicit)
        except OSError as error:
            raise ImportError("ZEVRA_LIBRARY=%s cannot be loaded: %s"
                              % (explicit, error)) from error
    for candidate in _installed_candidates():
        if os.path.isfile(candidate):
            return ctypes.CDLL(candidate)
    try:
        return ctypes.CDLL(LIBRARY_FILE)
    except OSError as error:
        raise ImportError("%s is neither next to this package nor known to the system loader "
                          "(%s); "
                          "set ZEVRA_LIBRARY to its path" % (LIBRARY_FILE, error)) from error
