#!/bin/sh
# check-windows-executables.sh 32|64 EXE...
# Checks that each given .exe is a Windows console program of that bitness
# (32: PE32 for x86, 64: PE32+ for x64) that needs no DLL beside it: it may
# import only DLLs that every Windows has. The RFC library is loaded when the
# sensor runs, never imported; and no librfc32.dll or sapnwrfc.dll (the
# simulated ones of the tests) may lie beside a product executable.
allowed="kernel32.dll msvcrt.dll"
case "$1" in
  32) magic="PE32" ;;
  64) magic="PE32+" ;;
  *) echo "usage: $0 32|64 EXE..."; exit 2 ;;
esac
bits=$1
shift
status=0
for exe in "$@"; do
  # The x86-64 objdump reads the images of both architectures.
  if ! headers=$(x86_64-w64-mingw32-objdump -p "$exe"); then
    status=1
    continue
  fi
  fault=""
  echo "$headers" | grep -qF "($magic)" || fault="$fault; not a $bits-bit ($magic) program"
  echo "$headers" | grep -q "^Subsystem.*(Windows CUI)$" || fault="$fault; not a console program"
  dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    case " $allowed " in
      *" $dll "*) ;;
      *) fault="$fault; imports $dll, which would have to be shipped beside it" ;;
    esac
  done
  for dll in "$(dirname "$exe")"/librfc32*.dll "$(dirname "$exe")"/sapnwrfc*.dll \
    "$(dirname "$exe")"/libsapucum*.dll "$(dirname "$exe")"/icuuc50.dll "$(dirname "$exe")"/msvcr120.dll; do
    [ -e "$dll" ] && fault="$fault; $(basename "$dll") lies beside it"
  done
  if [ -n "$fault" ]; then
    echo "$exe:${fault#;}"
    status=1
  else
    echo "$exe: $bits-bit console program, imports only" $dlls
  fi
done
exit $status
