#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Widget tests use the offscreen platform.
source "$(dirname "$0")/common.sh"
install_missing_packages
build_all
export QT_QPA_PLATFORM=offscreen
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 300
