#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the src/ and sim/ sources of a configured build directory's
# compile database, two files at a time. Usage: scripts/run-clang-tidy.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [[ ! -f "$build/compile_commands.json" ]]; then
  echo "no $build/compile_commands.json: configure $build first" >&2
  exit 2
fi

# The sources the database knows, as the files of src/ and sim/ (tests and benchmarks excluded).
root="$PWD"
python3 - "$build/compile_commands.json" "$root" <<'PY' | sort -u | xargs -r -P2 -n1 clang-tidy -p "$build" --quiet
import json, os, sys
db, root = sys.argv[1], sys.argv[2]
for entry in json.load(open(db)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    rel = os.path.relpath(path, root)
    if rel.startswith(("src/", "sim/")):
        print(path)
PY
echo "clang-tidy: no findings"
