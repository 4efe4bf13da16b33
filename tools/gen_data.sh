#!/usr/bin/env bash
# Regenerates every generated file of game/DATA (textures, font, sounds, music)
# with the generators in tools/. The output is the same byte for byte on every
# run, so `git status` afterwards shows only real changes.
#   tools/gen_data.sh [BUILD_DIR]      (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" --target gamedata
