#!/usr/bin/env bash
# Packs an unpacked Windows kit as an MSI for Group Policy or Intune: installed per machine in
# Program Files, a Start-menu shortcut per program that runs it in the user's Documents\labsim,
# and one per guide page. Its codes are derived from names and contents and its times are
# SOURCE_DATE_EPOCH, so the file is the same bytes on every build.
# Usage: release/make-msi.sh OUT KIT (KIT is e.g. .../labsim-student-1.0.0-Windows)
set -euo pipefail
# The files' order is the cabinet's and the tables' order, the same in every locale.
export LC_ALL=C
out=$(cd "$1" && pwd) kit=$2
name=${kit##*/}
package=${name%%-[0-9]*} version=${name#"$package"-} && version=${version%%-*}
# Windows Installer compares three fields of a version and ignores the fourth: the commit's date
# (year and day of the year) there tells two builds of one release apart without a number to keep.
build=$(date -u -d "@$SOURCE_DATE_EPOCH" +%y%j) && msi_version=$version.$((10#$build))
stage=$(mktemp -d) && trap 'rm -rf "$stage"' EXIT

# uuid NAME: a name-based (version 5 style) UUID, the same on every build.
uuid() {
  local h
  h=$(printf 'labsim:%s' "$1" | sha1sum)
  printf '%s-%s-5%s-%x%s-%s' "${h:0:8}" "${h:8:4}" "${h:13:3}" $((0x${h:16:1} & 3 | 8)) \
    "${h:17:3}" "${h:20:12}" | tr a-f A-F
}
# id TEXT: an MSI identifier, letters, digits, dots and underscores.
id() { printf 'f_%s' "${1//[^A-Za-z0-9.]/_}"; }

# directory FOLDER: the kit's FOLDER as nested Directory elements, a component per file.
directory() {
  local path entry base
  for entry in "$kit${1:+/$1}"/*; do
    base=${entry##*/} path=${1:+$1/}$base
    if [ -d "$entry" ]; then
      echo "<Directory Id=\"$(id "d/$path")\" Name=\"$base\">"
      directory "$path"
      echo "</Directory>"
    else
      echo "<Component Id=\"$(id "$path")\" Guid=\"$(uuid "$package/file/$path")\" Win64=\"yes\">"
      echo "<File Id=\"$(id "$path")\" Name=\"$base\" Source=\"$path\" KeyPath=\"yes\"/>"
      echo "</Component>"
    fi
  done
}

# A shortcut's working folder is fixed at install time, for the installing account: cmd makes
# and enters the user's own Documents\labsim when the program starts, so results land there.
# The profile asks nothing, so its window would close on its last line before anyone read it.
shortcuts() {
  local program folder='%USERPROFILE%\Documents\labsim' page title wait
  for program in "$kit"/*.exe; do
    program=${program##*/} wait=""
    [ "$program" != rodheat-profile.exe ] || wait=" &amp; pause"
    echo "<Shortcut Id=\"$(id "s/$program")\" Name=\"${program%.exe}\"" \
      "Description=\"labsim: ${program%.exe}, its files in Documents\\labsim\"" \
      "Target=\"[System64Folder]cmd.exe\" WorkingDirectory=\"INSTALLDIR\" Icon=\"labsim.ico\"" \
      "Arguments=\"/c mkdir &quot;$folder&quot; 2&gt;nul &amp; cd /d &quot;$folder&quot;" \
      "&amp;&amp; &quot;[INSTALLDIR]$program&quot;$wait\"/>"
  done
  # The guides' pages open in the browser, the way nothing opens a Markdown file.
  for page in "$kit"/*.html "$kit"/docs/*.html; do
    [ -f "$page" ] || continue
    page=${page#"$kit"/}
    case ${page##*/} in
      STUDENT-GUIDE.html) title="Student guide" ;;
      teacher-guide.html) title="Teacher's guide" ;;
      *) title=${page##*/} && title=${title%.html} ;;
    esac
    echo "<Shortcut Id=\"$(id "s/$page")\" Name=\"$title\" Target=\"[INSTALLDIR]${page//\//\\}\"/>"
  done
}

# The Start menu's icon, the site's drawn at the sizes Windows shows; an .ico holds PNG images
# as they are, behind a directory of their sizes and places.
sizes=(16 32 48 256)
for size in "${sizes[@]}"; do
  rsvg-convert -w "$size" -h "$size" "$(dirname "$0")/../web/page/icon.svg" -o "$stage/$size.png"
done
(cd "$stage" && perl -e 'my @png = map { local $/; open my $f, "<:raw", "$_.png" or die; <$f> } @ARGV;
  my $at = 6 + 16 * @ARGV; print pack("vvv", 0, 1, scalar @ARGV);
  for my $i (0 .. $#ARGV) { print pack("CCCCvvVV", $ARGV[$i] % 256, $ARGV[$i] % 256, 0, 0, 1, 32,
    length $png[$i], $at); $at += length $png[$i] }
  print @png' "${sizes[@]}" >labsim.ico)

