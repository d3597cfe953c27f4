#!/usr/bin/env bash
# Builds the release kits of the named platforms into OUT: each platform in a static build of its
# own whose programs name no folder, each kit packed with the commit's time, sorted members and
# numeric owners, each Linux kit also as a Debian package and each Windows kit as an MSI, then
# SHA256SUMS over every kit and package in OUT.
# Usage: release/make-kits.sh OUT [PLATFORM...]; without a platform, every one the presets name.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "$1" && cd "$1" && pwd)
shift
# Every file's time in the kits; a copy of the sources without git history must be given it.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

# The platforms are the presets release-NAME of CMakePresets.json, and the web. Whether this
# machine can build a platform's kits; a new platform also needs its packages here and its kits'
# files in tests/check_release.sh.
platform_ready() {
  case $1 in
    Linux) bash tools/packages.sh build deb >&2 ;;
    Linux-aarch64) bash tools/packages.sh build arm64 deb >&2 ;;
    Windows) bash tools/packages.sh build windows msi >&2 ;;
    *)
      echo "No release platform named $1" >&2
      return 1 ;;
  esac
}

# pack STAGE NAME ARCHIVE: the folder STAGE/NAME into OUT/NAME.ARCHIVE.
pack() {
  local stage=$1 name=$2 archive=$3
  rm -f "$out/$name.$archive"
  chmod -R u+rwX,go+rX,go-w "$stage/$name"
  find "$stage/$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  case $archive in
    tar.gz)
      tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner --format=gnu \
        --mtime="@$SOURCE_DATE_EPOCH" -cf - "$name" | gzip -9n >"$out/$name.tar.gz" ;;
    zip)
      # zip keeps local times and reads names in the order given.
      (cd "$stage" && find "$name" -type f | LC_ALL=C sort |
        TZ=UTC zip -q -X -9 -@ "$out/$name.zip") ;;
  esac
}

# The site, once with every program and once with the student's two; each kit is a site beside
# its documents.
web_kits() {
  local build=$out/build/web stage=$out/build/web-kits site
  bash web/tools/build-site.sh "$build" -ULABSIM_WEB_PROGRAMS >/dev/null
  # Each site is named after its kit, which keys the files it keeps in a browser.
  bash web/tools/build-site.sh "$build-student" \
    -DLABSIM_WEB_PROGRAMS="$(cat "$build/student-programs.txt")" \
    -DLABSIM_WEB_PACKAGE_NAME="$(sed -n 's/^student \([^ ]*\) .*/\1/p' "$build/kits.txt")" >/dev/null
  rm -rf "$stage"
  while read -r component name archive; do
    site=$build/site && [ "$component" = teacher ] || site=$build-student/site
    mkdir -p "$stage/$name" && cp -R "$site/." "$stage/$name/"
    cp STUDENT-GUIDE.md "$stage/$name/"
    if [ "$component" = teacher ]; then
      cp README.md "$stage/$name/"
      mkdir -p "$stage/$name/docs" && cp -R docs/teacher-guide.md docs/images "$stage/$name/docs/"
    fi
    pack "$stage" "$name" "$archive"
    echo "$name.$archive"
  done <"$build/kits.txt"
}

bash tools/packages.sh release || exit 1
if [ $# -eq 0 ]; then
  mapfile -t platforms < <(cmake --list-presets | sed -n 's/^ *"release-\([^"]*\)".*/\1/p')
  set -- "${platforms[@]}" web
fi
for platform in "$@"; do
  if [ "$platform" = web ]; then
    web_kits
    continue
  fi
  platform_ready "$platform"
  build=$(cmake -DPRESET="release-$platform" -P cmake/preset-dir.cmake)
  stage=$build-kits
  echo "== $platform"
  cmake --preset "release-$platform" >/dev/null
  cmake --build "$build" -j 2
  rm -rf "$stage"
  while read -r component name archive; do
    cmake --install "$build" --strip --component "$component" --prefix "$stage/$name" >/dev/null
    pack "$stage" "$name" "$archive"
    echo "$name.$archive"
    # The installers IT departments deploy, packed from the same files.
    case $platform in
      Linux) bash release/make-deb.sh "$out" "$stage/$name" amd64 ;;
      Linux-aarch64) bash release/make-deb.sh "$out" "$stage/$name" arm64 ;;
      Windows) bash release/make-msi.sh "$out" "$stage/$name" ;;
    esac
  done <"$build/kits.txt"
done

cd "$out"
shopt -s nullglob
kits=(*.tar.gz *.zip *.deb *.msi)
sha256sum -- "${kits[@]}" >SHA256SUMS
echo "SHA256SUMS of ${#kits[@]} kits and packages in $out"
