#!/usr/bin/env bash
# Runs one fuzz target for a few seconds with a fixed seed over the seed
# inputs of its reader; exit 77 (skipped) when the target was not built
# (no clang, or VAULTRA_FUZZ_SMOKE off).
#   scripts/fuzz_smoke.sh BUILD/fuzz-smoke/fuzz/NAME SOURCE_DIR [SECONDS]
# A long run instead: FUZZ_RUNS=N (executions, no time limit) and
# FUZZ_CORPUS=DIR (the corpus kept there, crash inputs too), FUZZ_ARGS (more
# libFuzzer flags, e.g. -max_len=4096), e.g.
#   FUZZ_RUNS=1000000 FUZZ_CORPUS=build-fuzz/corpus/NAME nice -n 10 \
#     scripts/fuzz_smoke.sh build-fuzz/fuzz/NAME .
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
scratch=$(mktemp -d)
work=$scratch
trap 'rm -rf "$seeds" "$scratch"' EXIT
limit=(-max_total_time="$seconds")
if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS" -jobs=1); fi
if [ -n "${FUZZ_CORPUS:-}" ]; then
  mkdir -p "$FUZZ_CORPUS"
  work=$(cd "$FUZZ_CORPUS" && pwd)
fi
case "$name" in
  fuzz_project_file | fuzz_project_roundtrip)
    # Whole samples, and one section each cut from them (make_project_seeds.py).
    cp "$src"/samples/*.vt1 "$src"/vaultra.ini "$src"/fuzz/seeds/project/*.vt1 "$seeds"/ ;;
  fuzz_master_csv)
    # The first byte picks the worksheet, in the loader's order.
    k=0
    for sheet in 寸法表 鉄筋表 端壁 材料強度 ボルトの種類 PC鋼棒の強度 鉄筋の断面積 PC鋼棒のサイズ \
        ボルトのサイズ; do
      { printf "\\$(printf %o "$k")"; cat "$src/Master/材料/Orvaneﾏｽﾀｰ$sheet.csv"; } > "$seeds/sheet$k"
      k=$((k + 1))
    done ;;
  fuzz_frame_text) cp "$src"/fuzz/seeds/*.\$O1 "$seeds"/ ;;
  fuzz_drawing_file) cp "$src"/Master/印刷/*.PCJ "$seeds"/ ;;
  fuzz_template) cp "$src"/Master/印刷/*.c "$seeds"/ ;;
  fuzz_comma_text) printf 'a,"b c",,d\n' > "$seeds"/row ;;
esac
# Inputs that once crashed a reader are replayed on every run.
if [ -d "$src/fuzz/regressions/$name" ]; then cp "$src/fuzz/regressions/$name"/* "$seeds"/; fi
cd "$work"
# New inputs go to the scratch folder (first); the seeds are only read.
# A crash exits 1, never 77 (libFuzzer's default), which the tests read as skipped.
# shellcheck disable=SC2086
"$bin" -seed=1 "${limit[@]}" ${FUZZ_ARGS:-} -rss_limit_mb=2048 -timeout=10 \
  -error_exitcode=1 -timeout_exitcode=1 \
  -print_final_stats=1 "$work" "$seeds" 2>&1 | tail -n 20
status=${PIPESTATUS[0]}
# With -jobs the run's own output is in fuzz-0.log of the working folder.
if [ -f fuzz-0.log ]; then tail -n 25 fuzz-0.log; fi
exit "$status"
