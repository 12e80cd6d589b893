"""Scale factor and convergence arrays against a position's ScaleFactor and Convergence."""

import math

import numpy as np
import pytest

import lantrel
from conftest import SYSTEMS, needs, points_in, position_in, same_bits

pytestmark = needs("lantrel_factors")


def position_factors(system, x, y, west_positive=False):
    try:
        with position_in(system, x, y, west_positive) as p:
            return p.ScaleFactor, p.Convergence, 0
    except lantrel.Error as e:
        return math.nan, math.nan, e.number


@pytest.mark.parametrize("system", SYSTEMS, ids=lambda s: s.text())
def test_every_system_matches_the_position(system):
    xs, ys = points_in(system)
    xs = np.concatenate([xs, [math.nan, math.inf, 1e308, 0.0]])
    ys = np.concatenate([ys, [1.0, 1.0, 1e308, 0.0]])
    scale, convergence = lantrel.factors(xs, ys, system)
    for i, (x, y) in enumerate(zip(xs, ys)):
        k, c, _ = position_factors(system, float(x), float(y))
        assert same_bits(scale[i], k) and same_bits(convergence[i], c), (x, y)


def test_errcheck_reports_the_positions_error():
    with pytest.raises(lantrel.Error) as e:
        lantrel.factors([1.6e6, math.nan], [2.5e5, 1.0], "north", errcheck=True)
    assert e.value.index == 1
    assert lantrel.factors(1.6e6, 2.5e5, "north") == tuple(
        position_factors(lantrel.parse_system("north"), 1.6e6, 2.5e5)[:2])
    with pytest.raises(lantrel.Error):
        lantrel.factors([1.0], [1.0], "carter")
