#!/usr/bin/env bash
# The floors check itself: the tree as it is passes, and each kind of forbidden include
# added to a scratch copy of one of its files fails with a line naming the file and the
# header.
# Usage: check_floors_test.sh CHECK SRC
set -uo pipefail
check=$1
src=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
if ! out=$("$check" "$src" 2>&1); then
    echo "the tree itself fails the check:"
    echo "$out"
    failures=1
fi

# file below src/ | the line added to it | what the fault line must say
cases=(
    'controls/form.cpp|#include "controls/qt/buttons.h"|private to controls/qt/'
    'controls/form.cpp|#include "controls/win32/controls.h"|private to controls/win32/'
    'app/options_form.cpp|#include "controls/qt/application.h"|private to controls/qt/'
    'tools/main.cpp|#include "controls/win32/toolkit.h"|private to controls/win32/'
    'settings/registry_accessor.cpp|#include "platform/portable/dos_path.h"|private to platform/'
    'sysutil/message_pump.cpp|#include "settings/store_values.h"|from a higher floor'
    'imaging/bitmap.cpp|#include "archive/archive.h"|from another folder of its floor'
    'archive/archive.cpp|#include <QString>|a Qt header'
    'imaging/bitmap.cpp|#include <windows.h>|a Win32 header'
)
for entry in "${cases[@]}"; do
    IFS='|' read -r file line expected <<<"$entry"
    rm -rf "$scratch/src"
    mkdir -p "$scratch/src/$(dirname "$file")"
    cp "$src/$file" "$scratch/src/$file"
    printf '%s\n' "$line" >>"$scratch/src/$file"
    out=$("$check" "$scratch/src" 2>&1)
    status=$?
    if ((status != 1)) || ! grep -qF "src/$file: " <<<"$out" || ! grep -qF "$expected" <<<"$out"; then
        echo "not refused as '$expected': $line in $file (exit $status):"
        echo "$out"
        failures=$((failures + 1))
    fi
done
if ((failures)); then
    echo "check_floors_test: $failures failure(s)"
    exit 1
fi
echo "check_floors_test: ${#cases[@]} forbidden includes refused"
