#!/bin/bash
# lintian on the package: no errors, and no warnings but these, each left on
# purpose:
# - package-name-doesnt-match-sonames, link-to-shared-library-in-wrong-package:
#   one package holds the program, the library and its development files;
#   Debian would split them into three, which a lab installing one program
#   does not need.
# - maintscript-calls-ldconfig: the packaging tool writes postinst and postrm
#   scripts that call ldconfig beside the ldconfig trigger; empty scripts in
#   their place only draw maintainer-script-empty instead.
. "$(dirname "$0")/common.sh"

command -v lintian >/dev/null || skip "lintian is not installed (apt-get install lintian)"
[[ -f $deb ]] || fail "no package at $deb"
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges' || true)
echo "$report"
accepted='package-name-doesnt-match-sonames|link-to-shared-library-in-wrong-package|maintscript-calls-ldconfig'
if grep -E '^E: ' <<<"$report"; then fail "lintian reports errors"; fi
if grep -E '^W: ' <<<"$report" | grep -Ev "^W: isostep: ($accepted) "; then fail "lintian reports new warnings"; fi
