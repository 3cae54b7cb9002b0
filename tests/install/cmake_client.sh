#!/bin/bash
# A C client built against the installed tree with nothing but
# find_package(ZUL_Tools_VB), run on the virtual card.
. "$(dirname "$0")/common.sh"

build=$SCRATCH/cmake_client
rm -rf "$build"
cmake -S "$here/client" -B "$build" -DCMAKE_PREFIX_PATH="$tree" -DCMAKE_C_COMPILER="$CC" >"$build.log" ||
    { cat "$build.log"; fail "configuring the client"; }
cmake --build "$build" >>"$build.log" || { cat "$build.log"; fail "building the client"; }
ZUL_DRIVER=virtual "$build/zul_client"
