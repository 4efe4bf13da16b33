#!/usr/bin/env bash
# Builds the game and starts it. It runs from game/, where its data (game/DATA)
# lives and where it writes gamelog.txt, ehslog.txt and its screenshots.
# OSTRAK2D_WINDOWED=1 shows it in an ordinary window instead of full screen.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOSTRAK_TESTS=OFF -DOSTRAK_BENCH=OFF >/dev/null
cmake --build build-release -j "$(nproc)" --target tavrokavel
cd game
exec ../build-release/game/tavrokavel
