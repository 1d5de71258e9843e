"""quillet init classifies as QGIS does: for each method, field and class count, the bounds and
labels of the classes it writes are those of QGIS's own classification method on the same
layer (Debian's python3-qgis, headless), and its unique values are the layer's."""
import json
import os
import shutil
import subprocess

import pytest
from qgis.PyQt.QtCore import QLocale
from qgis.core import (QgsApplication, QgsClassificationEqualInterval, QgsClassificationJenks,
                       QgsClassificationPrettyBreaks, QgsClassificationQuantile,
                       QgsClassificationStandardDeviation, QgsVectorLayer)

QUILLET = os.environ["QUILLET_BINARY"]
DATA = os.environ["QUILLET_DATA_DIR"]

METHODS = {"quantile": QgsClassificationQuantile, "equal": QgsClassificationEqualInterval,
           "jenks": QgsClassificationJenks, "pretty": QgsClassificationPrettyBreaks,
           "stddev": QgsClassificationStandardDeviation}
# Skewed, signed and evenly spread fields, a whole-numbered one, with nulls (lifeExp).
FIELDS = [("world.gpkg", "pop"), ("world.gpkg", "lifeExp"), ("world.gpkg", "gdpPercap"),
          ("sids.shp", "BIR74"), ("sids.shp", "SID79"), ("sids.shp", "east"),
          ("sids.shp", "CRESS_ID")]


@pytest.fixture(scope="module")
def data(tmp_path_factory):
    # QGIS rewrites a GeoPackage it has opened (it takes it out of WAL mode when it closes
    # it), so both read a copy: the repository's data is never written.
    copy = tmp_path_factory.mktemp("data")
    for name in ["world.gpkg", "sids.shp", "sids.shx", "sids.dbf"]:
        shutil.copy(os.path.join(DATA, name), copy / name)
    return str(copy)


@pytest.fixture(scope="module")
def qgis():
    app = QgsApplication([], False)
    QgsApplication.setPrefixPath("/usr", True)
    app.initQgis()
    # As the QGIS application sets it up by default (its "show group separator" unticked), in
    # English: labels such as "56295 - 1364270000".
    english = QLocale(QLocale.English, QLocale.UnitedStates)
    english.setNumberOptions(QLocale.OmitGroupSeparator)
    QLocale.setDefault(english)
    yield app
    app.exitQgis()


def init(path, field, method, classes=5):
    run = subprocess.run([QUILLET, "init", path, "--field", field, "--classify", method,
                          "--classes", str(classes), "--json"], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    return json.loads(json.loads(run.stdout)["document"])["layers"][0]["renderer"]


def layer(path):
    opened = QgsVectorLayer(path, "layer", "ogr")
    assert opened.isValid()
    return opened


@pytest.mark.parametrize("file,field", FIELDS)
@pytest.mark.parametrize("method", sorted(METHODS))
@pytest.mark.parametrize("classes", [1, 3, 5, 8])
def test_class_breaks_are_qgis_bounds_and_labels(qgis, data, file, field, method, classes):
    path = os.path.join(data, file)
    ranges = METHODS[method]().classes(layer(path), field, classes)
    # A map document has no empty classes: a range whose upper bound repeats the one before
    # is left out, and the next takes its values.
    expected = []
    for each in ranges:
        if expected and each.upperBound() <= expected[-1][1]:
            continue
        expected.append((each.lowerBound(), each.upperBound(), each.label()))
    renderer = init(path, field, method, classes)
    written = [(c["break"], c["label"]) for c in renderer["classes"]]
    assert renderer["minimumBreak"] == expected[0][0]
    assert written == [(upper, label) for _, upper, label in expected]


def test_unique_values_are_the_layers_sorted_with_a_catch_all(qgis, data):
    path = os.path.join(data, "world.gpkg")
    world = layer(path)
    values = sorted(world.uniqueValues(world.fields().indexOf("continent")))
    renderer = init(path, "continent", "unique")
    assert [c["values"] for c in renderer["classes"]] == [[v] for v in values]
    assert [c["label"] for c in renderer["classes"]] == values
    assert renderer["default"] == {"label": "<all other values>"}
