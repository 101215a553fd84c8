#!/usr/bin/env bash
# Checks what `make install` and `make package` give: installs into a temporary DESTDIR, runs the
# desktop's validators over the installed files and lintian over the package.
#   tools/check-package.sh [BUILD_DIR]     (default build; `make package` must have run)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

make --no-print-directory install BUILD_DIR="$build" DESTDIR="$root" PREFIX=/usr >/dev/null
expected=(
  usr/bin/bravel
  usr/share/applications/de.quillfen.bravel.desktop
  usr/share/applications/quillfen-bravel.desktop
  usr/share/mime/packages/quillfen-bravel.xml
  usr/share/icons/hicolor/scalable/apps/quillfen-bravel.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-bravel.svg
  usr/share/metainfo/de.quillfen.bravel.metainfo.xml
  usr/share/man/man1/bravel.1.gz
)
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || { echo "missing after make install: $file" >&2; exit 1; }
done

desktop-file-validate "$root/usr/share/applications/de.quillfen.bravel.desktop" \
  "$root/usr/share/applications/quillfen-bravel.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/de.quillfen.bravel.metainfo.xml"
xmllint_out=$(update-mime-database -V "$root/usr/share/mime" 2>&1)
if grep -qi error <<<"$xmllint_out"; then echo "$xmllint_out" >&2; exit 1; fi
grep -q '^application/x-bravel:\*\.bvk$' <(cut -d: -f2- "$root/usr/share/mime/globs2")
man --warnings -l "$root/usr/share/man/man1/bravel.1.gz" 2>&1 >/dev/null | { ! grep .; }

package=$(ls "$build"/bravel_*.deb)
# lintian's exit code counts errors only; warnings are shown.
lintian --fail-on error "$package"
dpkg-deb -f "$package" Depends
echo "installed files and package checked"
