#!/bin/bash
# `make package`: the Debian package's fields and files, the program run from
# the package unpacked into a scratch root, and an install and removal by
# dpkg in another scratch root that leaves nothing behind.
. "$(dirname "$0")/common.sh"

rm -rf "$SCRATCH/deb"
cpack --config "$ISOSTEP_BUILD/CPackConfig.cmake" -B "$SCRATCH/deb" >"$SCRATCH/cpack.log" ||
    { cat "$SCRATCH/cpack.log"; fail "cpack"; }
[[ -f $deb ]] || fail "no $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[[ $(field Package) == isostep ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$VERSION" ]] || fail "Version: $(field Version)"
[[ $(field Section) == science ]] || fail "Section: $(field Section)"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[[ $(field Description) == "photoelastic stress analysis by six-step phase stepping"$'\n'* ]] ||
    fail "Description: $(field Description)"
# Versioned entries come from dpkg-shlibdeps; the SVG plugin is named by hand.
depends=$(field Depends)
for package in 'libc6 (>=' 'libstdc++6 (>=' 'libqt6core6 (>=' 'libqt6gui6 (>=' 'libqt6widgets6 (>=' libqt6svg6; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done

root=$SCRATCH/unpacked
rm -rf "$root"
dpkg-deb -x "$deb" "$root"
diff -u <(expected_files | sed 's|^|usr/|') <(listing "$root") || fail "the package's files differ from the expected files"
[[ $("$root/usr/bin/isostepbmp" --version) == "Isostep $VERSION" ]] || fail "isostepbmp --version"
diff -u <("$ISOSTEP_BUILD/isostepbmp" compose --help) <("$root/usr/bin/isostepbmp" compose --help) ||
    fail "isostepbmp compose --help"
diff -u <(expected_files_listing "$root/usr" "$SCRATCH/config") \
    <(XDG_CONFIG_HOME=$SCRATCH/config "$root/usr/bin/isostepbmp" --files) || fail "isostepbmp --files"

# dpkg in a root of its own; the dependencies live outside it. The package's
# scripts run here, not in the root, so ldconfig is a stand-in that leaves
# this machine's library cache alone.
root=$SCRATCH/dpkg_root
rm -rf "$root" "$SCRATCH/stand_in"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$SCRATCH/stand_in"
touch "$root/var/lib/dpkg/status"
printf '#!/bin/sh\nexit 0\n' >"$SCRATCH/stand_in/ldconfig"
chmod +x "$SCRATCH/stand_in/ldconfig"
dpkg_in_root() {
    PATH=$SCRATCH/stand_in:$PATH dpkg --root="$root" --force-not-root --force-script-chrootless "$@" \
        >>"$SCRATCH/dpkg.log" 2>&1 || { cat "$SCRATCH/dpkg.log"; fail "dpkg $*"; }
}
dpkg_in_root --force-depends --install "$deb"
[[ $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f='${Status}' isostep) == "install ok installed" ]] ||
    fail "dpkg did not install the package"
diff -u <(expected_files | sed 's|^|usr/|') <(listing "$root" | grep -v '^var/') || fail "files installed by dpkg"
dpkg_in_root --purge isostep
left=$(cd "$root" && find . -mindepth 1 -not -path './var' -not -path './var/*')
[[ -z $left ]] || fail "removal left behind: $left"
echo "package $deb"
