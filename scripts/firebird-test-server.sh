#!/usr/bin/env bash
# Starts a private Firebird server for the tests: its own root folder with
# configuration, security database and lock files under $1, listening on
# loopback port $2 only, SYSDBA's password $3. Prints the server's process id.
# Stop it with: kill <pid>.
set -euo pipefail
root=$1 port=$2 password=$3
system=/usr/lib/x86_64-linux-gnu/firebird/3.0
server=/usr/sbin/firebird
[ -x "$server" ] || { echo "no Firebird server at $server (package firebird3.0-server)" >&2; exit 2; }
mkdir -p "$root/lock" "$root/tmp"
for item in plugins intl UDF lib firebird.msg plugins.conf fbtrace.conf; do
  [ -e "$system/$item" ] && ln -sfn "$system/$item" "$root/$item"
done
cat > "$root/firebird.conf" <<CONF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $root/security3.fdb
AuthServer = Srp
UserManager = Srp
WireCrypt = Enabled
ServerMode = Super
CONF
: > "$root/databases.conf"
export FIREBIRD=$root FIREBIRD_LOCK=$root/lock FIREBIRD_TMP=$root/tmp
if [ ! -e "$root/security3.fdb" ]; then
  echo "create database '$root/security3.fdb';" | isql-fb -q >/dev/null
  isql-fb -q -i /usr/share/firebird/3.0/security.sql "$root/security3.fdb" >/dev/null
  echo "create user SYSDBA password '$password' using plugin Srp; commit;" |
    isql-fb -q -user SYSDBA "$root/security3.fdb" >/dev/null
fi
"$server" > "$root/server.log" 2>&1 &
echo $!
