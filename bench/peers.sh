#!/usr/bin/env bash
# peers.sh: mirlan-batch against the command-line tools people use instead
# (ImageMagick, GraphicsMagick, vips, netpbm and libjpeg-turbo's djpeg and
# cjpeg), as whole processes on the same 6000 x 4000 colour PPM, 8-bit PGM,
# 24-bit BMP (netpbm's ppmtobmp of the PPM), JPEG (cjpeg's, quality 90) and
# PNG (vips's, at its default settings), input in the page cache and output on
# a RAM disk. Each command runs once to warm up, then 5 times; the median
# wall-clock time is kept. The table of medians and of the ratio
# mirlan-batch / fastest peer replaces the peers table of bench/README.md,
# with mirlan-batch's peak memory per operation.
#
#   bash bench/peers.sh          (as root it installs missing packages)
#
# Environment: BUILD (build folder, default build-peers), WORK (scratch
# folder on a RAM disk, default /dev/shm/mirlan-peers), RUNS (default 5).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-peers}
WORK=${WORK:-/dev/shm/mirlan-peers}
RUNS=${RUNS:-5}
README=$ROOT/bench/README.md

install_missing() {
  local missing=()
  for p in imagemagick graphicsmagick libvips-tools netpbm libjpeg-turbo-progs time python3; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_batch() {
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DMIRLAN_TESTS=OFF -DMIRLAN_BENCH=OFF >/dev/null
  cmake --build "$BUILD" --target mirlan-batch -j2 >/dev/null
  BATCH=$BUILD/batch/mirlan-batch
}

# A photo-like picture: gradients plus 4 bits of noise, the same bytes in
# every run.
make_inputs() {
  python3 - "$WORK" <<'PY'
import random, sys
work = sys.argv[1]
w, h = 6000, 4000
random.seed(1234)
low4 = bytes(b & 15 for b in range(256))
for name, channels, magic in (("colour.ppm", 3, b"P6"), ("grey.pgm", 1, b"P5")):
    base = bytes((x * (c + 1) // 31) & 255 for x in range(w) for c in range(channels))
    noise = random.randbytes(len(base) * 61).translate(low4)
    n = len(base)
    with open(f"{work}/{name}", "wb") as f:
        f.write(magic + b"\n%d %d\n255\n" % (w, h))
        for y in range(h):
            shift = bytes((b + y // 23) & 255 for b in range(256))
            row = base.translate(shift)
            k = (y * 7919 % 61) * n
            mixed = int.from_bytes(row, "big") ^ int.from_bytes(noise[k:k + n], "big")
            f.write(mixed.to_bytes(n, "big"))
PY
}

# ImageMagick's Debian policy caps memory and area below such a picture; a
# local policy lifts the caps for this run only.
magick_policy() {
  mkdir -p "$WORK/magick"
  cat >"$WORK/magick/policy.xml" <<'XML'
<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="width" value="64KP"/>
  <policy domain="resource" name="height" value="64KP"/>
  <policy domain="resource" name="area" value="4GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
XML
  export MAGICK_CONFIGURE_PATH=$WORK/magick
}

now_ns() { date +%s%N; }

# Median wall-clock seconds of a command line (run through eval, so that
# redirections cost the same as in a shell), or "-" when it fails.
median_of() {
  local cmd=$1 times=() t0 t1 i
  if ! eval "$cmd" >/dev/null 2>&1; then echo "-"; return; fi
  for ((i = 0; i < RUNS; i++)); do
    t0=$(now_ns); eval "$cmd" >/dev/null 2>&1; t1=$(now_ns)
    times+=($((t1 - t0)))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk -v n="$RUNS" 'NR == int((n + 1) / 2) { printf "%.3f", $1 / 1e9 }'
}

peak_kib() {
  /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ { print $2 }'
}

IM=/usr/bin/convert-im6.q16
[ -x "$IM" ] || IM=/usr/bin/convert

main() {
  [ "$(id -u)" = 0 ] && install_missing
  build_batch
  mkdir -p "$WORK"
  make_inputs
  magick_policy
  local C=$WORK/colour.ppm G=$WORK/grey.pgm B=$WORK/colour.bmp J=$WORK/colour.jpg P=$WORK/colour.png O=$WORK/out
  ppmtobmp "$C" >"$B" 2>/dev/null
  cjpeg -quality 90 -outfile "$J" "$C"
  vips copy "$C" "$P"
  cat "$C" "$G" "$B" "$J" "$P" >/dev/null  # into the page cache

  # Operation | input | mirlan-batch words | ImageMagick | GraphicsMagick |
  # vips | netpbm or libjpeg-turbo | mirlan-batch's output (default .tga).
  # Reading rows write a picture the size of the input's pixels, as
  # mirlan-batch does.
  local ops=(
    "Read and write (no-op)|$C||$IM $C $O.ppm|gm convert $C $O.ppm|vips copy $C $O.ppm|pamtopnm <$C >$O.ppm"
    "Read and write (grey)|$G||$IM $G $O.pgm|gm convert $G $O.pgm|vips copy $G $O.pgm|pamtopnm <$G >$O.pgm"
    "Reading BMP (colour)|$B||$IM $B $O.ppm|gm convert $B $O.ppm|vips copy $B $O.ppm|bmptopnm $B >$O.ppm"
    "Negative|$C|negatif|$IM $C -negate $O.ppm|gm convert $C -negate $O.ppm|vips invert $C $O.ppm|pnminvert $C >$O.ppm"
    "Quarter turn|$C|rot90h|$IM $C -rotate 90 $O.ppm|gm convert $C -rotate 90 $O.ppm|vips rot $C $O.ppm d90|pamflip -cw $C >$O.ppm"
    "Half turn|$C|rot180|$IM $C -rotate 180 $O.ppm|gm convert $C -rotate 180 $O.ppm|vips rot $C $O.ppm d180|pamflip -r180 $C >$O.ppm"
    "Mirror, rows reversed|$C|symetriev|$IM $C -flip $O.ppm|gm convert $C -flip $O.ppm|vips flip $C $O.ppm vertical|pamflip -tb $C >$O.ppm"
    "Mirror, each row reversed|$C|symetrieh|$IM $C -flop $O.ppm|gm convert $C -flop $O.ppm|vips flip $C $O.ppm horizontal|pamflip -lr $C >$O.ppm"
    "Grey levels|$C|niveauxgris|$IM $C -colorspace Gray $O.pgm|gm convert $C -colorspace gray $O.pgm|vips colourspace $C $O.pgm b-w|ppmtopgm $C >$O.pgm"
    "Fixed threshold (grey)|$G|seuillagefixe 5|$IM $G -threshold 50% $O.pgm|gm convert $G -threshold 50% $O.pgm|vips relational_const $G $O.pgm moreeq 128|pamthreshold -simple -threshold=0.5 $G >$O.pam"
    "Equalisation (grey)|$G|egalisation|$IM $G -equalize $O.pgm|gm convert $G -equalize $O.pgm|vips hist_equal $G $O.pgm|pnmhisteq $G >$O.pgm"
    "Stretching (colour)|$C|etirement|$IM $C -normalize $O.ppm|gm convert $C -normalize $O.ppm|vips scale $C $O.ppm|pnmnorm -bpercent=0 -wpercent=0 $C >$O.ppm"
    "Resize to half, nearest|$C|redim 3000 2000|$IM $C -sample 50% $O.ppm|gm convert $C -sample 50% $O.ppm|vips subsample $C $O.ppm 2 2|pamscale -nomix 0.5 $C >$O.ppm"
    "Writing TGA (colour)|$C||$IM $C $O.tga|gm convert $C $O.tga||pamtotga $C >$O.tga"
    "Reading JPEG (colour)|$J||$IM $J $O.ppm|gm convert $J $O.ppm|vips copy $J $O.v|djpeg -outfile $O.ppm $J"
    "Reading PNG (colour)|$P||$IM $P $O.ppm|gm convert $P $O.ppm|vips copy $P $O.v|pngtopam $P >$O.pam"
    "Writing PNG (colour)|$C||$IM $C $O.png|gm convert $C $O.png|vips copy $C $O.png|pnmtopng $C >$O.png|png"
    "Writing JPEG (colour, quality 90)|$C||$IM $C -quality 90 $O.jpg|gm convert $C -quality 90 $O.jpg|vips copy $C $O.jpg[Q=90]|cjpeg -quality 90 -outfile $O.jpg $C|jpg"
  )

  local table="| Operation | mirlan-batch | ImageMagick | GraphicsMagick | vips | netpbm | ratio | mirlan-batch peak |"
  table+=$'\n'"|---|---:|---:|---:|---:|---:|---:|---:|"
  local line name input words im gm vips pbm
  for line in "${ops[@]}"; do
    IFS='|' read -r name input words im gm vips pbm ext <<<"$line"
    ext=${ext:-tga}
    echo "== $name" >&2
    local ours times=() best="" t
    ours=$(median_of "$BATCH $input $O.mirlan.$ext $words")
    for cmd in "$im" "$gm" "$vips" "$pbm"; do
      if [ -z "$cmd" ]; then t="-"; else t=$(median_of "$cmd"); fi
      times+=("$t")
      if [ "$t" != "-" ] && { [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; }; then best=$t; fi
    done
    local ratio="-"
    [ -n "$best" ] && [ "$ours" != "-" ] && ratio=$(awk -v a="$ours" -v b="$best" 'BEGIN { printf "%.2f", a / b }')
    local peak
    # shellcheck disable=SC2086
    peak=$(peak_kib "$BATCH" "$input" "$O.mirlan.$ext" $words)
    table+=$'\n'"| $name | $ours | ${times[0]} | ${times[1]} | ${times[2]} | ${times[3]} | $ratio | $((peak / 1024)) MiB |"
    echo "   mirlan-batch $ours, peers ${times[*]}, ratio $ratio, peak $((peak / 1024)) MiB" >&2
  done
  local copy
  copy=$(median_of "cp $C $O.copy")
  "$BATCH" "$C" "$O.mirlan.png" && vips copy "$C" "$O.vips.png"
  local sizes
  sizes=$(stat -c %s "$O.mirlan.png" "$O.vips.png" | paste -sd' ' |
          awk '{ printf "PNG of the colour file: mirlan-batch %.1f MB, vips %.1f MB (%.3f ×)", $1 / 1e6, $2 / 1e6, $1 / $2 }')
  local note="Median of $RUNS runs, seconds, $(date -u +%Y-%m-%d), load average $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; cp of the colour file: $copy s. $sizes."

  python3 - "$README" "$table" "$note" <<'PY'
import sys
path, table, note = sys.argv[1:4]
text = open(path, encoding="utf-8").read()
start, end = "<!-- peers -->", "<!-- /peers -->"
block = f"{start}\n{note}\n\n{table}\n{end}"
if start in text:
    head, rest = text.split(start, 1)
    text = head + block + rest.split(end, 1)[1]
else:
    text = text.rstrip("\n") + "\n\n" + block + "\n"
open(path, "w", encoding="utf-8").write(text)
PY
  echo "$note" >&2
  echo "$table"
  rm -f "$O".*
}

main "$@"
