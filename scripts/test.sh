#!/usr/bin/env bash
# Builds and runs every test: the release build (warnings are errors) with
# the Debian package's checks and the README's two commands in either
# order, the Windows programs under Wine, the same tests under
# AddressSanitizer and UBSan, the headless tests under ThreadSanitizer, and
# a short fuzz run.
#   scripts/test.sh [--quick]    --quick: the release build and the tests
#                                that need no display (CTest label "unit")
set -euo pipefail
cd "$(dirname "$0")/.."
quick=false
case "${1:-}" in
  --quick) quick=true ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac

./scripts/install-deps.sh
jobs=$(nproc)
# Python's caches would land in the checkout.
export PYTHONDONTWRITEBYTECODE=1

# No test may leave files in the source tree, ignored ones included, or
# beside the built program. What was there before (the window's prefs.cfg
# in an old build folder, say) is the user's, and stays as it was.
leftovers() {
  git ls-files --others -- . ':(exclude)build' ':(exclude)bench/cache' ':(exclude)screenshots'
  stat -c '%n %Y %s' build/*/prefs.cfg build/*/*.log 2>/dev/null || true
}
tree_before=$(leftovers)
check_clean() {
  local stray
  stray=$(diff <(echo "$tree_before") <(leftovers) | grep '^>' || true)
  if [ -n "$stray" ]; then
    echo "tests left files behind:"; echo "$stray"; exit 1
  fi
}

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALY_WERROR=ON -DTESSALY_BENCH=ON
cmake --build build/release -j"$jobs"
if $quick; then
  ctest --test-dir build/release --output-on-failure -j"$jobs" -L unit
  check_clean
  exit 0
fi
# ./scripts/run.sh after this build, and these tests after it: neither may
# spoil the other.
./scripts/check-first-steps.sh
ctest --test-dir build/release --output-on-failure -j"$jobs"
check_clean
./scripts/package.sh build/release

# The Windows programs, cross-built from Debian's sources and run under Wine
# against this build's results.
./scripts/build-windows.sh build/windows
tests/windows/run.sh build/windows build/release
check_clean

cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DTESSALY_SANITIZE=ON
cmake --build build/asan -j"$jobs"
ctest --test-dir build/asan --output-on-failure -j"$jobs"
check_clean

# The headless suite under ThreadSanitizer: the helper threads, the worker
# and the tests' own threads. Some tests run the program as another user,
# who may not read the checkout: the suppressions go where anyone can.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALY_TSAN=ON
cmake --build build/tsan -j"$jobs" --target tessaly_tests
suppressions=$(mktemp --suffix=.supp)
trap 'rm -f "$suppressions"' EXIT
cp tests/tsan.supp "$suppressions"
chmod 644 "$suppressions"
TSAN_OPTIONS="suppressions=$suppressions" ctest --test-dir build/tsan --output-on-failure -j"$jobs" -L unit
check_clean

./scripts/fuzz.sh "${TESSALY_FUZZ_SECONDS:-20}"
check_clean
./scripts/check-first-steps.sh
