#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what .clang-format makes
# of it; `clang-format -i <file>` mends it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
EXTRA_PACKAGES="clang-format" "$root/scripts/install-deps.sh"
cd "$root"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "Formatting checked"
