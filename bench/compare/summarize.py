#!/usr/bin/python3
# Prints one table of a comparison run from hyperfine's JSON files: per piece
# of work the median wall time and the mean CPU time (user + system; hyperfine
# keeps only its mean) of every program, and each program's ratio to the engine's first row of that work
# (a ratio above 1 means the program took longer than the engine).
# Usage: summarize.py WORK.json [WORK.json ...]   (the file name is the work's name)
import json
import os
import sys


def rows_of(path):
    with open(path) as handle:
        results = json.load(handle)["results"]
    rows = []
    for result in results:
        rows.append((result["command"], result["median"], result["user"] + result["system"], len(result["times"])))
    return rows


print("| work | program | runs | median wall s | mean CPU s | wall / engine | CPU / engine |")
print("|---|---|---:|---:|---:|---:|---:|")
for path in sys.argv[1:]:
    work = os.path.splitext(os.path.basename(path))[0]
    rows = rows_of(path)
    _, engine_wall, engine_cpu, _ = rows[0]
    for name, wall, cpu, runs in rows:
        print(f"| {work} | {name} | {runs} | {wall:.3f} | {cpu:.3f} | {wall / engine_wall:.2f} | {cpu / engine_cpu:.2f} |")
