"""The plugin: an action in the layer panel's context menu and the Layer menu that opens the
panel on the layer, enabled where Quillet can label the layer's legend."""
import os

from qgis.core import QgsMapLayerType
from qgis.PyQt.QtCore import Qt
from qgis.PyQt.QtGui import QIcon
from qgis.PyQt.QtWidgets import QAction

from .live_layer import WhyNot
from .panel import QuilletPanel

TIP = "Label the legend's categories or ranges from the features each one stands for"


class QuilletPlugin:
    def __init__(self, iface):
        self.iface = iface
        self.action = None
        self.panel = None
        self.watched = None  # the layer whose renderer changes are followed

    def initGui(self):  # noqa: N802 (QGIS's name)
        icon = QIcon(os.path.join(os.path.dirname(__file__), "icon.svg"))
        self.action = QAction(icon, "Quillet Legend Labels…", self.iface.mainWindow())
        self.action.setObjectName("quilletLegendLabels")
        self.action.triggered.connect(self.Open)
        self.iface.addCustomActionForLayerType(self.action, "", QgsMapLayerType.VectorLayer, True)
        self.iface.layerMenu().addAction(self.action)
        self.iface.currentLayerChanged.connect(self.Follow)
        self.Follow(self.iface.activeLayer())

    def unload(self):
        self.iface.currentLayerChanged.disconnect(self.Follow)
        self._Unwatch()
        self.iface.removeCustomActionForLayerType(self.action)
        self.iface.layerMenu().removeAction(self.action)
        self.action.deleteLater()
        self.action = None
        if self.panel is not None:
            self.panel.Close()
            self.iface.removeDockWidget(self.panel)
            self.panel.deleteLater()
            self.panel = None

    def Follow(self, layer):
        """The current layer changed: the action follows it, and its renderer's changes."""
        self._Unwatch()
        if layer is not None and hasattr(layer, "rendererChanged"):
            layer.rendererChanged.connect(self.Update)
            self.watched = layer
        self.Update()

    def _Unwatch(self):
        if self.watched is not None:
            try:
                self.watched.rendererChanged.disconnect(self.Update)
            except (RuntimeError, TypeError):  # the layer is gone
                pass
            self.watched = None

    def Update(self):
        layer = self.iface.activeLayer()
        why = WhyNot(layer) if layer is not None else "Select a vector layer in the layer panel."
        self.action.setEnabled(why is None)
        self.action.setToolTip(why or TIP)
        self.action.setStatusTip(why or TIP)

    def Open(self):
        layer = self.iface.activeLayer()
        if layer is None or WhyNot(layer) is not None:
            return
        if self.panel is None:
            self.panel = QuilletPanel(self.iface, self.iface.mainWindow())
            self.iface.addDockWidget(Qt.RightDockWidgetArea, self.panel)
        self.panel.SetLayer(layer)
        self.panel.show()
        self.panel.raise_()
