#!/usr/bin/env bash
# Builds the Debian package build/zemvalkorta_<version>_amd64.deb from a
# build tree of its own (build-package, installing to /usr), checks it with
# lintian when that is installed, and prints its file name, size and
# dependencies. Install it with: sudo apt install ./build/zemvalkorta_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh

# The packaging tools: manual pages, icon sizes, shared-library dependencies.
tools=(help2man librsvg2-bin dpkg-dev file)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  echo "Installing: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Beside build/ (not inside it), so that the compiler cache serves both trees.
tree=build-package
# Debian's own hardening (fortified functions, stack protector, read-only
# relocations bound at start), as its packages are built. Fortified libc
# marks results that a deliberately ignored cleanup call may drop; they stay
# warnings here rather than stopping the package.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
  -DZEMVALKORTA_BUILD_TESTS=OFF -DZEMVALKORTA_BUILD_BENCH=OFF -DZEMVALKORTA_PACKAGING=ON >/dev/null
cmake --build "$tree" -j "$(nproc)"
rm -f "$tree"/zemvalkorta_*.deb
(cd "$tree" && cpack -G DEB >/dev/null)
shopt -s nullglob
debs=("$tree"/zemvalkorta_*_amd64.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "package.sh: cpack made no zemvalkorta_*_amd64.deb in $tree" >&2
  exit 1
fi
mkdir -p build
deb=build/$(basename "${debs[0]}")
mv -f "${debs[0]}" "$deb"

echo "$root/$deb: $(du -k "$deb" | cut -f1) KiB, installed $(dpkg-deb -f "$deb" Installed-Size) KiB"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
if command -v lintian >/dev/null 2>&1; then
  # Findings are shown, not fatal: errors among them are reported by the exit status below.
  lintian --tag-display-limit 0 "$deb" || { echo "package.sh: lintian found errors" >&2; exit 1; }
fi
