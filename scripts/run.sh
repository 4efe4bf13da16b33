#!/usr/bin/env bash
# Builds the game and starts it in build-release/run, which links to the game's
# data (game/DATA) and takes what the game writes: gamelog.txt, ehslog.txt,
# screenshots and the best result (data/kavelhs.dat).
# OSTRAK2D_WINDOWED=1 shows it in an ordinary window instead of full screen.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTRAK_TESTS=OFF -DOSTRAK_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target tavrokavel
mkdir -p build-release/run/data
ln -sfn ../../game/DATA build-release/run/DATA
cd build-release/run
exec ../game/tavrokavel "$@"
