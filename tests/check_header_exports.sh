#!/bin/sh
# SPDX-License-Identifier: MIT
# The driver's API is exactly the functions listed in API_LIST: the public
# header declares each of them and nothing else, and the library exports each
# of them and nothing else under the ZEVRA_ prefix.
# usage: check_header_exports.sh HEADER LIBRARY API_LIST
header=$1
lib=$2
list=$3
declared=$(grep -o 'ZEVRA_API ViStatus ZEVRA_[A-Za-z0-9_]*' "$header" | awk '{print $3}' | sort -u)
exported=$(nm -D --defined-only "$lib" | awk '$2 == "T" {print $3}' | sed 's/@.*//' | grep '^ZEVRA_' | sort -u)
expected=$(sort -u "$list")
status=0
compare() {
  what=$1
  names=$2
  missing=$(printf '%s\n' "$expected" | grep -vxF "$(printf '%s\n' "$names")")
  extra=$(printf '%s\n' "$names" | grep -vxF "$(printf '%s\n' "$expected")")
  [ -n "$missing" ] && { echo "not $what:"; printf '  %s\n' $missing; status=1; }
  [ -n "$extra" ] && { echo "$what but not in the API list:"; printf '  %s\n' $extra; status=1; }
}
compare declared "$declared"
compare exported "$exported"
[ $status -eq 0 ] && echo "$(printf '%s\n' "$expected" | wc -l) functions: declared, exported, nothing else"
exit $status
