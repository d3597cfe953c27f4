#!/usr/bin/env bash
# Packs an unpacked Linux kit as a Debian package for apt: the programs in /usr/bin, the kit's
# documents under /usr/share/doc/PACKAGE/, and a launcher per program that runs it in ~/labsim.
# Every file carries SOURCE_DATE_EPOCH, so the package is the same bytes on every build.
# Usage: release/make-deb.sh OUT KIT ARCH (KIT is e.g. .../labsim-student-1.0.0-Linux)
set -euo pipefail
out=$1 kit=$2 arch=$3
name=${kit##*/}
# The kit's name is PACKAGE-VERSION-PLATFORM; the package's own revision is 1.
package=${name%%-[0-9]*} version=${name#"$package"-} && version=${version%%-*}
deb_version=$version-1
maintainer="labsim maintainers <maintainers@labsim.invalid>"
stage=$(mktemp -d) && trap 'rm -rf "$stage"' EXIT
root=$stage/root doc=$stage/root/usr/share/doc/$package share=$stage/root/usr/share/$package
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$doc" "$share" "$root/usr/share/applications"

# The kit's programs go on the path; its other files, wherever they sit, are documents, but for
# the licence, which Debian keeps in the copyright file.
programs=()
while IFS= read -r file; do
  if [ "${file##*/}" = LICENSE ]; then
    continue
  elif [ -x "$kit/$file" ]; then
    install -m 0755 "$kit/$file" "$root/usr/bin/" && programs+=("${file##*/}")
  else
    install -D -m 0644 "$kit/$file" "$doc/${file#share/doc/*/}"
  fi
done < <(cd "$kit" && find . -type f -printf '%P\n' | LC_ALL=C sort)

# A launcher starts in the desktop's terminal, so the program's results file needs a folder
# the student owns and finds again: ~/labsim, made on the first start.
cat >"$share/in-labsim" <<'EOF'
#!/bin/sh
# Runs a labsim program in ~/labsim, made when missing, so that its results land there.
set -e
mkdir -p "$HOME/labsim"
cd "$HOME/labsim"
[ "$1" = rodheat-profile ] || exec "/usr/bin/$1"
# The profile asks nothing, so its window would close on its last line before anyone read it.
status=0 && "/usr/bin/$1" || status=$?
printf 'Press Enter to close this window.'
read -r _ || true
exit "$status"
EOF
chmod 0755 "$share/in-labsim"
for program in "${programs[@]}"; do
  cat >"$root/usr/share/applications/labsim-$program.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=$program
Comment=labsim experiment; its files go to the labsim folder in your home folder
Exec=/usr/share/$package/in-labsim $program
Icon=utilities-terminal
Terminal=true
Categories=Education;Physics;
Keywords=labsim;physics;experiment;simulation;
EOF
done

# The programs are linked statically on purpose: one file runs on every lab machine's release.
mkdir -p "$root/usr/share/lintian/overrides"
for program in "${programs[@]}"; do
  echo "$package: statically-linked-binary [usr/bin/$program]"
done >"$root/usr/share/lintian/overrides/$package"

date=$(date -u -d "@$SOURCE_DATE_EPOCH" -R)
printf '%s\n' "$package ($deb_version) unstable; urgency=medium" "" \
  "  * labsim $version, packed from the release kit." "" " -- $maintainer  $date" |
  gzip -9n >"$doc/changelog.Debian.gz"
# The project's LICENSE, as the copyright format has it: the holder from its copyright line, its
# text indented, an empty line as a dot. Debian calls this text Expat.
license=$kit/$(cd "$kit" && find . -name LICENSE -printf '%P\n' | head -n 1)
{
  printf '%s\n' "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
    "Upstream-Name: labsim" "" "Files: *" \
    "Copyright: $(sed -n 's/^Copyright (c) //p' "$license")" "License: Expat"
  sed -n '/^Permission/,$p' "$license" | sed 's/^$/./; s/^/ /'
} >"$doc/copyright"

# The teacher's package and the student's ship the same programs, so a machine has one of them.
other=labsim-student && [ "$package" != labsim-student ] || other=labsim
find "$root" -path "$root/DEBIAN" -prune -o -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$root" && find usr -type f -printf '%P\n' | LC_ALL=C sort | sed 's|^|usr/|' |
  xargs md5sum) >"$root/DEBIAN/md5sums"
size=$(find "$root/usr" -printf '%s %y\n' | awk '{ n += $2 == "f" ? int(($1 + 1023) / 1024) : 1 }
  END { print n }')
what="the heated rod and the needle experiments"
[ "$package" = labsim-student ] || what="$what, and the teacher's true-profile diagnostic"
{
  printf '%s\n' "Package: $package" "Version: $deb_version" "Architecture: $arch" \
    "Maintainer: $maintainer" "Installed-Size: $size" "Conflicts: $other" "Replaces: $other" \
    "Recommends: xterm | x-terminal-emulator" \
    "Section: science" "Priority: optional" \
    "Description: Simulated lab apparatus for a physics competition"
  echo "Console programs standing in for lab apparatus: $what. Each has a desktop launcher" \
    "that runs it in the user's ~/labsim folder, where its results file lands." |
    fold -s -w 72 | sed 's/ *$//; s/^/ /'
} >"$root/DEBIAN/control"
chmod -R u+rwX,go+rX,go-w "$root"
find "$root/DEBIAN" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# xz packs one thread and several differently; one thread gives the same bytes on every machine.
dpkg-deb --root-owner-group -Zxz --threads-max=1 --build "$root" \
  "$out/${package}_${deb_version}_$arch.deb" >/dev/null
echo "${package}_${deb_version}_$arch.deb"
