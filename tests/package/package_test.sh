#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks its file list and
# dependencies, installs it into a fresh root with dpkg, runs the installed
# program there and removes the package again.
#   package_test.sh BUILD_DIR SOURCE_DIR
# Exit 77 (skipped) when the Debian tools are missing.
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

for tool in dpkg-deb dpkg dpkg-shlibdeps cpack; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool not found; the Debian package cannot be built or installed here"
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# ---- build the package ------------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack -G DEB"; }
debs=("$tmp"/out/vaultra_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one vaultra_*.deb, found: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

# ---- its file list ------------------------------------------------------------------
dpkg-deb -c "$deb" | awk '{ $1=$2=$3=$4=$5=""; sub(/^ +/, ""); print }' >"$tmp/files"
expect_file() {
  grep -qxF -- "$1" "$tmp/files" || { cat "$tmp/files"; fail "package lacks $1"; }
}
expect_file "./usr/bin/vaultra -> ../lib/vaultra/vaultra"
expect_file "./usr/lib/vaultra/vaultra"
expect_file "./usr/lib/vaultra/vaultra-gui"
expect_file "./usr/lib/vaultra/vaultra.ini"
expect_file "./usr/share/applications/vaultra.desktop"
expect_file "./usr/share/icons/hicolor/scalable/apps/vaultra.svg"
expect_file "./usr/share/icons/hicolor/scalable/mimetypes/application-x-vaultra-project.svg"
expect_file "./usr/share/mime/packages/vaultra.xml"
expect_file "./usr/share/man/man1/vaultra.1.gz"
# Every shipped master file, and nothing else under Master/.
(cd "$src" && find Master -type f ! -name '*.md' | sed 's|^|./usr/lib/vaultra/|' | sort) >"$tmp/master.want"
grep '^\./usr/lib/vaultra/Master/.*[^/]$' "$tmp/files" | sort >"$tmp/master.got"
diff "$tmp/master.want" "$tmp/master.got" || fail "the package's Master/ differs from the shipped one"
[ "$(wc -l <"$tmp/master.want")" -ge 10 ] || fail "too few master files"
# The frame library (the production analysis), its folders and the folder
# list file that names them.
expect_file "./usr/lib/vaultra/PlaneFrameSDK/libFrameSDK.so"
expect_file "./usr/lib/vaultra/PlaneFrame/PlaneFrame"
expect_file "./usr/lib/vaultra/PlaneFrame.txt"
# Everything under /usr; none of the faulty libraries of the loader's tests.
grep -v '^\./usr/' "$tmp/files" | grep -vx '\./' && fail "files outside /usr"
grep -Ei 'broken_|\.md$' "$tmp/files" && fail "a test fixture is packaged"

# ---- its declared dependencies ---------------------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for want in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 qt6-qpa-plugins qt6-translations-l10n \
  libfreexl libjpeg fonts-ipafont-gothic fonts-ipafont-mincho; do
  [[ ", $depends" == *", $want"* ]] || fail "Depends lacks $want"
done
[ "$(dpkg-deb -f "$deb" Package)" = vaultra ] || fail "package name"

# ---- install into a fresh root --------------------------------------------------------
root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/log"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
# The fresh root has none of the dependencies (the host has them) and no
# shell to run scripts in: the package must need neither.
dpkg_root() {
  dpkg --root="$root" --force-not-root --force-depends --force-script-chrootless \
    --log=/dev/null "$@" >"$tmp/dpkg.log" 2>&1 || { cat "$tmp/dpkg.log"; fail "dpkg $*"; }
}
dpkg_root -i "$deb"
dpkg --root="$root" -s vaultra | grep -q '^Status: install ok installed' || fail "not installed"
[ -x "$root/usr/lib/vaultra/vaultra" ] || fail "no executable in the program folder"

# ---- run the installed program, through bin/vaultra, from elsewhere -------------------
exe=$root/usr/bin/vaultra
cd "$tmp"
version=$("$exe" --version)
echo "installed: $version"
[[ "$version" =~ ^Vaultra\ [0-9]+\.[0-9]+\ \(Ver\.[0-9.]+\)$ ]] || fail "--version: $version"
"$exe" calc --help | grep -q '^  vaultra calc PROJECT.vt1' || fail "calc --help"

sample=$src/samples/box_groundwater_stored.vt1
status=0
"$exe" calc "$sample" --work-dir "$tmp/work-installed" >"$tmp/calc.installed" 2>"$tmp/calc.err" ||
  status=$?
[ $status -le 1 ] || { cat "$tmp/calc.err"; fail "installed vaultra calc: status $status"; }
grep -q 'solver: frame library' "$tmp/calc.installed" ||
  fail "installed vaultra calc did not run the frame library"
grep -q 'O\.K\.' "$tmp/calc.installed" || fail "installed vaultra calc printed no verdicts"
echo "installed vaultra calc $(basename "$sample"): status $status, $(wc -l <"$tmp/calc.installed") lines"
# A drawing sub-command runs in the window program beside the installed vaultra.
QT_QPA_PLATFORM=offscreen "$exe" draw "$root/usr/lib/vaultra/Master/印刷/寸法記号図.PCJ" -o "$tmp/drawing.png" \
  2>"$tmp/draw.err" || { cat "$tmp/draw.err"; fail "installed vaultra draw"; }
[ "$(head -c 4 "$tmp/drawing.png" | tail -c 3)" = PNG ] || fail "installed vaultra draw wrote no PNG"
# It reads the master data of its own folder, not the build tree's.
mv "$root/usr/lib/vaultra/Master" "$root/usr/lib/vaultra/Master.away"
status=0
"$exe" calc "$sample" --work-dir "$tmp/work-nomaster" >/dev/null 2>"$tmp/calc.err" || status=$?
mv "$root/usr/lib/vaultra/Master.away" "$root/usr/lib/vaultra/Master"
[ $status -eq 2 ] || fail "calc without the installed Master/ gave status $status, not 2"

# ---- menu entry, MIME type, manual page ---------------------------------------------------
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/vaultra.desktop" || fail "desktop-file-validate"
else
  echo "note: desktop-file-validate not found; the menu entry is not validated"
fi
grep -qx 'Exec=vaultra %f' "$root/usr/share/applications/vaultra.desktop" || fail "Exec line"
grep -qx 'MimeType=application/x-vaultra-project;' "$root/usr/share/applications/vaultra.desktop" ||
  fail "MimeType line"
if command -v update-mime-database >/dev/null; then
  cp -r "$root/usr/share/mime" "$tmp/mime"
  update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database"
  grep -q ':application/x-vaultra-project:\*\.vt1' "$tmp/mime/globs2" || fail ".vt1 glob not registered"
else
  echo "note: update-mime-database not found; the MIME type is not compiled"
fi
man=$(gzip -dc "$root/usr/share/man/man1/vaultra.1.gz")
grep -q '^\.TH VAULTRA 1' <<<"$man" || fail "manual page header"
# The manual's synopsis is the program's own usage text.
"$exe" --help | sed -n 's/^  //p' | sed 's/\\/\\e/g; s/-/\\-/g' >"$tmp/usage"
while IFS= read -r line; do
  grep -qxF -- "$line" <<<"$man" || fail "manual page lacks: $line"
done <"$tmp/usage"

# ---- remove it again ----------------------------------------------------------------------
dpkg_root -r vaultra
[ ! -e "$root/usr/lib/vaultra/vaultra" ] && [ ! -L "$root/usr/bin/vaultra" ] || fail "files left after removal"
[ -z "$(find "$root/usr" -type f 2>/dev/null)" ] || { find "$root/usr" -type f; fail "files left after removal"; }
echo "package installed, run and removed"
