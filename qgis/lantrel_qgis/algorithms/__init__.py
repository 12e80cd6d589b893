"""The Processing algorithms of the lantrel provider."""

from .add_location_fields import AddLocationFields
from .carter_to_points import CarterToPoints
from .convert_layer import ConvertLayer
from .grid_layer import GridLayer
from .text_to_points import TextToPoints

ALGORITHMS = (ConvertLayer, AddLocationFields, CarterToPoints, TextToPoints, GridLayer)
