#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the tree a user gets: the two programs
# and nothing else in bin/, the desktop integration files, and that the validators accept them.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "install check: $*" >&2; exit 1; }
id=io.github.kestramusiceditor.Kestra
share=$prefix/share

[[ "$(ls "$prefix/bin" | sort | tr '\n' ' ')" == "kestra kestra-cli " ]] ||
  fail "bin/ holds: $(ls "$prefix/bin" | tr '\n' ' ')"
for f in applications/$id.desktop metainfo/$id.metainfo.xml mime/packages/$id.xml \
         icons/hicolor/scalable/apps/$id.svg icons/hicolor/48x48/apps/$id.png \
         icons/hicolor/256x256/apps/$id.png man/man1/kestra.1.gz man/man1/kestra-cli.1.gz \
         doc/kestra-music-editor/LICENSE; do
  [[ -s $share/$f ]] || fail "missing $f"
done

desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
xmllint --noout "$share/mime/packages/$id.xml"
# Every file type the desktop entry claims is one the system knows or this package defines.
for type in $(sed -n 's/^MimeType=//p' "$share/applications/$id.desktop" | tr ';' ' '); do
  case $type in
    application/x-nes-rom) ;;
    *) grep -q "type=\"$type\"" "$share/mime/packages/$id.xml" || fail "$type is not defined" ;;
  esac
done
"$prefix/bin/kestra" --version | grep -q '^kestra ' || fail "kestra --version"
"$prefix/bin/kestra-cli" --version | grep -q '^kestra-cli ' || fail "kestra-cli --version"
echo "install check passed"
