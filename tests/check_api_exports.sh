#!/bin/sh
# SPDX-License-Identifier: MIT
# The driver library exports exactly the functions of the API list (the one the
# header is generated from): each of them, and nothing else under ZEVRA_.
# usage: check_api_exports.sh LIBRARY API_LIST
lib=$1
list=$2
exported=$(nm -D --defined-only "$lib" | awk '$2 == "T" {print $3}' | sed 's/@.*//' | grep '^ZEVRA_' | sort -u)
expected=$(sort -u "$list")
[ -n "$expected" ] || { echo "the API list $list is empty"; exit 1; }
status=0
missing=$(printf '%s\n' "$expected" | grep -vxF "$exported")
extra=$(printf '%s\n' "$exported" | grep -vxF "$expected")
[ -n "$missing" ] && { echo "not exported:"; printf '  %s\n' $missing; status=1; }
[ -n "$extra" ] && { echo "exported but not in the API list:"; printf '  %s\n' $extra; status=1; }
[ $status -eq 0 ] && echo "$(printf '%s\n' "$expected" | wc -l) functions exported, nothing else"
exit $status
