#!/usr/bin/env bash
# Builds the Debian packages from the build tree with CPack, checks their names, contents and
# dependencies, that the libraries are in the multiarch folder and the binaries stripped with
# their debug information in the -dbgsym packages, extracts them into an empty root and uses
# them there: the tool converts (text and vector files) and locates, and consumers build against the extracted files
# with find_package and pkg-config.
# Usage: check_debian.sh <build> <work>
set -euo pipefail
# Long outputs are matched from here-strings, not piped into grep -q: grep leaves at the first
# match, and under pipefail the writer it cut off would fail the check.
build=$(cd "$1" && pwd)
work=$2
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-architecture readelf; do
  command -v "$tool" > /dev/null || fail "$tool is missing (Debian packages cmake, dpkg, dpkg-dev, binutils)"
done
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
cc=$(sed -n 's/^CMAKE_C_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
# The runtime package and its library are named after the SONAME, which has a number of its own.
soname=$(readelf -dW "$build/bin/liblantrel.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
abi=${soname#liblantrel.so.}
[[ $abi =~ ^[0-9]+$ ]] || fail "the built liblantrel.so has no SONAME liblantrel.so.<abi> (has '$soname')"
libfile=$(basename "$(readlink -f "$build/bin/liblantrel.so")")
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
[ "$libdir" = "lib/$multiarch" ] ||
  fail "the build installs libraries in $libdir, not the multiarch folder lib/$multiarch (reconfigure with LANTREL_MULTIARCH_LIBDIR=ON)"
with_data=no
[ -f "$build/bin/lantrel.bin" ] && with_data=yes

rm -rf "$work"
mkdir -p "$work"
(cd "$build" && cpack -G DEB -B "$work/packages" > "$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }

deb() {  # the package file of $1
  local f
  f=$(ls "$work/packages/$1"_*.deb 2>/dev/null | head -1)
  [ -n "$f" ] || fail "package $1 was not built (have: $(cd "$work/packages" && ls ./*.deb 2>/dev/null | tr '\n' ' '))"
  echo "$f"
}
runtime=$(deb "liblantrel$abi")
dev=$(deb liblantrel-dev)
tool=$(deb lantrel)
packages=("$runtime" "$dev" "$tool")
if [ $with_data = yes ]; then
  data=$(deb lantrel-data)
  packages+=("$data")
  [ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "lantrel-data is not Architecture: all"
fi

# Contents: each file in the package it belongs to.
has() {  # package, path
  grep -qx "./$2" <<< "$(dpkg-deb -c "$1" | awk '{print $6}')" || fail "$(basename "$1") lacks /$2"
}
lacks() {
  ! grep -qx "./$2" <<< "$(dpkg-deb -c "$1" | awk '{print $6}')" || fail "$(basename "$1") should not hold /$2"
}
has "$runtime" "usr/$libdir/liblantrel.so.$abi"
lacks "$runtime" "usr/$libdir/liblantrel.so"
lacks "$runtime" "usr/lib/liblantrel.so.$abi"
has "$dev" "usr/$libdir/liblantrel.so"
has "$dev" "usr/$libdir/liblantrel.a"
has "$dev" usr/include/lantrel/lantrel.h
has "$dev" "usr/$libdir/cmake/lantrel/lantrelConfig.cmake"
has "$dev" "usr/$libdir/pkgconfig/lantrel.pc"
has "$tool" usr/bin/lantrel
has "$tool" usr/share/man/man1/lantrel.1
# The tool's modules travel with it (serve only in a build that has it, as the built tool's help
# tells: a serve.so left in the tree by an earlier configuration does not count).
modules=(vector.so)
grep -q '^ *serve .*not in this build' <<< "$("$build/bin/lantrel" --help)" || modules+=(serve.so)
for m in "${modules[@]}"; do has "$tool" "usr/$libdir/lantrel/$m"; done
[ $with_data = yes ] && has "$data" usr/share/lantrel/lantrel.bin

# Dependencies.
depends() { dpkg-deb -f "$1" Depends; }
depends "$runtime" | grep -q 'libc6' || fail "liblantrel$abi does not depend on libc6: $(depends "$runtime")"
depends "$runtime" | grep -q 'libstdc++6' || fail "liblantrel$abi does not depend on libstdc++6: $(depends "$runtime")"
depends "$dev" | grep -q "liblantrel$abi (= $version-" ||
  fail "liblantrel-dev does not depend on exactly this liblantrel$abi: $(depends "$dev")"
depends "$tool" | grep -q 'libc6' || fail "lantrel does not depend on libc6: $(depends "$tool")"
if [ $with_data = yes ]; then
  depends "$tool" | grep -q "lantrel-data (= $version-" || fail "lantrel does not depend on lantrel-data: $(depends "$tool")"
fi
echo "ok: packages $(for p in "${packages[@]}"; do basename "$p"; done | tr '\n' ' ')"

# Extract into an empty root and use the files there.
root=$work/root
mkdir -p "$root"
for p in "${packages[@]}"; do dpkg-deb -x "$p" "$root"; done
usr=$root/usr

# Stripped binaries: no symbol table and no debug sections, a link to their debug file, which
# the -dbgsym package of the same version holds under the binary's build ID.
debug=$work/debug
for pair in "lantrel:usr/bin/lantrel" "lantrel:usr/$libdir/lantrel/vector.so" "liblantrel$abi:usr/$libdir/$libfile"; do
  package=${pair%%:*} file=$root/${pair#*:}
  [ -f "$file" ] || fail "$package lacks /${pair#*:}"
  sections=$(readelf -SW "$file")
  ! grep -qE '\.symtab|\.debug_info' <<< "$sections" || fail "/${pair#*:} in $package is not stripped"
  grep -q '\.gnu_debuglink' <<< "$sections" || fail "/${pair#*:} in $package has no link to its debug file"
  dbgsym=$(ls "$work/packages/$package-dbgsym_"*.ddeb 2>/dev/null | head -1)
  [ -n "$dbgsym" ] || fail "no $package-dbgsym package"
  [ "$(dpkg-deb -f "$dbgsym" Version)" = "$(dpkg-deb -f "$(deb "$package")" Version)" ] ||
    fail "$package-dbgsym is not of $package's version"
  id=$(readelf -n "$file" | sed -n 's/.*Build ID: *//p')
  [ -n "$id" ] || fail "/${pair#*:} has no build ID"
  rm -rf "$debug" && mkdir -p "$debug" && dpkg-deb -x "$dbgsym" "$debug"
  split=$debug/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug
  [ -f "$split" ] || fail "$package-dbgsym lacks /usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug"
  if [ "$build_type" = RelWithDebInfo ] || [ "$build_type" = Debug ]; then
    grep -q '\.debug_info' <<< "$(readelf -SW "$split" 2>/dev/null)" || fail "$package-dbgsym's debug file holds no debug information"
  fi
done
echo "ok: stripped, debug information in $(cd "$work/packages" && ls ./*-dbgsym_*.ddeb | tr '\n' ' ')"
out=$(echo "-84.8733 38.2009 Frankfort" | "$usr/bin/lantrel" convert --from geo --to north) ||
  fail "the packaged tool does not convert"
echo "convert: $out"
grep -q Frankfort <<< "$out" || fail "the packaged tool lost the point's label"
printf 'x,y,name\n-84.8733,38.2009,Frankfort\n' > "$work/wells.csv"
if grep -q 'NEEDED.*libgdal' <<< "$(readelf -dW "$build/$libdir/lantrel/vector.so")"; then
  "$usr/bin/lantrel" convert --from geo --to north -o "$work/wells.geojson" "$work/wells.csv" ||
    fail "the packaged tool does not write a vector file through its module"
  grep -q Frankfort "$work/wells.geojson" || fail "the packaged tool's vector file lost the point's label"
else
  # A build without GDAL: the module found says so itself.
  ! err=$("$usr/bin/lantrel" convert --from geo --to north -o "$work/wells.geojson" "$work/wells.csv" 2>&1) &&
    grep -q "built without GDAL" <<< "$err" ||
    fail "the packaged tool without GDAL does not say so through its module: $err"
fi
if [ $with_data = yes ]; then
  out=$(echo "-84.8733 38.2009" | "$usr/bin/lantrel" locate) || fail "the packaged tool does not locate"
  echo "locate: $out"
  grep -q Franklin <<< "$out" || fail "the packaged tool does not put Frankfort in Franklin County"
  "$usr/bin/lantrel" info | grep -q "Data file: $usr/share/lantrel/lantrel.bin" ||
    fail "the packaged tool does not take the packaged data file"
fi

expect=""
[ $with_data = yes ] && expect=expect-data
cmake -S "$here/consumer" -B "$work/cmake" -G "$generator" -DCMAKE_CXX_COMPILER="$cxx" \
      -DCMAKE_PREFIX_PATH="$usr" -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF \
      -DCMAKE_BUILD_TYPE=Release > "$work/cmake.log" 2>&1 ||
  { cat "$work/cmake.log"; fail "find_package(lantrel) against the extracted packages failed"; }
cmake --build "$work/cmake" >> "$work/cmake.log" 2>&1 || { cat "$work/cmake.log"; fail "the find_package consumer did not build"; }
"$work/cmake/consumer" $expect || fail "the find_package consumer failed"

export PKG_CONFIG_LIBDIR=$usr/$libdir/pkgconfig PKG_CONFIG_PATH=$usr/$libdir/pkgconfig
# shellcheck disable=SC2046
"$cc" -std=c99 -Wall -Wextra -Wpedantic -Werror $(pkg-config --cflags lantrel) "$here/consumer/main.c" \
      -o "$work/consumer_c" -Wl,-rpath,"$(pkg-config --variable=libdir lantrel)" $(pkg-config --libs lantrel) ||
  fail "the pkg-config consumer did not build against the extracted packages"
"$work/consumer_c" $expect || fail "the pkg-config consumer failed"
echo "ok: the extracted packages work"
