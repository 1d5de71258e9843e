#!/usr/bin/python3
"""Write QGIS projects and a style with real QGIS, as fixtures for Quillet's tests, whose
results read_legends.py reads back, so that what QGIS itself sees is checked.

Usage: QT_QPA_PLATFORM=offscreen /usr/bin/python3 make_projects.py OUT_DIR DATA_DIR
       ... make_projects.py --edit PROJECT LAYER reverse|delete=VALUE

The first form copies the bundled data to OUT_DIR/data/, derives the sources the layers need
(PrepareData) and writes, paths relative, world.qgs (one layer per renderer kind Quillet
handles or refuses; with QUILLET_TEST_POSTGRES set to a server that answers, also "PG
continents"), with_extra.qgz (the same with an auxiliary storage, .qgd) and continents.qml.
--edit reverses a layer's categories or ranges, or deletes its category VALUE, and saves: what
a user does between a quillet set and a reset. Needs Debian's python3-qgis and gdal-bin.
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

from qgis.core import (
    QgsCategorizedSymbolRenderer, QgsClassificationEqualInterval,
    QgsClassificationJenks, QgsDataSourceUri,
    QgsGraduatedSymbolRenderer, QgsInvertedPolygonRenderer,
    QgsMapLayer, QgsMergedFeatureRenderer, QgsPointClusterRenderer,
    QgsPointDisplacementRenderer, QgsProject, QgsPropertyDefinition, QgsRendererCategory,
    QgsRendererRange, QgsRuleBasedRenderer, QgsSingleSymbolRenderer, QgsSymbol,
    QgsVectorLayer, QgsVectorLayerJoinInfo)
from qgis.PyQt.QtCore import Qt

from qgis_session import RunWithQgis
from read_legends import TreePath

def Check(ok, message):
    if not ok:
        sys.exit("make_projects: " + message)


def PrepareData(dataDir, outData):
    """Derives sids_points.gpkg and sids.sqlite (SpatiaLite) from the counties; stats.gpkg (a
    table to join), regions.gpkg (a row per country outside Oceania keyed by its subregion, so
    that rows share keys) and rates.gpkg (a rate whose extremes 15 decimals cut off)."""
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


def Categorized(layer, attr, values):
    """values: (value, label) pairs; label None means QGIS's default (the value as text)."""
    categories = [
        QgsRendererCategory(value, Symbol(layer), str(value) if label is None else label)
        for value, label in values]
    return QgsCategorizedSymbolRenderer(attr, categories)


def Graduated(layer, attr, bounds):
    renderer = QgsGraduatedSymbolRenderer(attr)
    method = renderer.classificationMethod()
    for lower, upper in zip(bounds, bounds[1:]):
        label = method.labelForRange(lower, upper)  # QGIS's own label format
        renderer.addClassRange(QgsRendererRange(lower, upper, Symbol(layer), label))
    return renderer


def Classified(field, method, classes, descending=False):
    def Make(layer):
        renderer = QgsGraduatedSymbolRenderer(field)
        renderer.setClassificationMethod(method)
        renderer.updateClasses(layer, classes)
        if descending:
            renderer.sortByValue(Qt.DescendingOrder)  # the legend's "sort descending"
        return renderer
    return Make


def Wrapped(wrapper, embedded):
    wrapper.setEmbeddedRenderer(embedded)
    return wrapper


def Join(layer, joined, field, cached=False):
    """Joins `joined` on `field`, without a prefix: QGIS names its fields joined_field."""
    join = QgsVectorLayerJoinInfo()
    join.setJoinLayer(joined)
    join.setJoinFieldName(field)
    join.setTargetFieldName(field)
    join.setUsingMemoryCache(cached)
    layer.addJoin(join)


