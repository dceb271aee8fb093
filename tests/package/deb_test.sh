#!/usr/bin/env bash
# The Debian package on this machine: lintian finds no error, dpkg installs
# it, the programs answer --version (each inside an empty network namespace,
# so that a --version that fell through to a search would reach nothing),
# the upgraders hold their capability, the man pages, desktop entry, icons
# and completion work, and dpkg removes every file again.
# Usage: deb_test.sh FWUPGRADE.deb    (root: it installs the package)
set -euo pipefail
deb=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "deb_test: needs root to install the package" >&2; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
version=$(dpkg-deb -f "$deb" Version)
package=$(dpkg-deb -f "$deb" Package)

size=$(stat -c %s "$deb")
[ "$size" -le 3000000 ] || fail "the package is $size bytes, more than 3 MB"

lint=$(lintian --no-tag-display-limit "$deb" 2>&1 || true)
errors=$(printf '%s\n' "$lint" | grep '^E:' || true)
[ -z "$errors" ] || fail "lintian errors: $errors"

removed=
remove() { [ -n "$removed" ] || dpkg -r "$package" >/dev/null; removed=1; }
trap remove EXIT
dpkg -i "$deb" >/dev/null
files=$(dpkg -L "$package")

for program in fwupgrade fwupgrade-cli fwbundle; do
  [ -x "/usr/bin/$program" ] || { fail "/usr/bin/$program is missing"; continue; }
  out=$(unshare -n timeout 20 "/usr/bin/$program" --version 2>&1) || fail "$program --version exits with failure"
  [[ $out == "$program $version (commit "*", built "*")" ]] || fail "$program --version says: $out"
  page=/usr/share/man/man1/$program.1.gz
  man -l "$page" 2>&1 | grep -q "^NAME" || fail "man -l $page shows no page"
done
for program in fwupgrade fwupgrade-cli; do
  getcap "/usr/bin/$program" | grep -q cap_net_bind_service || fail "$program lacks cap_net_bind_service"
done
[ -z "$(getcap /usr/bin/fwbundle)" ] || fail "fwbundle was given a capability"
# Without setcap the post-install step says so and lets the installation finish.
said=$(PATH=/usr/bin:/bin sh "/var/lib/dpkg/info/$package.postinst" configure 2>&1) ||
  fail "the post-install step fails without setcap"
[[ $said == *"setcap is missing"*"/usr/bin/fwupgrade-cli runs without cap_net_bind_service"* ]] ||
  fail "without setcap the post-install step says: $said"

desktop-file-validate /usr/share/applications/fwupgrade.desktop || fail "the desktop entry is not valid"
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 48 256; do
  icon=/usr/share/icons/hicolor/${size}x${size}/apps/fwupgrade.png
  dims=$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3 * 256 + $4 "x" $7 * 256 + $8}')
  [ "$dims" = "${size}x$size" ] || fail "$icon is $dims"
done

# Completion offers what the programs' --help lists (and file names, from
# an empty directory here).
empty=$(mktemp -d)
complete_first() {
  (cd "$empty" && unshare -n bash -c 'source "$1"; COMP_WORDS=("$2" "$3"); COMP_CWORD=1; "$4"; echo "${COMPREPLY[*]}"' _ \
    "/usr/share/bash-completion/completions/$1" "$1" "$2" "$3")
}
[ "$(complete_first fwbundle con _fwbundle)" = control ] || fail "fwbundle completion: $(complete_first fwbundle con _fwbundle)"
[ "$(complete_first fwupgrade-cli p _fwupgrade_cli)" = put ] || fail "fwupgrade-cli completion"
[ "$(complete_first fwupgrade-cli --vers _fwupgrade_cli)" = --version ] || fail "fwupgrade-cli completion of --version"
rmdir "$empty"

remove
! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || fail "dpkg -r left $package installed"
while IFS= read -r file; do
  if [ -f "$file" ]; then fail "dpkg -r left $file"; fi
done <<<"$files"

printf '%s\n' "$lint" | grep '^W:' || true
[ "$failures" -eq 0 ] && echo "package $package $version: installed, checked and removed"
[ "$failures" -eq 0 ]
