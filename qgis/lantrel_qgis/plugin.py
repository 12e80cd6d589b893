"""The plugin object QGIS loads: the Processing provider, the expression functions, and in the
desktop the map tools and the settings dialog."""

from qgis.core import QgsApplication
from qgis.PyQt.QtWidgets import (QAction, QDialog, QDialogButtonBox, QFormLayout, QLineEdit,
                                 QMessageBox, QSpinBox)

from . import expressions, settings
from .provider import LantrelProvider


class SettingsDialog(QDialog):
    """Default systems and precision."""

    def __init__(self, parent=None):
        super().__init__(parent)
        self.setWindowTitle("lantrel settings")
        form = QFormLayout(self)
        self.edits = {}
        for name, default in settings.DEFAULTS.items():
            if isinstance(default, int):
                edit = QSpinBox()
                edit.setRange(0, 12)
                edit.setValue(settings.value(name))
            else:
                edit = QLineEdit(settings.value(name))
                edit.setPlaceholderText(default or "the layer's CRS")
            self.edits[name] = edit
            form.addRow(name.replace("_", " "), edit)
        buttons = QDialogButtonBox(QDialogButtonBox.Ok | QDialogButtonBox.Cancel)
        buttons.accepted.connect(self.save)
        buttons.rejected.connect(self.reject)
        form.addRow(buttons)

    def save(self):
        # All or nothing: a refused text must not leave the fields before it stored.
        try:
            settings.set_values({name: edit.value() if isinstance(edit, QSpinBox) else edit.text()
                                 for name, edit in self.edits.items()})
        except ValueError as e:
            QMessageBox.warning(self, "lantrel settings", str(e))
            return
        self.accept()


class LantrelPlugin:

    def __init__(self, iface):
        self.iface = iface
        self.provider = None
        self.actions = []
        self.point_tool = None

    def initProcessing(self):
        provider = LantrelProvider()
        # The registry refuses (and deletes) a second provider of the same id.
        self.provider = provider if QgsApplication.processingRegistry().addProvider(provider) \
            else None

    def initGui(self):
        if self.provider is None:  # qgis_process calls initProcessing alone, the desktop not
            self.initProcessing()
        expressions.register()
        if self.iface is None:
            return
        from . import maptools
        canvas = self.iface.mapCanvas()
        self.point_tool = maptools.PointTool(canvas)
        point = QAction("lantrel: point in every system", self.iface.mainWindow())
        point.setCheckable(True)
        point.triggered.connect(lambda: canvas.setMapTool(self.point_tool))
        self.point_tool.setAction(point)
        zoom = QAction("lantrel: zoom to Carter location, county or quadrangle",
                       self.iface.mainWindow())
        zoom.triggered.connect(lambda: maptools.zoom_to_place(canvas))
        options = QAction("lantrel settings…", self.iface.mainWindow())
        options.triggered.connect(lambda: SettingsDialog(self.iface.mainWindow()).exec_())
        for action in (point, zoom, options):
            self.iface.addPluginToMenu("lantrel", action)
            self.actions.append(action)
        self.iface.addToolBarIcon(point)
        self.iface.addToolBarIcon(zoom)

    def unload(self):
        expressions.unregister()
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
        if self.iface is not None:
            for action in self.actions:
                self.iface.removePluginMenu("lantrel", action)
                self.iface.removeToolBarIcon(action)
            if self.point_tool is not None:
                self.iface.mapCanvas().unsetMapTool(self.point_tool)
        self.actions = []
