#!/bin/bash
# Checks the shipped 32-bit image against what it must be, with the MinGW binutils' objdump:
# PE32, Windows GUI subsystem, base relocations present, the dialogs, menu, bitmaps, cursor, icon, version
# information (0.4, product name) and manifest present, no imported DLL outside the list below, and the same
# imported DLLs and functions as the 64-bit build of the same sources (apart from what the two C runtimes start up
# with). Prints one line per finding; exit status 1 on any.
#
#   scripts/check-image.sh I686-IMAGE X86_64-IMAGE
set -u
if [ $# -ne 2 ]; then
    echo "usage: $0 I686-IMAGE X86_64-IMAGE" >&2
    exit 2
fi
image="$1"
reference="$2"
faults=0
fault() {
    echo "check-image: $image: $*"
    faults=$((faults + 1))
}

# The DLLs the image may import. Windows' known DLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\
# KnownDLLs; those Windows 7 to 11 all list) are taken from the system folder whatever the search order, and
# COMCTL32.DLL from the side-by-side store, where the manifest's dependency on Common Controls 6 sends it first.
# Any other DLL would be looked for in the program's own folder first: load it from the system folder at run time.
allowed_dlls="ADVAPI32.DLL CLBCATQ.DLL COMDLG32.DLL GDI32.DLL IMAGEHLP.DLL IMM32.DLL KERNEL32.DLL MSCTF.DLL
    MSVCRT.DLL NORMALIZ.DLL NSI.DLL OLE32.DLL OLEAUT32.DLL PSAPI.DLL RPCRT4.DLL SECHOST.DLL SETUPAPI.DLL SHELL32.DLL
    SHLWAPI.DLL USER32.DLL WLDAP32.DLL WS2_32.DLL
    COMCTL32.DLL"

headers="$(i686-w64-mingw32-objdump -p "$image" 2>&1)" || { echo "check-image: $image: not readable: $headers"; exit 1; }

grep -q "^Magic[[:space:]]*010b[[:space:]]*(PE32)" <<<"$headers" || fault "not a PE32 image"
grep -q "^Subsystem[[:space:]]*00000002[[:space:]]*(Windows GUI)" <<<"$headers" || fault "not a Windows GUI program"
grep -Eq "^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory" <<<"$headers" ||
    fault "no base relocations"

# Resources as "type/id" pairs: the type table's entries and, under each, the names' entries.
resources() {
    sed -n '/^The .rsrc Resource Directory section:/,$p' <<<"$1" | awk '
        /^[0-9a-f]+   Entry: ID: /   { type = $4; next }
        /^[0-9a-f]+     Entry: ID: / { print type, $4 }' | tr -d , |
        while read -r type id; do echo "$((type))/$((id))"; done | sort -u
}
present="$(resources "$headers")"
# 1 cursor, 2 bitmap, 3 icon, 4 menu, 5 dialog, 12 cursor group, 14 icon group, 16 version, 24 manifest.
for resource in 5/100 5/102 5/132 5/138 4/137 2/130 2/136 12/139 14/128 14/140 16/1 24/1; do
    grep -qx "$resource" <<<"$present" || fault "resource $resource (type/id) missing"
done
# The version resource's fixed part (signature, structure version 1.0, file and product version 0.4.0.0)
# and its product name, in the UTF-16 the resource holds.
utf16() { printf '%s' "$1" | sed 's/./&\\x00/g'; }
LC_ALL=C grep -qaP '\xbd\x04\xef\xfe\x00\x00\x01\x00(\x04\x00\x00\x00\x00\x00\x00\x00){2}' "$image" ||
    fault "no file and product version 0.4.0.0"
LC_ALL=C grep -qaP "$(utf16 ProductName)(\\x00\\x00){1,2}$(utf16 XirARP)\\x00\\x00" "$image" ||
    fault "no product name XirARP"

# Imports as "DLL function". GetWindowLongPtr and friends are macros for the plain names on 32-bit Windows.
imports() {
    "$1" -p "$2" | awk '
        /DLL Name:/ { dll = toupper($3); next }
        dll && /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ { print dll, $3 }' |
        sed -E 's/ (Get|Set)(Window|Class)LongPtr([AW])$/ \1\2Long\3/' | sort -u
}
# What only one C runtime's start-up imports: the C library's own entries, the 32-bit runtime's lookup
# of its frame registration, and the 64-bit structured exception handler.
runtime_only='^(MSVCRT\.DLL .*|KERNEL32\.DLL (FreeLibrary|GetModuleHandleA|GetProcAddress|LoadLibraryA|__C_specific_handler))$'
ours="$(imports i686-w64-mingw32-objdump "$image" | grep -Ev "$runtime_only")"
theirs="$(imports x86_64-w64-mingw32-objdump "$reference" | grep -Ev "$runtime_only")"
[ -n "$theirs" ] || fault "no imports read from the 64-bit reference $reference"
while read -r line; do
    [ -n "$line" ] && fault "imports $line, which the 64-bit build does not"
done < <(comm -23 <(echo "$ours") <(echo "$theirs"))
while read -r line; do
    [ -n "$line" ] && fault "does not import $line, which the 64-bit build does"
done < <(comm -13 <(echo "$ours") <(echo "$theirs"))
while read -r dll; do
    grep -qw "$dll" <<<"$allowed_dlls" ||
        fault "imports $dll, which is no known DLL: Windows would look for it in the program's folder first"
done < <(awk '/DLL Name:/ { print toupper($3) }' <<<"$headers" | sort -u)
for dll in MSVCRT.DLL; do
    imports i686-w64-mingw32-objdump "$image" | grep -q "^$dll " || fault "does not import $dll"
done

[ "$faults" -eq 0 ] && echo "check-image: $image: PE32, GUI, relocated, resources present, imports known DLLs as the 64-bit build"
[ "$faults" -eq 0 ]
