#!/bin/sh
# Checks that each given .exe is a 32-bit Windows console program that needs
# no DLL beside it: it may import only DLLs that every Windows has. The RFC
# library is loaded when the sensor runs, never imported; and no librfc32.dll
# (the simulated one of the tests) may lie beside a product executable.
allowed="kernel32.dll msvcrt.dll"
status=0
for exe in "$@"; do
  if ! headers=$(i686-w64-mingw32-objdump -p "$exe"); then
    status=1
    continue
  fi
  fault=""
  echo "$headers" | grep -q "^Magic.*(PE32)$" || fault="$fault; not a 32-bit (PE32) program"
  echo "$headers" | grep -q "^Subsystem.*(Windows CUI)$" || fault="$fault; not a console program"
  dlls=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  for dll in $dlls; do
    case " $allowed " in
      *" $dll "*) ;;
      *) fault="$fault; imports $dll, which would have to be shipped beside it" ;;
    esac
  done
  for dll in "$(dirname "$exe")"/librfc32*.dll; do
    [ -e "$dll" ] && fault="$fault; $(basename "$dll") lies beside it"
  done
  if [ -n "$fault" ]; then
    echo "$exe:${fault#;}"
    status=1
  else
    echo "$exe: 32-bit console program, imports only" $dlls
  fi
done
exit $status
