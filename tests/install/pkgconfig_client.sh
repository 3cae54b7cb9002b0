#!/bin/bash
# A C client built against the installed tree with nothing but pkg-config,
# run on the virtual card.
. "$(dirname "$0")/common.sh"

export PKG_CONFIG_LIBDIR=$tree/$LIBDIR/pkgconfig PKG_CONFIG_PATH=
[[ $(pkg-config --modversion ZUL_Tools_VB) == "$VERSION" ]] || fail "pkg-config --modversion"
client=$SCRATCH/pkgconfig_client
# shellcheck disable=SC2046 # the flags are words
"$CC" -std=c11 -Wall -Wextra -Werror -o "$client" "$here/client/client.c" $(pkg-config --cflags --libs ZUL_Tools_VB)
objdump -p "$client" | grep -Eq "NEEDED +libZUL_Tools_VB\.so\.$major$" || fail "the client does not ask for the SONAME"
LD_LIBRARY_PATH=$tree/$LIBDIR ZUL_DRIVER=virtual "$client"
