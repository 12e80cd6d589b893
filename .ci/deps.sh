#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the peer oracles need, when missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libtsan2 libgtest-dev libbenchmark-dev
          libproj-dev proj-bin libgeos-dev python3 libgdal-dev gdal-bin
          # the Python package, its tests and its benchmark
          python3-venv python3-pip python3-setuptools python3-wheel python3-numpy python3-pandas
          python3-pytest python3-hypothesis python3-pyproj python3-geopandas python3-shapely
          python3-rtree python3-dask python3-distributed
          # the API reference, the installed-tree and Debian package tests
          doxygen pkg-config dpkg-dev file binutils
          # the map render test, and PNG maps (rsvg-convert)
          chromium librsvg2-bin
          # the tool's option parser; the web server, its page, browser tests and peer benchmark
          libcli11-dev libcpp-httplib-dev nlohmann-json3-dev libjs-leaflet chromium-driver
          python3-selenium python3-requests python3-jsonschema python3-fastapi python3-uvicorn wrk
          # the QGIS plugin and its headless tests
          qgis python3-qgis)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
