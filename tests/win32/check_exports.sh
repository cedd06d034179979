#!/bin/bash
# Reads pinlatch.dll's export table and code with objdump: the recorded name,
# the ordinals, plain names only, no imports, no resources, and how many
# argument bytes each export (and the entry routine) removes on return.
#   check_exports.sh build-win32/pinlatch.dll
set -euo pipefail
dll=$1
passed=0
failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1"; fi
}

headers=$(i686-w64-mingw32-objdump -p "$dll")
check "export directory name" 'grep -Eq "^Name[[:space:]]+[0-9a-f]+ PINLATCH\.dll$" <<<"$headers"'
check "ordinal base 1" 'grep -Eq "^Ordinal Base[[:space:]]+1$" <<<"$headers"'
names=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$headers" | sed 1d | sed '/^$/d' | tr -s ' \t' ' ' | sort)
check "ordinals 1-4 are WEP, Incriment, InputPort, OutputPort and nothing else" \
  '[ "$names" = "$(printf " [ 0] WEP\n [ 1] Incriment\n [ 2] InputPort\n [ 3] OutputPort\n" | sort)" ]'
check "no decorated names" '! grep -q "@" <<<"$names"'
check "no imports" 'grep -Eq "^Entry 1 00000000 00000000 Import Directory" <<<"$headers" && ! grep -q "The Import Tables" <<<"$headers"'
check "no resources" 'grep -Eq "^Entry 2 00000000 00000000 Resource Directory" <<<"$headers"'

base=$((16#$(awk '$1 == "ImageBase" {print $2}' <<<"$headers")))
# The first return instruction at an address: "ret $0x4" and the like.
first_ret() {
  local at=$(($1))
  i686-w64-mingw32-objdump -d --start-address=$at --stop-address=$((at + 64)) "$dll" |
    grep -m1 -Eo 'ret +\$0x[0-9a-f]+|ret *$' | tr -s ' '
}
declare -A pops=([1]='ret $0x4' [2]='ret $0x4' [3]='ret $0x4' [4]='ret $0x8')
while read -r ordinal rva; do
  got=$(first_ret "$base + 16#$rva")
  check "ordinal $ordinal removes its arguments (${pops[$ordinal]}, found $got)" '[ "$got" = "${pops[$ordinal]}" ]'
done < <(sed -n 's/^\t\[ *[0-9]*\] +base\[ *\([0-9]*\)\] \([0-9a-f]*\) Export RVA$/\1 \2/p' <<<"$headers")
entry=$((16#$(awk '$1 == "AddressOfEntryPoint" {print $2}' <<<"$headers")))
entry_code=$(i686-w64-mingw32-objdump -d --start-address=$((base + entry)) --stop-address=$((base + entry + 16)) "$dll")
check "the entry routine returns TRUE and removes 12 bytes" \
  'grep -Eq "mov +\\\$0x1,%eax" <<<"$entry_code" && [ "$(first_ret "$base + $entry")" = "ret \$0xc" ]'

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
