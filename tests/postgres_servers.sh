#!/usr/bin/env bash
# Throwaway PostgreSQL/PostGIS servers for the tests, each listening only on a socket in
# FOLDER: the server on port 54329 with the bundled world.gpkg loaded as public.countries (for
# the QGIS projects) and public.world (for the command's tests) in the database quillet; and a
# sharded copy: the database sharded on that server holds world as a table partitioned by hash
# of its fid, whose partitions are postgres_fdw foreign tables on two more servers (ports
# 54330 and 54331), with partitionwise aggregates and asynchronous foreign scans on. Local
# users are trusted, all but quillet_login, whose password is "right".
#
#   postgres_servers.sh start FOLDER DATA_DIR   without PostgreSQL and PostGIS installed it
#                                               says so and starts nothing (the tests skip)
#   postgres_servers.sh stop FOLDER
set -euo pipefail
action=$1
folder=$2
port=54329
shards=(54330 54331)
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)

# PostgreSQL refuses to run as root; root runs it as the postgres user.
as_server_user() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

if [ "$action" = stop ]; then
  for cluster in "$folder"/cluster*; do
    [ -n "$bin" ] && [ -d "$cluster" ] &&
      as_server_user "$bin/pg_ctl" -D "$cluster" -m immediate stop >/dev/null 2>&1 || true
  done
  rm -rf "$folder"
  exit 0
fi

data=$(cd "$3" && pwd)
if [ -z "$bin" ] || ! ls /usr/share/postgresql/*/extension/postgis.control >/dev/null 2>&1; then
  echo "postgres_servers: PostgreSQL with PostGIS is not installed; its tests are skipped"
  exit 0
fi
"$0" stop "$folder"
mkdir -p "$folder"
cd /  # the server's user may not reach the folder the tests run in
[ "$(id -u)" -eq 0 ] && chown postgres "$folder"

start() {  # cluster-name port
  as_server_user "$bin/initdb" -D "$folder/$1" -A trust -U postgres >/dev/null
  # Every user is trusted but one, who must give a password: the tests of a wrong one.
  as_server_user sh -c "{ echo 'local all quillet_login scram-sha-256'; cat '$folder/$1/pg_hba.conf'; } \
    >'$folder/$1/pg_hba.new' && mv '$folder/$1/pg_hba.new' '$folder/$1/pg_hba.conf'"
  as_server_user "$bin/pg_ctl" -D "$folder/$1" -l "$folder/$1.log" -w \
    -o "-k $folder -p $2 -c listen_addresses=''" start >/dev/null
}
sql() {  # port database statements...
  local p=$1 d=$2
  shift 2
  psql -h "$folder" -p "$p" -U postgres -d "$d" -v ON_ERROR_STOP=1 -q "$@"
}

start cluster $port
for shard in "${shards[@]}"; do start "cluster-$shard" "$shard"; done
sql $port postgres -c "CREATE DATABASE quillet" -c "CREATE DATABASE sharded"
sql $port quillet -c "CREATE EXTENSION postgis" \
  -c "CREATE ROLE quillet_login LOGIN PASSWORD 'right'"
ogr2ogr -f PostgreSQL "PG:dbname=quillet host=$folder port=$port user=postgres" \
  "$data/world.gpkg" world -nln countries -lco GEOMETRY_NAME=geom
# The command's tests compare with the GeoPackage: the same names, unchanged.
ogr2ogr -f PostgreSQL "PG:dbname=quillet host=$folder port=$port user=postgres" \
  "$data/world.gpkg" world -nln world -lco GEOMETRY_NAME=geom -lco LAUNDER=NO

# The sharded copy keeps the attributes; a partitioned table cannot have a primary key over
# foreign partitions, so its rows are ordered by its integer fid.
columns="fid integer, iso_a2 varchar, name_long varchar, continent varchar,
  region_un varchar, subregion varchar, type varchar, area_km2 double precision,
  pop double precision, \"lifeExp\" double precision, \"gdpPercap\" double precision"
statements=(-c "CREATE EXTENSION postgres_fdw" -c "CREATE TABLE world ($columns) PARTITION BY HASH (fid)")
for i in "${!shards[@]}"; do
  sql "${shards[$i]}" postgres -c "CREATE DATABASE shard" 
  sql "${shards[$i]}" shard -c "CREATE TABLE world ($columns)"
  statements+=(-c "CREATE SERVER shard$i FOREIGN DATA WRAPPER postgres_fdw OPTIONS (host '$folder',
      port '${shards[$i]}', dbname 'shard', async_capable 'true')"
    -c "CREATE USER MAPPING FOR postgres SERVER shard$i OPTIONS (user 'postgres')"
    -c "CREATE FOREIGN TABLE world_$i PARTITION OF world FOR VALUES WITH (MODULUS ${#shards[@]},
      REMAINDER $i) SERVER shard$i OPTIONS (table_name 'world')")
done
sql $port sharded "${statements[@]}" \
  -c "ALTER DATABASE sharded SET enable_partitionwise_aggregate = on" \
  -c "CREATE EXTENSION dblink"
sql $port sharded -c "INSERT INTO world SELECT * FROM dblink('dbname=quillet host=$folder
  port=$port user=postgres', 'SELECT fid, iso_a2, name_long, continent, region_un,
  subregion, type, area_km2, pop, \"lifeExp\", \"gdpPercap\" FROM world') AS w($columns)"
echo "postgres_servers: running on $folder, ports $port ${shards[*]}"
