"""pandas and GeoPandas helpers: the same answers as the array calls, CRS handling, refusals."""

import numpy as np
import pandas
import pytest

import lantrel
from conftest import needs, same_bits

geopandas = pytest.importorskip("geopandas", reason="Debian python3-geopandas is not installed")
shapely_geometry = pytest.importorskip("shapely.geometry")

pytestmark = [needs("lantrel_transformer_create"), needs("lantrel_locator_create")]

LON = [-84.8733, -85.7585, -83.5, -88.6]
LAT = [38.2009, 38.2527, 37.0, 37.08]


def test_convert_frame_writes_the_transformers_answers():
    frame = pandas.DataFrame({"x": LON, "y": LAT, "name": list("abcd")})
    out = lantrel.convert_frame(frame, "geo", "EPSG:2246", out_x="e", out_y="n")
    e, n = lantrel.Transformer("geo", "EPSG:2246").transform(LON, LAT)
    assert same_bits(out.e, e) and same_bits(out.n, n)
    assert list(out.name) == list("abcd") and same_bits(frame.x, LON)
    over = lantrel.convert_frame(frame, "geo", "north")
    assert same_bits(over.x, lantrel.Transformer("geo", "north").transform(LON, LAT)[0])


def test_annotate_frame_adds_the_locate_columns_and_carter():
    frame = pandas.DataFrame({"lon": LON, "lat": LAT})
    out = lantrel.annotate_frame(frame)
    located = lantrel.locate(LON, LAT)
    for column in located.columns:
        assert list(out[column]) == list(located[column]), column
    assert list(out.carter) == list(lantrel.to_carter(LON, LAT, datum="nad83"))
    plane = lantrel.convert_frame(frame, "geo", "north/nad27/usft", x="lon", y="lat")
    again = lantrel.annotate_frame(plane, lon="x", lat="y", system="north/nad27/usft")
    assert list(again.county)[:2] == ["Franklin", "Jefferson"]
    twice = lantrel.annotate_frame(out)  # the columns exist already: the new ones are suffixed
    assert list(twice.county_lantrel) == list(out.county)
    with pytest.raises(ValueError, match="suffix="):
        lantrel.annotate_frame(twice)


def layer(crs="EPSG:4269", xs=LON, ys=LAT):
    return geopandas.GeoDataFrame({"id": range(len(xs))},
                                  geometry=geopandas.points_from_xy(xs, ys), crs=crs)


def test_to_system_converts_points_and_sets_the_crs():
    out = lantrel.to_system(layer(), "EPSG:2246")
    assert out.crs.to_epsg() == 2246
    e, n = lantrel.Transformer("EPSG:4269", "EPSG:2246").transform(LON, LAT)
    assert same_bits(out.geometry.x, e) and same_bits(out.geometry.y, n)
    back = lantrel.to_system(out, "geo")
    assert back.crs.to_epsg() == 4269
    assert np.allclose(back.geometry.x, LON, atol=1e-9)
    no_code = lantrel.to_system(layer(), "north/nad83/km")
    assert no_code.crs is None


def test_annotate_looks_up_on_the_layers_datum():
    plane = lantrel.to_system(layer(), "EPSG:26779")  # north zone, NAD 27, US feet
    out = lantrel.annotate(plane)
    assert list(out.county)[:2] == ["Franklin", "Jefferson"]
    geo = lantrel.annotate(layer())
    assert list(geo.carter) == list(lantrel.to_carter(LON, LAT, datum="nad83"))
    assert isinstance(out, geopandas.GeoDataFrame)


def test_missing_points_fail_alone():
    frame = layer()
    frame.loc[1, "geometry"] = None
    out = lantrel.to_system(frame, "EPSG:2246")
    assert out.geometry.iloc[0] is not None and not out.geometry.iloc[0].is_empty
    assert np.isnan(out.geometry.x.iloc[1])


@pytest.mark.parametrize("make,message", [
    (lambda: geopandas.GeoDataFrame(geometry=[shapely_geometry.LineString([(0, 0), (1, 1)])],
                                    crs="EPSG:4269"), "points only"),
    (lambda: layer(crs=None), "no CRS"),
    (lambda: layer(crs="EPSG:3857"), "not one of the EPSG codes"),
])
def test_unusable_layers_are_refused_clearly(make, message):
    with pytest.raises(ValueError) as e:
        lantrel.to_system(make(), "north")
    assert message in str(e.value)
