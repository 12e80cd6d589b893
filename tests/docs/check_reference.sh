#!/usr/bin/env bash
# The API reference builds without a single Doxygen warning, and every public header takes part
# in it (a header without a \file block would keep its free functions out of the check).
# Usage: check_reference.sh <doxygen> <Doxyfile> <include/lantrel> <output folder>
set -euo pipefail
doxygen=$1 doxyfile=$2 headers=$3 output=$4
status=0
for h in "$headers"/*.h "$headers"/*.hpp; do
  [ -e "$h" ] || continue
  grep -qE '^(///|/\*\*) *\\file' "$h" || { echo "FAIL: $(basename "$h") has no \\file documentation block"; status=1; }
done
rm -rf "$output"
mkdir -p "$output"
if ! "$doxygen" "$doxyfile" > "$output/doxygen.log" 2>&1 || [ -s "$output/warnings.log" ]; then
  echo "FAIL: Doxygen reported problems in the public headers:"
  cat "$output/warnings.log" "$output/doxygen.log" 2>/dev/null | head -60
  status=1
fi
[ -f "$output/html/index.html" ] || { echo "FAIL: no $output/html/index.html"; status=1; }
[ $status -eq 0 ] && echo "ok: API reference in $output/html/index.html, no warnings"
exit $status
