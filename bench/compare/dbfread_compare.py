#!/usr/bin/python3
# python3-dbfread's side of the comparison (it only reads).
#   dbfread_compare.py walk FILE        every field of every record as text
#   dbfread_compare.py memo-read FILE   every memo's text
import sys

from dbfread import DBF

command, path = sys.argv[1], sys.argv[2]
if command not in ("walk", "memo-read"):
    sys.exit(f"unknown command {command}")
records = text = 0
for record in DBF(path, encoding="cp1252"):
    text += sum(len(str(value)) for value in record.values())
    records += 1
print(f"{records} records, {text} bytes of text")
