"""Builds the native part of the lantrel Python package with CMake.

`python -m pip install --no-build-isolation --no-index .` configures the repository in a
folder of its own (LANTREL_PACKAGE_BUILD_DIR, by default build/python-package), builds only the shared library and the reference data file (from
LANTREL_DATA_SOURCES, by default the repository's data/ folder) and puts both into the
package beside its Python files, where the package and the library look for them.
"""

import os
import shutil
import subprocess
import sys

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

ROOT = os.path.dirname(os.path.abspath(__file__))


class BinaryDistribution(Distribution):
    """The package carries a shared library: its wheel is platform-specific."""

    def has_ext_modules(self):
        return True


class BuildWithNativeLibrary(build_py):
    def run(self):
        super().run()
        build_dir = os.environ.get("LANTREL_PACKAGE_BUILD_DIR",
                                   os.path.join(ROOT, "build", "python-package"))
        sources = os.path.abspath(os.environ.get("LANTREL_DATA_SOURCES", os.path.join(ROOT, "data")))
        needed = ["boundaries/states-from-counties-500k.geojson",
                  "boundaries/ky-counties-500k.geojson", "quads/quads.csv"]
        missing = [n for n in needed if not os.path.exists(os.path.join(sources, n))]
        if missing:
            raise RuntimeError(f"the reference data sources are missing from {sources}: "
                               f"{', '.join(missing)} (see data/README.md)")
        configure = ["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                     "-DLANTREL_BUILD_TESTS=OFF", "-DLANTREL_BUILD_BENCH=OFF",
                     f"-DLANTREL_DATA_SOURCES={sources}",
                     f"-DPython3_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja") and not os.path.exists(os.path.join(build_dir, "Makefile")):
            configure += ["-G", "Ninja"]
        subprocess.check_call(configure)
        jobs = os.environ.get("LANTREL_BUILD_JOBS", "2")
        subprocess.check_call(["cmake", "--build", build_dir, "-j", jobs, "--target", "lantrel",
                               "lantrel_refdata"])
        target = os.path.join(self.build_lib, "lantrel")
        os.makedirs(target, exist_ok=True)
        library = os.path.realpath(os.path.join(build_dir, "bin", "liblantrel.so"))
        data = os.path.join(build_dir, "bin", "lantrel.bin")
        if not os.path.exists(data):
            raise RuntimeError(f"the reference data file was not built from {sources} "
                               f"(see data/README.md)")
        shutil.copyfile(library, os.path.join(target, "liblantrel.so"))
        shutil.copyfile(data, os.path.join(target, "lantrel.bin"))


setup(distclass=BinaryDistribution, cmdclass={"build_py": BuildWithNativeLibrary})
