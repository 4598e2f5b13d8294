#!/bin/sh
# Checks that XLATCP.dll exports its six functions without names and that a program built against its
# import library imports them by ordinal.   check-ordinal-binding.sh OBJDUMP XLATCP.dll PROGRAM.exe
set -u
objdump=$1 dll=$2 program=$3
status=0

exports=$("$objdump" -p "$dll") || exit 2
# The name table lists "[index] name" lines below its heading; NONAME leaves it empty.
names=$(printf '%s\n' "$exports" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -c '^[[:space:]][[:space:]]*\[' || true)
if [ "$names" -ne 0 ]; then
    echo "XLATCP.dll exports $names names"; status=1
fi
for ordinal in 15 16 17 49 50 52; do
    printf '%s\n' "$exports" | grep -Eq "\+base\[[[:space:]]*$ordinal\]" ||
        { echo "XLATCP.dll does not export ordinal $ordinal"; status=1; }
done

# An import by ordinal has the top bit of its 64-bit lookup entry set and no member name.
imports=$("$objdump" -p "$program" | sed -n '/DLL Name: XLATCP.dll/,/^$/p')
[ -n "$imports" ] || { echo "$program does not import XLATCP.dll"; exit 1; }
entries=$(printf '%s\n' "$imports" | grep -Ec '^[[:space:]]*[0-9a-f]{16}[[:space:]]' || true)
by_ordinal=$(printf '%s\n' "$imports" | grep -Ec '^[[:space:]]*8[0-9a-f]{15}[[:space:]].*<none>' || true)
if [ "$entries" -eq 0 ] || [ "$by_ordinal" -ne "$entries" ]; then
    echo "$program imports XLATCP.dll by name:"; printf '%s\n' "$imports"; status=1
fi
exit $status
