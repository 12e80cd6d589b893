"""Converting and locating 10 million points on a two-process Dask cluster gives exactly the
single-process answers."""

import hashlib
import os

import numpy as np
import pandas
import pytest

import lantrel
from conftest import needs

dask = pytest.importorskip("dask", reason="Debian python3-dask is not installed")
dd = pytest.importorskip("dask.dataframe")
distributed = pytest.importorskip("distributed", reason="Debian python3-distributed is missing")

pytestmark = [needs("lantrel_transformer_create"), needs("lantrel_locator_create")]

POINTS = int(os.environ.get("LANTREL_DASK_POINTS", 10_000_000))
PARTITIONS = 8


def points(seed):
    """One partition of points in and around the window (made where it is used)."""
    n = POINTS // PARTITIONS
    rng = np.random.default_rng(seed)
    return pandas.DataFrame({"lon": -rng.uniform(81.3, 90.2, n), "lat": rng.uniform(35.8, 39.7, n)})


def digest(frame, transformer):
    """Converts and locates a partition; returns its size and a digest of every answer bit."""
    x, y = transformer.transform(frame.lon.to_numpy(), frame.lat.to_numpy())
    found = lantrel.locate(frame.lon.to_numpy(), frame.lat.to_numpy())
    h = hashlib.sha256()
    for array in (x, y, found.state_count.to_numpy(), found.county_count.to_numpy(),
                  found.quad_count.to_numpy(), found.status.to_numpy()):
        h.update(np.ascontiguousarray(array).tobytes())
    for column in ("state", "state_fips", "county", "county_fips", "geoid", "sp_zone", "quad",
                   "quad_tile"):
        h.update("\0".join(found[column].tolist()).encode())
    counties = int((found.county_count > 0).sum())
    return pandas.DataFrame({"rows": [len(frame)], "counties": [counties],
                             "digest": [h.hexdigest()]})


def test_cluster_answers_equal_single_process_answers():
    transformer = lantrel.Transformer("geo", "EPSG:2246")
    meta = pandas.DataFrame({"rows": pandas.Series([], dtype="int64"),
                             "counties": pandas.Series([], dtype="int64"),
                             "digest": pandas.Series([], dtype="object")})
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster):
        frame = dd.from_map(points, list(range(PARTITIONS)))
        on_cluster = frame.map_partitions(digest, transformer, meta=meta).compute()
    alone = pandas.concat([digest(points(seed), transformer) for seed in range(PARTITIONS)],
                          ignore_index=True)
    assert int(on_cluster.rows.sum()) >= POINTS - PARTITIONS
    assert on_cluster.counties.sum() > POINTS // 10
    assert list(on_cluster.digest) == list(alone.digest)
