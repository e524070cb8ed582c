#!/usr/bin/env bash
# Builds Tavrel in Release, makes the 100,000-job sample shop and a 30,000-job
# one once (kept per seed), runs every benchmark program on them and prints one
# table of "measure, ours, raw SQLite, ratio"; the table and every program's results are
# written as JSON under build/bench/ so two commits can be compared side by side.
#
#   scripts/bench.sh [--seed S] [--jobs N] [--filter REGEX] [--programs "A B"]
#
# TAVREL_BENCH_BUILD_DIR (default build-release) is the Release build folder;
# TAVREL_BENCH_OUT (default build/bench) holds the sample and the results.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${TAVREL_BENCH_BUILD_DIR:-$root/build-release}"
out="${TAVREL_BENCH_OUT:-$root/build/bench}"
seed=2011
jobs=100000
filter=""
programs=""
while [ $# -gt 0 ]; do
  case "$1" in
    --seed) seed="$2"; shift 2 ;;
    --jobs) jobs="$2"; shift 2 ;;
    --filter) filter="$2"; shift 2 ;;
    --programs) programs="$2"; shift 2 ;;
    *) echo "usage: scripts/bench.sh [--seed S] [--jobs N] [--filter REGEX] [--programs \"A B\"]" >&2; exit 2 ;;
  esac
done

export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
if [ -z "$programs" ]; then
  programs=$(cd "$root/bench" && ls *.cpp | sed 's/\.cpp$//' | tr '\n' ' ')
fi
# Only what the benchmarks run: the programs, the program itself and the tool.
cmake --build "$build" -j "${TAVREL_BENCH_BUILD_JOBS:-$(nproc)}" --target tavrel tavrel-dbtool $programs

mkdir -p "$out"
sample="$out/sample-jobs$jobs-seed$seed.mdb"
# The time it took to make is kept beside it (wall clock, one run).
made="${sample%.mdb}.made.json"
if [ ! -f "$sample" ]; then
  echo "making the sample shop ($jobs jobs, seed $seed): $sample"
  start=$(date +%s.%N)
  "$build/tavrel-dbtool" sample "$sample.part" --jobs "$jobs" --seed "$seed" >/dev/null
  end=$(date +%s.%N)
  mv "$sample.part" "$sample"
  python3 -c "import json,sys; json.dump({'benchmarks': [{'name': 'BM_SampleShop%sJobs' % sys.argv[2], 'run_type': 'iteration', 'real_time': ($end - $start) * 1000, 'time_unit': 'ms'}]}, open(sys.argv[1], 'w'))" "$made" "$jobs"
fi
export TAVREL_BENCH_SAMPLE="$sample"
# The receivables list and posting are measured on a 30,000-job shop.
sample30="$out/sample-jobs30000-seed$seed.mdb"
if [ ! -f "$sample30" ]; then
  echo "making the sample shop (30000 jobs, seed $seed): $sample30"
  "$build/tavrel-dbtool" sample "$sample30.part" --jobs 30000 --seed "$seed" >/dev/null
  mv "$sample30.part" "$sample30"
fi
export TAVREL_BENCH_SAMPLE_30000="$sample30"
export QT_QPA_PLATFORM=offscreen

stamp=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
results="$out/results-$stamp"
mkdir -p "$results"
for p in $programs; do
  echo "== $p"
  args=(--benchmark_out="$results/$p.json" --benchmark_out_format=json)
  [ -n "$filter" ] && args+=(--benchmark_filter="$filter")
  (cd "$build/bench" && "./$p" "${args[@]}") || echo "$p failed (exit $?)"
done

[ -f "$made" ] && cp "$made" "$results/SampleShopMade.json"

# Benchmarks that keep the sample open to their end leave its lock file.
rm -f "${sample%.mdb}.ldb" "${sample30%.mdb}.ldb"