# The codes name what the MSI is made of: its files, this script and the version. The same
# inputs give the same codes; any other file, layout or version, another product and package
# code, so that two different installers never share one and a new one replaces the old.
contents=$( { (cd "$kit" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
  sha256sum <"$0"; echo "$msi_version"; } | sha256sum | cut -c1-64)
product=$(uuid "$package/product/$contents") upgrade=$(uuid "$package/upgrade")
title=$package && [ "$package" = labsim ] || title="labsim (student)"
cat >"$stage/$package.wxs" <<EOF
<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
<Product Id="$product" Name="$title $version" Language="1033"
  Version="$msi_version" Manufacturer="labsim" UpgradeCode="$upgrade">
<Package Id="$(uuid "$package/package/$contents")" InstallerVersion="500" Compressed="yes"
  InstallScope="perMachine" Description="$title $version"
  Comments="labsim $msi_version, under the MIT licence (LICENSE.txt); THIRD-PARTY-NOTICES.txt"/>
<MajorUpgrade DowngradeErrorMessage="A newer $title is already installed."/>
<Media Id="1" Cabinet="labsim.cab" EmbedCab="yes"/>
<Icon Id="labsim.ico" SourceFile="$(realpath --relative-to="$kit" "$stage")/labsim.ico"/>
<Property Id="ARPPRODUCTICON" Value="labsim.ico"/>
<Property Id="ARPCOMMENTS" Value="MIT licence: LICENSE.txt in the installed folder"/>
<Directory Id="TARGETDIR" Name="SourceDir">
<Directory Id="ProgramFiles64Folder">
<Directory Id="INSTALLDIR" Name="$package">
$(directory "")
</Directory>
</Directory>
<Directory Id="ProgramMenuFolder">
<Directory Id="MenuFolder" Name="$title">
<Component Id="Shortcuts" Guid="$(uuid "$package/shortcuts")" Win64="yes">
$(shortcuts)
<RemoveFolder Id="MenuFolder" On="uninstall"/>
<RegistryValue Root="HKLM" Key="Software\\labsim\\$package" Name="Shortcuts" Type="integer"
  Value="1" KeyPath="yes"/>
</Component>
</Directory>
</Directory>
</Directory>
<Feature Id="Complete" Level="1">
$(grep -o '<Component Id="[^"]*"' <<<"$(directory ""; echo '<Component Id="Shortcuts"')" |
  sed 's/<Component Id=\(.*\)/<ComponentRef Id=\1\/>/')
</Feature>
</Product>
</Wix>
EOF
file=$out/$package-$version-x64.msi
rm -f "$file"
# wixl takes each Source, the icon's too, as a path relative to where it runs.
(cd "$kit" && wixl -a x64 -o "$file" "$stage/$package.wxs")
# wixl's MajorUpgrade finds older versions only; a rebuild of the same version with other
# contents (a new product code) must replace the installed one too, so the search includes it.
# The attributes are part of the row's key, which a query cannot change: the row is made anew,
# including its maximum (512) and migrating the features (1) as before.
msibuild "$file" -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'" \
  -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty)
    VALUES ('{$upgrade}', '$msi_version', 513, 'WIX_UPGRADE_DETECTED')"

# wixl stamps each build with a fresh revision code and the clock's time: the code becomes the
# package code, and both times (properties 12 and 13, FILETIMEs) become SOURCE_DATE_EPOCH.
msibuild "$file" -s "$title $version" labsim 'x64;1033' "{$(uuid "$package/package/$contents")}"
summary=$'\005SummaryInformation'
msiinfo extract "$file" "$summary" >"$stage/summary" 2>/dev/null
le32() { od -An -tu4 -j "$1" -N 4 "$stage/summary" | tr -d ' '; }
filetime=$(printf '%016x' $(((SOURCE_DATE_EPOCH + 11644473600) * 10000000)))
new='\x40\x00\x00\x00' && for i in 14 12 10 8 6 4 2 0; do new+="\\x${filetime:$i:2}"; done
section=$(le32 44) && count=$(le32 $((section + 4)))
for ((i = 0; i < count; i++)); do
  property=$(le32 $((section + 8 + 8 * i))) at=$((section + $(le32 $((section + 12 + 8 * i)))))
  [ "$property" = 12 ] || [ "$property" = 13 ] || continue
  # The stream's bytes lie in the file as they are; a property's 12 bytes are found there, by a
  # byte search that no line end or character encoding among them can mislead.
  old=$(od -An -tx1 -j "$at" -N 12 "$stage/summary" | tr -d ' \n')
  for offset in $(perl -e 'open my $f, "<:raw", $ARGV[1] or die; local $/; my $d = <$f>;
      my ($p, $i) = (pack("H*", $ARGV[0]), -1);
      print "$i\n" while ($i = index($d, $p, $i + 1)) >= 0' "$old" "$file"); do
    printf %b "$new" | dd of="$file" bs=1 seek="$offset" conv=notrunc status=none
  done
done
want=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%a %b %e %T %Y')
times=$(TZ=UTC msiinfo suminfo "$file" | grep -c -e "^Created: $want$" -e "^Last saved: $want$" || true)
[ "$times" = 2 ] || { echo "$file: its times were not set" >&2; exit 1; }
echo "${file##*/}"
