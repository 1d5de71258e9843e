#!/usr/bin/python3
"""Print the legend of every layer as real QGIS reads it, as one JSON object on stdout.

Usage: QT_QPA_PLATFORM=offscreen /usr/bin/python3 read_legends.py PROJECT.qgs|PROJECT.qgz
       ... read_legends.py STYLE.qml --source PATH   (the style applied to an OGR layer of PATH)

Each layer, in layer tree order, under its name or its path in the tree ("Group/Name"):

  {"Layer name": {"renderer": "categorizedSymbol", "features": 176,  # within the layer's filter
                  "items": [{"label": "Africa", "count": 51}, ...],
                  "customProperties": {"key": value}}}

"count", for the categories and ranges of a renderer (or of the one a wrapper holds), is the
number of features QGIS draws with the item's symbol. QGIS's own legend counter gives the
catch-all category none of the values no other category lists, though it draws them with its
symbol; so its count here is the features drawn less the other items'.
"""
import argparse
import json
import sys
from pathlib import Path

from qgis.core import (
    QgsProject, QgsRenderContext, QgsVectorLayer, QgsVectorLayerFeatureCounter)

from qgis_session import RunWithQgis


def AddCounts(layer, renderer, items):
    """Give every item the number of features drawn with its symbol, within the layer's filter."""
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
    parser = argparse.ArgumentParser()
    parser.add_argument("path")
    parser.add_argument("--source", help="data source for a .qml style")
    args = parser.parse_args()

    if args.path.endswith(".qml"):
        layer = QgsVectorLayer(args.source, Path(args.path).stem, "ogr")
        message, ok = layer.loadNamedStyle(args.path)
        if not layer.isValid() or not ok:
            sys.exit(f"read_legends: cannot load {args.path} on {args.source}: {message}")
        legends = {layer.name(): Describe(layer)}
    else:
        project = QgsProject.instance()
        if not project.read(args.path):
            sys.exit(f"read_legends: cannot read {args.path}: {project.error()}")
        legends = {TreePath(node): Describe(node.layer())
                   for node in project.layerTreeRoot().findLayers() if node.layer() is not None}
    print(json.dumps(legends, ensure_ascii=False, default=str))


if __name__ == "__main__":
    RunWithQgis(Main)
