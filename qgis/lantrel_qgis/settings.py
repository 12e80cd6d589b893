"""The plugin's settings (QgsSettings, under "lantrel/"): default systems and precision."""

from qgis.core import QgsSettings

import lantrel

#: name -> (default, reader)
DEFAULTS = {
    "source_system": "",                  # "" = the layer's CRS
    "target_system": "north/nad83/usft",
    "factor_system": "single/nad83/usft",
    "text_system": "geo/nad83",
    "angular_decimals": 8,
    "linear_decimals": 3,
    "dms_decimals": 5,
}

_PREFIX = "lantrel/"


def value(name):
    default = DEFAULTS[name]
    raw = QgsSettings().value(_PREFIX + name, default)
    if isinstance(default, int):
        try:
            number = int(raw)
        except (TypeError, ValueError):
            return default
        return number if 0 <= number <= 12 else default
    text = str(raw or "").strip()
    if text and name.endswith("_system"):
        try:
            lantrel.parse_system(text)
        except lantrel.Error:
            return default  # a stored text this lantrel no longer reads
    return text if text or name == "source_system" else default


def _checked(name, new):
    """The value stored for `name`; raises ValueError for a system text lantrel cannot read or
    a precision outside 0 to 12."""
    default = DEFAULTS[name]
    if isinstance(default, int):
        number = int(new)
        if not 0 <= number <= 12:
            raise ValueError(f"{name} must be 0 to 12, got {number}")
        return number
    new = str(new).strip()
    if new:
        try:
            lantrel.parse_system(new)
        except lantrel.Error as e:
            raise ValueError(f"{name.replace('_', ' ')}: {e.description}") from None
    return new


def set_value(name, new):
    """Stores a setting; one that is refused (ValueError) stores nothing."""
    set_values({name: new})


def set_values(values):
    """Stores {name: value} together: when one is refused (ValueError), none is stored."""
    checked = {name: _checked(name, new) for name, new in values.items()}
    for name, new in checked.items():
        QgsSettings().setValue(_PREFIX + name, new)
