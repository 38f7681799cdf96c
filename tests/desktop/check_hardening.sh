#!/usr/bin/env bash
# Reads a built executable and checks its hardening, one row a property.
#   check_hardening.sh elf PROGRAM FORTIFY_WITNESS [unoptimised]   (readelf)
#   check_hardening.sh pe PROGRAM.exe OBJDUMP         (MinGW's objdump -p and -h)
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
    objdump=$3
    characteristics=$("$objdump" -p "$program" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
    row "ASLR (DYNAMIC_BASE)" grep -q 'DYNAMIC_BASE' <<<"$characteristics"
    row "high-entropy addresses (HIGH_ENTROPY_VA)" grep -q 'HIGH_ENTROPY_VA' <<<"$characteristics"
    row "DEP (NX_COMPAT)" grep -q 'NX_COMPAT' <<<"$characteristics"
    # objdump -h: a section's flags are on the line after its name; code must be read-only.
    row "no writable and executable section" bash -c "! '$objdump' -h '$program' | grep -E 'CODE' | grep -vq 'READONLY'"
else
    echo "usage: check_hardening.sh elf PROGRAM WITNESS | pe PROGRAM OBJDUMP" >&2
    exit 2
fi
korvane_finish hardening
