#!/bin/sh
# fwbundle end to end: writes real files in a scratch directory and checks
# their bytes, permissions and the refusals. Usage: cli_test.sh FWBUNDLE
set -u
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
[ -x "$tool" ] || { echo "FAIL: no tool at $1"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# Byte at a decimal offset, as a decimal number.
byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }
text_at() { dd if="$1" bs=1 skip="$2" count="$3" 2>/dev/null | tr -d '\000'; }
expect_status() {
  want=$1; shift
  "$@" >"$work/out.txt" 2>"$work/err.txt"; got=$?
  [ "$got" = "$want" ] || fail "exit $got (wanted $want): $* : $(cat "$work/err.txt")"
}

cd "$work" || exit 1

# control: defaults, fields and refusals
expect_status 0 "$tool" control -o control.cfg --dst-ip 192.168.1.1 --password secret --rom-id ROMX --timeout -56
[ "$(wc -c < control.cfg)" -eq 224 ] || fail "control file is not 224 bytes"
[ "$(byte_at control.cfg 36)" = 4 ] || fail "default method is not set (4)"
[ "$(byte_at control.cfg 117)" = 159 ] || fail "default flags are not 159"
[ "$(byte_at control.cfg 222)" = 200 ] || fail "timeout -56 not stored as 200"
[ "$(text_at control.cfg 0 18)" = 192.168.1.1 ] || fail "DstIP"
[ "$(text_at control.cfg 118 18)" = default ] || fail "SearchIP1 default"
[ "$(text_at control.cfg 172 18)" = default ] || fail "SearchIP4 default"
[ "$(text_at control.cfg 190 32)" = default ] || fail "Caption default"
expect_status 0 "$tool" control -o get.cfg --method get --rom-file rom.bin --rom-offset 0x100 --rom-length 4096
[ "$(byte_at get.cfg 36)" = 1 ] || fail "method get"
[ "$(text_at get.cfg 69 16)" = 0x100 ] || fail "RomOffset"
expect_status 2 "$tool" control -o long.cfg --caption 0123456789012345678901234567890123
[ ! -e long.cfg ] || fail "a refused control file was written"
expect_status 2 "$tool" control -o both.cfg --upgrade-file a --rom-file b --rom-offset 1 --rom-length 2
expect_status 2 "$tool" control -o bad.cfg --rom-file b --rom-offset twelve --rom-length 2
expect_status 2 "$tool" control -o bad.cfg --method-order 4
expect_status 2 "$tool" control -o bad.cfg --bogus
expect_status 0 "$tool" control --help
grep -q -- "--method-order" out.txt || fail "control --help lists no options"
expect_status 0 "$tool" --version
grep -q "^fwbundle [0-9][0-9.]* (commit " out.txt || fail "--version: $(cat out.txt)"
expect_status 2 "$tool" --control

# message
printf '{\\rtf1 Hello}' > note.rtf
expect_status 0 "$tool" message -o note.msg --rtf note.rtf --name QUORx --display-time 100 --no-tftp 1 --no-ftp 1
[ "$(wc -c < note.msg)" -eq $((125 + 13)) ] || fail "message file size"
[ "$(byte_at note.msg 118)" = 13 ] || fail "RtfLength"
[ "$(byte_at note.msg 82)" = 1 ] || fail "NoTftpFlag"
[ "$(byte_at note.msg 123)" = 128 ] || fail "default back colour 0x80000005"
expect_status 2 "$tool" message -o bad.msg --rtf note.rtf --name 01234567890123456
[ ! -e bad.msg ] || fail "a refused message file was written"
# The caption goes in the code page the document declares, or is refused.
printf '{\\rtf1\\ansi\\ansicpg1251 x}' > cyrillic.rtf
expect_status 0 "$tool" message -o cyrillic.msg --rtf cyrillic.rtf --caption "Внимание"
[ "$(od -An -tx1 -j16 -N8 cyrillic.msg | tr -d ' ')" = c2ede8ece0ede8e5 ] || fail "caption not in code page 1251"
expect_status 2 "$tool" message -o chinese.msg --rtf note.rtf --caption "关于"
grep -q "code page 1252" err.txt || fail "refused caption without its reason: $(cat err.txt)"
[ ! -e chinese.msg ] || fail "a caption the code page cannot hold was written"

# append, list, extract
cp /bin/true program && chmod 750 program
head -c 5000 /dev/urandom > fw_image.bin
expect_status 0 "$tool" append -o bundled --exe program --control control.cfg --upgrade fw_image.bin \
  --message note.msg --entry "fw_image.bin:0x0825:second.bin"
[ "$(stat -c %a bundled)" = 750 ] || fail "output lost the program's permissions"
./bundled || fail "the bundled program no longer runs"
expect_status 0 "$tool" list bundled
grep -q "4 entries" out.txt || fail "list: entry count"
grep -q "0x080D.*5000.*fw_image.bin" out.txt || fail "list: firmware line: $(cat out.txt)"
grep -q "0x0825 *B" out.txt || fail "list: section letter"
grep -q "sections: B" out.txt || fail "list: section list"
expect_status 0 "$tool" extract bundled -d extracted
cmp -s extracted/control.cfg control.cfg || fail "extract: control file"
cmp -s extracted/fw_image.bin fw_image.bin || fail "extract: firmware"
cmp -s extracted/second.bin fw_image.bin || fail "extract: named entry"
cmp -s extracted/note.msg note.msg || fail "extract: message"

# refusals leave no output behind
expect_status 1 "$tool" append -o twice --exe bundled --upgrade fw_image.bin
[ ! -e twice ] || fail "appended onto a bundled program"
expect_status 1 "$tool" append -o missing --exe program --upgrade absent.bin
[ ! -e missing ] || fail "output written although an input was missing"
expect_status 1 "$tool" append -o evil --exe program --entry "fw_image.bin:0x080D:.."
[ ! -e evil ] || fail "unsafe entry name accepted"
expect_status 1 "$tool" append -o wrong --exe program --control fw_image.bin
[ ! -e wrong ] || fail "a 5000-byte control file was accepted"
expect_status 1 "$tool" list program
expect_status 2 "$tool" frobnicate

# outputs go through side files of their own: a user's file beside the
# output is never touched, and entries whose names differ only by a
# suffix both arrive
echo mine > x.partial
expect_status 0 "$tool" control -o x
[ "$(cat x.partial)" = mine ] || fail "a user's x.partial was overwritten"
expect_status 0 "$tool" append -o suffixes --exe program --entry "fw_image.bin:0x080D:x.partial" --entry "note.msg:0x040D:x"
expect_status 0 "$tool" extract suffixes -d suffixes.d
cmp -s suffixes.d/x.partial fw_image.bin || fail "extract: entry x.partial lost beside entry x"
cmp -s suffixes.d/x note.msg || fail "extract: entry x"
ls -A . suffixes.d | grep -q '^\.fwu-' && fail "side files left behind"

[ "$failures" -eq 0 ] && echo "fwbundle: all checks passed"
[ "$failures" -eq 0 ]
