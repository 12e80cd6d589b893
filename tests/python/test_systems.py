"""System texts as the tool reads them, and the served EPSG codes."""

import pytest

import lantrel
from conftest import D, P, U


@pytest.mark.parametrize("text,expected", [
    ("north/nad27/usft", (P.zrNorthZone, D.zrNAD27, U.zrUSFt, 0)),
    ("geo", (P.zrGeographic, D.zrNAD83, U.zrDecimalDegrees, 0)),
    ("1/1/1", (P.zrNorthZone, D.zrNAD27, U.zrUSFt, 0)),
    ("EPSG:2246", (P.zrNorthZone, D.zrNAD83, U.zrUSFt, 2246)),
    ("utm17/NAD27", (P.zrUTM17, D.zrNAD27, U.zrMeters, 0)),
])
def test_texts(text, expected):
    s = lantrel.parse_system(text)
    assert tuple(s) == expected
    assert lantrel.parse_system(s.text()) == s


def test_served_codes_describe_their_systems():
    codes = lantrel.served_epsg_codes()
    assert 2246 in codes and 4269 in codes and list(codes) == sorted(codes)
    for code, system in codes.items():
        assert system.epsg_code == code
        assert lantrel.parse_system(f"EPSG:{code}") == system
    assert lantrel.parse_system("north/nad83/km").epsg_code == 0
    assert lantrel.parse_system("EPSG:2246").describe().startswith("EPSG:2246 = north/nad83/usft")


@pytest.mark.parametrize("value,error", [(True, TypeError), (None, TypeError), (2.5, TypeError),
                                         (3857, lantrel.Error), ("north\0", lantrel.Error),
                                         ("", lantrel.Error)])
def test_non_texts_are_refused(value, error):
    with pytest.raises(error):
        lantrel.parse_system(value)
