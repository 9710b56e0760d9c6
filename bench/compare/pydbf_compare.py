#!/usr/bin/python3
# python3-dbf's side of the comparison.
#   pydbf_compare.py walk FILE        every field of every record as text
#   pydbf_compare.py append FILE N    a new table of N walk-layout records
#   pydbf_compare.py memo-read FILE   every memo's text
# The records are the ones the engine's driver writes (see shp_compare.c).
import datetime
import os
import sys

import dbf


def new_table(path, specs, kind, codepage):
    """A new python3-dbf table of the given kind (db3, fp, vfp): the kind is the
    eighth parameter of dbf.Table, after memo size, memo handling and the two
    data-type maps, which keep their defaults."""
    return dbf.Table(path, specs, 128, False, codepage, None, None, kind)


command, path = sys.argv[1], sys.argv[2]
if command in ("walk", "memo-read"):
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    records = text = 0
    for record in table:
        if dbf.is_deleted(record):
            continue
        text += sum(len(str(value)) for value in record)
        records += 1
    table.close()
    print(f"{records} records, {text} bytes of text")
elif command == "append":
    count = int(sys.argv[3])
    if os.path.exists(path):
        os.remove(path)
    table = new_table(path, "NAME C(10); CITY C(10); AMOUNT N(8,0); ACTIVE L; SINCE D",
                      "db3", "cp1252")
    table.open(dbf.READ_WRITE)
    first = datetime.date(2024, 1, 1)
    for i in range(count):
        table.append((f"N{i:08d}", f"CITY{i % 997:03d}", i % 10000000, i % 2 == 0,
                      first + datetime.timedelta(days=i % 3650)))
    table.close()
    print(f"{count} records appended")
else:
    sys.exit(f"unknown command {command}")
