"""Legend labels computed from the features each legend entry stands for.

The short path::

    import quillet
    quillet.labels("examples/world.json", "Countries by continent",
                   "$$LABEL ([pop].Sum.FormatNumber(0) people)")

The component's own object, for those who script it step by step::

    map = quillet.open_map("examples/world.qgs")
    labeler = quillet.Quillet(map.platform)
    layer = map.layer("Continents")
    if labeler.MakeLabels(layer, "$$LABEL ([pop].Count countries)"):
        labeler.SetLabels(layer)
        map.store_labels(layer, labeler.OriginalLabels)
        map.save()
    else:
        print(labeler.Message)

Failures raise a ``quillet.Error``: ``RefusedError`` when the component says no (its message,
the command's exit status 1), ``UnreadableError`` for input that cannot be read or used
(exit status 2).
"""
from dataclasses import dataclass
from typing import Callable, List, Optional

__all__ = [
    "Error", "RefusedError", "UnreadableError", "Quillet", "Collection", "Map", "Layer",
    "Platform", "open_map", "map_document_with_layer", "labels", "verify", "set_labels",
    "reset_labels", "Verification",
]


class Error(Exception):
    """A failure of Quillet: ``message`` says what, ``exit_code`` is the command's status."""

    exit_code = 2

    def __init__(self, message: str):
        super().__init__(message)
        self.message = message


class RefusedError(Error):
    """The component refused the expression or the layer; ``message`` is its own text."""

    exit_code = 1


class UnreadableError(Error):
    """Input that cannot be read or used: a missing or broken map, an unknown layer or locale,
    data that cannot be opened. ``message`` names the file and the place."""

    exit_code = 2


# After the errors: the compiled module raises them.
from ._quillet import (Collection, Layer, Map, Platform, Quillet,  # noqa: E402
                       map_document_with_layer, open_map)

Messages = Callable[[str, str, int], None]
Progress = Callable[[int, int], None]


def _labeler(map: Map, locale: Optional[str], wrap: int, definition_query: bool,
             all_other_values: bool, messages: Optional[Messages]) -> Quillet:
    labeler = Quillet(map.platform, messages)
    labeler.ShowMessages = messages is not None
    labeler.ApplyDefinitionQuery = definition_query
    labeler.UpdateAllOtherValues = all_other_values
    labeler.WrapTextIfLongerThan = wrap
    if locale:
        labeler.SetLocale(locale)
    return labeler


def labels(path, layer: str, expression: str, *, source: Optional[str] = None,
           locale: Optional[str] = None, wrap: int = 0, definition_query: bool = True,
           all_other_values: bool = True, messages: Optional[Messages] = None) -> List[str]:
    """The labels of a layer's legend entries for an expression, as ``quillet labels`` prints
    them: one per entry in legend order, "$$SKIPPED" for an entry whose features are none.

    ``path`` is a map document, a QGIS project or a style (with ``source``, its data);
    ``locale`` names the locale of numbers and dates (default en-US); ``wrap`` wraps labels
    longer than so many characters; ``definition_query=False`` labels every feature, not only
    the layer's filter; ``messages(text, title, style)`` receives the component's message
    boxes. Raises ``RefusedError`` or ``UnreadableError``."""
    map = open_map(path, source)
    labeler = _labeler(map, locale, wrap, definition_query, all_other_values, messages)
    opened = map.layer(layer)
    if not labeler.MakeLabels(opened, expression):
        raise RefusedError(labeler.Message)
    return list(labeler.Labels)


@dataclass
class Verification:
    """What a successful verification says: the component's status ``message``, and on
    request the ``sample_label`` and the labelling ``instructions``."""

    message: str
    sample_label: Optional[str] = None
    instructions: Optional[str] = None


def verify(map: Map, layer: str, expression: str, *, sample: bool = False,
           instructions: bool = False, locale: Optional[str] = None, wrap: int = 0,
           definition_query: bool = True, progress: Optional[Progress] = None) -> Verification:
    """Checks that an expression can label a layer of ``map``, as ``quillet verify`` does;
    ``sample`` computes a sample label from every tenth feature, ``instructions`` (with
    ``sample``) tells how the label is put together. Raises ``RefusedError`` with the
    component's message."""
    boxes = []
    labeler = _labeler(map, locale, wrap, definition_query, True,
                       lambda text, title, style: boxes.append((title, text)))
    # The component hands out its instructions only in the box of a valid expression.
    labeler.ShowMessages = sample
    opened = map.layer(layer, progress)
    if not labeler.VerifyExpression(opened, expression, sample, instructions and sample):
        raise RefusedError(labeler.Message)
    result = Verification(labeler.Message)
    if sample:
        result.sample_label = labeler.SampleLabel
        if instructions:
            result.instructions = next(
                (text for title, text in reversed(boxes) if title == "Valid Expression"), None)
    return result


def set_labels(map: Map, layer: str, expression: str, *, locale: Optional[str] = None,
               wrap: int = 0, definition_query: bool = True, all_other_values: bool = True,
               from_current: bool = False, messages: Optional[Messages] = None,
               progress: Optional[Progress] = None) -> List[str]:
    """Writes a layer's new labels into ``map`` as ``quillet set`` does, the labels from
    before kept as the layer's originals; ``map.save()`` writes the file. Returns the labels
    ("$$SKIPPED" where an entry was left alone). The labels are computed from those before the
    first labels were set (``$$LABEL`` reads them), so setting again gives the same labels;
    ``from_current=True`` computes from the labels the layer shows now. A layer whose file
    keeps no labels (a QGIS single symbol) is left as it is. Raises ``RefusedError`` or
    ``UnreadableError``."""
    labeler = _labeler(map, locale, wrap, definition_query, all_other_values, messages)
    opened = map.layer(layer, progress)
    if not from_current:
        map.use_original_labels(opened)
    if not (labeler.MakeLabels(opened, expression) and labeler.SetLabels(opened)):
        raise RefusedError(labeler.Message)
    if map.keeps_labels(opened.name):
        map.store_labels(opened, labeler.OriginalLabels)
    return list(labeler.Labels)


def reset_labels(map: Map, layer: str, *, messages: Optional[Messages] = None,
                 progress: Optional[Progress] = None) -> List[str]:
    """Puts back into ``map`` the labels a layer showed before its first labels were set, as
    ``quillet reset`` does; ``map.save()`` writes the file. Returns them. Raises
    ``RefusedError`` when the map stores none or the component refuses the layer."""
    name = map.find_layer(layer)
    if map.original_labels(name) is None:
        raise RefusedError(f'The map stores no original labels for layer "{name}": labels are '
                           "reset after labels were set")
    labeler = _labeler(map, None, 0, True, True, messages)
    opened = map.layer(name, progress)
    if not (map.recall_original_labels(opened, labeler) and labeler.ResetLabels(opened)):
        raise RefusedError(labeler.Message)
    map.store_labels(opened, labeler.OriginalLabels)
    return list(labeler.OriginalLabels)
