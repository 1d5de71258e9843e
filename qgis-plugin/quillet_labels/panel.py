"""The panel: an expression, Verify, Apply and Reset on one layer, with the options."""
import html

from qgis.core import QgsApplication, QgsProject
from qgis.gui import QgsDockWidget
from qgis.PyQt.QtWidgets import (
    QCheckBox, QComboBox, QFormLayout, QGroupBox, QHBoxLayout, QLabel, QPlainTextEdit,
    QProgressBar, QPushButton, QSpinBox, QVBoxLayout, QWidget)

from .live_layer import ORIGINALS, LayerChanged, LegendLabels, QuilletFields, ReadLabelled, \
    Refresh, WhyNot, WriteLabels
from .module import quillet
from .task import QuilletTask

SUMMARIES = ["Sum", "Count", "Average", "Minimum", "Maximum", "First", "Last", "StdDev",
             "Variance"]
FUNCTIONS = ["FormatNumber(0)", "FormatCurrency", "Format(#,##0.0)", "Round(1)", "Abs",
             "UCase", "LCase", "TCase", "Left(3)", "Right(3)", "Mid(1,3)", "Replace(a,b)",
             "Trim", "LTrim", "RTrim", "Spaces(1)"]
LEGEND = ["$$LABEL", "$$VALUE", "$$NEWLINE"]
LOCALES = ["en-US", "de-DE", "fr-FR", "es-ES", "it-IT", "pt-BR", "nl-NL", "ja-JP"]
DEFAULT_EXPRESSION = "$$LABEL ([{field}].Count)"


def _Inserter(title, items, tip):
    box = QComboBox()
    box.addItem(title)
    box.addItems(items)
    box.setToolTip(tip)
    return box


