#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need,
# only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-charts-dev libqt6charts6-dev qt6-translations-l10n qt6-l10n-tools libgl-dev
  libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev firebird3.0-server
  clang libclang-rt-14-dev
  libusb-1.0-0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-liberation fonts-dejavu-core poppler-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
# The server package may start a system-wide server; the program's embedded
# engine and the tests' private servers need none, so it is stopped and kept off.
if dpkg-query -W -f='${Status}' firebird3.0-server 2>/dev/null | grep -q "install ok installed"; then
  "${sudo_cmd[@]}" systemctl disable --now firebird3.0 >/dev/null 2>&1 ||
    "${sudo_cmd[@]}" service firebird3.0 stop >/dev/null 2>&1 || true
fi
