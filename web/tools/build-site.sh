#!/usr/bin/env bash
# The site, built with the preset web: the page's modules from the lock file, then emscripten's
# build into FOLDER. The ARGUMENTs go to the configure step (-DLABSIM_WEB_PROGRAMS=...,
# -DLABSIM_WEB_PACKAGE_NAME=...); TARGET names what to build (package-web for the site's .zip).
# Usage: web/tools/build-site.sh FOLDER [ARGUMENT...]
#        web/tools/build-site.sh --modules-only
set -euo pipefail
cd "$(dirname "$0")/../.."

bash tools/packages.sh web
# Never a browser of npm's own: the checks drive the system's browsers.
if [ ! -f web/node_modules/.package-lock.json ] ||
  [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
  (cd web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund)
fi
[ "$1" != --modules-only ] || exit 0

folder=$1
shift
# Debian's emscripten runs its tools with a Node that does not search Debian's module folders.
export NODE_PATH=/usr/share/nodejs:/usr/lib/nodejs
emcmake cmake --preset web -B "$folder" "$@" >/dev/null
cmake --build "$folder" -j 2 --target "${TARGET:-all}"
