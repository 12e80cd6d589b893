"""Array functions on several threads give the one-thread results, bit for bit, with the same
error records; the thread count is checked."""

import numpy as np
import pytest

import lantrel
from conftest import needs

pytestmark = needs("lantrel_transformer_transform_threaded")

N = 40003  # above the library's threshold for threads
LON = -(82.0 + np.arange(N) * 0.0002)
LAT = 36.7 + np.arange(N) * 0.00006
LON[517::1000] = np.nan  # failing points in every chunk
LAT[733::1000] = 95.0

CALLS = [
    ("transform", lambda t: lantrel.Transformer("geo/nad27", "north", False).transform(
        LON, LAT, return_errors=True, threads=t)),
    ("factors", lambda t: lantrel.factors(LON, LAT, "geo", return_errors=True, threads=t)),
    ("carter", lambda t: lantrel.from_carter(
        lantrel.to_carter(LON, LAT, threads=t).astype(object), return_errors=True, threads=t)),
    ("locate", lambda t: lantrel.locate(LON, LAT, return_errors=True, threads=t)),
]


def fingerprint(result):
    """Every array of a result as bytes (frames by their columns)."""
    parts = []
    for part in result:
        if hasattr(part, "to_numpy") and hasattr(part, "columns"):
            parts += [part[c].to_numpy() for c in part.columns]
        elif isinstance(part, np.ndarray):
            parts.append(part)
        else:  # ArrayErrors
            parts += [part.number, part.source, part.description]
    return [p.tobytes() if p.dtype != object else repr(p.tolist()) for p in parts]


@pytest.mark.parametrize("name,call", CALLS, ids=[c[0] for c in CALLS])
def test_thread_counts_give_the_one_thread_results(name, call):
    one = fingerprint(call(1))
    for threads in (0, 2, 3):
        assert fingerprint(call(threads)) == one, threads


@pytest.mark.parametrize("threads,error", [(-1, ValueError), (2**32, ValueError),
                                           ("2", TypeError), (True, TypeError), (1.5, TypeError)])
def test_thread_counts_are_checked(threads, error):
    with pytest.raises(error):
        lantrel.Transformer("geo", "north").transform([-84.0], [38.0], threads=threads)
