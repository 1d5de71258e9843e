#!/usr/bin/python3
"""Write, with real QGIS, the projects Quillet's tests label: OUT_DIR/world.qgs (paths relative;
a layer per renderer kind Quillet handles or refuses; "PG continents" with QUILLET_TEST_POSTGRES
set to a server that answers), with_extra.qgz (the same with an auxiliary storage) and
continents.qml, over the bundled data and sources derived from it in OUT_DIR/data/.
"make_projects.py OUT_DIR DATA_DIR", or "--edit PROJECT LAYER reverse|delete=VALUE" to reverse a
layer's classes or delete one category, as a user does between a quillet set and a reset."""
import os
import shutil
import subprocess
import sys
from pathlib import Path

from qgis.core import (
    QgsCategorizedSymbolRenderer, QgsClassificationEqualInterval, QgsClassificationJenks,
    QgsGraduatedSymbolRenderer, QgsInvertedPolygonRenderer, QgsMapLayer,
    QgsMergedFeatureRenderer, QgsPointClusterRenderer, QgsPointDisplacementRenderer, QgsProject,
    QgsPropertyDefinition, QgsRendererCategory, QgsRendererRange, QgsRuleBasedRenderer,
    QgsSingleSymbolRenderer, QgsSymbol, QgsVectorLayer, QgsVectorLayerJoinInfo)
from qgis.PyQt.QtCore import Qt

from qgis_session import RunWithQgis
from read_legends import TreePath

def Check(ok, message):
    if not ok:
        sys.exit("make_projects: " + message)


def PrepareData(dataDir, outData):
    """Copies the bundled data and derives from it the sources that the layers need."""
    outData.mkdir(parents=True, exist_ok=True)
    for name in ["world.gpkg", "sids.shp", "sids.shx", "sids.dbf"]:
        shutil.copy(dataDir / name, outData / name)

    def Derive(name, source, *args):
        (outData / name).unlink(missing_ok=True)
        run = subprocess.run(["ogr2ogr", *args, str(outData / name), str(outData / source)])
        Check(run.returncode == 0, "ogr2ogr failed to write " + name)

    def Query(name, source, sql, *args):
        Derive(name + ".gpkg", source, "-f", "GPKG", "-nln", name, "-dialect", "sqlite", "-sql",
               sql, *args)

    # The shapefile has no .prj; the counties are NAD27 lon/lat.
    Query("sids_points", "sids.shp", "SELECT NAME, BIR74, SID74, BIR79, SID79, "
          "ST_PointOnSurface(geometry) AS geom FROM sids", "-a_srs", "EPSG:4267")
    Derive("sids.sqlite", "sids.shp", "-f", "SQLite", "-dsco", "SPATIALITE=YES", "-a_srs",
           "EPSG:4267", "-nlt", "MULTIPOLYGON", "-nln", "sids")
    Query("stats", "world.gpkg", "SELECT iso_a2, gdpPercap * pop AS gdp FROM world")
    Query("regions", "world.gpkg", "SELECT subregion, name_long AS country, pop FROM world "
          "WHERE continent <> 'Oceania'")
    Query("rates", "world.gpkg",
          "SELECT name_long, area_km2, (lifeExp - 70.0) / 67.0 AS rate, geom FROM world")


def Symbol(layer):
    return QgsSymbol.defaultSymbol(layer.geometryType())


def Categorized(attr, values):
    """values: a value QGIS labels as it does by default (as text), or a (value, label) pair."""
    pairs = [each if isinstance(each, tuple) else (each, str(each)) for each in values]
    return lambda layer: QgsCategorizedSymbolRenderer(attr, [
        QgsRendererCategory(value, Symbol(layer), label) for value, label in pairs])


def Graduated(attr, bounds):
    def Make(layer):
        renderer = QgsGraduatedSymbolRenderer(attr)
        method = renderer.classificationMethod()  # its labels are QGIS's own format
        for lower, upper in zip(bounds, bounds[1:]):
            renderer.addClassRange(QgsRendererRange(lower, upper, Symbol(layer),
                                                    method.labelForRange(lower, upper)))
        return renderer
    return Make


def Classified(field, method, classes, descending=False):
    def Make(layer):
        renderer = QgsGraduatedSymbolRenderer(field)
        renderer.setClassificationMethod(method)
        renderer.updateClasses(layer, classes)
        if descending:
            renderer.sortByValue(Qt.DescendingOrder)  # the legend's "sort descending"
        return renderer
    return Make


