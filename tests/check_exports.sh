#!/bin/sh
# SPDX-License-Identifier: MIT
# Fails when a shared library exports a name outside its API prefix.
# usage: check_exports.sh LIBRARY PREFIX
lib=$1
prefix=$2
names=$(nm -D --defined-only "$lib" | awk '$2 ~ /^[TDBRVWiu]$/ {print $3}' | sed 's/@.*//')
[ -n "$names" ] || { echo "no exported names in $lib"; exit 1; }
bad=$(printf '%s\n' "$names" | grep -v "^$prefix" || true)
if [ -n "$bad" ]; then
  echo "$lib exports names outside '$prefix':"
  printf '%s\n' "$bad"
  exit 1
fi
echo "$lib: $(printf '%s\n' "$names" | wc -l) names, all '$prefix*'"
