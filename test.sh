#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test:
#   build/asan     the tests, with AddressSanitizer and UndefinedBehaviorSanitizer
#   build/release  the optimised build, benchmarks included (built here, run by hand), which
#                  ./package.sh packs into dist/ and tests/package/check_package.sh checks
#   build/fuzz     the libFuzzer targets (clang), each run for a few seconds
#   build/tsan     the workers' own logic (no Qt), with ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSORNEL_SANITIZE=address,undefined
cmake --build build/asan

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORNEL_BUILD_TESTS=OFF \
    -DSORNEL_BUILD_BENCH=ON
cmake --build build/release

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DSORNEL_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
    -DSORNEL_BUILD_TESTS=OFF -DSORNEL_BUILD_FUZZ=ON -DSORNEL_BUILD_APP=OFF
cmake --build build/fuzz

cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORNEL_SANITIZE=thread \
    -DSORNEL_BUILD_APP=OFF
cmake --build build/tsan --target worker_tests

# The Debian package, and what a person who installs it gets.
./package.sh
tests/package/check_package.sh

ctest --test-dir build/fuzz --output-on-failure
TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1} \
    ctest --test-dir build/tsan --output-on-failure -R 'MonitorWorker|SleepTest|HitAlert'
ctest --test-dir build/asan --output-on-failure
