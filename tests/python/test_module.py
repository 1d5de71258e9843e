"""The quillet module: its one-call functions give what the quillet command gives, its object
keeps the component's names, collections and message boxes, and failures raise its errors."""
import json
import os
import shutil
import subprocess

import pytest

import quillet

BINARY = os.environ["QUILLET_BINARY"]
EXAMPLES = os.environ["QUILLET_EXAMPLES"]
WORLD = os.path.join(EXAMPLES, "world.json")
PROJECT = os.path.join(EXAMPLES, "world.qgs")
LAYER = "Countries by continent"
SUM = "$$LABEL ([pop].Sum.FormatNumber(0) people)"


def Command(*args):
    run = subprocess.run([BINARY, *args, "--json"], capture_output=True, text=True)
    return run.returncode, json.loads(run.stdout)


# Each option changes the labels, so an option the module drops or inverts shows.
@pytest.mark.parametrize("path, layer, expression, options, flags", [
    (WORLD, LAYER, "[pop].Average.FormatNumber(1) [gdpPercap].Sum.FormatCurrency",
     {"locale": "de-DE", "wrap": 12}, ["--locale", "de-DE", "--wrap", "12"]),
    (PROJECT, "Continents", "$$LABEL: [pop].Count", {"definition_query": False},
     ["--no-definition-query"]),
])
def test_labels_are_the_commands(path, layer, expression, options, flags):
    status, printed = Command("labels", path, "--layer", layer, "--expression", expression, *flags)
    assert status == 0
    labels = quillet.labels(path, layer, expression, **options)
    assert labels == printed["labels"]
    assert labels != quillet.labels(path, layer, expression)


def test_verify_is_the_commands():
    status, printed = Command("verify", PROJECT, "--layer", "Continents", "--expression", SUM,
                              "--sample", "--instructions", "--locale", "fr-FR")
    verified = quillet.verify(quillet.open_map(PROJECT), "Continents", SUM, sample=True,
                              instructions=True, locale="fr-FR")
    assert status == 0 and verified.instructions
    assert (verified.message, verified.sample_label, verified.instructions) == \
        (printed["message"], printed["sampleLabel"], printed["instructions"])


@pytest.mark.parametrize("call, error, text", [
    (lambda: quillet.labels("nope.json", LAYER, SUM), quillet.UnreadableError, "nope.json: "),
    (lambda: quillet.labels(WORLD, LAYER, "[nosuch].Sum"), quillet.RefusedError, "nosuch"),
    (lambda: quillet.reset_labels(quillet.open_map(PROJECT), "Continents"),
     quillet.RefusedError, 'stores no original labels for layer "Continents"'),
    (lambda: quillet.labels(WORLD, LAYER, SUM, wrap=40000), ValueError, "not 40000"),
])
def test_failures_raise_the_errors_of_their_class(call, error, text):
    with pytest.raises(error) as raised:
        call()
    assert text in str(raised.value)
    if error is quillet.RefusedError:
        assert raised.value.exit_code == 1 and raised.value.message == str(raised.value)
    if error is quillet.UnreadableError:
        assert raised.value.exit_code == 2


def test_the_object_its_collections_messages_and_progress():
    map = quillet.open_map(WORLD)
    boxes = []
    labeler = quillet.Quillet(map.platform, lambda *box: boxes.append(box))
    assert (labeler.ShowMessages, labeler.ApplyDefinitionQuery, labeler.ApplySelectionSet,
            labeler.UpdateAllOtherValues, labeler.WrapTextIfLongerThan, labeler.Locale) == \
        (False, True, False, True, 0, "en-US")
    # A shapefile is copied, and its copy reports progress; a GeoPackage is read in place.
    loads = []
    map.layer("North Carolina counties", lambda done, total: loads.append((done, total)))
    assert loads[-1][0] == loads[-1][1] > 0
    layer = map.layer(LAYER)

    assert labeler.MakeLabels(layer, SUM)
    labels = labeler.Labels
    assert list(labels) == quillet.labels(WORLD, LAYER, SUM)
    assert labels.Count == len(labels) > 2
    assert (labels.Item(1), labels.Item(labels.Count)) == (labels[0], labels[-1])
    assert labels[1:3] == list(labels)[1:3]
    for outside in (lambda: labels.Item(0), lambda: labels[labels.Count]):
        with pytest.raises(IndexError):
            outside()
    labels.Add("one more")
    assert labeler.Labels.Count == len(labels)  # the object's own collection, not a copy

    labeler.ShowMessages = True
    assert not labeler.MakeLabels(layer, "[nosuch].Sum")
    assert boxes == [(labeler.Message, "Invalid Expression!", 16)]
    assert len(labeler.Labels) == 0

    raising = quillet.Quillet(map.platform, lambda *box: {}[box])  # a KeyError
    raising.ShowMessages = True
    with pytest.raises(KeyError):
        raising.MakeLabels(layer, "[nosuch].Sum")

    map.interrupt()  # from any thread: what is under way fails, and so does all after it
    assert not labeler.MakeLabels(layer, SUM)
    with pytest.raises(quillet.UnreadableError, match="interrupted"):
        map.layer(LAYER)


def test_set_and_reset_write_what_the_command_writes(tmp_path):
    os.symlink(os.path.join(EXAMPLES, "..", "data"), tmp_path / "data")
    (tmp_path / "examples").mkdir()
    module, command = tmp_path / "examples" / "module.qgs", tmp_path / "examples" / "command.qgs"
    for copy in (module, command):
        shutil.copy(PROJECT, copy)
    map = quillet.open_map(module)
    labels = quillet.set_labels(map, "Continents", SUM, locale="de-DE", all_other_values=False)
    map.save()
    status, printed = Command("set", str(command), "--layer", "Continents", "--expression", SUM,
                              "--locale", "de-DE", "--no-all-other-values")
    assert status == 0 and labels == printed["labels"]
    assert module.read_bytes() == command.read_bytes() != open(PROJECT, "rb").read()
    # Set again from the labels before the first: the same file, not labels on labels.
    once = module.read_bytes()
    map = quillet.open_map(module)
    quillet.set_labels(map, "Continents", SUM, locale="de-DE", all_other_values=False)
    map.save()
    assert module.read_bytes() == once

    map = quillet.open_map(module)
    assert quillet.reset_labels(map, "Continents") == printed["originalLabels"]
    map.save()
    assert Command("reset", str(command), "--layer", "Continents")[0] == 0
    assert module.read_bytes() == command.read_bytes()


def test_a_map_document_from_data_is_the_commands(tmp_path):
    data = os.path.join(EXAMPLES, "..", "data", "sids.shp")
    text = quillet.map_document_with_layer(data, "BIR74", classify="quantile", classes=4,
                                           name="Births")
    status, printed = Command("init", data, "--field", "BIR74", "--classify", "quantile",
                              "--classes", "4", "--name", "Births")
    assert status == 0 and text == printed["document"]
