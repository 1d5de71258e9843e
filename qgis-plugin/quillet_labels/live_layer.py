"""The live layer as Quillet sees it: written out as a project of its own, and labelled back.

Quillet reads QGIS projects. Writing the layer (and the layers it joins) as QGIS writes them
into a project, and labelling that project as ``quillet set`` does, gives the live layer
exactly the labels the command gives the same layer saved: the same source, provider, filter,
join and renderer, read by the same code. The labels come back through QGIS's own reading of
the labelled project.
"""
from qgis.core import (
    Qgis, QgsApplication, QgsFeatureRenderer, QgsFields, QgsObjectCustomProperties, QgsReadWriteContext,
    QgsVectorLayer)
from qgis.PyQt.QtCore import QByteArray
from qgis.PyQt.QtXml import QDomDocument

# The custom property the command keeps the labels from before in.
ORIGINALS = "quillet/originalLabels"
WRAPPERS = {"pointDisplacement", "pointCluster", "invertedPolygonRenderer", "mergedFeatureRenderer"}
CLASSIFIED = {"categorizedSymbol", "graduatedSymbol"}


class LayerChanged(Exception):
    """The layer is no longer what was labelled."""


def Classified(renderer):
    """The categorized or graduated renderer whose classes the legend shows, inside a wrapper
    or not; None when there is none."""
    if renderer is not None and renderer.type() in WRAPPERS:
        renderer = renderer.embeddedRenderer()
    return renderer if renderer is not None and renderer.type() in CLASSIFIED else None


def RendererName(renderer):
    metadata = QgsApplication.rendererRegistry().rendererMetadata(renderer.type())
    return metadata.visibleName() if metadata else renderer.type()


def WhyNot(layer):
    """Why Quillet cannot label the layer's legend, or None when it can."""
    if not isinstance(layer, QgsVectorLayer):
        return "Quillet labels the legends of vector layers."
    renderer = layer.renderer()
    if renderer is None:
        return "The layer has no renderer."
    if Classified(renderer) is not None:
        return None
    inner = renderer.embeddedRenderer() if renderer.type() in WRAPPERS else renderer
    if inner is not None and inner.type() == "singleSymbol":
        return ("A single symbol shows no label in the legend; style the layer Categorized or "
                "Graduated to label its classes.")
    return ("Quillet labels Categorized and Graduated renderers (also inside point "
            "displacement, point cluster, inverted polygons and merged features), not "
            f"{RendererName(renderer)}.")


def _LayersToWrite(layer):
    """The layer, then every layer it joins, each once."""
    layers, queue = [], [layer]
    while queue:
        each = queue.pop(0)
        if each is None or any(each is seen for seen in layers):
            continue
        layers.append(each)
        queue.extend(join.joinLayer() for join in each.vectorJoins())
    return layers


def WriteProject(layer, path):
    """Writes the layer and the layers it joins, as QGIS writes them into a project, to a
    project file of their own; paths are absolute, so the project may live anywhere."""
    document = QDomDocument("qgis")
    root = document.createElement("qgis")
    root.setAttribute("version", Qgis.QGIS_VERSION)
    document.appendChild(root)
    layers = document.createElement("projectlayers")
    root.appendChild(layers)
    context = QgsReadWriteContext()  # its path resolver has no base: paths stay absolute
    for each in _LayersToWrite(layer):
        element = document.createElement("maplayer")
        if not each.writeLayerXml(element, document, context):
            raise OSError(f'QGIS could not write the layer "{each.name()}"')
        layers.appendChild(element)
    with open(path, "w", encoding="utf-8") as file:
        file.write(document.toString(2))


def ReadLabelled(contents, layerId):
    """From a labelled project's bytes, the layer's renderer and stored original labels as
    QGIS reads them."""
    document = QDomDocument()
    ok, message, line, _ = document.setContent(QByteArray(contents))
    if not ok:
        raise ValueError(f"the labelled project cannot be read: {message} (line {line})")
    elements = document.documentElement().firstChildElement("projectlayers")
    element = elements.firstChildElement("maplayer")
    while not element.isNull() and element.firstChildElement("id").text() != layerId:
        element = element.nextSiblingElement("maplayer")
    renderer = QgsFeatureRenderer.load(element.firstChildElement("renderer-v2"),
                                       QgsReadWriteContext())
    properties = QgsObjectCustomProperties()
    properties.readXml(element)
    return renderer, properties.value(ORIGINALS)


def _Items(renderer):
    """A categorized renderer's categories or a graduated one's ranges, in legend order."""
    return renderer.categories() if renderer.type() == "categorizedSymbol" else renderer.ranges()


def _Classes(renderer):
    if renderer.type() == "categorizedSymbol":
        return [category.value() for category in renderer.categories()]
    return [(r.lowerValue(), r.upperValue()) for r in renderer.ranges()]


def LegendLabels(layer):
    """The labels of the layer's categories or ranges, in the legend's order."""
    return [item.label() for item in _Items(Classified(layer.renderer()))]


def WriteLabels(layer, renderer, originals):
    """Writes the labels of `renderer` (the layer's renderer as labelled) into the layer's own,
    and keeps `originals` where the command keeps them. Returns the number of labels changed.
    Fails with LayerChanged when the layer's classes are no longer those labelled."""
    live, labelled = Classified(layer.renderer()), Classified(renderer)
    if live is None or labelled is None or live.type() != labelled.type() or \
            _Classes(live) != _Classes(labelled):
        raise LayerChanged(f'The classes of "{layer.name()}" changed while Quillet labelled '
                           "them; nothing was written. Try again.")
    update = live.updateCategoryLabel if live.type() == "categorizedSymbol" else \
        live.updateRangeLabel
    changed = 0
    for index, (now, new) in enumerate(zip(_Items(live), _Items(labelled))):
        if now.label() != new.label():
            update(index, new.label())
            changed += 1
    if originals is not None:
        layer.setCustomProperty(ORIGINALS, list(originals))
    return changed


def Refresh(iface, layer):
    """Lets the map, the layer panel and the style dock show the layer's new labels."""
    layer.triggerRepaint()
    layer.emitStyleChanged()
    iface.layerTreeView().refreshLayerSymbology(layer.id())


def QuilletFields(layer):
    """The layer's fields as Quillet's expressions name them: a joined field as
    QUALIFIER.FIELD, the qualifier being the join's prefix without its trailing underscores
    (else the joined layer's name) with bytes other than ASCII letters, digits and "_" made
    "_"."""
    fields, names = layer.fields(), []
    for index, field in enumerate(fields):
        name = field.name()
        if fields.fieldOrigin(index) == QgsFields.OriginJoin:
            join, source = layer.joinBuffer().joinForFieldIndex(index, fields)
            joined = join.joinLayer() if join is not None else None
            if joined is not None:
                own = joined.fields()[source].name()
                qualifier = name[:len(name) - len(own)].rstrip("_") or joined.name()
                qualifier = "".join(chr(b) if b < 128 and (chr(b).isalnum() or b == 95) else "_"
                                    for b in qualifier.encode())
                name = qualifier + "." + own
        names.append(name)
    return names
