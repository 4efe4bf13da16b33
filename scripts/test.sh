#!/usr/bin/env bash
# Builds the project twice (normal, and with AddressSanitizer + UndefinedBehaviorSanitizer)
# and runs every test in both builds. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

JOBS=$(nproc)
# Headless everywhere: Mesa's software OpenGL and a silent audio driver.
export SDL_VIDEODRIVER=offscreen
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
  ctest --test-dir "$dir" --output-on-failure -j "$JOBS"
}

echo "== normal build =="
run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== sanitizer build =="
run_build build-asan -DCMAKE_BUILD_TYPE=Debug -DOSTRAK_SANITIZE=ON -DOSTRAK_BENCH=OFF
if command -v clang++ >/dev/null; then
  # Only the fuzz targets (and the libraries under them) are built here.
  echo "== fuzz smoke run (clang) =="
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DOSTRAK_FUZZ=ON -DOSTRAK_SANITIZE=ON -DOSTRAK_TESTS=OFF -DOSTRAK_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$JOBS" --target fuzz
  ctest --test-dir build-fuzz --output-on-failure -j "$JOBS"
fi
