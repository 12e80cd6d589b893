"""The installed package: what pip put where, its version, types, docstrings and errors."""

import inspect
import os
import pickle
import re

import pytest

import lantrel


@pytest.mark.skipif("LANTREL_LIBRARY" in os.environ,
                    reason="run against a library named by LANTREL_LIBRARY, not an installed one")
def test_library_and_data_file_are_installed_beside_the_package():
    folder = os.path.dirname(lantrel.__file__)
    for name in ("liblantrel.so", "lantrel.bin", "py.typed"):
        assert os.path.isfile(os.path.join(folder, name)), name
    assert lantrel._native.library_path() == os.path.join(folder, "liblantrel.so")


def test_a_new_position_finds_the_installed_data_file():
    with lantrel.ZrGeoPosition() as p:
        p.x, p.y = -84.8733, 38.2009
        assert (p.StateName(), p.CountyName()) == ("Kentucky", "Franklin")


def test_version_follows_the_library():
    source = os.environ.get("LANTREL_SOURCE_DIR")
    major, minor = lantrel.typelib_version()
    assert lantrel.__version__.startswith(f"{major}.{minor}.")
    if source:
        with open(os.path.join(source, "CMakeLists.txt")) as f:
            declared = re.search(r"project\(lantrel VERSION (\d+\.\d+)", f.read()).group(1)
        assert lantrel.__version__.startswith(declared + ".")


def test_every_public_name_has_a_docstring():
    undocumented = []
    for name in lantrel.__all__:
        if name == "__version__":
            continue
        obj = getattr(lantrel, name)
        if not (inspect.getdoc(obj) or "").strip():
            undocumented.append(name)
        if inspect.isclass(obj) and obj.__module__.startswith("lantrel"):
            for member, value in vars(obj).items():
                if member.startswith("_") or not (callable(value) or isinstance(value, property)):
                    continue
                if not (inspect.getdoc(value) or "").strip():
                    undocumented.append(f"{name}.{member}")
    assert undocumented == []


def test_old_names_warn_and_still_work():
    with pytest.warns(DeprecationWarning, match="lantrel.Error"):
        assert lantrel.LantrelError is lantrel.Error
    with lantrel.ZrGeoPosition() as p, pytest.warns(DeprecationWarning, match="Convert"):
        assert p.convert(0, 3, 2) == (0, 0, 3, 2)
    with pytest.warns(DeprecationWarning, match="return_errors"):
        _, _, status, message = lantrel.from_carter(["D45-07", "D45-07 1200-FNL 350-FWL"],
                                                    return_status=True)
    assert list(status) == [5, 0] and message[0] and message[1] == ""
    assert "LantrelError" not in lantrel.__all__


def test_error_names_and_pickling():
    e = lantrel.Error(5, "lantrel:x:", "bad", index=3)
    back = pickle.loads(pickle.dumps(e))
    assert (back.number, back.source, back.description, back.index) == (5, "lantrel:x:", "bad", 3)
    assert "index 3" in str(back)
