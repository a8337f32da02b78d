#!/usr/bin/env bash
# Fails when a C++ file in src, sim, tests or bench is not formatted as .clang-format says.
# With --fix it formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=(--dry-run -Werror)
if [[ "${1:-}" == "--fix" ]]; then mode=(-i); fi

find src sim tests bench -name '*.h' -o -name '*.cpp' | sort | xargs clang-format "${mode[@]}"
