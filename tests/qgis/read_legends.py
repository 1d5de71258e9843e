#!/usr/bin/python3
"""Print the legend of every layer (or of a .qml style on --source) as real QGIS reads it, as
JSON on stdout: {"Group/Name": {"renderer": type, "features": n (within the layer's filter),
"items": [{"label": ..., "count": features QGIS draws with its symbol}], "customProperties"}}.
QGIS's own legend counter gives the catch-all category none of the values no other category
lists, though it draws them with its symbol; so its count here is the features drawn less the
other items'."""
import json
import sys
from pathlib import Path

from qgis.core import (
    QgsProject, QgsRenderContext, QgsVectorLayer, QgsVectorLayerFeatureCounter)

from qgis_session import RunWithQgis


def AddCounts(layer, renderer, items):
    counter = QgsVectorLayerFeatureCounter(layer)
    if not counter.run():
        sys.exit(f"read_legends: cannot count the features of {layer.name()}")
    for item, legend in zip(items, renderer.legendSymbolItems()):
        item["count"] = counter.featureCount(legend.ruleKey())
    if not hasattr(renderer, "categories"):
        return
    drawing = renderer.clone()
    context = QgsRenderContext()
    drawing.startRender(context, layer.fields())
    drawn = sum(1 for feature in layer.getFeatures() if drawing.willRenderFeature(feature, context))
    drawing.stopRender(context)
    for item, category in zip(items, renderer.categories()):
        if category.value() in (None, ""):
            item["count"] = drawn - sum(other["count"] for other in items if other is not item)


def Describe(layer):
    renderer = layer.renderer() if isinstance(layer, QgsVectorLayer) else None
    result = {"renderer": None if renderer is None else renderer.type(), "items": [],
              "customProperties": {
                  key: layer.customProperty(key) for key in layer.customPropertyKeys()}}
    if renderer is not None and renderer.embeddedRenderer() is not None:
        renderer = renderer.embeddedRenderer()
    if renderer is not None:
        result["items"] = [{"label": item.label()} for item in renderer.legendSymbolItems()]
    if layer.isValid():
        result["features"] = layer.featureCount()
        if hasattr(renderer, "categories") or hasattr(renderer, "ranges"):
            AddCounts(layer, renderer, result["items"])
    return result


def TreePath(node):
    """The layer's name, after its groups' names and "/" when it is in a group."""
    path = node.layer().name()
    group = node.parent()
    while group is not None and group.parent() is not None:
        path = group.name() + "/" + path
        group = group.parent()
    return path


def Main():
    path, source = sys.argv[1], sys.argv[-1]  # PROJECT, or STYLE.qml --source PATH
    if path.endswith(".qml"):
        layer = QgsVectorLayer(source, Path(path).stem, "ogr")
        message, ok = layer.loadNamedStyle(path)
        if not layer.isValid() or not ok:
            sys.exit(f"read_legends: cannot load {path} on {source}: {message}")
        legends = {layer.name(): Describe(layer)}
    else:
        project = QgsProject.instance()
        if not project.read(path):
            sys.exit(f"read_legends: cannot read {path}: {project.error()}")
        legends = {TreePath(node): Describe(node.layer())
                   for node in project.layerTreeRoot().findLayers() if node.layer() is not None}
    print(json.dumps(legends, ensure_ascii=False, default=str))


if __name__ == "__main__":
    RunWithQgis(Main)
