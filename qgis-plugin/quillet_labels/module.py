"""The quillet module: the copy bundled with the plugin by `make qgis-plugin`, else one
installed for this Python (cmake --install, or PYTHONPATH=build/python)."""
try:
    from . import quillet  # noqa: F401
except ImportError:
    import quillet  # noqa: F401