# Making a sample shop of 20,000 jobs, timed (wall clock, one run).
if [ -z "$filter" ] || echo "sample" | grep -Eq "$filter"; then
  part="$results/sample-20000.mdb"
  rm -f "$part" "${part%.mdb}.ldb"
  start=$(date +%s.%N)
  "$build/tavrel-dbtool" sample "$part" --jobs 20000 --seed "$seed" >/dev/null
  end=$(date +%s.%N)
  python3 -c "import json,sys; json.dump({'benchmarks': [{'name': 'BM_SampleShop20000Jobs', 'run_type': 'iteration', 'real_time': ($end - $start) * 1000, 'time_unit': 'ms'}]}, open(sys.argv[1], 'w'))" "$results/SampleTool.json"
  rm -f "$part" "${part%.mdb}.ldb"
fi

python3 - "$results" "$out/bench-$stamp.json" "$stamp" <<'PY'
import glob, json, os, sys
results, table_path, stamp = sys.argv[1], sys.argv[2], sys.argv[3]
best = {}
peak = {}  # peak memory in MB, from benchmarks that report the counter peak_MB
for path in glob.glob(os.path.join(results, "*.json")):
    try:
        data = json.load(open(path))
    except Exception:
        continue
    for b in data.get("benchmarks", []):
        if b.get("run_type", "iteration") != "iteration" or b.get("error_occurred"):
            continue
        name = b.get("run_name", b["name"]).split("/")[0]
        unit = b.get("time_unit", "ns")
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[unit]
        t = b["real_time"] * scale  # milliseconds, wall clock
        if "peak_MB" in b:
            if name not in peak or b["peak_MB"] < peak[name]:
                peak[name] = b["peak_MB"]
            continue
        if "file_bytes" in b:
            t = b["file_bytes"] / 1e6  # a size: megabytes instead of a time
        if name not in best or t < best[name]:
            best[name] = t
# measure, ours, the same work on raw SQLite (or the base it is held to), goal:
# a ratio to the base, or ("ms", n) for a time of ours under n milliseconds.
pairs = [
    ("start-up to the first view (base: empty file)", "BM_StartUpToFirstView", "BM_StartUpEmptyShop", 1.5),
    ("start-up shop query (base: SQLite left join)", "BM_CompanyInfoQuery", "BM_CompanyInfoRawLeftJoin", None),
    ("start-up shop query as written (SQLite right join)", "BM_CompanyInfoRawRightJoin", "BM_CompanyInfoRawLeftJoin", None),
    ("Jobs view All Orders, first screen", "BM_JobsViewDefaultList", "BM_RawStatementSameList", ("ms", 50)),
    ("Jobs view All Orders, filled", "BM_JobsViewDefaultListAllRowsRead", "BM_RawStatementSameList", 1.3),
    ("jobs list open (snapshot)", "BM_JobsListOpen", "BM_JobsListOpenDirect", 1.5),
    ("dynaset full scan", "BM_DynasetScan", "BM_DynasetScanDirect", 1.2),
    ("in-memory table load, 100,000 rows", "BM_XTableLoad100k", "BM_SqliteRead100k", 1.3),
    ("open a job window", "BM_OpenJobWindow", "BM_RawJobAndItems", ("ms", 15)),
    ("job items view refill", "BM_RefillItemsView", "BM_RawItemRows", 3),
    ("customers by year report, rendered", "BM_CustomersByYearRendered", "BM_CustomersByYearPlainSqlite", 1.5),
    ("customer summary window", "BM_CustomerSummaryWindow", "BM_CustomerSummaryRawSqlite", None),
    ("services list", "BM_ServicesListNow", "BM_RawSqliteSameList", None),
    ("services sort order saved", "BM_SaveSortOrder", "BM_RawSqliteSortOrder", 1.5),
    ("inventory grouped need", "BM_InventoryGroupedNeedThroughTheEngine", "BM_InventoryGroupedNeedRawSqlite", None),
    ("item save, 40 services", "BM_Write40Services", "BM_Raw41RowsOneTransaction", 2),
    ("post 1,000 orders", "BM_PostThousandOrders", "BM_PostThousandOrdersRawSqlite", None),
    ("Ready-to-Post list at 30,000 jobs, first screen", "BM_ReadyToPostFirstScreen", "BM_ReadyToPostRawSqlite",
     ("ms", 50)),
    ("Ready-to-Post list at 30,000 jobs, filled", "BM_ReadyToPostFilled", "BM_ReadyToPostRawSqlite", 1.3),
    ("post 3,000 orders at 30,000 jobs", "BM_PostSampleOrders", "BM_PostSampleOrdersRawSqlite", ("ms", 2000)),
    ("aging summary", "BM_AgingSummarySample", "BM_AgingSummarySampleRawSqlite", None),
    ("report through a recordset", "BM_ReportThroughRecordset", "BM_ReportPlainSqlite", None),
    ("schedule list", "BM_ScheduleList", "BM_ScheduleListRawSqlite", 1.3),
    ("table to PDF", "BM_EngineTableToPdf", "BM_PlainPainterToPdf", 1.2),
    ("reprice a job (cached)", "BM_RepriceJobWithCache", None, None),
    ("reprice a job", "BM_RepriceJob", None, None),
    ("tavrel-dbtool sample --jobs 20000", "BM_SampleShop20000Jobs", None, ("ms", 10000)),
    ("tavrel-dbtool sample --jobs 100000 (when the sample was made)", "BM_SampleShop100000Jobs", None, ("ms", 60000)),
    ("file size, MB (base: plain SQLite, same rows and indexes)", "BM_FileSizeSample", "BM_FileSizePlainSqlite", 1.05),
    ("file size after compaction, MB (base: plain SQLite)", "BM_FileSizeCompacted", "BM_FileSizePlainSqlite", None),
]
# measure, ours, the same rows read raw, goal: peak memory (MB) of a child process
memory_pairs = [
    ("peak memory filling Jobs view All Orders", "BM_JobsViewDefaultListPeakMemory",
     "BM_RawStatementSameListPeakMemory", 1.5),
]
rows, used = [], set()
for label, ours, base, goal in memory_pairs:
    if ours not in peak:
        continue
    b = peak.get(base)
    ratio = peak[ours] / b if b else None
    rows.append({"measure": label, "ours": ours, "ours_mb": round(peak[ours], 1), "raw": base,
                 "raw_mb": round(b, 1) if b else None, "ratio": round(ratio, 3) if ratio else None, "goal": goal,
                 "unit": "MB"})
