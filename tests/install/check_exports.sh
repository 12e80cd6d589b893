#!/usr/bin/env bash
# The shared library exports the C interface and the public C++ API and nothing else:
#   - every exported C symbol starts with lantrel_, and every function lantrel.h declares is
#     exported;
#   - every exported C++ symbol belongs to namespace lantrel (type information and virtual
#     tables included), and none to its internal namespaces (detail, automation, cli).
# Usage: check_exports.sh <liblantrel.so> <lantrel.h>
set -euo pipefail
library=$1
header=$2
[ -f "$library" ] || { echo "FAIL: shared library $library not found"; exit 1; }
[ -f "$header" ] || { echo "FAIL: C header $header not found"; exit 1; }

exported=$(nm -D --defined-only "$library" | awk '{print $3}')
[ -n "$exported" ] || { echo "FAIL: $library exports nothing"; exit 1; }
demangled=$(printf '%s\n' "$exported" | c++filt)

bad=$(paste <(printf '%s\n' "$exported") <(printf '%s\n' "$demangled") | awk -F'\t' '
  {
    mangled = $1; name = $2
    if (mangled !~ /^_Z/) { if (name !~ /^lantrel_/) print name; next }
    sub(/^(typeinfo name for|typeinfo for|vtable for) /, "", name)
    if (name !~ /^lantrel::/ || name ~ /^lantrel::(detail|automation|cli)::/) print $2
  }')
status=0
if [ -n "$bad" ]; then
  echo "FAIL: symbols exported that are not part of the public interface:"
  printf '  %s\n' "$bad" | head -50
  status=1
fi

# Every C function declared in the header must be exported.
declared=$(grep -oE '\blantrel_[a-z0-9_]+\(' "$header" | sed -E 's/\($//' | sort -u)
missing=$(comm -23 <(printf '%s\n' "$declared") <(printf '%s\n' "$exported" | sort -u))
if [ -n "$missing" ]; then
  echo "FAIL: functions declared in $(basename "$header") but not exported:"
  printf '  %s\n' "$missing"
  status=1
fi
count_c=$(printf '%s\n' "$exported" | grep -c '^lantrel_' || true)
count_cxx=$(printf '%s\n' "$exported" | grep -c '^_Z' || true)
[ $status -eq 0 ] && echo "ok: $count_c C functions and $count_cxx C++ symbols exported, all public"
exit $status
