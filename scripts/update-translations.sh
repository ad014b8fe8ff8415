#!/usr/bin/env bash
# Adds new translation keys of the sources to the English catalogue (existing texts are kept)
# and lists the keys that still need a text.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate -no-obsolete -locations none src -ts translations/TeskVideoSearch_en.ts
if grep -q 'type="unfinished"' translations/TeskVideoSearch_en.ts; then
  echo "Keys without an English text:"
  grep -B1 'type="unfinished"' translations/TeskVideoSearch_en.ts | grep -o '<source>[^<]*' | sed 's/<source>/  /'
  exit 1
fi
