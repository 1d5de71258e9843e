"""Quillet's work on a layer as a QGIS background task, so that QGIS stays responsive."""
import os
import tempfile
import traceback

from qgis.core import Qgis, QgsMessageLog, QgsTask

from .live_layer import WriteProject
from .module import quillet


class _Cancelled(Exception):
    pass


class QuilletTask(QgsTask):
    """Runs `job(map, layerName, progress)` on a project holding the layer as it is now (written
    when the task is made, on QGIS's main thread), then calls `done(task)` on the main thread.

    After the run: `result` is what the job returned when it succeeded; `error` the
    quillet.Error (or, for a fault, the exception) that stopped it; `cancelled` whether the
    user cancelled it, in which case its result is dropped."""

    def __init__(self, description, layer, job, done):
        super().__init__(description, QgsTask.CanCancel)
        self.layerId = layer.id()
        self.layerName = layer.name()
        self.job, self.done = job, done
        self.result = self.error = self.map = None
        self.cancelled = False
        self.folder = tempfile.TemporaryDirectory(prefix="quillet-")
        self.project = os.path.join(self.folder.name, "layer.qgs")
        WriteProject(layer, self.project)

    def run(self):
        try:
            self.map = quillet.open_map(self.project)
            if self.isCanceled():
                return False
            result = self.job(self.map, self.layerName, self._Progress)
            if self.isCanceled():  # the run may have finished, or failed as "interrupted"
                return False
            self.result = result
            self.setProgress(100)
            return True
        except _Cancelled:
            return False
        except quillet.Error as error:
            self.error = error
        except Exception as error:  # a fault of the plugin: logged, and told in one line
            QgsMessageLog.logMessage(traceback.format_exc(), "Quillet", Qgis.Critical)
            self.error = error
        return False

    def _Progress(self, done, total):
        if self.isCanceled():
            raise _Cancelled()
        if total > 0:
            self.setProgress(min(90.0, 90.0 * done / total))

    def cancel(self):
        # Interrupts the label run under way; without it Cancel would wait for its end.
        opened = self.map
        if opened is not None:
            opened.interrupt()
        super().cancel()

    def finished(self, ok):
        self.cancelled = self.isCanceled()
        self.folder.cleanup()
        try:
            self.done(self)
        except Exception:
            QgsMessageLog.logMessage(traceback.format_exc(), "Quillet", Qgis.Critical)
