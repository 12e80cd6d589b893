"""Installs the lantrel package into a fresh virtual environment (as the Python package tests
do) and runs the QGIS plugin's tests against it in a headless QGIS: offscreen Qt, a private
HOME, profile and XDG_RUNTIME_DIR.

    python3 run_qgis_tests.py SOURCE_DIR WORK_DIR [pytest arguments...]

Exit status: pytest's, or 77 (a skip for CTest) naming the Debian packages that are missing.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                                "python"))
import run_package_tests  # noqa: E402

NEEDED = dict(run_package_tests.NEEDED, qgis="python3-qgis")


def headless(scratch):
    home = os.path.join(scratch, "home")
    runtime = os.path.join(scratch, "runtime")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    return {"HOME": home, "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"), "QT_QPA_PLATFORM": "offscreen",
            "QGIS_CUSTOM_CONFIG_PATH": os.path.join(home, "qgis-profile"),
            "LANTREL_SOURCE_DIR": os.path.abspath(sys.argv[1])}


if __name__ == "__main__":
    if not os.path.exists("/usr/bin/qgis_process.bin"):
        NEEDED["qgis_process"] = "qgis"  # a module that is never there: names the package
    sys.exit(run_package_tests.main("qgis", NEEDED, headless, "QGIS plugin"))
