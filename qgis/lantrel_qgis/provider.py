"""The Processing provider "lantrel"."""

import os

from qgis.core import QgsProcessingProvider
from qgis.PyQt.QtGui import QIcon

from .algorithms import ALGORITHMS


class LantrelProvider(QgsProcessingProvider):

    def id(self):
        return "lantrel"

    def name(self):
        return "lantrel"

    def longName(self):
        import lantrel
        return f"lantrel {lantrel.__version__}: Kentucky systems, county, quadrangle, Carter"

    def icon(self):
        return QIcon(os.path.join(os.path.dirname(__file__), "icon.svg"))

    def loadAlgorithms(self):
        for algorithm in ALGORITHMS:
            self.addAlgorithm(algorithm())
