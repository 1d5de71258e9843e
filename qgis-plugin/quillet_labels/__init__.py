"""Quillet legend labels: labels for the categories and ranges of a layer's legend, computed
from the features each one stands for."""


def classFactory(iface):  # noqa: N802 (QGIS's name)
    try:
        from .plugin import QuilletPlugin
    except ImportError as error:  # the compiled module, most likely built for another Python
        return _Unavailable(iface, error)
    return QuilletPlugin(iface)


class _Unavailable:
    """Says in QGIS's message bar why the plugin cannot work here."""

    def __init__(self, iface, error):
        self.iface, self.error = iface, error

    def initGui(self):  # noqa: N802
        from qgis.core import Qgis
        self.iface.messageBar().pushMessage(
            "Quillet legend labels",
            f"The quillet module cannot be loaded ({self.error}). Build the plugin where QGIS "
            "runs, with make qgis-plugin.", level=Qgis.Critical)

    def unload(self):
        pass
