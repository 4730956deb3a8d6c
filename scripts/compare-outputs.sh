#!/usr/bin/env bash
# Compares two folders written by scripts/sample-outputs.sh: every file of
# AFTER byte for byte against BEFORE (cmp), then counts the files BEFORE had
# that AFTER lacks, by name.
#   scripts/compare-outputs.sh BEFORE AFTER
before=$1 after=$2
same=0 differ=0
while IFS= read -r -d '' f; do
  rel=${f#$after/}
  if [ ! -e "$before/$rel" ]; then echo "NEW: $rel"; differ=$((differ+1)); continue; fi
  if cmp -s "$before/$rel" "$f"; then same=$((same+1)); else echo "DIFFERS: $rel"; differ=$((differ+1)); fi
done < <(find "$after" -type f -print0)
echo "identical: $same, differing or new: $differ"
missing=$(cd "$before" && find . -type f | sed 's#^\./##' | while read -r r; do [ -e "$after/$r" ] || echo "$r"; done)
echo "not written any more: $(echo "$missing" | grep -c .)"
echo "$missing" | sed 's#^[^/]*/##' | sed 's#[^/]*/##' | sort | uniq -c | sort -rn | head -20
echo "$missing" | grep -v 'J(' | head
exit $(( differ > 0 ))
