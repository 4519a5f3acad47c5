#!/usr/bin/env bash
# Mirlan installed as a user installs it: `cmake --install` into a staging
# folder (DESTDIR), the installed tree checked, the installed editor started
# from a folder without help pages and its documentation read back from the
# screen; the menu entry and the manual pages checked by their own tools; the
# Debian package built and checked by lintian.
#
# usage: install_package.sh BUILD_DIR SOURCE_DIR
build=$(realpath "$1")
# The shared helpers want an editor to start; this test starts the installed
# one, which does not exist yet.
source "$(dirname "$0")/e2e_lib.sh" "$build/app/mirlan" "$build/app/mirlan" "$2"
usr=$work/stage/usr

DESTDIR=$work/stage cmake --install "$build" --prefix /usr >/dev/null

[ "$(ls "$usr/bin" | tr '\n' ' ')" = "mirlan mirlan-batch " ] || fail "bin holds: $(ls "$usr/bin")"
for page in about install history gnu ui filters; do
  [ -f "$usr/share/mirlan/doc/$page.htm" ] || fail "help page $page.htm not installed"
done
ls "$usr/share/mirlan/samples/"*.tga >/dev/null || fail "no sample pictures"
for size in 32 48 64 128; do
  file "$usr/share/icons/hicolor/${size}x$size/apps/mirlan.png" |
    grep -q "PNG image data, $size x $size," || fail "no $size x $size icon"
done
desktop-file-validate "$usr/share/applications/mirlan.desktop" || fail "desktop entry"

for page in mirlan mirlan-batch; do
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
# mirlan-batch(1) keeps up with --help: every operation has its entry.
batch_page=$(zcat "$usr/share/man/man1/mirlan-batch.1.gz")
operations=$("$usr/bin/mirlan-batch" --help | sed -n '/^Op/,/^$/s/^  \([a-z0-9]*\) .*/\1/p')
[ -n "$operations" ] || fail "no operation read from mirlan-batch --help"
for op in $operations; do
  grep -q "^\.B $op\b" <<<"$batch_page" || fail "operation $op missing from mirlan-batch(1)"
done
version=$("$usr/bin/mirlan-batch" --version | cut -d' ' -f2)
grep -q "^\.TH .*\"Mirlan $version\"" <<<"$batch_page" || fail "mirlan-batch(1) is not of version $version"

# The documentation window opens on the About page, dark text down the whole
# page area; the help view's error page is two lines at its top. The lower
# part of the page area is read back from the screen and its dark pixels
# counted, for the installed editor and, to show that the count tells the
# two apart, for a copy of it with no pages installed beside it.
dark_pixels_in_help() {  # editor -> dark pixels in the lower page area
  mkdir -p "$work/elsewhere"
  cd "$work/elsewhere"
  "$1" >"$work/mirlan.log" 2>&1 &
  pid=$!
  main=$(wait_visible '^Mirlan$')
  sleep 0.5
  key F1
  local doc
  doc=$(wait_visible '^Documentation Mirlan$')
  sleep 0.3
  eval "$(xdotool getwindowgeometry --shell "$doc" 2>/dev/null)"
  send mousemove $((X + 70)) $((Y + 13))  # "A propos de Mirlan"
  send click --window "$doc" 1
  sleep 0.5
  xwd -id "$doc" -silent | gm convert xwd:- -crop 340x220+160+160 -colorspace gray -depth 8 gray:- |
    od -An -v -tu1 | awk '{ for (i = 1; i <= NF; i++) if ($i < 128) n++ } END { print n + 0 }'
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
}
installed=$(dark_pixels_in_help "$usr/bin/mirlan")
mkdir "$work/bare" && cp "$usr/bin/mirlan" "$work/bare/"
bare=$(dark_pixels_in_help "$work/bare/mirlan")
[ "$installed" -gt 1000 ] || fail "the installed editor shows no help page ($installed dark pixels)"
[ "$bare" -lt 100 ] || fail "the error page was not told apart ($bare dark pixels)"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { tail "$work/cpack.log" >&2; fail "cpack"; }
deb=$work/package/mirlan_${version}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q libfltk || fail "dependencies not computed from the binaries"
lintian "$deb" >"$work/lintian.txt" 2>&1 || true
grep '^W:' "$work/lintian.txt" >&2 || true
! grep '^E:' "$work/lintian.txt" >&2 || fail "lintian reports errors"
echo "PASS: installed, help found from elsewhere ($installed / $bare dark pixels), package $(basename "$deb")"
