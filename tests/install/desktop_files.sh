#!/bin/bash
# The installed menu entry and AppStream description, checked by the tools
# the desktops use; validate-tree also checks that the description's desktop
# file and icon are there.
. "$(dirname "$0")/common.sh"

case $1 in
desktop)
    command -v desktop-file-validate >/dev/null ||
        skip "desktop-file-validate is not installed (apt-get install desktop-file-utils)"
    report=$(desktop-file-validate "$tree/share/applications/org.isostep.Isostep.desktop" 2>&1) || true
    [[ -z $report ]] || fail "$report"
    ;;
appstream)
    command -v appstreamcli >/dev/null || skip "appstreamcli is not installed (apt-get install appstream)"
    appstreamcli validate-tree --no-net "$tree" || fail "appstreamcli validate-tree"
    ;;
esac
