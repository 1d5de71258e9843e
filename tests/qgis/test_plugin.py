"""The QGIS plugin installed from its zip as "Install from ZIP" does, started by qgis.utils with a
test iface over a real layer tree, driven through its panel: its labels are what the command
writes into the same layer saved in a project, as QGIS reads them back."""
import importlib.util
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

os.environ["HOME"] = tempfile.mkdtemp(prefix="quillet-home-")  # no settings in a real profile
from qgis.testing import start_app  # noqa: E402

APP = start_app()

import pytest  # noqa: E402
import qgis.utils  # noqa: E402
from qgis.core import (  # noqa: E402
    QgsApplication, QgsLayerTreeModel, QgsProject, QgsRuleBasedRenderer, QgsSymbol,
    QgsVectorLayer)
from qgis.gui import QgsLayerTreeView, QgsMessageBar  # noqa: E402
from qgis.PyQt.QtCore import QObject, Qt, pyqtSignal  # noqa: E402
from qgis.PyQt.QtTest import QTest  # noqa: E402
from qgis.PyQt.QtWidgets import QMainWindow, QMenu  # noqa: E402

BINARY = os.environ["QUILLET_BINARY"]
PROJECTS = os.environ["QUILLET_QGIS_PROJECTS"]
NAME = "quillet_labels"
SUM = "$$LABEL ([pop].Sum.FormatNumber(0) people)"


class Iface(QObject):
    """What the plugin asks of QgisInterface, over a real layer tree view and model."""
    currentLayerChanged = pyqtSignal(object)

    def __init__(self):
        super().__init__()
        self.window, self.menu, self.bar = QMainWindow(), QMenu(), QgsMessageBar()
        self.view = QgsLayerTreeView()
        self.view.setModel(QgsLayerTreeModel(QgsProject.instance().layerTreeRoot(), self.view))
        self.custom, self.docks, self.active = [], [], None

    def mainWindow(self): return self.window  # noqa: E704
    def layerMenu(self): return self.menu  # noqa: E704
    def layerTreeView(self): return self.view  # noqa: E704
    def messageBar(self): return self.bar  # noqa: E704
    def activeLayer(self): return self.active  # noqa: E704
    def addDockWidget(self, area, dock): self.docks.append(dock)  # noqa: E704
    def removeDockWidget(self, dock): self.docks.remove(dock)  # noqa: E704

    def addCustomActionForLayerType(self, action, menu, kind, allLayers):
        self.custom.append(action)

    def removeCustomActionForLayerType(self, action):
        self.custom.remove(action)
        return True

    def Select(self, layer):
        self.active = layer
        self.currentLayerChanged.emit(layer)


def InstallFromZip(path, plugins):
    """As QGIS's "Install from ZIP": the plugin is the folder of the first metadata.txt,
    unpacked by the installer's own unzip."""
    with zipfile.ZipFile(path) as archive:
        metadata = sorted(name for name in archive.namelist() if name.endswith("metadata.txt"))
    assert os.path.split(metadata[0])[0] == NAME
    found = importlib.util.spec_from_file_location(
        "installer_unzip", "/usr/share/qgis/python/pyplugin_installer/unzip.py")
    installer = importlib.util.module_from_spec(found)
    found.loader.exec_module(installer)
    installer.unzip(path, plugins)


@pytest.fixture(scope="module")
def plugin():
    plugins = tempfile.mkdtemp(prefix="quillet-plugins-")
    InstallFromZip(os.environ["QUILLET_PLUGIN_ZIP"], plugins)
    sys.path.insert(0, plugins)
    qgis.utils.plugin_paths = [plugins]
    qgis.utils.updateAvailablePlugins()
    assert NAME in qgis.utils.available_plugins
    qgis.utils.iface = Iface()
    assert qgis.utils.loadPlugin(NAME) and qgis.utils.startPlugin(NAME)
    yield qgis.utils.plugins[NAME]
    iface = qgis.utils.iface
    assert qgis.utils.unloadPlugin(NAME)
    assert iface.custom == [] and iface.menu.actions() == [] and iface.docks == []


@pytest.fixture
def project():
    copy = os.path.join(PROJECTS, "plugin-test.qgs")
    shutil.copy(os.path.join(PROJECTS, "world.qgs"), copy)
    assert QgsProject.instance().read(copy)
    yield QgsProject.instance()
    QgsProject.instance().clear()


def Layer(name):
    return QgsProject.instance().mapLayersByName(name)[0]


def Labels(layer):
    renderer = layer.renderer().embeddedRenderer() or layer.renderer()
    classes = renderer.categories() if hasattr(renderer, "categories") else renderer.ranges()
    return [each.label() for each in classes]


def TreeLabels(layer):
    model = qgis.utils.iface.view.layerTreeModel()
    return [node.data(Qt.DisplayRole)
            for node in model.layerLegendNodes(model.rootGroup().findLayer(layer.id()))]


def Panel(plugin, layer, flags=()):
    """The panel opened on the layer, its options set as the command's flags set them."""
    qgis.utils.iface.Select(layer)
    plugin.action.trigger()
    panel, values = plugin.panel, dict(zip(flags, flags[1:]))
    panel.locale.setEditText(values.get("--locale", "en-US"))
    panel.wrap.setValue(int(values.get("--wrap", 0)))
    panel.definitionQuery.setChecked("--no-definition-query" not in flags)
    panel.allOtherValues.setChecked("--no-all-other-values" not in flags)
    return panel


