#!/bin/sh
# Every function the public header declares is exported by the library, and
# the library exports nothing the header does not declare.
# usage: check_header_exports.sh HEADER LIBRARY
header=$1
lib=$2
declared=$(grep -o 'ZEVRA_API ViStatus ZEVRA_[A-Za-z0-9_]*' "$header" | awk '{print $3}' | sort -u)
exported=$(nm -D --defined-only "$lib" | awk '$2 == "T" {print $3}' | sed 's/@.*//' | sort -u)
status=0
for name in $declared; do
  printf '%s\n' "$exported" | grep -qx "$name" || { echo "declared but not exported: $name"; status=1; }
done
for name in $exported; do
  printf '%s\n' "$declared" | grep -qx "$name" || { echo "exported but not declared: $name"; status=1; }
done
[ $status -eq 0 ] && echo "$(printf '%s\n' "$declared" | wc -l) functions declared and exported"
exit $status
