#!/usr/bin/env bash
# The module exports its entry point and its theme classes, and nothing else of its own.
# Usage: check_exports.sh MODULE.t3d
set -euo pipefail
module=$1

classes='KrTheme3DBaseFactory|KrTheme3DItem|KrTheme3DStyle|KrTheme3DSymbol|KrTheme3DUnique|KrTheme3DRange|KrTheme3DLabel|Kr3DGraphItem|Kr3DGraph|KrTheme3DGraph'
# Instances of the standard library's templates (mangled in namespace std or __gnu_cxx) are the
# compiler's, not the module's own: the library's headers give them default visibility.
own=$(nm -D --defined-only "$module" | cut -d' ' -f3- \
  | grep -vE '^(_Z(Z|GVZ)?N?K?(St|9__gnu_cxx)|_ZT[VIS]N?St|_init$|_fini$|__bss_start$|_edata$|_end$)' | c++filt || true)

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
[[ $status -eq 0 ]] && echo "exports: $(printf '%s\n' "$own" | wc -l) symbols, all part of the interface"
exit $status
