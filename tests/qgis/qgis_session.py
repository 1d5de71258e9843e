"""Runs a test script's main function inside a headless QGIS application."""
from qgis.core import QgsApplication


def RunWithQgis(main):
    # Leaving without exitQgis crashes QGIS at interpreter exit, so it runs on every path.
    app = QgsApplication([], False)
    QgsApplication.setPrefixPath("/usr", True)
    app.initQgis()
    try:
        main()
    finally:
        app.exitQgis()