def BuildProject(project, data):
    world = str(data / "world.gpkg") + "|layername=world"
    points = str(data / "sids_points.gpkg") + "|layername=sids_points"
    layers = []

    def Add(name, source, renderer=None, provider="ogr"):
        layer = QgsVectorLayer(source, name, provider)
        if layer.isValid() and renderer is not None:
            layer.setRenderer(renderer(layer))
        layers.append(layer)
        return layer

    # The layers of the QGIS users' guide (examples/world.qgs), with an awkward label.
    continents = Add("Continents", world, lambda l: Categorized(l, "continent", [
        ("Africa", None), ("Asia", None), ("Europe", 'Europe & "the Near" <East>'),
        (None, "Other continents"), ("North America", None), ("South America", None),
        ("Oceania", None)]))
    continents.setSubsetString("\"continent\" <> 'Antarctica'")
    Add("Population", world, lambda l: Graduated(l, "pop", [0, 1e6, 1e7, 1e8, 2e9]))
    # Ranges from above the smallest value: QGIS draws no feature below the first one.
    Add("Populous", world, lambda l: Graduated(l, "pop", [1e7, 1e8, 2e9]))
    # Natural breaks fall on data values, written with more digits than labels carry.
    Add("Natural breaks", world, Classified("area_km2", QgsClassificationJenks(), 7))
    Add("Outline", world, lambda l: QgsSingleSymbolRenderer(Symbol(l)))
    Add("Inverted", world, lambda l: QgsInvertedPolygonRenderer(Categorized(
        l, "continent", [("Africa", None), ("Europe", None), (None, "Other")])))
    Add("Merged", world, lambda l: QgsMergedFeatureRenderer(
        Graduated(l, "lifeExp", [40, 60, 75, 90])))
    Add("Displaced", points, lambda l: Wrapped(QgsPointDisplacementRenderer(), Categorized(
        l, "NAME", [("Ashe", None), ("Surry", None), ("Wake", None), (None, "Other")])))
    Add("Clustered", points, lambda l: Wrapped(QgsPointClusterRenderer(), Graduated(
        l, "BIR74", [0, 1000, 5000, 25000])))
    Add("Rules", world, lambda l: QgsRuleBasedRenderer(Symbol(l)))
    Add("Grouped", world, lambda l: Categorized(
        l, "continent", [(["Africa", "Asia"], "Africa and Asia"), ("Europe", None)]))
    Add("By expression", world, lambda l: Categorized(
        l, "upper(\"continent\")", [("AFRICA", None), ("EUROPE", None)]))

    stats = Add("stats", str(data / "stats.gpkg") + "|layername=stats")
    joined = Add("Joined", world)
    Join(joined, stats, "iso_a2")
    joined.setSubsetString("\"iso_a2\" <> 'CN'")  # a field both tables have
    joined.setRenderer(Graduated(joined, "stats_gdp", [0, 1e11, 1e12, 3e13]))

    # Joined on a key many rows share: QGIS takes one row per feature, the first or, cached in
    # memory, the last; Oceania has none. "Subregions" classifies by its own field, which the
    # joined table has too.
    regions = Add("regions", str(data / "regions.gpkg") + "|layername=regions")
    for name, cached, attr, values in [
            ("Subregions", False, "subregion", [
                ("Western Europe", None), ("Southern Asia", None), (None, "Other"),
                ("Melanesia", None)]),
            ("First countries", False, "regions_country", [
                ("France", None), ("Senegal", None), (None, "No country listed"),
                ("India", None)]),
            ("Last countries", True, "regions_country", [
                ("Netherlands", None), ("The Gambia", None), ("Sri Lanka", None),
                (None, "Other")]),
            ("Apostrophe", False, "regions_country", [
                ("Côte d'Ivoire", None), ("France", None), (None, "Other")])]:
        layer = Add(name, world)
        Join(layer, regions, "subregion", cached)
        layer.setRenderer(Categorized(layer, attr, values))

    # Three layers named "Rates" in groups. QGIS writes the rate's bounds with 15 decimals, above
    # the least rate and below the greatest; the areas' natural breaks are areas, drawn by the
    # range listed first: in descending order the upper.
    rates = str(data / "rates.gpkg") + "|layername=rates"
    grouped = [(group, Add("Rates", rates, Classified(field, method, classes, descending)))
               for group, field, method, classes, descending in [
                   ("Equal interval", "rate", QgsClassificationEqualInterval(), 5, False),
                   ("Natural breaks", "rate", QgsClassificationJenks(), 5, False),
                   ("Descending", "area_km2", QgsClassificationJenks(), 7, True)]]

    uri = QgsDataSourceUri()
    uri.setDatabase(str(data / "sids.sqlite"))
    uri.setDataSource("", "sids", "GEOMETRY")
    counties = Add("Counties", uri.uri(), lambda l: Categorized(
        l, "NAME", [("Surry", None), ("Stokes", None), (None, "Other")]), "spatialite")
    counties.setSubsetString("\"BIR74\" > 1000")

    Add("Remote", "dbname='gis' host=localhost port=5432 table=\"public\".\"countries\" (geom) "
        "sql=\"pop\" > 0", provider="postgres")
    # A reachable server (tests/postgres_servers.sh) gives a PostgreSQL layer that works.
    server = os.environ.get("QUILLET_TEST_POSTGRES")
    if server:
        pg = Add("PG continents", f"{server} table=\"public\".\"countries\" (geom) "
                 "sql=\"continent\" <> 'Antarctica'", lambda l: Categorized(
                     l, "continent", [("Africa", None), (None, "Other"), ("Asia", None)]),
                 "postgres")
        if not pg.isValid():
            print(f"make_projects: no PostgreSQL server at {server}; no PG layer",
                  file=sys.stderr)
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
    elif hasattr(renderer, "categories"):
        for i in range(len(renderer.categories()) - 1):
            renderer.moveCategory(0, len(renderer.categories()) - 1 - i)
    else:
        for i in range(len(renderer.ranges()) - 1):
            renderer.moveClass(0, len(renderer.ranges()) - 1 - i)
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
