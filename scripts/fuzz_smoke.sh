#!/usr/bin/env bash
# Runs one fuzz target for a few seconds with a fixed seed over the seed
# inputs of its reader; exit 77 (skipped) when the target was not built
# (no clang, or VAULTRA_FUZZ_SMOKE off).
#   scripts/fuzz_smoke.sh BUILD/fuzz-smoke/fuzz/NAME SOURCE_DIR [SECONDS]
set -uo pipefail
bin=$1
src=$2
seconds=${3:-5}
name=$(basename "$bin")
if [ ! -x "$bin" ]; then
  echo "skipped: $name was not built (needs clang and -DVAULTRA_FUZZ_SMOKE=ON)"
  exit 77
fi
bin=$(cd "$(dirname "$bin")" && pwd)/$name
src=$(cd "$src" && pwd)
seeds=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$seeds" "$work"' EXIT
case "$name" in
  fuzz_project_file) cp "$src"/samples/*.vt1 "$src"/vaultra.ini "$seeds"/ ;;
  fuzz_master_csv) cp "$src"/Master/材料/*.csv "$seeds"/ ;;
  fuzz_frame_text) cp "$src"/fuzz/seeds/*.\$O1 "$seeds"/ ;;
  fuzz_drawing_file) cp "$src"/Master/印刷/*.PCJ "$seeds"/ ;;
  fuzz_template) cp "$src"/Master/印刷/*.c "$seeds"/ ;;
  fuzz_comma_text) printf 'a,"b c",,d\n' > "$seeds"/row ;;
esac
cd "$work"
# New inputs go to the scratch folder (first); the seeds are only read.
# A crash exits 1, never 77 (libFuzzer's default), which the tests read as skipped.
"$bin" -seed=1 -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -error_exitcode=1 -timeout_exitcode=1 \
  -print_final_stats=1 "$work" "$seeds" 2>&1 | tail -n 20
status=${PIPESTATUS[0]}
exit "$status"
