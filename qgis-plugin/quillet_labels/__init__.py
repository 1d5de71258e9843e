"""Quillet legend labels: labels for the categories and ranges of a layer's legend, computed
from the features each one stands for."""


def classFactory(iface):  # noqa: N802 (QGIS's name)
    from .plugin import QuilletPlugin
    return QuilletPlugin(iface)
