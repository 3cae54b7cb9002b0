#!/bin/bash
# `cmake --install` into a scratch prefix: every file in its place and no
# other, the library's interface version in its name and links, and an
# installed program that finds its library and notes inside the tree and
# carries nothing of the build folder.
. "$(dirname "$0")/common.sh"

rm -rf "$tree" "$SCRATCH/config"
cmake --install "$ISOSTEP_BUILD" --prefix "$tree" >"$SCRATCH/install.log"

diff -u <(expected_files) <(listing "$tree") || fail "the installed tree differs from the expected files"

soname=$(objdump -p "$tree/$LIBDIR/libZUL_Tools_VB.so.$VERSION" | awk '$1 == "SONAME" { print $2 }')
[[ $soname == "libZUL_Tools_VB.so.$major" ]] || fail "the library's SONAME is '$soname'"
if objdump -p "$tree/bin/isostepbmp" | grep -E 'R(UN)?PATH'; then
    fail "the installed program carries a library search path"
fi

diff -u <(expected_files_listing "$tree" "$SCRATCH/config") \
    <(XDG_CONFIG_HOME=$SCRATCH/config "$tree/bin/isostepbmp" --files) || fail "isostepbmp --files"
[[ ! -e $SCRATCH/config ]] || fail "asking where the files are made the settings folder"
cmp "$ISOSTEP_SOURCE/app/resources/new.rtf" "$tree/share/isostep/new.rtf"

man=$(zcat "$tree/share/man/man1/isostepbmp.1.gz")
grep -q "^\.TH ISOSTEPBMP \"1\" \".*\" \"isostepbmp $VERSION\"" <<<"$man" || fail "man page heading"
grep -q '^\\fB\\-\\-files\\fR$' <<<"$man" || fail "the man page lacks the options of --help"
grep -q '^\.SH FILES$' <<<"$man" || fail "the man page lacks its FILES section"
if grep -F "$ISOSTEP_BUILD" <<<"$man"; then fail "the man page names the build folder"; fi

# A PNG's header holds its width and height as 32-bit big-endian numbers.
size=$(od -An -tx1 -j16 -N8 "$tree/share/icons/hicolor/256x256/apps/org.isostep.Isostep.png" | tr -d ' \n')
[[ $size == 0000010000000100 ]] || fail "the icon is not 256 x 256 pixels ($size)"
echo "installed tree in $tree"
