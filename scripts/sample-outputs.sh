#!/usr/bin/env bash
# Writes everything the headless commands produce for every bundled sample
# into OUT, so that two builds can be compared file by file:
#   scripts/sample-outputs.sh BUILD_DIR OUT
# Per sample: the frame texts of `vaultra frame`; the calc table, exit
# status, JSON and working folder of `vaultra calc --internal`; and, when the
# build has the stand-in frame library, the same through the library twice
# (the second run reads the result cache).
set -uo pipefail
build=$(cd "$1" && pwd)
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$root"
for sample in samples/*.vt1; do
  name=$(basename "$sample" .vt1)
  d=$out/$name
  rm -rf "$d"
  mkdir -p "$d/frame" "$d/internal" "$d/library"
  "$build/vaultra" frame "$sample" --work-dir "$d/frame" >"$d/frame.out" 2>"$d/frame.err"
  echo $? >"$d/frame.status"
  "$build/vaultra" calc "$sample" --internal --work-dir "$d/internal" --json "$d/internal.json" \
    >"$d/internal.out" 2>"$d/internal.err"
  echo $? >"$d/internal.status"
  if [ -d "$build/frame_sdk/PlaneFrameSDK" ]; then
    for run in 1 2; do
      "$build/vaultra" calc "$sample" --work-dir "$d/library" --json "$d/library$run.json" \
        --sdk-dir "$build/frame_sdk/PlaneFrameSDK" --frame-dir "$build/frame_sdk/PlaneFrame" \
        >"$d/library$run.out" 2>"$d/library$run.err"
      echo $? >"$d/library$run.status"
    done
  fi
done
# Paths of the working folders differ between output folders: name them alike.
find "$out" -name '*.out' -o -name '*.err' | xargs sed -i "s#$out#OUT#g"