def Wrapped(kind, embedded):
    def Make(layer):
        wrapper = kind()
        wrapper.setEmbeddedRenderer(embedded(layer))
        return wrapper
    return Make


def BuildProject(project, data):
    def Gpkg(name):
        return f"{data / name}.gpkg|layername={name}"
    world, points, rates = Gpkg("world"), Gpkg("sids_points"), Gpkg("rates")
    layers = []

    def Add(name, source, renderer=None, provider="ogr", subset=None, join=None):
        """join: (layer, field, cached), without a prefix: QGIS names its fields layer_field."""
        layer = QgsVectorLayer(source, name, provider)
        if join:
            info = QgsVectorLayerJoinInfo()
            info.setJoinLayer(join[0])
            info.setJoinFieldName(join[1])
            info.setTargetFieldName(join[1])
            info.setUsingMemoryCache(join[2])
            layer.addJoin(info)
        if layer.isValid() and renderer is not None:
            layer.setRenderer(renderer(layer))
        if subset:
            layer.setSubsetString(subset)
        layers.append(layer)
        return layer

    # The layers of the QGIS users' guide (examples/world.qgs), with an awkward label.
    continents = Add("Continents", world, Categorized("continent", [
        "Africa", "Asia", ("Europe", 'Europe & "the Near" <East>'), (None, "Other continents"),
        "North America", "South America", "Oceania"]), subset="\"continent\" <> 'Antarctica'")
    # Ranges from above the smallest value: QGIS draws no feature below the first one, with a
    # filter of two terms or within a join.
    Add("Populous", world, Graduated("pop", [1e7, 1e8, 2e9]),
        subset="\"continent\" = 'Asia' OR \"continent\" = 'Europe'")
    stats, regions = Add("stats", Gpkg("stats")), Add("regions", Gpkg("regions"))
    for name, source, renderer in [
            ("Population", world, Graduated("pop", [0, 1e6, 1e7, 1e8, 2e9])),
            # Natural breaks fall on data values, written with more digits than labels carry.
            ("Natural breaks", world, Classified("area_km2", QgsClassificationJenks(), 7)),
            ("Outline", world, lambda l: QgsSingleSymbolRenderer(Symbol(l))),
            ("Inverted", world, lambda l: QgsInvertedPolygonRenderer(Categorized(
                "continent", ["Africa", "Europe", (None, "Other")])(l))),
            ("Merged", world, lambda l: QgsMergedFeatureRenderer(
                Graduated("lifeExp", [40, 60, 75, 90])(l))),
            ("Displaced", points, Wrapped(QgsPointDisplacementRenderer, Categorized(
                "NAME", ["Ashe", "Surry", "Wake", (None, "Other")]))),
            ("Clustered", points, Wrapped(QgsPointClusterRenderer, Graduated(
                "BIR74", [0, 1000, 5000, 25000]))),
            ("Rules", world, lambda l: QgsRuleBasedRenderer(Symbol(l))),
            ("Grouped", world, Categorized(
                "continent", [(["Africa", "Asia"], "Africa and Asia"), "Europe"])),
            ("By expression", world, Categorized("upper(\"continent\")", ["AFRICA", "EUROPE"]))]:
        Add(name, source, renderer)
    # A filter on a key both tables have.
    joined = Add("Joined", world, Graduated("stats_gdp", [1e10, 1e11, 1e12, 3e13]),
                 subset="\"iso_a2\" <> 'CN'", join=(stats, "iso_a2", False))
    # Joined on a key many rows share: QGIS takes one row per feature, the first or, cached in
    # memory, the last; Oceania has none. "Subregions" classifies by its own field, which the
    # joined table has too.
    for name, cached, attr, values in [
            ("Subregions", False, "subregion",
             ["Western Europe", "Southern Asia", (None, "Other"), "Melanesia"]),
            ("First countries", False, "regions_country",
             ["France", "Senegal", (None, "No country listed"), "India"]),
            ("Last countries", True, "regions_country",
             ["Netherlands", "The Gambia", "Sri Lanka", (None, "Other")]),
            ("Apostrophe", False, "regions_country", ["Côte d'Ivoire", "France", (None, "Other")])]:
        Add(name, world, Categorized(attr, values), join=(regions, "subregion", cached))

    # Three layers named "Rates" in groups. QGIS writes the rate's bounds with 15 decimals, above
    # the least rate and below the greatest; the areas' natural breaks are areas, drawn by the
    # range listed first: in descending order the upper.
    grouped = [(group, Add("Rates", rates, Classified(field, method, classes, descending)))
               for group, field, method, classes, descending in [
                   ("Equal interval", "rate", QgsClassificationEqualInterval(), 5, False),
                   ("Natural breaks", "rate", QgsClassificationJenks(), 5, False),
                   ("Descending", "area_km2", QgsClassificationJenks(), 7, True)]]

    Add("Counties", f"dbname='{data / 'sids.sqlite'}' table=\"sids\" (GEOMETRY)", Categorized("NAME", ["Surry", "Stokes", (None, "Other")]),
        "spatialite", subset="\"BIR74\" > 1000")
    Add("Remote", "dbname='gis' host=localhost port=5432 table=\"public\".\"countries\" (geom) "
        "sql=\"pop\" > 0", provider="postgres")
    # A reachable server (tests/postgres_servers.sh) gives a PostgreSQL layer that works.
    server = os.environ.get("QUILLET_TEST_POSTGRES")
    if server and not Add("PG continents", f"{server} table=\"public\".\"countries\" (geom) "
                          "sql=\"continent\" <> 'Antarctica'", Categorized(
                              "continent", ["Africa", (None, "Other"), "Asia"]),
                          "postgres").isValid():
        print(f"make_projects: no PostgreSQL server at {server}; no PG layer", file=sys.stderr)
        layers.pop()

    project.addMapLayers(layers)  # the project owns them from here, also on the error paths
    root = project.layerTreeRoot()
    for group, layer in grouped:  # into "Rates/<group>" in the layer panel
        (root.findGroup("Rates") or root.addGroup("Rates")).addGroup(group).addLayer(layer)
        root.removeLayer(layer)
    bad = [l.name() for l in layers if not l.isValid() and l.name() != "Remote"]
    Check(not bad, "invalid layers: " + ", ".join(bad))
    Check("stats_gdp" in joined.fields().names(), "join did not give a stats_gdp field")
    return continents


