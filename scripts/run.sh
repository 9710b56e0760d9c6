#!/usr/bin/env bash
# Installs what is missing, builds the trainer and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/setup.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -- quarzel
exec build/app/quarzel "$@"
