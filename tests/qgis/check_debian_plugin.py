"""Builds the Debian packages, extracts liblantrel, lantrel-data, python3-lantrel and
qgis-plugin-lantrel into an empty root and loads the plugin from there in a headless QGIS,
through QGIS's own plugin loader; one algorithm then runs on the packaged library and data.

    python3 check_debian_plugin.py BUILD_DIR WORK_DIR
    python3 check_debian_plugin.py --inside ROOT     (run by the first form)

Exit status 0, 1 on a failure, 77 when QGIS or the packaging tools are missing.
"""

import glob
import os
import shutil
import subprocess
import sys

SKIP = 77
PACKAGES = ("liblantrel", "lantrel-data", "python3-lantrel", "qgis-plugin-lantrel")


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def outside(build, work):
    missing = [tool for tool in ("cpack", "dpkg-deb") if shutil.which(tool) is None]
    if missing:
        print(f"SKIPPED: {' '.join(missing)} missing (Debian packages cmake, dpkg)")
        return SKIP
    try:
        import qgis.core  # noqa: F401
    except ImportError:
        print("SKIPPED: the packaged plugin test needs the Debian package python3-qgis")
        return SKIP
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    done = subprocess.run(["cpack", "-G", "DEB", "-B", os.path.join(work, "packages")], cwd=build,
                          capture_output=True, text=True)
    if done.returncode:
        fail("cpack -G DEB failed:\n" + done.stdout + done.stderr)
    root = os.path.join(work, "root")
    for name in PACKAGES:
        found = [f for f in glob.glob(os.path.join(work, "packages", f"{name}*.deb"))
                 if not os.path.basename(f).startswith(name + "-dev")]
        if not found:
            fail(f"package {name} was not built")
        subprocess.check_call(["dpkg-deb", "-x", found[0], root])
        if name == "qgis-plugin-lantrel":
            depends = subprocess.check_output(["dpkg-deb", "-f", found[0], "Depends"], text=True)
            if "python3-lantrel (=" not in depends:
                fail(f"qgis-plugin-lantrel does not depend on python3-lantrel: {depends}")
    home = os.path.join(work, "home")
    runtime = os.path.join(work, "runtime")
    os.makedirs(home)
    os.makedirs(runtime, mode=0o700)
    env = {k: v for k, v in os.environ.items() if not k.startswith("LANTREL_")}
    env.update(HOME=home, XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="offscreen",
               PYTHONPATH=os.path.join(root, "usr", "lib", "python3", "dist-packages"))
    return subprocess.call([sys.executable, os.path.abspath(__file__), "--inside", root],
                           env=env, cwd=work)


def inside(root):
    plugins = os.path.join(root, "usr", "share", "qgis", "python", "plugins")
    sys.path.append("/usr/share/qgis/python/plugins")
    from qgis.core import QgsApplication, QgsProcessingContext, QgsProcessingFeedback
    app = QgsApplication([], False)
    app.setPrefixPath("/usr", True)
    app.initQgis()
    import lantrel
    from lantrel import _native
    for what, path in (("package", lantrel.__file__),
                       ("library", os.path.realpath(_native.library_path()))):
        if not os.path.realpath(path).startswith(os.path.realpath(root)):
            fail(f"the {what} was not taken from the extracted packages: {path}")
    import qgis.utils
    sys.path.insert(0, plugins)  # as QGIS puts its plugin folders on the path at start-up
    qgis.utils.plugin_paths.insert(0, plugins)
    qgis.utils.updateAvailablePlugins()
    if "lantrel_qgis" not in qgis.utils.available_plugins:
        fail(f"QGIS does not see the plugin in {plugins}: {qgis.utils.available_plugins}")
    if not qgis.utils.loadPlugin("lantrel_qgis") or not qgis.utils.startPlugin("lantrel_qgis"):
        fail("QGIS could not load and start the plugin")
    if QgsApplication.processingRegistry().providerById("lantrel") is None:
        fail("the plugin did not add the lantrel Processing provider")
    from processing.core.Processing import Processing
    Processing.initialize()
    import processing
    from qgis.core import QgsVectorLayer, QgsFeature, QgsGeometry, QgsPointXY
    layer = QgsVectorLayer("Point?crs=EPSG:4269&field=name:string", "wells", "memory")
    f = QgsFeature(layer.fields())
    f.setAttributes(["Frankfort"])
    f.setGeometry(QgsGeometry.fromPointXY(QgsPointXY(-84.8733, 38.2009)))
    layer.dataProvider().addFeatures([f])
    context = QgsProcessingContext()
    result = processing.run("lantrel:addlocationfields", {"INPUT": layer, "OUTPUT": "memory:"},
                            context=context, feedback=QgsProcessingFeedback())
    out = result["OUTPUT"]
    out = context.takeResultLayer(out) if isinstance(out, str) else out
    county = next(out.getFeatures())["county"]
    if county != "Franklin":
        fail(f"the packaged plugin put Frankfort in {county!r}")
    print(f"ok: the plugin loads from {plugins} and locates with the packaged data")
    qgis.utils.unloadPlugin("lantrel_qgis")
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "--inside":
        sys.exit(inside(sys.argv[2]))
    sys.exit(outside(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])))
