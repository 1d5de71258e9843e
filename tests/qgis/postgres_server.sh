#!/usr/bin/env bash
# A throwaway PostgreSQL/PostGIS server for the QGIS tests, listening only on a socket in
# FOLDER, with the bundled world.gpkg loaded as public.countries.
#
#   postgres_server.sh start FOLDER DATA_DIR   without PostgreSQL and PostGIS installed it says
#                                              so and starts nothing (the tests then skip)
#   postgres_server.sh stop FOLDER
#
# The tests' QGIS layer reaches it as dbname='quillet' host=FOLDER port=54329 user='postgres'.
set -euo pipefail
action=$1
folder=$2
port=54329
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)

# PostgreSQL refuses to run as root; root runs it as the postgres user.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

if [ "$action" = stop ]; then
  [ -n "$bin" ] && [ -d "$folder/cluster" ] && as_server_user "$bin/pg_ctl" -D "$folder/cluster" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
  exit 0
fi

data=$3
if [ -z "$bin" ] || ! ls /usr/share/postgresql/*/extension/postgis.control >/dev/null 2>&1; then
  echo "postgres_server: PostgreSQL with PostGIS is not installed; its tests are skipped"
  exit 0
fi
"$0" stop "$folder"
mkdir -p "$folder"
cd /  # the server's user may not reach the folder the tests run in
[ "$(id -u)" -eq 0 ] && chown postgres "$folder"
as_server_user "$bin/initdb" -D "$folder/cluster" -A trust -U postgres >/dev/null
as_server_user "$bin/pg_ctl" -D "$folder/cluster" -l "$folder/server.log" -w \
  -o "-k $folder -p $port -c listen_addresses=''" start >/dev/null
psql=(psql -h "$folder" -p "$port" -U postgres -v ON_ERROR_STOP=1 -q)
"${psql[@]}" -d postgres -c "CREATE DATABASE quillet"
"${psql[@]}" -d quillet -c "CREATE EXTENSION postgis"
ogr2ogr -f PostgreSQL "PG:dbname=quillet host=$folder port=$port user=postgres" \
  "$data/world.gpkg" world -nln countries -lco GEOMETRY_NAME=geom
echo "postgres_server: running on $folder, port $port"
