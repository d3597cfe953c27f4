#!/usr/bin/env bash
# Builds the release kits of the named platforms into OUT: each platform in a static build of its
# own (OUT/build/PLATFORM) whose programs name no folder, each kit with the licence and the
# third-party notices and packed with the commit's time, sorted members and numeric owners, each
# Linux kit also as a Debian package and each Windows kit as an MSI, then SHA256SUMS over every
# kit and package in OUT and MSI-CODES.txt, the codes IT's deployment tools ask for.
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

# kit_documents PLATFORM KIT: the licence and the notices beside the kit's guide. On Windows,
# where nothing opens Markdown, each guide also as a page beside it, and every text with the line
# ends Notepad and the rest expect.
kit_documents() {
  local kit=$2 docs guide page other up
  docs=$(dirname "$(find "$kit" -name 'STUDENT-GUIDE.*' | head -n 1)")
  cp "$out/build/THIRD-PARTY-NOTICES.txt" "$docs/"
  [ "$1" = Windows ] || { cp LICENSE "$docs/" && return; }
  cp LICENSE "$docs/LICENSE.txt"
  local guides=()
  for guide in README.md STUDENT-GUIDE.md docs/teacher-guide.md; do
    [ -z "$(find "$kit" -path "$kit/${guide%.md}.*")" ] || guides+=("$guide")
  done
  for guide in "${guides[@]}"; do
    page=$kit/${guide%.md}.html
    node web/tools/make_guide.mjs "$guide" "$page" "${guides[@]}"
    # The site's pages lie in one folder with the site around them; here, the way back to the
    # site goes, and the links between the top folder and docs/ get their folders back.
    sed -i -e '/<a href="index.html">/d' -e '/<link rel="icon"/d' "$page"
    for other in "${guides[@]}"; do
      [ "$(dirname "$other")" != "$(dirname "$guide")" ] || continue
      up=docs/ && [ "$guide" = "${guide#docs/}" ] || up=../
      other=${other##*/} && other=${other%.md}.html
      sed -i "s|href=\"$other|href=\"$up$other|g" "$page"
    done
    [ "$guide" != "${guide#docs/}" ] || sed -i 's|src="images/|src="docs/images/|' "$page"
  done
  find "$kit" -type f \( -name '*.md' -o -name '*.txt' \) -exec sed -i 's/$/\r/' {} +
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
    cp STUDENT-GUIDE.md LICENSE "$stage/$name/"
    if [ "$component" = teacher ]; then
      cp README.md "$stage/$name/"
      mkdir -p "$stage/$name/docs" && cp -R docs/teacher-guide.md docs/images "$stage/$name/docs/"
    fi
    pack "$stage" "$name" "$archive"
    echo "$name.$archive"
  done <"$build/kits.txt"
}

bash tools/packages.sh release || exit 1
# The notices come from the lock file and the licences of the page's packages, which its modules
# hold; the site makes the same file for itself.
bash web/tools/build-site.sh --modules-only >&2
mkdir -p "$out/build"
node web/tools/make_notices.mjs web LICENSE "$out/build/THIRD-PARTY-NOTICES.txt"
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
  # Inside OUT, whatever folder the preset names, so that two releases never share a build.
  build=$out/build/$platform stage=$out/build/$platform-kits
  echo "== $platform"
  cmake --preset "release-$platform" -B "$build" >/dev/null
  cmake --build "$build" -j 2
  rm -rf "$stage"
  while read -r component name archive; do
    cmake --install "$build" --strip --component "$component" --prefix "$stage/$name" >/dev/null
    kit_documents "$platform" "$stage/$name"
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
# What Intune, Configuration Manager and an uninstall by code need, read back from each MSI.
msis=(*.msi)
if [ ${#msis[@]} -gt 0 ]; then
  for msi in "${msis[@]}"; do
    msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v msi="$msi" '
      $1 == "ProductCode" || $1 == "UpgradeCode" || $1 == "ProductVersion" { v[$1] = $2 }
      END { print msi "  ProductCode " v["ProductCode"] "  UpgradeCode " v["UpgradeCode"] \
        "  ProductVersion " v["ProductVersion"] }'
  done >MSI-CODES.txt
  cat MSI-CODES.txt
fi
