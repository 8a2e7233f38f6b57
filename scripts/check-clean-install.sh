#!/usr/bin/env bash
# Proves that the README's quick start works for a new user on a fresh
# Debian 12: makes a bare root with mmdebstrap, adds a normal user with sudo,
# clones this repository's HEAD into that user's home and runs the README's two
# quick-start commands as that user (the test command to its end; the run
# command under xvfb-run until the main window shows the demo project). Prints
# one verdict line and exits non-zero on any failure. Needs root (it re-runs
# itself through sudo); the root and its mounts are always removed.
#
# ZEMVALKORTA_CLEAN_ROOT_CACHE  folder for the cached base root and downloaded
#                               packages (default /var/cache/zemvalkorta-clean-root)
# ZEMVALKORTA_CLEAN_ROOT_KEEP=1 keep the root for a look after a failure
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
if [ "$(id -u)" -ne 0 ]; then exec sudo --preserve-env=ZEMVALKORTA_CLEAN_ROOT_CACHE,ZEMVALKORTA_CLEAN_ROOT_KEEP "$0" "$@"; fi

started=$(date +%s)
cache=${ZEMVALKORTA_CLEAN_ROOT_CACHE:-/var/cache/zemvalkorta-clean-root}
work=$(mktemp -d /var/tmp/zemvalkorta-clean-root.XXXXXX)
log=$work/log
mkdir -p "$cache/archives/partial" "$log"
verdict_failed() {
  [ -n "${out:-}" ] && cp "$out"/*.txt "$log/" 2>/dev/null
  echo "clean-install: FAILED — $1 ($(($(date +%s) - started)) s; logs in $log)"
  exit 1
}
cleanup() {
  local status=$?
  # Every process of the root lived in its own PID namespace and every mount
  # in its own mount namespace: both are gone once their first process ended.
  if [ "${ZEMVALKORTA_CLEAN_ROOT_KEEP:-0}" = 1 ] && [ $status -ne 0 ]; then
    echo "clean-install: the root is kept in $work/root" >&2
  else
    # Logs of a failed run stay for reading; the root goes in every case.
    rm -rf --one-file-system "$work/root"
    [ $status -eq 0 ] && rm -rf --one-file-system "$work"
  fi
  exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

command -v mmdebstrap >/dev/null || {
  apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends mmdebstrap >/dev/null
}

# The bare base (only what apt needs), from this machine's own Debian sources,
# made again once it is a week old.
base=$cache/bookworm-apt.tar
if [ ! -s "$base" ] || [ -n "$(find "$base" -mtime +7)" ]; then
  sources=()
  [ -f /etc/apt/sources.list.d/debian.sources ] && sources=(/etc/apt/sources.list.d/debian.sources)
  mmdebstrap --variant=apt --format=tar --quiet bookworm "$base.new" "${sources[@]}" > "$log/mmdebstrap.txt" 2>&1 ||
    verdict_failed "mmdebstrap could not make the base root (see $log/mmdebstrap.txt)"
  mv "$base.new" "$base"
fi

# A new root from the base, with what a freshly installed machine has beside
# it: the usual /etc/hosts, a name server, a host name.
new_root() {
  local root=$1
  mkdir -p "$root"
  tar -C "$root" -xf "$base"
  cat > "$root/etc/hosts" <<'HOSTS'
127.0.0.1	localhost
127.0.1.1	labpc
::1	localhost ip6-localhost ip6-loopback
HOSTS
  echo labpc > "$root/etc/hostname"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  # Services that packages would start stay off, as in every chroot.
  printf '#!/bin/sh\nexit 101\n' > "$root/usr/sbin/policy-rc.d"
  chmod +x "$root/usr/sbin/policy-rc.d"
}

# Runs a shell script as root inside the root, in new mount and PID
# namespaces, with downloaded packages kept in the cache between runs.
in_root() {
  local root=$1 script=$2
  unshare --mount --pid --fork --propagation private /bin/bash -euo pipefail -c '
    root=$1 cache=$2 script=$3
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/tmp"
    mount --bind "$cache/archives" "$root/var/cache/apt/archives"
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -euo pipefail -c "$script"
  ' in_root "$root" "$cache" "$script"
}

# The README's quick start: the two commands of its first code block, the one
# whose comment speaks of tests is the test command.
readme=$(git -C "$repo" show HEAD:README.md)
commands=$(printf '%s\n' "$readme" | awk '/^## Quick start/ {q=1} q && /^```/ {n++; next} q && n==1 {print}')
test_command=$(printf '%s\n' "$commands" | grep -i '#.*test' | head -n 1 | sed 's/[[:space:]]*#.*//')
run_command=$(printf '%s\n' "$commands" | grep -v -i '#.*test' | grep -v '^[[:space:]]*$' | head -n 1 | sed 's/[[:space:]]*#.*//')
[ -n "$test_command" ] && [ -n "$run_command" ] || verdict_failed "the README has no quick-start test and run commands"

root=$work/root
new_root "$root" || verdict_failed "could not unpack the base root"
# HEAD with the branch it is on, so that the clone is on that branch too.
branch=$(git -C "$repo" symbolic-ref -q --short HEAD || true)
git -C "$repo" bundle create "$root/opt/zemvalkorta.bundle" HEAD ${branch:+"$branch"} > /dev/null 2>&1
# A display number that no X server of this machine holds (abstract sockets
# are shared with the root).
display=$(for n in $(seq 200 400); do grep -q "/tmp/.X11-unix/X$n\$" /proc/net/unix || { echo "$n"; break; }; done)
out=$root/opt/out
mkdir -p "$out" && chmod 777 "$out"

# What the user does: the test command to its end, then the run command in a
# session of its own until its window names the demo project.
{
  echo '#!/bin/bash'
  echo 'set -u; cd ~/zemvalkorta'
  printf '%s > /opt/out/test.txt 2>&1; echo $? > /opt/out/test.status\n' "$test_command"
  printf 'setsid bash -c %q > /opt/out/run.txt 2>&1 < /dev/null &\n' \
    "echo \$\$ > /opt/out/run.pid; exec xvfb-run -n $display -f \$HOME/.xvfb-auth -s '-screen 0 1024x768x24' $run_command"
  cat <<'WAIT'
for _ in $(seq 50); do [ -s /opt/out/run.pid ] && break; sleep 0.1; done
run=$(cat /opt/out/run.pid)
for second in $(seq 900); do
  title=$(DISPLAY=:DISPLAY XAUTHORITY=$HOME/.xvfb-auth xwininfo -root -tree 2>/dev/null |
    grep -o '"ZEMVALKORTA-1.0 - \[demo.fdb\]"' | head -n 1)
  if [ -n "$title" ]; then echo "$title after $second s" > /opt/out/run.shown; break; fi
  kill -0 "$run" 2>/dev/null || break
  sleep 1
done
kill -TERM -- "-$run" 2>/dev/null
sleep 2
kill -KILL -- "-$run" 2>/dev/null
# The package, built from the same clone, for the second root.
scripts/package.sh > /opt/out/package.txt 2>&1
echo $? > /opt/out/package.status
cp build/zemvalkorta_*_amd64.deb /opt/out/ 2>/dev/null
exit 0
WAIT
} | sed "s/:DISPLAY/:$display/" > "$root/opt/quickstart.sh"
chmod 755 "$root/opt/quickstart.sh"

# shellcheck disable=SC2016  # expanded inside the root
in_root "$root" '
  export DEBIAN_FRONTEND=noninteractive
  # What a new user has before reading the README: sudo, git for the clone,
  # and xwininfo for this check to see the window.
  apt-get update -q >/dev/null
  apt-get install -y -q --no-install-recommends sudo git x11-utils >/dev/null
  useradd -m -s /bin/bash lab
  echo "lab ALL=(ALL) NOPASSWD:ALL" > /etc/sudoers.d/lab
  runuser -l lab -c "git clone -q /opt/zemvalkorta.bundle zemvalkorta"
  runuser -l lab -c /opt/quickstart.sh
' > "$log/root.txt" 2>&1 || verdict_failed "setting up the root or running the commands failed (see $log/root.txt)"

cp "$out"/*.txt "$log/" 2>/dev/null || true
test_status=$(cat "$out/test.status" 2>/dev/null || echo "no status")
shown=$(cat "$out/run.shown" 2>/dev/null || true)

# ctest's closing lines: the count and the tests that did not run.
summary=$(grep -E '^[0-9]+% tests passed' "$log/test.txt" | tail -n 1 || true)
total=$(printf '%s\n' "$summary" | sed -n 's/.* out of \([0-9]*\).*/\1/p')
failed=$(printf '%s\n' "$summary" | sed -n 's/.*, \([0-9]*\) tests failed.*/\1/p')
skipped=$(sed -n '/The following tests did not run:/,/^$/p' "$log/test.txt" | grep -E '\(Skipped\)|\(Disabled\)' |
  sed -E 's/^[[:space:]]*[0-9]+ - //; s/ \((Skipped|Disabled)\)//' | paste -sd, - || true)
elapsed=$(($(date +%s) - started))

[ "$test_status" = 0 ] && [ -n "$total" ] ||
  verdict_failed "'$test_command' exited $test_status${summary:+: $summary} (see $log/test.txt)"
[ -n "$shown" ] || verdict_failed "'$run_command' never showed the demo project's window (see $log/run.txt)"

# The package, installed with apt into a second fresh root that has none of
# the build's packages, and used there by a normal user.
package_status=$(cat "$out/package.status" 2>/dev/null || echo "no status")
debs=("$out"/zemvalkorta_*_amd64.deb)
[ "$package_status" = 0 ] && [ -f "${debs[0]}" ] || verdict_failed "scripts/package.sh failed (see $log/package.txt)"
deb=$(basename "${debs[0]}")
cp "${debs[0]}" "$work/"
rm -rf --one-file-system "$root"
root=$work/root
new_root "$root" || verdict_failed "could not unpack the base root"
cp "$work/$deb" "$root/opt/"
git -C "$repo" show HEAD:scripts/check-installed-package.sh > "$root/opt/check-installed-package.sh"
chmod 755 "$root/opt/check-installed-package.sh"
mkdir -p "$out" && chmod 777 "$out"
# shellcheck disable=SC2016  # expanded inside the root
in_root "$root" '
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null
  # The check'"'"'s own tools beside the package: an X server and a key typist.
  apt-get install -y -q --no-install-recommends /opt/'"$deb"' xvfb xauth xdotool > /opt/out/apt.txt 2>&1
  useradd -m -s /bin/bash technician
  runuser -l technician -c /opt/check-installed-package.sh > /opt/out/installed.txt 2>&1 || true
' > "$log/package-root.txt" 2>&1 || verdict_failed "installing $deb with apt failed (see $log/package-root.txt, $log/apt.txt)"
cp "$out"/*.txt "$log/" 2>/dev/null || true
installed=$(grep '^check-installed-package:' "$log/installed.txt" | tail -n 1)
case "$installed" in
  *FAIL*|"") verdict_failed "the installed package did not work: ${installed:-no verdict} (see $log/installed.txt)" ;;
esac
size=$(du -k "$work/$deb" | cut -f1)
elapsed=$(($(date +%s) - started))
echo "clean-install: passed — '$test_command': $total tests, ${failed:-0} failed, skipped: ${skipped:-none}; '$run_command': window $shown; $deb ($size KiB) installed with apt: ${installed#check-installed-package: }; $elapsed s"