class QuilletPanel(QgsDockWidget):
    """Labels the legend of one layer at a time: the layer it was last opened on."""

    def __init__(self, iface, parent=None):
        super().__init__("Quillet Legend Labels", parent)
        self.setObjectName("QuilletPanel")
        self.iface = iface
        self.layer = None
        self.task = None
        self.expressions = {}  # by layer id: what was typed there last

        self.layerLabel = QLabel()
        self.expression = QPlainTextEdit()
        self.expression.setPlaceholderText("$$LABEL ([pop].Sum.FormatNumber(0) people)")
        self.expression.setTabChangesFocus(True)
        self.expression.setMaximumHeight(90)
        self.fields = _Inserter("Field…", [], "Insert a field of the layer: [FIELD]")
        self.summaries = _Inserter("Summary…", SUMMARIES,
                                   "Insert the summary of the field over each class's features")
        self.functions = _Inserter("Format…", FUNCTIONS, "Insert a formatting function")
        self.legend = _Inserter("Legend…", LEGEND,
                                "Insert the class's label or value, or a line break")
        inserts = QHBoxLayout()
        for box, form in [(self.fields, "[{}]"), (self.summaries, ".{}"),
                          (self.functions, ".{}"), (self.legend, "{}")]:
            box.activated.connect(lambda index, box=box, form=form: self._Insert(box, form))
            inserts.addWidget(box)

        self.definitionQuery = QCheckBox("Only the features of the layer's filter")
        self.definitionQuery.setChecked(True)
        self.allOtherValues = QCheckBox("Label the \"all other values\" class")
        self.allOtherValues.setChecked(True)
        self.wrap = QSpinBox()
        self.wrap.setRange(0, 32767)
        self.wrap.setSpecialValueText("no wrapping")
        self.wrap.setSuffix(" characters")
        self.locale = QComboBox()
        self.locale.setEditable(True)
        self.locale.addItems(LOCALES)
        self.locale.setToolTip("How numbers and dates are written (a language tag)")
        options = QGroupBox("Options")
        form = QFormLayout(options)
        form.addRow(self.definitionQuery)
        form.addRow(self.allOtherValues)
        form.addRow("Wrap labels longer than", self.wrap)
        form.addRow("Locale", self.locale)

        self.sample = QCheckBox("Sample label")
        self.instructions = QCheckBox("Instructions")
        self.verifyButton = QPushButton("Verify")
        self.applyButton = QPushButton("Apply")
        self.resetButton = QPushButton("Reset")
        self.cancelButton = QPushButton("Cancel")
        self.progress = QProgressBar()
        self.message = QPlainTextEdit()
        self.message.setReadOnly(True)
        self.verifyButton.clicked.connect(self.Verify)
        self.applyButton.clicked.connect(self.Apply)
        self.resetButton.clicked.connect(self.Reset)
        self.cancelButton.clicked.connect(self.Cancel)
        self.sample.toggled.connect(self.instructions.setEnabled)
        self.instructions.setEnabled(False)

        verify = QHBoxLayout()
        for widget in [self.sample, self.instructions, self.verifyButton]:
            verify.addWidget(widget)
        buttons = QHBoxLayout()
        buttons.addStretch()
        buttons.addWidget(self.applyButton)
        buttons.addWidget(self.resetButton)
        running = QHBoxLayout()
        running.addWidget(self.progress)
        running.addWidget(self.cancelButton)

        body = QWidget()
        layout = QVBoxLayout(body)
        layout.addWidget(self.layerLabel)
        layout.addWidget(self.expression)
        layout.addLayout(inserts)
        layout.addWidget(options)
        layout.addLayout(verify)
        layout.addLayout(buttons)
        layout.addLayout(running)
        layout.addWidget(self.message)
        self.setWidget(body)
        self._SetBusy(False)

    # The layer.

    def SetLayer(self, layer):
        """Works on `layer` from now on; the expression typed for it last comes back."""
        if self.layer is not None and self._Alive(self.layer):
            self.expressions[self.layer.id()] = self.expression.toPlainText()
        self.layer = layer
        self.layerLabel.setText(f"Layer: <b>{html.escape(layer.name())}</b>")
        names = QuilletFields(layer)
        self.fields.clear()
        self.fields.addItem("Field…")
        self.fields.addItems(names)
        default = DEFAULT_EXPRESSION.format(field=names[0]) if names else ""
        self.expression.setPlainText(self.expressions.get(layer.id(), default))
        self.message.clear()
        self._UpdateReset()

    def _Alive(self, layer):
        try:
            return QgsProject.instance().mapLayer(layer.id()) is layer
        except RuntimeError:  # deleted by QGIS
            return False

    def _UpdateReset(self):
        stored = self.layer is not None and self._Alive(self.layer) and \
            self.layer.customProperty(ORIGINALS) is not None
        self.resetButton.setEnabled(stored and self.task is None)
        self.resetButton.setToolTip(
            "Put back the labels from before the first Apply" if stored else
            "Nothing to reset: the layer keeps no labels from before an Apply")

    def _Insert(self, box, form):
        if box.currentIndex() > 0:
            self.expression.insertPlainText(form.format(box.currentText()))
            self.expression.setFocus()
        box.setCurrentIndex(0)

    # The work, one task at a time.

    def _Options(self):
        return {"locale": self.locale.currentText().strip() or None, "wrap": self.wrap.value(),
                "definition_query": self.definitionQuery.isChecked()}

    def Verify(self):
        expression, options = self.expression.toPlainText(), self._Options()
        sample, instructions = self.sample.isChecked(), self.instructions.isChecked()

        def Job(map, name, progress):
            return quillet.verify(map, name, expression, sample=sample, progress=progress,
                                  instructions=instructions, **options)
        self._Start("Verifying", Job, self._Verified)

    def Apply(self):
        expression, options = self.expression.toPlainText(), self._Options()
        options["all_other_values"] = self.allOtherValues.isChecked()

        def Job(map, name, progress):
            labels = quillet.set_labels(map, name, expression, progress=progress, **options)
            return labels, map.contents()
        self._Start("Labelling", Job, self._Labelled)

    def Reset(self):
        def Job(map, name, progress):
            return quillet.reset_labels(map, name, progress=progress), map.contents()
        self._Start("Resetting the labels of", Job, self._Labelled)

    def Cancel(self):
        if self.task is not None:
            self.task.cancel()

    def _Start(self, doing, job, done):
        if self.task is not None or self.layer is None:
            return
        if not self._Alive(self.layer):
            self._Show("The layer is no longer in the project.")
            return
        why = WhyNot(self.layer)
        if why is not None:
            self._Show(why)
            return
        try:
            self.task = QuilletTask(f"{doing} {self.layer.name()}", self.layer, job, done)
        except OSError as error:
            self._Show(f"The layer cannot be written out for Quillet: {error}")
            return
        self.task.progressChanged.connect(self._Progressed)
        self._SetBusy(True)
        self._Show(f"{doing} {self.layer.name()}…")
        QgsApplication.taskManager().addTask(self.task)

    def _Progressed(self, value):
        # A method of the panel, so that Qt calls it on the panel's thread, not the task's.
        self.progress.setValue(int(value))

    def _SetBusy(self, busy):
        for widget in [self.verifyButton, self.applyButton]:
            widget.setEnabled(not busy)
        self.progress.setVisible(busy)
        self.progress.setValue(0)
        self.cancelButton.setVisible(busy)
        self._UpdateReset()

    def _Finish(self, task):
        """The task's layer when its result is there to write; otherwise says why not."""
        self.task = None
        self._SetBusy(False)
        layer = QgsProject.instance().mapLayer(task.layerId)
        if task.cancelled:
            self._Show("Cancelled: the layer's labels are as they were.")
        elif task.error is not None:
            self._Show(getattr(task.error, "message", None) or
                       f"Quillet failed: {task.error} (details in the log, tab Quillet)")
        elif layer is None:
            self._Show("The layer is no longer in the project; nothing was written.")
        else:
            return layer
        return None

    def _Verified(self, task):
        if self._Finish(task) is None:
            return
        result = task.result
        lines = [result.message or "The expression is valid."]
        if result.instructions:  # they begin with the sample label
            lines.append(result.instructions.replace("\r\n", "\n").strip())
        elif result.sample_label is not None:
            lines.append(f"Sample label: {result.sample_label}")
        self._Show("\n\n".join(lines))

    def _Labelled(self, task):
        layer = self._Finish(task)
        if layer is None:
            return
        labels, contents = task.result
        try:
            renderer, originals = ReadLabelled(contents, layer.id())
            changed = WriteLabels(layer, renderer, originals)
        except (LayerChanged, ValueError) as error:
            self._Show(str(error))
            return
        Refresh(self.iface, layer)
        self._UpdateReset()
        lines = [f"{layer.name()}: {changed} of {len(labels)} labels changed:"]
        lines += [f"  {label}" for label in LegendLabels(layer)]
        if any(label.lower() == "$$skipped" for label in labels):
            lines.append("$$SKIPPED: the class draws no feature; its label was left alone.")
        if layer.isEditable() and layer.isModified():
            lines.append("The layer has unsaved edits: the labels count its saved features. "
                         "Save the edits and apply again to count them.")
        self._Show("\n".join(lines))

    def _Show(self, text):
        self.message.setPlainText(text)

    def Close(self):
        """Cancels the work under way, before the plugin goes."""
        self.Cancel()
