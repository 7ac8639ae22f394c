#!/usr/bin/env bash
# Checks the packages that scripts/package.sh wrote to dist/: lintian finds no
# error in the .deb, its desktop entry validates, it installs with its
# dependencies, the installed programs answer, and it removes cleanly; the zip
# holds the Windows programs and a README.txt with CR LF line ends, and the
# tools in it run under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
APT=(env DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o DPkg::Lock::Timeout=900)

fail() { echo "check-packages.sh: $*" >&2; exit 1; }

deb="$(ls dist/tavo-3d_*_amd64.deb)"
zip="$(ls dist/tavo-3d-*-win64.zip)"

echo "lintian $deb"
# Errors fail the check; warnings and notes are shown.
lintian --fail-on error "$deb"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work/deb"
desktop-file-validate "$work/deb/usr/share/applications/tavo_3d.desktop"

"${APT[@]}" install -y "./$deb" >/dev/null
/usr/bin/tavo_3d --version
/usr/bin/tavo-inspect --help >/dev/null
/usr/bin/tavo-render --version
"${APT[@]}" remove -y tavo-3d >/dev/null
for left in /usr/bin/tavo_3d /usr/share/applications/tavo_3d.desktop /usr/share/doc/tavo-3d /usr/share/tavo_3d; do
  [ ! -e "$left" ] || fail "$left is left after the removal"
done
echo "the .deb installs, runs and removes cleanly"

unzip -q "$zip" -d "$work/zip"
folder="$work/zip/$(basename "$zip" .zip)"
for file in tavo_3d.exe tavo-inspect.exe tavo-render.exe README.txt; do
  [ -f "$folder/$file" ] || fail "$(basename "$zip") has no $file"
done
if grep -qv $'\r$' "$folder/README.txt"; then fail "README.txt has lines without CR LF"; fi
echo "the zip holds the programs and README.txt with CR LF"

# The programs run from the unpacked folder: the console tools under Wine in
# a fresh prefix (the mascot itself is driven by tests/e2e/wine).
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(cd "$folder" && wine tavo-inspect.exe --version && wine tavo-render.exe --icon 64 --out icon.png >/dev/null)
[ -s "$folder/icon.png" ] || fail "tavo-render.exe drew nothing from the unpacked folder"
wineserver -k 2>/dev/null || true
echo "the Windows tools run from the unpacked folder"
