#!/usr/bin/env bash
# Installs what is missing, builds, and starts Strumox. Arguments go to the program (a file to open).
source "$(dirname "$0")/common.sh"
install_missing_packages
build_all
APP="$BUILD_DIR/AppDir/strumox"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Strumox on a virtual X screen (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$APP" "$@"
fi
exec "$APP" "$@"
