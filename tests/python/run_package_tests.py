"""Installs the lantrel package with pip into a fresh virtual environment and runs its pytest
suite against the installed copy.

    python3 run_package_tests.py SOURCE_DIR WORK_DIR [pytest arguments...]

Exit status: pytest's, except that "no tests collected" (5) is a failure, and 77 (a skip for
CTest) when a Debian package the suite needs is missing.
"""

import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile

SKIP = 77
NEEDED = {"numpy": "python3-numpy", "pytest": "python3-pytest", "pip": "python3-pip",
          "setuptools": "python3-setuptools", "wheel": "python3-wheel", "venv": "python3-venv",
          "ensurepip": "python3-venv", "pandas": "python3-pandas"}


def main(suite="python", needed=NEEDED, extra_env=None, label="Python package"):
    """Installs the package and runs tests/<suite>; `extra_env` is set for pytest only."""
    source, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    missing = sorted({pkg for mod, pkg in needed.items() if importlib.util.find_spec(mod) is None})
    if missing:
        print(f"SKIPPED: the {label} tests need the Debian packages {' '.join(missing)} "
              "(run .ci/deps.sh)")
        return SKIP
    os.makedirs(work, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="venv-", dir=work)
    try:
        venv = os.path.join(scratch, "venv")
        subprocess.check_call([sys.executable, "-m", "venv", "--system-site-packages", venv])
        python = os.path.join(venv, "bin", "python")
        env = dict(os.environ)
        env.pop("LANTREL_LIBRARY", None)
        env.pop("PYTHONPATH", None)
        env["LANTREL_PACKAGE_BUILD_DIR"] = os.path.join(work, "native")
        subprocess.check_call([python, "-m", "pip", "install", "--quiet", "--no-build-isolation",
                               "--no-index", source], env=env, cwd=scratch)
        # Run from the scratch folder so that the installed package, not the source tree, is
        # imported.
        tests = os.path.join(source, "tests", suite)
        env.update(extra_env(scratch) if extra_env else {})
        status = subprocess.call([python, "-m", "pytest", "-q", "-p", "no:cacheprovider",
                                  "--rootdir", tests, tests] + sys.argv[3:], env=env, cwd=scratch)
        if status == 5:
            print("FAILED: pytest collected no tests")
            return 1
        return status
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
