#!/usr/bin/env bash
# The module exports its entry point and its theme classes, and nothing else of its own. For a
# Windows DLL (--dll) the export table is read instead of the dynamic symbols, and the load entry
# must ask the loader for no thread notifications (it imports DisableThreadLibraryCalls).
# Usage: check_exports.sh [--dll] MODULE.t3d     (OBJDUMP names the PE objdump for --dll)
set -euo pipefail
dll=0
if [[ ${1:-} == --dll ]]; then dll=1; shift; fi
module=$1

classes='KrTheme3DBaseFactory|KrTheme3DItem|KrTheme3DStyle|KrTheme3DSymbol|KrTheme3DUnique|KrTheme3DRange|KrTheme3DLabel|Kr3DGraphItem|Kr3DGraph|KrTheme3DGraph'
if (( dll )); then
  headers=$("${OBJDUMP:-x86_64-w64-mingw32-objdump}" -p "$module")
  # The export table's name list: lines "[ordinal] name" after its heading, up to the blank line.
  own=$(printf '%s\n' "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' \
    | c++filt)
  [[ -n "$own" ]] || { echo "no export table in $module"; exit 1; }
else
  # Instances of the standard library's templates (mangled in namespace std or __gnu_cxx) are the
  # compiler's, not the module's own: the library's headers give them default visibility.
  own=$(nm -D --defined-only "$module" | cut -d' ' -f3- \
    | grep -vE '^(_Z(Z|GVZ)?N?K?(St|9__gnu_cxx)|_ZT[VIS]N?St|_init$|_fini$|__bss_start$|_edata$|_end$)' | c++filt || true)
fi

status=0
stray=$(printf '%s\n' "$own" | grep -vE "^((vtable|typeinfo|typeinfo name) for )?KRS::($classes)(::|\$)" | grep -vx 'CreateTheme3DFactory' || true)
if [[ -n "$stray" ]]; then
  echo "exported but not part of the module's interface:"; printf '  %s\n' "$stray"; status=1
fi
# The checks read the symbol list from a here-string, not a pipe: grep -q stops at its first match,
# and under pipefail the writer's broken pipe would fail the check now and then.
grep -qx 'CreateTheme3DFactory' <<<"$own" || { echo "missing: CreateTheme3DFactory (unmangled)"; status=1; }
for c in ${classes//|/ }; do
  grep -q "^KRS::$c::$c(" <<<"$own" || { echo "missing: constructor of $c"; status=1; }
  grep -q "^vtable for KRS::$c\$" <<<"$own" || { echo "missing: vtable of $c"; status=1; }
done
if (( dll )); then
  # The imports of KERNEL32.dll: from its "DLL Name" line to the next one.
  kernel=$(printf '%s\n' "$headers" | awk '/DLL Name:/ { k = toupper($3) == "KERNEL32.DLL" } k')
  grep -qw DisableThreadLibraryCalls <<<"$kernel" \
    || { echo "missing: the load entry's call of DisableThreadLibraryCalls"; status=1; }
fi
[[ $status -eq 0 ]] && echo "exports: $(printf '%s\n' "$own" | wc -l) symbols, all part of the interface"
exit $status
