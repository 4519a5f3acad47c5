#!/usr/bin/env bash
# editor_table.sh: runs bench/editor_fluid (the editor on a 6000 x 4000
# photo, under a private Xvfb) and rewrites the editor table of
# bench/README.md with the median of 3 repetitions of every figure.
#
#   bash bench/editor_table.sh
#
# Environment: BUILD (build folder, default build-editor-bench), XDISPLAY (the Xvfb
# display number, default 77).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-editor-bench}
XDISPLAY=${XDISPLAY:-77}
README=$ROOT/bench/README.md

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DMIRLAN_BENCH=ON >/dev/null
cmake --build "$BUILD" --target editor_fluid -j2 >/dev/null

Xvfb ":$XDISPLAY" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

json=$(mktemp /tmp/mirlan_editor_XXXXXX.json)
DISPLAY=":$XDISPLAY" "$BUILD/bench/editor_fluid" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_out="$json" --benchmark_out_format=json >&2

python3 - "$json" "$README" "$(cut -d' ' -f1-3 /proc/loadavg)" "$(nproc)" <<'PY'
import json, sys, datetime
data, readme, load, cores = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4]
rows = {}
for b in json.load(open(data))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        rows[b["run_name"]] = b

def ms(name):
    b = rows.get(name)
    return None if b is None else b["real_time"]

def fmt(v, bar=None):
    if v is None:
        return "-"
    text = f"{v:.0f}" if v >= 10 else f"{v:.1f}"
    return text + (" (over)" if bar is not None and v > bar else "")

memcpy = ms("BM_Memcpy")
lines = [f"Median of 3 repetitions, wall-clock milliseconds, {datetime.date.today()}, "
         f"load average {load} on {cores} cores; memcpy of the 72 MB picture: {fmt(memcpy)} ms.", ""]
lines += ["| Command (bar 100 ms) | zoom 100 | fit to window (7 %) |", "|---|---:|---:|"]
for name in [n for n in rows if n.startswith("BM_Command/") and n.endswith("_zoom100/real_time")]:
    base = name[len("BM_Command/"):-len("_zoom100/real_time")]
    lines.append(f"| {base} | {fmt(ms(name), 100)} | {fmt(ms('BM_Command/' + base + '_fit/real_time'), 100)} |")
lines += ["", "| Other (bar) | ms |", "|---|---:|",
          f"| Opening the PPM photo (300 ms) | {fmt(ms('BM_Open/ppm/real_time'), 300)} |",
          f"| Opening the TGA photo (300 ms) | {fmt(ms('BM_Open/tga/real_time'), 300)} |",
          f"| Opening the BMP photo (300 ms) | {fmt(ms('BM_Open/bmp/real_time'), 300)} |",
          f"| Opening the JPEG photo, quality 90 (400 ms) | {fmt(ms('BM_Open/jpg/real_time'), 400)} |",
          f"| Opening the PNG photo (no bar) | {fmt(ms('BM_Open/png/real_time'))} |",
          f"| Zoom in, 100 to 110 % (20 ms) | {fmt(ms('BM_ZoomStep/in/real_time'), 20)} |",
          f"| Zoom out, 100 to 90 % (20 ms) | {fmt(ms('BM_ZoomStep/out/real_time'), 20)} |",
          f"| Fit to window from 100 % (20 ms) | {fmt(ms('BM_ZoomStep/fit/real_time'), 20)} |",
          f"| Actual size from 300 % (20 ms) | {fmt(ms('BM_ZoomStep/actual/real_time'), 20)} |",
          f"| A page of scrolling at 100 % (20 ms) | {fmt(ms('BM_ScrollPage/100/real_time'), 20)} |",
          f"| A page of scrolling at 300 % (20 ms) | {fmt(ms('BM_ScrollPage/300/real_time'), 20)} |",
          f"| Whole-window redraw at 100 % | {fmt(ms('BM_RedrawWindow/100/real_time'))} |",
          f"| Whole-window redraw at 300 % | {fmt(ms('BM_RedrawWindow/300/real_time'))} |"]
def counter(name, key, unit=" MiB", digits=0):
    b = rows.get(name)
    return "-" if b is None or key not in b else f"{b[key]:.{digits}f}{unit}"
lines += ["", "| Resident memory | |", "|---|---:|",
          f"| After a command at zoom 100 | {counter('BM_Command/Negatif_zoom100/real_time', 'rss_MiB')} |",
          f"| Peak during the commands (the history at its budget) | {counter('BM_Command/Etirement_fit/real_time', 'peak_MiB')} |",
          f"| At 100 % | {counter('BM_RedrawWindow/100/real_time', 'rss_MiB')} |",
          f"| At 300 % (bar: 5 % above 100 %) | {counter('BM_RedrawWindow/300/real_time', 'rss_MiB')} |",
          f"| History's stored pictures at the peak (budget: a quarter of the memory, at most 2 GiB) | {counter('BM_Command/RetablirEgalisation_fit/real_time', 'history_MiB')} |",
          f"| After twenty quarter turns, above the level after opening (bar: 3.2 pictures) | {counter('BM_QuarterTurnsMemory/iterations:1/real_time', 'above_open_pictures', ' pictures', 2)} |"]
block = "<!-- editor -->\n" + "\n".join(lines) + "\n<!-- /editor -->"
text = open(readme, encoding="utf-8").read()
head, rest = text.split("<!-- editor -->", 1)
text = head + block + rest.split("<!-- /editor -->", 1)[1]
open(readme, "w", encoding="utf-8").write(text)
print(block)
PY
rm -f "$json"
