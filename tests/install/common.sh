# Shared by the install and package tests. CMake hands in ISOSTEP_BUILD,
# ISOSTEP_SOURCE, SCRATCH, LIBDIR, and VERSION.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
major=${VERSION%%.*}
tree=$SCRATCH/tree
deb=$SCRATCH/deb/isostep_${VERSION}_$(dpkg --print-architecture).deb

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
skip() {
    echo "SKIPPED: $*"
    exit 77
}

# Every file an install puts under its prefix, one a line, a link with its
# target.
expected_files() {
    sed -e "s|@LIBDIR@|$LIBDIR|g" -e "s|@MAJOR@|$major|g" -e "s|@VERSION@|$VERSION|g" "$here/installed_files.txt" | sort
}

# What lies under a folder, in the same form; the CMake package's per-build
# file is named after the build type.
listing() {
    (cd "$1" && find . \( -type f -o -type l \) -printf '%P\t%l\n') |
        sed -e 's/\t$//' -e 's/\t/ -> /' -e 's/ZUL_Tools_VBConfig-[a-z]*\.cmake$/ZUL_Tools_VBConfig-CONFIG.cmake/' | sort
}

# What `isostepbmp --files` must say for a program under $1 whose user's
# configuration folder is $2.
expected_files_listing() {
    cat <<END
capture library: $1/$LIBDIR/libZUL_Tools_VB.so.$major
release notes: $1/share/isostep/new.rtf
capture.ini: $2/isostep/capture.ini (missing)
captotal.ini: $2/isostep/captotal.ini (missing)
dump.ini: $2/isostep/dump.ini (missing)
END
}