def Choose(box, text):
    box.setCurrentIndex(box.findText(text))
    box.activated.emit(box.currentIndex())


def Wait(panel, button=None):
    """Presses the button, if any, and waits for the panel's task to end: its message."""
    if button is not None:
        button.click()
    deadline = time.time() + 120
    while panel.task is not None:
        assert time.time() < deadline, "the task did not end"
        QgsApplication.processEvents()
        time.sleep(0.005)
    return panel.message.toPlainText()


@pytest.mark.parametrize("layer, tip", [
    ("Continents", None), ("Rules", "not Rule-based"),
    ("Outline", "A single symbol shows no label")])
def test_the_action_is_enabled_where_quillet_labels(plugin, project, layer, tip):
    qgis.utils.iface.Select(Layer(layer))
    assert plugin.action in qgis.utils.iface.custom + qgis.utils.iface.menu.actions()
    assert plugin.action.isEnabled() == (tip is None)
    assert tip is None or tip in plugin.action.toolTip()
    rules = QgsRuleBasedRenderer(QgsSymbol.defaultSymbol(Layer(layer).geometryType()))
    Layer(layer).setRenderer(rules)  # followed while the layer stays selected
    assert not plugin.action.isEnabled()


# Categories with the catch-all among them, ranges with nothing below the first, a join, a
# wrapper; each set of options changes the labels, so an option the panel drops shows.
@pytest.mark.parametrize("name, expression, flags", [
    ("Continents", SUM, ["--locale", "de-DE", "--no-all-other-values"]),
    ("Populous", "$$LABEL: [pop].Count countries", ["--no-definition-query"]),
    ("Joined", "[stats.gdp].Sum.FormatCurrency", []),
    ("Displaced", "$$VALUE: [BIR74].Sum births", ["--wrap", "12"])])
def test_apply_labels_as_the_command_and_reset_puts_back(plugin, project, name, expression,
                                                         flags):
    layer = Layer(name)
    before = Labels(layer)
    saved = os.path.join(PROJECTS, "plugin-command.qgs")
    assert project.write(saved)
    run = subprocess.run([BINARY, "set", saved, "--layer", name, "--expression", expression,
                          *flags], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    commands = QgsProject()
    assert commands.read(saved)
    written = commands.mapLayersByName(name)[0]

    panel = Panel(plugin, layer, flags)
    fields = [panel.fields.itemText(i) for i in range(panel.fields.count())]
    assert re.search(r"\[(.*?)\]", expression).group(1) in fields  # joined: as Quillet names it
    panel.expression.setPlainText(expression)
    Wait(panel, panel.applyButton)
    assert Labels(layer) == TreeLabels(layer) == Labels(written) != before
    assert layer.customProperty("quillet/originalLabels") == \
        written.customProperty("quillet/originalLabels")
    Wait(panel, panel.resetButton)
    assert Labels(layer) == TreeLabels(layer) == before


def test_the_panel_typed_into_refusing_verifying_cancelling(plugin, project):
    from quillet_labels.module import quillet
    layer = Layer("Continents")
    before = Labels(layer)
    panel = Panel(plugin, layer)
    panel.expression.clear()
    Choose(panel.legend, "$$LABEL")
    QTest.keyClicks(panel.expression, " (")
    Choose(panel.fields, "pop")
    Choose(panel.summaries, "Sum")
    Choose(panel.functions, "FormatNumber(0)")
    QTest.keyClicks(panel.expression, " people)")
    assert panel.expression.toPlainText() == SUM
    assert "7 of 7 labels changed" in Wait(panel, panel.applyButton)
    Wait(panel, panel.resetButton)

    panel.expression.setPlainText("$$LABEL [nosuch].Sum")
    with pytest.raises(quillet.RefusedError) as refused:
        quillet.labels(project.fileName(), "Continents", "$$LABEL [nosuch].Sum")
    assert Wait(panel, panel.applyButton) == refused.value.message
    assert Labels(layer) == before

    panel.expression.setPlainText("$$LABEL: [pop].Sum")
    panel.sample.setChecked(True)
    panel.instructions.setChecked(True)
    verified = quillet.verify(quillet.open_map(project.fileName()), "Continents",
                              "$$LABEL: [pop].Sum", sample=True, instructions=True)
    shown = Wait(panel, panel.verifyButton)
    assert verified.instructions.replace("\r\n", "\n").strip() in shown
    assert f"LABEL: {verified.sample_label}" in shown

    layer.startEditing()
    layer.changeAttributeValue(next(layer.getFeatures()).id(), layer.fields().indexOf("pop"), 1)
    assert "unsaved edits" in Wait(panel, panel.applyButton)
    layer.rollBack()
    panel.Reset()
    Wait(panel)

    panel.Apply()
    panel.Cancel()
    assert Wait(panel).startswith("Cancelled") and Labels(layer) == before


def test_a_layer_quillet_cannot_open_says_why(plugin, project):
    layer = QgsVectorLayer("Point?field=kind:string", "Scratch", "memory")
    layer.setRenderer(Layer("Continents").renderer().clone())
    project.addMapLayer(layer)
    panel = Panel(plugin, layer)
    assert 'the QGIS data provider "memory" is not one quillet reads' in Wait(
        panel, panel.applyButton)
