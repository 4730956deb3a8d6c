#!/usr/bin/env bash
# Refuses an include that runs upward through the floors of src/: each folder
# may include itself and the folders listed for it, and only src/render and
# src/gui may include Qt. Prints every offending line and exits 1.
set -u
src="${1:-$(dirname "$0")/../../src}"
declare -A allowed=(
  [core]="core"
  [inputs]="core inputs"
  [model]="core inputs model"
  [analysis]="core inputs model analysis"
  [checks]="core inputs model analysis checks"
  [results]="core inputs model analysis checks results"
  [report]="core inputs model analysis checks report"
  [app]="core inputs model analysis checks results report app"
  [render]="core inputs model analysis checks results report render"
  [gui]="core inputs model analysis checks results report app render gui"
  [cli]="core inputs model analysis checks results report app render cli"
  [sdk]="core inputs model analysis sdk"
)
qt_allowed=" render gui "
status=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z "${allowed[$folder]+x}" ]]; then
    echo "layers: src/$folder has no entry in the list of floors (tests/layers/check_layers.sh)"
    status=1
    continue
  fi
  if ! grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$dir" \
      --include='*.h' --include='*.cpp' |
    awk -v allowed=" ${allowed[$folder]} " -v folder="$folder" -v src="$src/" '
      {
        file = $0; sub(/:.*/, "", file); sub(src, "", file)
        rest = substr($0, length(file) + length(src) + 2)
        line = rest; sub(/:.*/, "", line)
        target = rest; sub(/^[^"]*"/, "", target); sub(/\/.*/, "", target)
        if (index(allowed, " " target " ") == 0) {
          printf "layers: %s:%s includes \"%s/...\" above its floor (src/%s may include:%s)\n",
                 file, line, target, folder, allowed
          bad = 1
        }
      }
      END { exit bad }'; then
    status=1
  fi
  if [[ "$qt_allowed" != *" $folder "* ]]; then
    while IFS= read -r hit; do
      echo "layers: ${hit#"$src"/} includes Qt outside src/render and src/gui"
      status=1
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$dir" --include='*.h' --include='*.cpp')
  fi
done
[[ $status -eq 0 ]] && echo "layers: every include of src/ stays on its floor or below"
exit $status
