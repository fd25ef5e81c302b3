#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Widget tests use the offscreen platform.
#   --sanitize  builds into build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer
#               and runs the same tests there (CI runs both).
source "$(dirname "$0")/common.sh"
if [ "${1:-}" = "--sanitize" ]; then
  BUILD_DIR="${STRUMOX_SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"
  # Light optimisation: the checks do not need more, and it shortens the build.
  CMAKE_EXTRA=(-DSTRUMOX_SANITIZE=ON)
  BUILD_TARGETS=(all)
  # Function names in the reports come from the symbol tables; line tables would cost build time.
  OPT_FLAGS="-O1 -g0 -DNDEBUG"
  # Leaks are not checked: the toolkit keeps process-wide caches until exit on purpose.
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
install_missing_packages
build_all
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 300
