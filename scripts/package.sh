#!/usr/bin/env bash
# Builds the Debian package build-package/velkor_<version>_amd64.deb and checks it: lintian (no
# errors), desktop-file-validate and appstreamcli validate. Install it with
#   sudo apt-get install ./build-package/velkor_<version>_amd64.deb
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Packaging only: dpkg-shlibdeps (dpkg-dev, which reads the binaries with file), and the checkers.
VELKOR_PACKAGES+=(dpkg-dev file lintian appstream desktop-file-utils)
velkor_install

# Debian's hardening flags (stack protector, fortified functions, read-only relocations bound at
# start), with source paths relative to the top of the tree.
cd "$VELKOR_ROOT"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

dir=$VELKOR_ROOT/build-package
rm -f "$dir"/velkor_*.deb
velkor_configure build-package -DCMAKE_BUILD_TYPE=None -DVELKOR_BUILD_TESTS=OFF -DVELKOR_WERROR=ON \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$dir"
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/velkor_*_amd64.deb)

echo "== contents"
contents=$(dpkg-deb --contents "$deb")
for file in usr/bin/velkor usr/bin/velkor-cli usr/bin/velkor-sim usr/share/man/man1/velkor-cli.1.gz \
    usr/share/bash-completion/completions/velkor-cli; do
    grep -q " \./$file\$" <<<"$contents" || { echo "the package lacks /$file"; exit 1; }
done
echo "== lintian"
lintian --fail-on error --info "$deb"
echo "== desktop-file-validate"
desktop-file-validate "$VELKOR_ROOT/data/velkor.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$VELKOR_ROOT"/data/*.metainfo.xml
echo "== built $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