for label, ours, base, goal in pairs:
    if ours not in best:
        continue
    used.add(ours)
    b = best.get(base) if base else None
    if base:
        used.add(base)
    ratio = best[ours] / b if b else None
    rows.append({"measure": label, "ours": ours, "ours_ms": round(best[ours], 4), "raw": base,
                 "raw_ms": round(b, 4) if b else None, "ratio": round(ratio, 3) if ratio else None, "goal": goal})
for name in sorted(set(best) - used):
    rows.append({"measure": name, "ours": name, "ours_ms": round(best[name], 4), "raw": None, "raw_ms": None,
                 "ratio": None, "goal": None})
json.dump({"commit": stamp, "unit": "ms (best run); MB for file sizes", "rows": rows}, open(table_path, "w"), indent=1)
w = max(len(r["measure"]) for r in rows) if rows else 10
print()
print(f"{'measure':<{w}}  {'ours ms':>10}  {'raw SQLite ms':>13}  {'ratio':>6}  goal")
for r in rows:
    ratio = f"{r['ratio']:.2f}" if r["ratio"] is not None else "-"
    g = r["goal"]
    if isinstance(g, (list, tuple)):
        met = r.get("ours_ms") is not None and r["ours_ms"] < g[1]
        goal = f"< {g[1]} ms" + (" met" if met else " NOT met")
    elif g:
        met = r["ratio"] is not None and r["ratio"] <= g
        goal = f"<= {g}x" + (" met" if met else " NOT met")
    else:
        goal = ""
    if r.get("unit") == "MB":
        raw = f"{r['raw_mb']:.4g} MB" if r["raw_mb"] is not None else "-"
        ours = f"{r['ours_mb']:.4g} MB"
    else:
        raw = f"{r['raw_ms']:.4g}" if r["raw_ms"] is not None else "-"
        ours = f"{r['ours_ms']:.4g}"
    print(f"{r['measure']:<{w}}  {ours:>10}  {raw:>13}  {ratio:>6}  {goal}")
print(f"\ncommit {stamp}; table: {table_path}")
PY
