#!/usr/bin/env bash
# The Windows form of check_exports.sh: the DLL's export table holds the entry point and the theme
# classes' operations, nothing else; and the load entry asks the loader for no thread
# notifications (it imports DisableThreadLibraryCalls from KERNEL32).
# Usage: check_exports_dll.sh MODULE.t3d
set -euo pipefail
module=$1
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}

classes='KrTheme3DBaseFactory|KrTheme3DItem|KrTheme3DStyle|KrTheme3DSymbol|KrTheme3DUnique|KrTheme3DRange|KrTheme3DLabel|Kr3DGraphItem|Kr3DGraph|KrTheme3DGraph'
headers=$("$objdump" -p "$module")
# The export table's name list: lines "[ordinal] name" after its heading, up to the blank line.
own=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' \
  | c++filt)

status=0
if [[ -z "$own" ]]; then
  echo "no export table in $module"; exit 1
fi
stray=$(printf '%s\n' "$own" | grep -vE "^((vtable|typeinfo|typeinfo name) for )?KRS::($classes)(::|\$)" | grep -vx 'CreateTheme3DFactory' || true)
if [[ -n "$stray" ]]; then
  echo "exported but not part of the module's interface:"; printf '  %s\n' "$stray"; status=1
fi
grep -qx 'CreateTheme3DFactory' <<<"$own" || { echo "missing: CreateTheme3DFactory (unmangled)"; status=1; }
for c in ${classes//|/ }; do
  grep -q "^KRS::$c::$c(" <<<"$own" || { echo "missing: constructor of $c"; status=1; }
  grep -q "^vtable for KRS::$c\$" <<<"$own" || { echo "missing: vtable of $c"; status=1; }
done
# The imports of KERNEL32.dll: from its "DLL Name" line to the next one.
kernel=$(printf '%s\n' "$headers" | awk '/DLL Name:/ { k = toupper($3) == "KERNEL32.DLL" } k')
grep -qw DisableThreadLibraryCalls <<<"$kernel" \
  || { echo "missing: the load entry's call of DisableThreadLibraryCalls"; status=1; }
[[ $status -eq 0 ]] && echo "exports: $(printf '%s\n' "$own" | wc -l) symbols, all part of the interface"
exit $status
