#!/usr/bin/env bash
# Checks the release kits in build-release/ (or $1): each holds exactly its files, the notices
# in each name every package the page bundles, each packaged Linux program starts in an empty
# root (as root), the Debian packages and MSIs install, launch into the user's labsim folder and
# uninstall without a trace, an MSI of other contents replaces the installed one, and the kits
# and packages of the platforms in $2 (Linux) built again from a copy of the sources elsewhere
# are the same bytes.
# shellcheck disable=SC2016,SC2034 # check evaluates its quoted command itself
set -uo pipefail
shopt -s nullglob
cd "$(dirname "$0")/.." || exit 1
kits=$(cd "${1:-build-release}" && pwd) platforms=${2:-Linux} tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
v=$(sed -n 's/^project(labsim VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt) passed=0 failed=0
check() { if eval "$2"; then ((passed++)); else echo "FAILED: $1" && ((failed++)); fi; }
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

doc=share/doc/labsim exe="needlefield.exe rodheat.exe"
site="index.html labsim.css labsim.js STUDENT-GUIDE.html"
site+=" programs/site.js programs/needlefield.js programs/rodheat.js"
site+=" vendor/xterm-LICENSE.txt vendor/xterm.css manifest.webmanifest sw.js icons/icon.svg"
site+=" THIRD-PARTY-NOTICES.txt LICENSE"
site+=" icons/icon-180.png icons/icon-192.png icons/icon-512.png"
# The student guide in each language it has, and what the programs print, explained in each.
for tag in $(ls i18n); do
  [ ! -f "i18n/$tag/STUDENT-GUIDE.md" ] || site+=" STUDENT-GUIDE.$tag.html"
  [ ! -f "i18n/$tag/program-words.json" ] || site+=" program-words.$tag.html"
done
guide="docs/teacher-guide.md docs/images/profile.png docs/images/web-page.png"
teacher="bin/needlefield bin/rodheat bin/rodheat-profile $doc/README.md $doc/STUDENT-GUIDE.md"
for file in $guide LICENSE THIRD-PARTY-NOTICES.txt; do teacher+=" $doc/$file"; done
student="STUDENT-GUIDE.md needlefield rodheat LICENSE THIRD-PARTY-NOTICES.txt"
windows="$exe STUDENT-GUIDE.html LICENSE.txt THIRD-PARTY-NOTICES.txt"
for kit in "labsim-$v-Linux.tar.gz $teacher" "labsim-$v-Linux-aarch64.tar.gz $teacher" \
  "labsim-$v-Windows.zip README.md STUDENT-GUIDE.md $guide rodheat-profile.exe $windows \
    README.html docs/teacher-guide.html" \
  "labsim-student-$v-Linux.tar.gz $student" "labsim-student-$v-Linux-aarch64.tar.gz $student" \
  "labsim-student-$v-Windows.zip STUDENT-GUIDE.txt $windows" \
  "labsim-$v-web.zip README.md README.html teacher-guide.html images/profile.png \
    images/web-page.png STUDENT-GUIDE.md $guide $site programs/rodheat-profile.js setup.html setup.js \
    translate.html translate.js teacher_pages.css" \
  "labsim-student-$v-web.zip STUDENT-GUIDE.md $site"; do
  read -r file files <<<"$kit" && name=${file%.*} && name=${name%.tar}
  check "$file holds $files" '[ "$(cmake -E tar tf "$kits/$file" | grep -v "/$" | sort)" = \
    "$(printf "$name/%s\n" $files | sort)" ] && mkdir "$tmp/$name" &&
    (cd "$tmp/$name" && cmake -E tar xf "$kits/$file")'
done
bundled=$(node -e 'for (const [path, entry] of Object.entries(require("./web/package-lock.json").packages))
  if (path && !entry.dev) console.log(path.replace(/^.*node_modules\//, ""))')
for notices in "$tmp"/*/*/{,share/doc/*/}THIRD-PARTY-NOTICES.txt; do
  check "${notices#"$tmp"/*/} names every package the page bundles" '[ -n "$bundled" ] && [ -z \
    "$(for package in $bundled; do grep -q "^$package [0-9]" "$notices" || echo "$package"; done)" ]'
done

dialogue='100\n30\n0 10\n5\n1\nr1\n\n\n'
if [ "$(id -u)" = 0 ]; then
  # An aarch64 program runs under qemu, with no other file of its own processor in the root.
  qemu=$(command -v qemu-aarch64) && qemu_files="$qemu $(ldd "$qemu" | grep -o '/[^ ]*')"
  for program in "$tmp"/labsim*-Linux*/*/{,bin/}{rodheat,needlefield,rodheat-profile}; do
    root=$(mktemp -d -p "$tmp") && cp "$program" "$root/" && run=""
    [[ $program != *aarch64* ]] || run=$qemu
    for f in ${run:+$qemu_files}; do cp --parents "$f" "$root"; done
    want=$(cd "$tmp" && echo 0 50 50 | $run "$program" | head -n 1)
    check "$program starts in an empty root" '[ -n "$want" ] && [ "$(echo 0 50 50 | timeout 300 \
      chroot "$root" $run "/${program##*/}" | head -n 1)" = "$want" ]'
  done
  # A launcher's wrapper, its /usr made the scratch root's, must leave the results in ~/labsim.
  for deb in "$kits"/*_amd64.deb; do
    root=$(mktemp -d -p "$tmp") home=$(mktemp -d -p "$tmp") && package=${deb##*/}
    package=${package%%_*} && mkdir -p "$root/var/lib/dpkg/info" && : >"$root/var/lib/dpkg/status"
    check "${deb##*/} installs into a scratch root" 'dpkg --root="$root" -i "$deb" >/dev/null'
    launcher=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/labsim-rodheat.desktop")
    check "the rodheat launcher of $package writes into ~/labsim" '(cd "$tmp" &&
      printf "$dialogue" | HOME=$home sh -c "$(sed "s|/usr/|$root/usr/|" "$root${launcher% *}")" \
      sh rodheat >/dev/null) && [ -s "$home/labsim/r1.txt" ]'
    check "dpkg -r $package leaves nothing" 'dpkg --root="$root" -r "$package" >/dev/null &&
      [ -z "$(cd "$root" && find . -mindepth 1 -not -path "./var*")" ]'
  done
