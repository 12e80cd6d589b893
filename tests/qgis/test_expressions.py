"""The lantrel_* expression functions in a QgsExpressionContext, and the text, place and
settings rules the map tools and dialogs stand on."""

import numpy as np
import pytest

import lantrel
from conftest import KY_POINTS  # noqa: F401  (starts QGIS)
from lantrel_qgis import expressions, maptools, places, settings
from qgis.core import (QgsCoordinateReferenceSystem, QgsExpression, QgsExpressionContext,
                       QgsExpressionContextScope, QgsFeature, QgsGeometry, QgsPointXY)

expressions.register()
LON, LAT = -84.8733, 38.2009
E, N = lantrel.Transformer("geo", "EPSG:2246").transform(LON, LAT)
LON27, LAT27 = lantrel.Transformer("geo", "geo/nad27").transform(LON, LAT)
FOUND = lantrel.locate([LON], [LAT])


def evaluate(text, geometry=None, layer_crs="EPSG:2246"):
    context = QgsExpressionContext()
    scope = QgsExpressionContextScope()
    scope.setVariable("layer_crs", layer_crs)
    context.appendScope(scope)
    if geometry is not None:
        f = QgsFeature()
        f.setGeometry(geometry)
        context.setFeature(f)
    e = QgsExpression(text)
    value = e.evaluate(context)
    return value, e.evalErrorString()


POINT = QgsGeometry.fromPointXY(QgsPointXY(E, N))


@pytest.mark.parametrize("text,crs,expected", [
    ("lantrel_carter($geometry)", "EPSG:2246", lantrel.to_carter(LON27, LAT27, datum="nad27")),
    ("lantrel_carter($geometry, 'EPSG:2246', true)", "EPSG:3857",
     lantrel.to_carter(LON27, LAT27, datum="nad27", zgs=True)),
    ("lantrel_county($geometry)", "EPSG:2246", FOUND["county"][0]),
    ("lantrel_county($geometry, '', 'fips')", "EPSG:2246", FOUND["geoid"][0]),
    ("lantrel_county($geometry, '', 'zone')", "EPSG:2246", FOUND["sp_zone"][0]),
    ("lantrel_quad($geometry)", "EPSG:2246", FOUND["quad"][0]),
    ("lantrel_quad($geometry, '', 'tile')", "EPSG:2246", FOUND["quad_tile"][0]),
    ("lantrel_dms(-84.8733, 'lon')", "", "84°52′23.88000″W"),
    ("lantrel_dms(-84.8733, 'lon', 20)", "", lantrel.format_dms(-84.8733, True, 12)),
    ("lantrel_dms(38.2009, 'lat', 2)", "", "38°12′03.24″N"),
])
def test_functions_answer_as_the_package(text, crs, expected):
    value, error = evaluate(text, POINT, crs)
    assert error == "" and value == expected


def test_convert_returns_the_point_bit_for_bit():
    value, error = evaluate(f"lantrel_convert({LON!r}, {LAT!r}, 'geo', 'EPSG:2246')")
    assert error == "" and (value.asPoint().x(), value.asPoint().y()) == (E, N)


@pytest.mark.parametrize("text,geometry,crs,words", [
    ("lantrel_county($geometry)", QgsGeometry.fromWkt("LINESTRING(0 0, 1 1)"), "EPSG:2246",
     "points only"),
    ("lantrel_county($geometry)", POINT, "EPSG:3857", "EPSG:3857"),
    ("lantrel_quad($geometry)", QgsGeometry.fromPointXY(QgsPointXY(-84, 95)), "EPSG:4269",
     "latitude 95 is outside -90 to 90"),
    ("lantrel_quad($geometry, 'nowhere/nad99')", POINT, "EPSG:2246", "lantrel_quad"),
    ("lantrel_quad($geometry, '', 'colour')", POINT, "EPSG:2246", "part must be"),
    ("lantrel_convert(-95, 30, 'geo', 'geo/nad27')", None, "", "shift window"),
    ("lantrel_convert('x', 30, 'geo', 'utm16')", None, "", "numbers"),
    ("lantrel_dms(1, 'up')", None, "", "axis"),
])
def test_failures_set_the_error_string(text, geometry, crs, words):
    value, error = evaluate(text, geometry, crs)
    assert value is None and words in error, error


@pytest.mark.parametrize("text,label,crs", [
    ("D45-07 1200-FNL 350-FWL", "Carter D45-07 1200-FNL 350-FWL", "EPSG:4267"),
    ("d45", "Carter D45", "EPSG:4267"),
    ("38084-B7", "quadrangle 38084-B7", "EPSG:4269"),
    ("Franklin County", "Franklin County", "EPSG:4269"),
    ("frankfort east", "quadrangle frankfort east (38084-B7)", "EPSG:4269"),
])
def test_places(text, label, crs):
    found, bounds, authid = places.find(text)
    assert (found, authid) == (label, crs) and bounds[0] <= bounds[2] and bounds[1] <= bounds[3]
    if "Franklin" in text:
        assert bounds[0] < -84.8733 < bounds[2] and bounds[1] < 38.2009 < bounds[3]


def test_zoom_and_point_report_in_a_canvas_crs():
    label, box = maptools.zoom_rectangle("38084-B7", QgsCoordinateReferenceSystem("EPSG:4269"))
    assert (box.xMinimum(), box.yMinimum(), box.xMaximum(), box.yMaximum()) == \
        (-84.875, 38.125, -84.75, 38.25)
    with pytest.raises(ValueError, match="no Carter location"):
        places.find("Atlantis")
    report = maptools.point_report(QgsCoordinateReferenceSystem("EPSG:2246"), QgsPointXY(E, N))
    assert f"county: {FOUND['county'][0]}" in report and "Carter (NAD 27): " in report
    x27, y27 = lantrel.Transformer("EPSG:2246", "geo/nad27").transform(E, N)
    assert f"geo/nad27: {x27:.8f}, {y27:.8f}" in report


def test_settings_refuse_what_lantrel_cannot_read():
    settings.set_value("target_system", "utm16/nad27/m")
    assert settings.value("target_system") == "utm16/nad27/m"
    for name, bad in (("target_system", "nowhere"), ("dms_decimals", 13)):
        with pytest.raises(ValueError):
            settings.set_value(name, bad)
    settings.set_value("target_system", "")
    assert settings.value("target_system") == settings.DEFAULTS["target_system"]
    assert np.isfinite(settings.value("linear_decimals"))


def test_the_desktop_plugin_starts_and_unloads():
    from unittest import mock
    from qgis.core import QgsApplication
    from qgis.gui import QgsMapCanvas
    from lantrel_qgis import classFactory
    iface = mock.MagicMock()
    iface.mapCanvas.return_value = canvas = QgsMapCanvas()
    iface.mainWindow.return_value = None
    plugin = classFactory(iface)
    plugin.initGui()
    assert len(plugin.actions) == 3 and QgsExpression.isFunctionName("lantrel_quad")
    assert iface.addPluginToMenu.call_count == 3
    canvas.setMapTool(plugin.point_tool)
    plugin.unload()
    assert QgsApplication.processingRegistry().providerById("lantrel") is not None  # the tests'
    assert canvas.mapTool() is None
    assert not QgsExpression.isFunctionName("lantrel_quad")
    expressions.register()
