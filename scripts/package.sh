#!/usr/bin/env bash
# Builds the Debian package build-package/velkor_<version>_amd64.deb and checks it: lintian (no
# errors), desktop-file-validate and appstreamcli validate. Install it with
#   sudo apt-get install ./build-package/velkor_<version>_amd64.deb
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# Packaging only: dpkg-shlibdeps (dpkg-dev, which reads the binaries with file), and the checkers.
VELKOR_PACKAGES+=(dpkg-dev file lintian appstream desktop-file-utils)
velkor_install

# Debian's hardening flags (stack protector, fortified functions, read-only relocations).
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS

dir=$VELKOR_ROOT/build-package
rm -f "$dir"/velkor_*.deb
velkor_configure build-package -DCMAKE_BUILD_TYPE=None -DVELKOR_BUILD_TESTS=OFF -DVELKOR_WERROR=ON
cmake --build "$dir"
(cd "$dir" && cpack -G DEB)
deb=$(ls "$dir"/velkor_*_amd64.deb)

echo "== lintian"
lintian --fail-on error --info "$deb"
echo "== desktop-file-validate"
desktop-file-validate "$VELKOR_ROOT/data/velkor.desktop"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$VELKOR_ROOT"/data/*.metainfo.xml
echo "== built $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
