#!/bin/sh
# zeko.dll (or KQ_Tools.exe, which exports them too) exports exactly the six functions and needs
# nothing but system DLLs; the example program, when given, takes them from zeko.dll.
# usage: dll_exports_test.sh ZEKO_DLL|KQ_TOOLS_EXE [EXAMPLE_EXE]
set -eu
OBJDUMP=x86_64-w64-mingw32-objdump
SYSTEM_DLLS=" kernel32.dll user32.dll gdi32.dll comctl32.dll winmm.dll msvcrt.dll "
NAME="$(basename "$1")"
EXPECTED="ZEKO_close ZEKO_get ZEKO_initial ZEKO_reconnect ZEKO_set ZEKO_super_command"

exports="$("$OBJDUMP" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ' | sed 's/ $//')"
if [ "$exports" != "$EXPECTED" ]; then
    echo "$NAME exports: $exports"
    echo "expected:         $EXPECTED"
    exit 1
fi

for dll in $("$OBJDUMP" -p "$1" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case "$SYSTEM_DLLS" in
        *" $dll "*) ;;
        *) echo "$NAME needs $dll, not a system DLL"; exit 1 ;;
    esac
done

if [ $# -gt 1 ] && ! "$OBJDUMP" -p "$2" | grep -q 'DLL Name: zeko.dll'; then
    echo "$2 does not import zeko.dll"
    exit 1
fi
echo "$NAME: $exports"