else
  echo "skipped: starting each program in an empty root needs root (chroot)"
fi
for deb in "$kits"/*.deb; do
  # lintian leaves files in its temporary folder.
  check "lintian finds no error in ${deb##*/}" 'TMPDIR=$tmp lintian --fail-on error "$deb" \
    >"$tmp/lintian.log" 2>&1 || ! cat "$tmp/lintian.log"'
  check "${deb##*/} carries the notices" 'dpkg-deb -c "$deb" | grep "/THIRD-PARTY-NOTICES.txt$" >/dev/null'
done

# Each MSI in a Wine prefix of its own, whose Documents is a scratch home; the shortcut's command
# line, as the MSI records it, runs as cmd runs a line of a batch file. Wine's server keeps its
# socket in TMPDIR.
wine() {
  WINEPREFIX=$tmp/wine HOME=$tmp/wine-home TMPDIR=$tmp WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d" "$loader" "$@"
}
loader=$(sed -n 's/^LABSIM_WINE:FILEPATH=//p' "$kits/build/Windows/CMakeCache.txt" 2>/dev/null)
msis=("$kits"/*.msi) && documents=$tmp/wine/drive_c/users/$(id -un)/Documents/labsim
if [ ${#msis[@]} -gt 0 ]; then
  check "Wine makes a prefix for the MSIs" 'mkdir "$tmp/wine-home" &&
    wine wineboot -i >/dev/null 2>&1'
  for msi in "${msis[@]}"; do
    package=${msi##*/} && package=${package%%-[0-9]*} && rm -rf "$documents"
    check "${msi##*/} installs silently" 'wine msiexec /i "$msi" /qn &&
      [ -f "$tmp/wine/drive_c/Program Files/$package/rodheat.exe" ] &&
      [ -n "$(find "$tmp/wine/drive_c" -name rodheat.lnk)" ]'
    line=$(msiinfo export "$msi" Shortcut | awk -F'\t' '$3 == "rodheat" { print $6 }')
    printf '@%s%s%s\r\n' "${line%%\[INSTALLDIR]*}" 'C:\Program Files\'"$package"'\' \
      "${line#*\[INSTALLDIR]}" | sed 's|^@/c |@|' >"$tmp/shortcut.bat"
    check "the rodheat shortcut of $package writes into Documents\\labsim" '(cd "$tmp" &&
      printf "$dialogue" | wine cmd.exe /c "$(wine winepath -w "$tmp/shortcut.bat")" >/dev/null) &&
      [ -s "$documents/r1.txt" ]'
    check "${msi##*/} carries the notices" 'msiinfo export "$msi" File | cut -f 3 |
      grep -x THIRD-PARTY-NOTICES.txt >/dev/null'
    # The same version rebuilt with other contents must take the installed one's place: its own
    # files stay, and removing it by its product code leaves no file of either.
    kit=$tmp/$package-$v-Windows/$package-$v-Windows new=$tmp/new-$package && mkdir "$new"
    cp -R "$kit" "$new/" && echo changed >>"$new/${kit##*/}/LICENSE.txt"
    check "an MSI of other contents installs over ${msi##*/}" 'bash release/make-msi.sh "$new" \
      "$new/${kit##*/}" >/dev/null && wine msiexec /i "$new/${msi##*/}" /qn &&
      [ "$(tail -n 1 "$tmp/wine/drive_c/Program Files/$package/LICENSE.txt")" = changed ]'
    code=$(msiinfo export "$new/${msi##*/}" Property | tr -d '\r' |
      awk -F'\t' '$1 == "ProductCode" { print $2 }')
    # Wine at times leaves the shortcuts' icon in its installer's own cache, which it manages.
    check "msiexec /x by product code removes every file of $package" 'wine msiexec /x "$code" /qn &&
      [ -z "$(find "$tmp/wine/drive_c" -ipath "*labsim*" -not -path "*/windows/Installer/*")" ]'
  done
  WINEPREFIX=$tmp/wine TMPDIR=$tmp "${loader%/*}/wineserver" -k
fi

# A second build elsewhere, from a copy of the files git knows, with the same commit time.
mkdir "$tmp/src" && git ls-files -z -co --exclude-standard | tar --null -T - -cf - |
  tar -C "$tmp/src" -xf -
check "the kits of $platforms build again" 'bash "$tmp/src/release/make-kits.sh" "$tmp/again" \
  $platforms >"$tmp/again.log" 2>&1 || ! cat "$tmp/again.log"'
# The same bytes, and the ones SHA256SUMS promises.
for again in "$tmp/again"/*.{tar.gz,zip,deb,msi}; do
  kit=${again##*/} && sha256sum "$kits/$kit" "$again"
  check "$kit is the same bytes when built again, as SHA256SUMS has it" 'cmp -s "$kits/$kit" \
    "$again" && grep -qxF "$(cd "$tmp/again" && sha256sum "$kit")" "$kits/SHA256SUMS"'
done
echo "release: $passed passed, $failed failed$([ "$(id -u)" = 0 ] || echo ', 1 skipped')"
[ "$failed" = 0 ]
