"""The map tools and the settings dialog driven as a user drives them, in a headless canvas: a
click shows and copies the point in every system, a typed place moves the canvas, the dialog
stores what it shows or nothing."""

import contextlib
import math

import pytest

import lantrel
from conftest import FAR_POINT, KY_POINTS  # noqa: F401  (starts QGIS)
from lantrel_qgis import locations, maptools, settings
from lantrel_qgis.plugin import SettingsDialog
from qgis.core import (QgsCoordinateReferenceSystem, QgsCoordinateTransform, QgsPointXY,
                       QgsProject, QgsRectangle, QgsSettings)
from qgis.gui import QgsMapCanvas, QgsMapMouseEvent
from qgis.PyQt.QtCore import QEvent, QPoint, Qt, QTimer
from qgis.PyQt.QtTest import QTest
from qgis.PyQt.QtWidgets import QApplication, QDialogButtonBox, QLineEdit


def canvas_in(authid, centre, half=0.05):
    """A shown 400 x 300 canvas in `authid` around `centre` given in geographic NAD 83."""
    crs = QgsCoordinateReferenceSystem(authid)
    canvas = QgsMapCanvas()
    canvas.resize(400, 300)
    canvas.show()
    canvas.setDestinationCrs(crs)
    to_canvas = QgsCoordinateTransform(QgsCoordinateReferenceSystem("EPSG:4269"), crs,
                                       QgsProject.instance())
    canvas.setExtent(to_canvas.transformBoundingBox(QgsRectangle(
        centre[0] - half, centre[1] - half, centre[0] + half, centre[1] + half)))
    return canvas


@contextlib.contextmanager
def answering(*responders):
    """Answers the modal dialogs shown inside the block, in turn, by calling the responders
    on them (one more is rejected rather than left to hang the test); yields the list of
    their (title, text)."""
    seen, pending = [], list(responders)
    timer = QTimer()
    timer.setInterval(10)

    def poll():
        dialog = QApplication.activeModalWidget()
        if dialog is None:
            return
        text = dialog.text() if hasattr(dialog, "text") else dialog.labelText()
        seen.append((dialog.windowTitle(), text))
        pending.pop(0)(dialog) if pending else dialog.reject()
    timer.timeout.connect(poll)
    timer.start()
    try:
        yield seen
    finally:
        timer.stop()


def expected_report(system, x, y):
    """{label: text} of the point tool for (x, y) in `system`, from the lantrel package."""
    lon, lat = lantrel.Transformer(system, "geo").transform(x, y)
    lon27, lat27 = lantrel.Transformer(system, "geo/nad27").transform(x, y)
    found = lantrel.locate([lon], [lat])
    report = {}
    for text in locations.ALL_SYSTEMS:
        px, py = lantrel.Transformer(system, text).transform(x, y)
        digits = 8 if lantrel.parse_system(text).angular else 3
        report[text] = "outside the served area" if math.isnan(px) else \
            f"{px:.{digits}f}, {py:.{digits}f}"
    quad = found["quad"][0]
    report.update({"county": found["county"][0] or "none", "FIPS": found["geoid"][0] or "none",
                   "zone": found["sp_zone"][0] or "none",
                   "quadrangle": f"{quad} ({found['quad_tile'][0]})" if quad else "none",
                   "Carter (NAD 27)": (lantrel.to_carter(lon27, lat27, datum="nad27")
                                       if not math.isnan(lon27) else None)
                   or "outside the Carter grid"})
    return report


@pytest.mark.parametrize("authid,system,where", [
    ("EPSG:4269", "geo", KY_POINTS[0]),          # geographic NAD 83, Franklin County
    ("EPSG:2246", "EPSG:2246", KY_POINTS[1]),    # a served plane zone: no QGIS transform
    ("EPSG:3857", None, KY_POINTS[4]),           # not served: QGIS moves it to NAD 83 first
    ("EPSG:4269", "geo", FAR_POINT),             # outside Kentucky and the shift window
])
def test_a_click_shows_and_copies_the_point_in_every_system(authid, system, where):
    canvas = canvas_in(authid, where)
    tool = maptools.PointTool(canvas)
    canvas.setMapTool(tool)
    centre = canvas.getCoordinateTransform().transform(canvas.extent().center())
    event = QgsMapMouseEvent(canvas, QEvent.MouseButtonPress,
                             QPoint(int(centre.x()) + 7, int(centre.y()) - 5), Qt.LeftButton)
    clicked = event.mapPoint()
    with answering(lambda d: d.accept()) as seen:
        tool.canvasPressEvent(event)
    assert [title for title, _ in seen] == ["lantrel point (copied)"]
    text = seen[0][1]
    assert QApplication.clipboard().text() == text
    if system is None:
        p = QgsCoordinateTransform(canvas.mapSettings().destinationCrs(),
                                   QgsCoordinateReferenceSystem("EPSG:4269"),
                                   QgsProject.instance()).transform(clicked)
        system, clicked = "geo", p
    shown = dict(line.split(": ", 1) for line in text.splitlines())
    assert shown == expected_report(system, clicked.x(), clicked.y())
    if where == KY_POINTS[0]:
        assert shown["county"] == "Franklin"


