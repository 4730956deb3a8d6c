#!/usr/bin/env bash
# Installs what is missing, builds the program and runs its main job on a
# bundled sample project.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DVAULTRA_TESTS=OFF >/dev/null
cmake --build build --target vaultra
sample=$(ls samples/*.vt1 2>/dev/null | head -n 1 || true)
out=$(mktemp -d)
if [ -n "$sample" ]; then
  echo "== vaultra resave $sample"
  ./build/vaultra resave "$sample" "$out/resaved.vt1" --work-dir "$out/work"
  echo "written: $out/resaved.vt1"
else
  ./build/vaultra --version
fi
