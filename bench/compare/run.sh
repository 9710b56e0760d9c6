#!/usr/bin/env bash
# Side-by-side comparison of the engine with other dBASE implementations and
# two raw baselines, on the same files in one run, timed as whole processes
# with hyperfine (medians of several runs). Prints one table at the end.
#
#   bench/compare/run.sh [RECORDS] [MEMOS]
#
# RECORDS (default 200000) is the size of the walk, append and filter work, MEMOS
# (default 20000) the number of 700-byte memos read. RUNS (default 7) and
# SLOW_RUNS (default 3, for the Perl and Python peers) set the runs per
# program; BUILD_DIR (default build-bench) is where the drivers are built;
# WORKS (default "walk append memo filter") chooses the pieces of work to time.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
records="${1:-200000}"
memos="${2:-20000}"
runs="${RUNS:-7}"
slow_runs="${SLOW_RUNS:-3}"
build="${BUILD_DIR:-$root/build-bench}"
python=/usr/bin/python3  # Debian's, with python3-dbf and python3-dbfread
works=" ${WORKS:-walk append memo filter} "
wants() { [[ "$works" == *" $1 "* ]]; }

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" -j2 --target quarzel_compare raw_read shp_compare

drivers="$build/bench/compare"
work="$(mktemp -d /tmp/quarzel-compare-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# time WORK RUNS NAME COMMAND [NAME COMMAND ...]
time_work() {
    local work="$1" count="$2"
    shift 2
    local args=()
    while [ $# -gt 0 ]; do
        args+=(-n "$1" "$2")
        shift 2
    done
    hyperfine --shell=none --style basic --warmup 1 --runs "$count" --export-json "$work.json" "${args[@]}" \
        > "$work.log" 2>&1
}

# Slow peers get fewer runs: their own file, merged into the work's table.
time_split() {
    local work="$1"
    shift
    time_work "$work.fast" "$runs" "${@:1:$FAST_ARGS}"
    time_work "$work.slow" "$slow_runs" "${@:$((FAST_ARGS + 1))}"
    "$python" - "$work.fast.json" "$work.slow.json" "$work.json" <<'PY'
import json, sys
fast, slow, out = sys.argv[1:]
merged = json.load(open(fast))
merged["results"] += json.load(open(slow))["results"]
json.dump(merged, open(out, "w"))
PY
}

summaries=()

if wants walk; then
    echo "Timing the walk ($records records) ..."
    "$drivers/quarzel_compare" append walk.dbf "$records" exclusive > /dev/null
    FAST_ARGS=10 time_split walk \
        engine-shared "$drivers/quarzel_compare walk walk.dbf shared" \
        engine-exclusive "$drivers/quarzel_compare walk walk.dbf exclusive" \
        shapelib "$drivers/shp_compare walk walk.dbf" \
        raw-blocks "$drivers/raw_read blocks walk.dbf" \
        raw-pread-per-record "$drivers/raw_read records walk.dbf" \
        perl-xbase "perl $here/xbase_compare.pl walk walk.dbf" \
        python3-dbf "$python $here/pydbf_compare.py walk walk.dbf" \
        python3-dbfread "$python $here/dbfread_compare.py walk walk.dbf"
    summaries+=(walk.json)
fi

if wants append; then
    echo "Timing the append ($records records) ..."
    FAST_ARGS=6 time_split append \
        engine-shared "$drivers/quarzel_compare append out-engine.dbf $records shared" \
        engine-shared-batch "$drivers/quarzel_compare append out-engine-b.dbf $records batch" \
        engine-exclusive "$drivers/quarzel_compare append out-engine-x.dbf $records exclusive" \
        shapelib "$drivers/shp_compare append out-shp.dbf $records" \
        perl-xbase "perl $here/xbase_compare.pl append out-xbase.dbf $records" \
        python3-dbf "$python $here/pydbf_compare.py append out-pydbf.dbf $records"
    summaries+=(append.json)
fi

if wants memo; then
    echo "Timing the memo reads ($memos memos) ..."
    "$drivers/quarzel_compare" memo-write memo4.dbf "$memos" 700 dbase4 > /dev/null
    "$drivers/quarzel_compare" memo-write memofox.dbf "$memos" 700 foxpro > /dev/null
    FAST_ARGS=2 time_split memo-read-dbase4 \
        engine "$drivers/quarzel_compare memo-read memo4.dbf" \
        perl-xbase "perl $here/xbase_compare.pl memo-read memo4.dbf" \
        python3-dbfread "$python $here/dbfread_compare.py memo-read memo4.dbf"
    FAST_ARGS=2 time_split memo-read-foxpro \
        engine "$drivers/quarzel_compare memo-read memofox.dbf" \
        perl-xbase "perl $here/xbase_compare.pl memo-read memofox.dbf" \
        python3-dbf "$python $here/pydbf_compare.py memo-read memofox.dbf" \
        python3-dbfread "$python $here/dbfread_compare.py memo-read memofox.dbf"
    summaries+=(memo-read-dbase4.json memo-read-foxpro.json)
fi

# time_filter WORK ENGINE-EXPRESSION SQL-CONDITION: the engine's filtered walk
# first, then its plain walk of the same table, then SQLite's scan of the same
# rows (the table has no index) with the same condition.
time_filter() {
    local work="$1" expression="$2" condition="$3"
    local query="SELECT count(*) FROM zahlungen WHERE $condition"
    time_work "$work" "$runs" \
        engine-filter "$drivers/quarzel_compare count pay.dbf \"$expression\"" \
        engine-plain-walk "$drivers/quarzel_compare count pay.dbf" \
        sqlite3 "sqlite3 pay.db \"$query\""
    echo "  $work selects: engine $("$drivers/quarzel_compare" count pay.dbf "$expression")," \
        "sqlite3 $(sqlite3 pay.db "$query") records"
}

if wants filter; then
    echo "Timing the filters ($records records) ..."
    "$drivers/quarzel_compare" payments pay.dbf "$records" > /dev/null
    "$drivers/quarzel_compare" payments-csv "$records" > pay.csv
    sqlite3 pay.db "CREATE TABLE zahlungen(name TEXT, ort TEXT, betrag REAL, datum TEXT);" \
        ".import --csv --skip 1 pay.csv zahlungen"
    time_filter filter-upper "UPPER(NAME) = 'MEIER' AND BETRAG > 100" "upper(name) = 'MEIER' AND betrag > 100"
    time_filter filter-dtos "DTOS(DATUM) >= '20230101' AND SUBSTR(ORT, 1, 3) = 'Ber'" \
        "strftime('%Y%m%d', datum) >= '20230101' AND substr(ort, 1, 3) = 'Ber'"
    summaries+=(filter-upper.json filter-dtos.json)
fi

echo
echo "Machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Work: $records records of NAME C10, CITY C10, AMOUNT N8, ACTIVE L, SINCE D (walk, append);"
echo "      $memos memos of 700 bytes; $records payments of NAME C10, ORT C12, BETRAG N10.2, DATUM D (filters)"
echo
"$python" "$here/summarize.py" "${summaries[@]}"
