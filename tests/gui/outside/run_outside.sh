#!/bin/bash
# Runs drive_window.py (or, with "preview" first, drive_preview.py; with
# "work", drive_work.py) in a virtual X server and a private D-Bus session.
#   run_outside.sh [preview|work] build/vaultra-gui SAMPLE.vt1 SHOT_PREFIX
# Exits 77 (skipped) when the tools are missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
script=drive_window.py
if [ "${1:-}" = preview ]; then script=drive_preview.py; shift; fi
if [ "${1:-}" = work ]; then script=drive_work.py; shift; fi
for tool in xvfb-run dbus-run-session xdotool import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "skipped: python3-pyatspi is missing"; exit 77; }
exec xvfb-run -a -s "-screen 0 1280x800x24" \
  dbus-run-session -- /usr/bin/python3 "$here/$script" "$@"
