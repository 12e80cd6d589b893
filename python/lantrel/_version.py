"""Version of the lantrel package (the library's major.minor and a package revision)."""

__version__ = "3.23.0"
