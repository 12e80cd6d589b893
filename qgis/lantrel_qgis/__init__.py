"""lantrel for QGIS: Processing algorithms, expression functions and map tools over the lantrel
Python package."""


def classFactory(iface):
    from .plugin import LantrelPlugin
    return LantrelPlugin(iface)