@pytest.mark.parametrize("typed,authid,check", [
    ("38084-B7", "EPSG:4269", QgsRectangle(-84.875, 38.125, -84.75, 38.25)),
    ("D45-07 1200-FNL 350-FWL", "EPSG:4267", "carter"),
    ("Franklin County", "EPSG:4269", "county"),
    ("Atlantis", "EPSG:4269", "no Carter location, county or quadrangle"),
    (None, "EPSG:4269", None),                  # the dialog is cancelled
])
def test_zoom_to_a_typed_place(typed, authid, check):
    canvas = canvas_in(authid, (-86.0, 37.0), half=1.0)
    before = canvas.extent()

    def type_in(dialog):
        if typed is None:
            dialog.reject()
            return
        QTest.keyClicks(dialog.findChild(QLineEdit), typed)
        dialog.accept()
    with answering(type_in, lambda d: d.accept()) as seen:  # a refusal follows as a warning
        maptools.zoom_to_place(canvas)
    extent = canvas.extent()
    refused = isinstance(check, str) and " " in check
    assert seen[0][0] == "lantrel: zoom to" and len(seen) == 1 + refused
    if check is None or refused:
        assert extent == before
        if check:
            assert seen[1][0] == "lantrel: zoom to" and check in seen[1][1]
        return
    centre = extent.center()
    if check == "carter":  # a point: the canvas centres on it, a section's width around it
        lon, lat = lantrel.from_carter(typed, datum="nad27")
        assert abs(centre.x() - lon) < 1e-9 and abs(centre.y() - lat) < 1e-9
        assert extent.width() < 0.05 and extent.height() < 0.05
    elif check == "county":
        found = lantrel.locate([centre.x()], [centre.y()])
        assert found["county"][0] == "Franklin"
        assert extent.contains(QgsPointXY(*KY_POINTS[0])) and extent.width() < 0.6
    else:  # the canvas shows the whole tile and no more than its aspect ratio needs
        tol = 1e-9
        assert extent.xMinimum() <= check.xMinimum() + tol and \
            extent.yMinimum() <= check.yMinimum() + tol
        assert extent.xMaximum() >= check.xMaximum() - tol and \
            extent.yMaximum() >= check.yMaximum() - tol
        assert min(abs(extent.width() - check.width()),
                   abs(extent.height() - check.height())) < tol


def test_the_settings_dialog_stores_what_it_shows_or_nothing():
    try:
        dialog = SettingsDialog()
        dialog.edits["target_system"].setText("utm17/nad83/m")
        dialog.edits["linear_decimals"].setValue(2)
        dialog.findChild(QDialogButtonBox).button(QDialogButtonBox.Ok).click()
        assert dialog.result() == dialog.Accepted
        assert (settings.value("target_system"), settings.value("linear_decimals")) == \
            ("utm17/nad83/m", 2)
        again = SettingsDialog()
        assert again.edits["target_system"].text() == "utm17/nad83/m"
        assert again.edits["linear_decimals"].value() == 2
        # A text lantrel cannot read is shown and stores nothing, not even the fields before it.
        again.edits["source_system"].setText("north/nad27/usft")
        again.edits["factor_system"].setText("nowhere/nad99")
        with answering(lambda d: d.accept()) as seen:
            again.findChild(QDialogButtonBox).button(QDialogButtonBox.Ok).click()
        assert len(seen) == 1 and seen[0][1].startswith("factor system: ")
        assert again.result() != again.Accepted
        assert settings.value("source_system") == ""
    finally:
        QgsSettings().remove("lantrel")
