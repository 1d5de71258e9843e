#!/usr/bin/env bash
# Installs the build into a staging folder, builds examples/consumer against it as another
# project would (find_package, and once more with pkg-config), and checks that it prints the
# labels `quillet labels` prints. Usage: consumer_test.sh BUILD_DIR SOURCE_DIR QUILLET
set -euo pipefail
build=$1 source=$2 quillet=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/stage" >/dev/null
cmake -S "$source/examples/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$work/stage" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/consumer" >/dev/null
# A translation unit with nothing but the public header compiles from the installed tree.
printf '#include <quillet/quillet.h>\nint main() {}\n' >"$work/alone.cpp"
c++ -std=c++20 -c $(PKG_CONFIG_PATH="$work/stage/lib/pkgconfig" pkg-config --cflags quillet) \
  "$work/alone.cpp" -o "$work/alone.o"

map=$source/examples/world.json layer="Countries by continent"
expression='$$LABEL ([pop].Sum.FormatNumber(0) people)'
"$work/consumer/consumer" "$map" "$layer" "$expression" >"$work/consumer.txt"
"$quillet" labels "$map" --layer "$layer" --expression "$expression" >"$work/quillet.txt" 2>/dev/null
diff "$work/consumer.txt" "$work/quillet.txt"
echo "consumer: $(wc -l <"$work/consumer.txt") labels, as quillet labels prints them"
