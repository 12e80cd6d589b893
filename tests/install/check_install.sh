#!/usr/bin/env bash
# Installed-tree checks, run by CTest (tests/install/tests.cmake). Every mode works in its own
# folder under <work> and says plainly what is missing when it fails.
#
#   check_install.sh tree      <build> <work>   install the build tree into <work>/prefix
#   check_install.sh cmake     <build> <work> shared|static   C++17 consumer with find_package
#   check_install.sh pkgconfig <build> <work> shared|static   C99 consumer with pkg-config
#   check_install.sh moved     <build> <work>   install, move the prefix, find the data there
#
# Exit status 77 means "skipped" (the reference data file was not built).
set -euo pipefail
# Long outputs are matched from here-strings, not piped into grep -q: grep leaves at the first
# match, and under pipefail the writer it cut off would fail the check.
mode=$1
build=$(cd "$2" && pwd)
work=$3
here=$(cd "$(dirname "$0")" && pwd)
prefix=$work/prefix
generator=$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$build/CMakeCache.txt")
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
cc=$(sed -n 's/^CMAKE_C_COMPILER:[A-Z]*=//p' "$build/CMakeCache.txt")
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
libdir=${libdir:-lib}

fail() { echo "FAIL: $*" >&2; exit 1; }
data_built() { [ -f "$build/bin/lantrel.bin" ]; }

# Installs the build tree into $1 and checks that every piece is there.
install_tree() {
  local root=$1
  rm -rf "$root"
  cmake --install "$build" --prefix "$root" > "$root.log" 2>&1 ||
    { cat "$root.log"; fail "cmake --install into $root failed"; }
  local f
  for f in "$libdir/liblantrel.so" "$libdir/liblantrel.a" "$libdir/cmake/lantrel/lantrelConfig.cmake" \
           "$libdir/cmake/lantrel/lantrelConfigVersion.cmake" "$libdir/cmake/lantrel/lantrelTargets.cmake" \
           "$libdir/pkgconfig/lantrel.pc" include/lantrel/lantrel.h include/lantrel/lantrel.hpp \
           "$libdir/lantrel/vector.so" bin/lantrel share/man/man1/lantrel.1; do
    [ -e "$root/$f" ] || fail "the installed tree lacks $f"
  done
  ls "$root/$libdir"/liblantrel.so.[0-9]* > /dev/null 2>&1 || fail "the installed tree lacks liblantrel.so.<major>"
  version_rule "$root"
  if data_built && [ ! -f "$root/share/lantrel/lantrel.bin" ]; then
    fail "the data file was built but not installed to share/lantrel/lantrel.bin"
  fi
}