def AddAuxiliaryField(project, layer):
    """Give the layer an auxiliary field with one value so QGIS has a .qgd to archive."""
    auxiliary = project.auxiliaryStorage().createAuxiliaryLayer(layer.fields().field("fid"), layer)
    layer.setAuxiliaryLayer(auxiliary)
    definition = QgsPropertyDefinition("note", QgsPropertyDefinition.DataTypeNumeric, "note", "",
                                       "quillet")
    Check(auxiliary.addAuxiliaryField(definition), "could not add an auxiliary field")
    index = layer.fields().indexOf(auxiliary.nameFromProperty(definition, True))
    layer.startEditing()
    layer.changeAttributeValue(1, index, 12.5)
    Check(layer.commitChanges(), "could not store an auxiliary value")


def Edit(path, name, action):
    project = QgsProject.instance()
    Check(project.read(path), f"cannot read {path}: {project.error()}")
    layers = [node.layer() for node in project.layerTreeRoot().findLayers()
              if TreePath(node) == name]
    Check(layers, f"no layer {name} in {path}")
    renderer = layers[0].renderer()
    if action != "reverse":
        renderer.deleteCategory(renderer.categoryIndexForValue(action.split("=", 1)[1]))
    else:
        categorized = hasattr(renderer, "categories")
        last = len(renderer.categories() if categorized else renderer.ranges()) - 1
        for i in range(last):
            (renderer.moveCategory if categorized else renderer.moveClass)(0, last - i)
    Check(project.write(path), f"could not write {path}: {project.error()}")


def Main():
    if len(sys.argv) == 5 and sys.argv[1] == "--edit":
        Edit(*sys.argv[2:])
        return
    Check(len(sys.argv) == 3, "usage: make_projects.py OUT_DIR DATA_DIR | --edit PROJECT LAYER "
          "reverse|delete=VALUE")
    out, dataDir = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    PrepareData(dataDir, out / "data")
    project = QgsProject.instance()
    continents = BuildProject(project, out / "data")
    Check(project.write(str(out / "world.qgs")), f"could not write world.qgs: {project.error()}")
    message, ok = continents.saveNamedStyle(str(out / "continents.qml"),
                                            QgsMapLayer.AllStyleCategories)
    Check(ok, "could not write continents.qml: " + message)
    AddAuxiliaryField(project, project.mapLayersByName("Outline")[0])
    Check(project.write(str(out / "with_extra.qgz")),
          f"could not write with_extra.qgz: {project.error()}")


if __name__ == "__main__":
    RunWithQgis(Main)
