#!/usr/bin/env bash
# The API reference builds without a single Doxygen warning, and every public header takes part
# in it (a header without a \file block would keep its free functions out of the check). Its
# index names the position, the array and batch classes, and links every guide of docs/.
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
index=$output/html/index.html
if [ -f "$index" ]; then
  for class in ZrGeoPosition Transformer Locator; do
    grep -q "href=\"classlantrel_1_1$class.html\"" "$index" || { echo "FAIL: the index does not link lantrel::$class"; status=1; }
  done
  grep -q 'GridFactors' "$index" || { echo "FAIL: the index does not name lantrel::GridFactors"; status=1; }
  for guide in "$headers"/../../docs/*.md; do
    name=$(basename "$guide" .md)
    [ "$name" = reference ] && continue
    grep -q "docs_$name\.html\"" "$index" || { echo "FAIL: the index does not link the guide docs/$name.md"; status=1; }
  done
else
  echo "FAIL: no $index"
  status=1
fi
[ $status -eq 0 ] && echo "ok: API reference in $output/html/index.html, no warnings"
exit $status