# The package version file meets the requests of releases sharing this SONAME and no others.
version_rule() {
  local dir=$1/$libdir/cmake/lantrel version first abi
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
  first=$(sed -n 's/^set(_lantrel_abi_first "\(.*\)")$/\1/p' "$dir/lantrelConfigVersion.cmake")
  abi=$(sed -n 's/^set(lantrel_ABI_VERSION \(.*\))$/\1/p' "$dir/lantrelConfig.cmake")
  grep -q "(SONAME).*\[liblantrel\.so\.$abi\]" <<< "$(readelf -dW "$1/$libdir/liblantrel.so")" ||
    fail "lantrelConfig.cmake says interface $abi, the installed library's SONAME differs"
  local request expected got
  # request (empty: none; a...b: a range) and whether it is met
  for pair in ":TRUE" "$version:TRUE" "$first:TRUE" "0.1:FALSE" "${first%%.*}.0:FALSE" \
              "$version.1:FALSE" "$((${version%%.*} + 1)).0:FALSE" "0.1...$version:TRUE" \
              "0.1...<$version:FALSE"; do
    request=${pair%:*} expected=${pair##*:}
    got=$(cmake -DPACKAGE_FIND_VERSION_REQUEST="$request" -DFILE="$dir/lantrelConfigVersion.cmake" \
                -P "$here/version_request.cmake" 2>&1) || fail "version check failed: $got"
    [ "$got" = "$expected" ] || fail "a request for '$request' gives compatible=$got, expected $expected"
  done
}

# Builds the C++17 consumer against the tree at $1 (shared or static) into $2 and runs it.
cmake_consumer() {
  local root=$1 out=$2 kind=$3 expect=""
  rm -rf "$out"
  local static=OFF
  [ "$kind" = static ] && static=ON
  cmake -S "$here/consumer" -B "$out" -G "$generator" -DCMAKE_CXX_COMPILER="$cxx" \
        -DCMAKE_PREFIX_PATH="$root" -DCMAKE_BUILD_TYPE=Release -DCONSUMER_STATIC=$static \
        > "$out.log" 2>&1 || { cat "$out.log"; fail "find_package(lantrel 3.23) against $root failed"; }
  cmake --build "$out" >> "$out.log" 2>&1 || { cat "$out.log"; fail "the $kind C++17 consumer did not build"; }
  if [ "$kind" = static ] && grep -q 'NEEDED.*liblantrel' <<< "$(readelf -d "$out/consumer")"; then
    fail "the consumer linked with lantrel::lantrel_static depends on liblantrel.so"
  fi
  if [ "$kind" = shared ] && ! grep -q 'NEEDED.*liblantrel\.so\.' <<< "$(readelf -d "$out/consumer")"; then
    fail "the consumer linked with lantrel::lantrel does not load liblantrel.so.<major>"
  fi
  [ -f "$root/share/lantrel/lantrel.bin" ] && expect=expect-data
  # A program with the library linked in looks for the data from its own folder: it runs from
  # the tree's bin/, as an installed program would. One linked with liblantrel.so may be anywhere.
  local program=$out/consumer
  if [ "$kind" = static ]; then
    program=$root/bin/consumer_cxx_static
    cp "$out/consumer" "$program"
  fi
  local output
  output=$("$program" $expect) || { echo "$output"; fail "the $kind C++17 consumer failed"; }
  [ "$kind" = static ] && rm -f "$program"
  echo "$output"
  if [ -n "$expect" ] && ! grep -q "data file $root/share/lantrel/lantrel.bin" <<< "$output"; then
    fail "the consumer did not take the data file of its own tree ($root/share/lantrel/)"
  fi
}

# Builds the C99 consumer with pkg-config against the tree at $1 into the program $2.
pkgconfig_consumer() {
  local root=$1 program=$2 kind=$3
  export PKG_CONFIG_PATH=$root/$libdir/pkgconfig
  export PKG_CONFIG_LIBDIR=$PKG_CONFIG_PATH
  pkg-config --exists lantrel || fail "pkg-config does not find lantrel.pc in $PKG_CONFIG_PATH"
  local version
  version=$(pkg-config --modversion lantrel)
  [ "$version" = "$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")" ] ||
    fail "lantrel.pc says version $version"
  [ "$(cd "$(pkg-config --variable=libdir lantrel)" && pwd -P)" = "$(cd "$root/$libdir" && pwd -P)" ] ||
    fail "lantrel.pc's libdir $(pkg-config --variable=libdir lantrel) is not in $root"
  mkdir -p "$(dirname "$program")"
  if [ "$kind" = static ]; then
    # Libs.private must name everything a static link needs beyond liblantrel.a.
    # shellcheck disable=SC2046
    "$cc" -std=c99 -Wall -Wextra -Wpedantic -Werror $(pkg-config --cflags lantrel) \
          "$here/consumer/main.c" -o "$program" -static $(pkg-config --static --libs lantrel) \
          2> "$program.log" || { cat "$program.log"; fail "static link with pkg-config --static --libs failed"; }
  else
    # shellcheck disable=SC2046
    "$cc" -std=c99 -Wall -Wextra -Wpedantic -Werror $(pkg-config --cflags lantrel) \
          "$here/consumer/main.c" -o "$program" -Wl,-rpath,'$ORIGIN/../'"$libdir" \
          $(pkg-config --libs lantrel) 2> "$program.log" ||
          { cat "$program.log"; fail "shared link with pkg-config --libs failed"; }
  fi
}

run_c() {
  local program=$1 root=$2 expect=""
  [ -f "$root/share/lantrel/lantrel.bin" ] && expect=expect-data
  "$program" $expect || fail "$(basename "$program") failed in $root"
}

mkdir -p "$work"
case $mode in
  tree)
    install_tree "$prefix"
    echo "ok: installed into $prefix"
    ;;
  cmake)
    [ -f "$prefix/$libdir/cmake/lantrel/lantrelConfig.cmake" ] || fail "no installed tree in $prefix (install.Tree)"
    cmake_consumer "$prefix" "$work/cmake-$4" "$4"
    ;;
  pkgconfig)
    [ -f "$prefix/$libdir/pkgconfig/lantrel.pc" ] || fail "no installed tree in $prefix (install.Tree)"
    # The program goes into the tree's bin/ so that $ORIGIN/../$libdir reaches the library.
    pkgconfig_consumer "$prefix" "$work/pkgconfig-$4/bin/consumer_c" "$4"
    if [ "$4" = static ] && grep -q NEEDED <<< "$(readelf -d "$work/pkgconfig-$4/bin/consumer_c" 2>/dev/null)"; then
      fail "the static C consumer still loads shared libraries"
    fi
    cp "$work/pkgconfig-$4/bin/consumer_c" "$prefix/bin/consumer_c_$4"
    run_c "$prefix/bin/consumer_c_$4" "$prefix"
    rm -f "$prefix/bin/consumer_c_$4"
    ;;
  moved)
    if ! data_built; then
      echo "SKIP: the reference data file was not built (its sources are absent), so there is no data to find after the move"
      exit 77
    fi
    first=$work/moved/first
    second=$work/moved/second
    rm -rf "$work/moved"
    mkdir -p "$work/moved"
    install_tree "$first"
    pkgconfig_consumer "$first" "$first/bin/consumer_c_shared" shared
    pkgconfig_consumer "$first" "$first/bin/consumer_c_static" static
    mv "$first" "$second"
    # Nothing may still point at the first place.
    [ ! -e "$first" ] || fail "$first still exists"
    info=$("$second/bin/lantrel" info) || fail "the moved tool does not run"
    grep -q "Data file: $second/share/lantrel/lantrel.bin" <<< "$info" ||
      { echo "$info"; fail "the moved tool does not find $second/share/lantrel/lantrel.bin"; }
    echo "-84.8733 38.2009" | "$second/bin/lantrel" locate | grep -q Franklin ||
      fail "the moved tool does not locate Frankfort in Franklin County"
    printf 'x,y\n-84.8733,38.2009\n' > "$work/moved/wells.csv"
    if grep -q 'NEEDED.*libgdal' <<< "$(readelf -dW "$build/$libdir/lantrel/vector.so")"; then
      "$second/bin/lantrel" locate -o "$work/moved/wells.geojson" "$work/moved/wells.csv" ||
        fail "the moved tool does not find its vector file module"
    else
      # A build without GDAL: the module found says so itself.
      ! err=$("$second/bin/lantrel" locate -o "$work/moved/wells.geojson" "$work/moved/wells.csv" 2>&1) &&
        grep -q "built without GDAL" <<< "$err" ||
        fail "the moved tool without GDAL does not say so through its vector file module: $err"
    fi
    run_c "$second/bin/consumer_c_shared" "$second"
    run_c "$second/bin/consumer_c_static" "$second"
    cmake_consumer "$second" "$work/moved/cmake" shared
    echo "ok: the tree moved from $first to $second still finds its data file"
    ;;
  *)
    fail "unknown mode $mode"
    ;;
esac
