#!/usr/bin/env bash
# engine_table.sh: builds and runs the engine benchmarks (bench_engine and
# bench_geometry) and writes their table into bench/README.md, between the
# "table" markers. Each time is the best of five runs; each ratio is that time
# over the best memcpy of a buffer of the same depth in the same program.
#
#   bash bench/engine_table.sh [build directory, default build-bench]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DMIRLAN_SANITIZE=OFF -DMIRLAN_BENCH=ON >/dev/null
cmake --build "$build" --target bench_engine bench_geometry -j"$(nproc)" >/dev/null
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for program in bench_engine bench_geometry; do
  "$build/bench/$program" --benchmark_format=json --benchmark_repetitions=5 >"$out/$program.json"
done
python3 - "$out/bench_engine.json" "$out/bench_geometry.json" bench/README.md <<'EOF'
import json, re, sys

# Extra memory each operation takes beyond the image itself, by depth where
# it differs. The tables have a fixed size, whatever the image's.
EXTRA = {
    "Negatif": "none", "Luminosite/24": "3 pair tables, 384 KiB", "Luminosite/8": "pair table, 128 KiB",
    "Contraste": "pair table, 128 KiB", "Saturation": "sum table, 192 KiB",
    "NiveauxGris": "output buffer (1/3 of the image)", "CouleursRVB": "output buffer (3 × the image)",
    "DentsDeScie": "none", "SeuillageAl": "none", "SeuillageFixe": "none", "CalcHistos": "none",
    "EgalHisto": "pair table, 128 KiB", "EtirementHisto/24": "level table, 64 KiB",
    "EtirementHisto/8": "level table 64 KiB + pair table 128 KiB",
    "SymetrieV": "one row", "SymetrieH": "one row", "Rot180": "one row",
    "Rot90h": "output buffer", "Rot90a": "output buffer",
    "RedimensionneHalf": "output buffer", "RedimensionneDouble": "output buffer",
    "Distance4Point": "none", "Distance8Point": "none",
}
# Depth conversions are compared with a memcpy of the 24-bit image they read or write.
YARDSTICK_DEPTH = {"CouleursRVB": "24"}

rows = []
for path in sys.argv[1:3]:
    best = {}
    for b in json.load(open(path))["benchmarks"]:
        if b.get("run_type") != "iteration":
            continue
        name, depth = b["run_name"].split("/")[:2]
        ms = b["real_time"] if b["time_unit"] == "ms" else b["real_time"] / 1e6
        key = (name[3:], depth)
        best[key] = min(best.get(key, ms), ms)
    for (name, depth), ms in best.items():
        if name == "Memcpy":
            continue
        base = best[("Memcpy", YARDSTICK_DEPTH.get(name, depth))]
        extra = EXTRA.get(name + "/" + depth, EXTRA.get(name, "?"))
        rows.append(f"| {name} | {depth} | {ms:.1f} | {ms / base:.2f} | {extra} |")
    for depth in ("24", "8"):
        rows.append(f"| memcpy (yardstick, {path.split('/')[-1][:-5]}) | {depth} | {best[('Memcpy', depth)]:.1f} | 1.00 | - |")

table = "\n".join(["| operation | bits | ms | × memcpy | extra memory |", "|---|---|---|---|---|"] + rows)
readme = open(sys.argv[3]).read()
readme = re.sub(r"(<!-- table -->\n).*?(<!-- /table -->)", lambda m: m.group(1) + table + "\n" + m.group(2), readme, flags=re.S)
open(sys.argv[3], "w").write(readme)
print(table)
EOF
