#!/usr/bin/env bash
# Reads a built executable and checks its hardening, one row a property.
#   check_hardening.sh elf PROGRAM FORTIFY_WITNESS [unoptimised]   (readelf)
#   check_hardening.sh pe PROGRAM.exe OBJDUMP IMPORTS  (MinGW's objdump -p and -h)
# IMPORTS lists, as DLL!function, what Windows 7 SP1 is known to export of the functions
# Korvane may import: anything newer must be looked up at run time instead.
# Korvane itself calls no libc function that fortification rewrites (its one candidate,
# the timer's read(), has a size known when compiling), so whether _FORTIFY_SOURCE was on is
# read from FORTIFY_WITNESS, a program of the project built with the same flags that prints.
# An unoptimised (Debug) build has no fortification: the compiler cannot apply it at -O0.
set -uo pipefail
kind=$1 program=$2
source "$(dirname "${BASH_SOURCE[0]}")/../support/checks.sh"

if [ "$kind" = elf ]; then
    witness=$3
    header=$(readelf -hW "$program") dynamic=$(readelf -dW "$program")
    segments=$(readelf -lW "$program") symbols=$(readelf --dyn-syms -W "$program")
    row "position-independent executable" grep -q 'Type: *DYN (Position-Independent' <<<"$header"
    row "full RELRO" grep -q 'GNU_RELRO' <<<"$segments"
    row "immediate binding" grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic"
    row "stack protector" grep -q ' __stack_chk_fail' <<<"$symbols"
    row "no executable stack" grep -Eq 'GNU_STACK( +0x[0-9a-f]+){5} RW ' <<<"$segments"
    unprotected='( |__)(printf|fprintf|sprintf|snprintf|vfprintf|vsnprintf|strcpy|strcat)@'
    if [ "${4:-}" = unoptimised ]; then
        echo "fortified libc calls: not in an unoptimised build"
    else
        row "no unfortified libc call" bash -c "! readelf --dyn-syms -W '$program' '$witness' | grep -Eq '$unprotected'"
        row "fortified libc calls" grep -Eq ' __[a-z]+_chk@' <<<"$(readelf --dyn-syms -W "$witness")"
    fi
elif [ "$kind" = pe ]; then
    objdump=$3 known=$4
    headers=$("$objdump" -p "$program")
    characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
    row "ASLR (DYNAMIC_BASE)" grep -q 'DYNAMIC_BASE' <<<"$characteristics"
    if grep -q '^Magic.*(PE32+)' <<<"$headers"; then
        row "high-entropy addresses (HIGH_ENTROPY_VA)" grep -q 'HIGH_ENTROPY_VA' <<<"$characteristics"
    else
        echo "high-entropy addresses: none in a 32-bit program"
        row "all 4 GiB on 64-bit Windows (LARGE_ADDRESS_AWARE)" grep -q 'large address aware' <<<"$headers"
    fi
    row "DEP (NX_COMPAT)" grep -q 'NX_COMPAT' <<<"$characteristics"
    # The import table: "DLL Name: X" heads each DLL's functions, one a line that starts with
    # its address and ends with its name (binutils 2.40 and 2.44 put other columns between).
    imports=$(awk '/DLL Name:/ { dll = tolower($3); next }
                   /^[ \t]*$/ { dll = "" }
                   dll != "" && /^\t[0-9a-f]+[ \t]/ { print dll "!" $NF }' <<<"$headers" | sort -u)
    row "imports some functions (the table is read)" grep -q '^user32.dll!CreateWindowExW$' <<<"$imports"
    unknown=$(grep -vxF -f <(grep -v '^#' "$known") <<<"$imports")
    row "imports only what Windows 7 SP1 has" test -z "$unknown"
    [ -z "$unknown" ] || sed 's/^/  not known on Windows 7 SP1: /' <<<"$unknown"
    # objdump -h: a section's flags are on the line after its name; code must be read-only.
    row "no writable and executable section" bash -c "! '$objdump' -h '$program' | grep -E 'CODE' | grep -vq 'READONLY'"
else
    echo "usage: check_hardening.sh elf PROGRAM WITNESS | pe PROGRAM OBJDUMP IMPORTS" >&2
    exit 2
fi
korvane_finish hardening
