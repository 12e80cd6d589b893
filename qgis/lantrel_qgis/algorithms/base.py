"""What every lantrel algorithm shares: its group, the status fields and the feature loop's
bookkeeping."""

from qgis.core import (QgsFeature, QgsFeatureSink, QgsField, QgsFields, QgsProcessingAlgorithm,
                       QgsProcessingException)
from qgis.PyQt.QtCore import QVariant

from .. import settings
from ..layer_points import FAILED, MESSAGE_FIELD, OK, STATUS_FIELD, Unserved

_KINDS = {"text": QVariant.String, "int": QVariant.Int, "real": QVariant.Double}


def field(name, kind):
    return QgsField(name, _KINDS[kind])


def output_fields(inputs, added):
    """The input fields, then the status and message fields and `added` [(name, kind)];
    a name the input already has is refused rather than silently doubled."""
    fields = QgsFields(inputs)
    for name, kind in [(STATUS_FIELD, "text"), (MESSAGE_FIELD, "text")] + list(added):
        if fields.lookupField(name) >= 0:
            raise QgsProcessingException(
                f"the input already has a field named {name!r}; rename or drop it first")
        fields.append(field(name, kind))
    return fields


class Tally:
    """Counts features written with and without a result, and says so in the log."""

    def __init__(self, feedback, total):
        self.feedback, self.total, self.ok, self.failed = feedback, max(total, 1), 0, 0
        self.reasons = {}

    def count(self, message):
        if message:
            self.failed += 1
            self.reasons[message] = self.reasons.get(message, 0) + 1
        else:
            self.ok += 1
        done = self.ok + self.failed
        if done % 1000 == 0:
            self.feedback.setProgress(100.0 * done / self.total)

    def report(self, what):
        self.feedback.pushInfo(f"{self.ok} feature(s) {what}, {self.failed} kept without a result "
                               f"(field {STATUS_FIELD} = {FAILED!r}, reason in {MESSAGE_FIELD})")
        for reason, n in sorted(self.reasons.items(), key=lambda kv: -kv[1])[:10]:
            self.feedback.reportError(f"{n} x {reason}", False)


def status_of(message):
    return FAILED if message else OK


class Output:
    """A sink written in batches: the input's attributes, status (by default 'ok' without a
    message, else 'failed'), message, then the algorithm's own values."""

    BATCH = 4096

    def __init__(self, sink, fields):
        self.sink, self.fields, self.pending = sink, fields, []

    def add(self, source_feature, geometry, message, extra, status=None):
        f = QgsFeature(self.fields)
        attributes = list(source_feature.attributes()) if source_feature is not None else []
        f.setAttributes(attributes + [status or status_of(message), message or ""] + list(extra))
        f.setGeometry(geometry)
        self.pending.append(f)
        if len(self.pending) >= self.BATCH:
            self.flush()

    def flush(self):
        if self.pending and not self.sink.addFeatures(self.pending, QgsFeatureSink.FastInsert):
            raise QgsProcessingException(
                f"the output could not take the features: {self.sink.lastError()}")
        self.pending = []


class LantrelAlgorithm(QgsProcessingAlgorithm):
    """Base of the provider's algorithms: name, group and help from class attributes."""

    NAME = ""
    TITLE = ""
    HELP = ""

    def name(self):
        return self.NAME

    def displayName(self):
        return self.TITLE

    def group(self):
        return "lantrel"

    def groupId(self):
        return "lantrel"

    def shortHelpString(self):
        return self.HELP

    def createInstance(self):
        return type(self)()

    @staticmethod
    def default_system(which):
        return settings.value(which)

    @staticmethod
    def refuse(error):
        """A parameter lantrel cannot take, as the algorithm's failure."""
        if isinstance(error, Unserved):
            raise QgsProcessingException(str(error)) from None
        raise QgsProcessingException(getattr(error, "description", str(error))) from None
