#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the demo need,
# only when something is missing, and the Russian locale the tests read
# numbers in. Works from a bare Debian 12 (as root, or as a user with sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n qt6-l10n-tools libgl-dev
  libfbclient2 firebird3.0-server-core firebird3.0-utils firebird-dev firebird3.0-server
  clang clang-tidy libclang-rt-14-dev
  libusb-1.0-0-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth fonts-liberation fonts-dejavu-core poppler-utils
  locales
)
locale=ru_RU.UTF-8

has_locale() { locale -a 2>/dev/null | grep -qix 'ru_RU.utf-\?8'; }

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && has_locale && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: run as root, or install sudo, to install: ${missing[*]:-$locale}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if ! has_locale; then
  echo "Generating the locale $locale"
  "${sudo_cmd[@]}" sed -i -E "s/^# *($locale UTF-8)/\1/" /etc/locale.gen
  grep -q "^$locale UTF-8" /etc/locale.gen || echo "$locale UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
# The server package may start a system-wide server; the program's embedded
# engine and the tests' private servers need none, so it is stopped and kept off.
if dpkg-query -W -f='${Status}' firebird3.0-server 2>/dev/null | grep -q "install ok installed"; then
  "${sudo_cmd[@]}" systemctl disable --now firebird3.0 >/dev/null 2>&1 ||
    "${sudo_cmd[@]}" service firebird3.0 stop >/dev/null 2>&1 || true
fi
