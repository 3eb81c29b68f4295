#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine, builds the tool and both Windows programs,
# builds the demo package and installs it: into a host sandbox with vrz, and shows what
# the real setup.exe does with it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/bootstrap.sh
jobs=$(nproc)

echo "== build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j "$jobs" --target vrz
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-restrict \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 -j "$jobs" --target setup qlun
cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-Wno-restrict \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/win64 -j "$jobs" --target setup qlun

vrz=build/native/tools/vrz
out=build/demo
rm -rf "$out"; mkdir -p "$out"

echo "== the demo package (demo/manifest.json)"
"$vrz" pack demo/manifest.json "$out/package"
ls "$out/package"
"$vrz" verify "$out/package"
echo "== its project, as vrz show prints it"
"$vrz" show "$out/package/arkbs.vrz"

echo "== what an installation would do"
"$vrz" plan "$out/package" --user "山田太郎"

echo "== install into a sandbox, then uninstall"
mkdir -p "$out/sandbox"
"$vrz" install "$out/package" --root "$out/sandbox" --user "山田太郎"
find "$out/sandbox" -type f | sort
"$vrz" uninstall --root "$out/sandbox" --app "デモ帳"
echo "-- left after the uninstall:"
find "$out/sandbox" -type f | sort

echo "== the real setup.exe under Wine, started in the demo package"
bash scripts/demo_wine.sh "$out/package" build/win64/setup/setup.exe
