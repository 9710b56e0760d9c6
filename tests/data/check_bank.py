#!/usr/bin/env python3
"""Checks a question bank in JSON Lines before it ships: every line parses,
keys are the question table's stored field names, FRAGENR is unique and
starts with its KAPITEL, every block 1-18 has at least 8 questions, a
multiple-choice question has two or more answers and one or more marked
correct and no flag without an answer text, a written-answer question has a
model answer, and every text fits its field (character fields 10 bytes,
all text in the table's code page windows-1252). The first line may be the
title, an object whose only key is "_comment". Prints each fault with its
line number; exits 1 when there is one."""
import json
import sys

ANSWERS = [f"ANTWORT{n}" for n in range(1, 8)]
FLAGS = [f"ANT{n}KORREK" for n in range(1, 8)]
FIELDS = {"KAPITEL", "FRAGENR", "FRAGE", *ANSWERS, *FLAGS}
CHARACTER_WIDTH = {"KAPITEL": 10, "FRAGENR": 10}
MEMO_LIMIT = 65535  # far below the memo format's limit; a longer question text is a mistake
CODE_PAGE = "cp1252"


def line_faults(record):
    faults = []
    unknown = set(record) - FIELDS
    if unknown:
        faults.append("keys that are no stored field names: " + ", ".join(sorted(unknown)))
    for key, value in record.items():
        if key in FLAGS:
            if not isinstance(value, bool):
                faults.append(f"{key} is not true or false")
            continue
        if not isinstance(value, str):
            faults.append(f"{key} is not a text")
            continue
        try:
            encoded = value.encode(CODE_PAGE)
        except UnicodeEncodeError:
            faults.append(f"{key} holds a character outside {CODE_PAGE}")
            continue
        limit = CHARACTER_WIDTH.get(key, MEMO_LIMIT)
        if len(encoded) > limit:
            faults.append(f"{key} is longer than {limit} bytes")
    kapitel, nummer = record.get("KAPITEL", ""), record.get("FRAGENR", "")
    if not str(kapitel).isdigit() or not 1 <= int(kapitel) <= 18:
        faults.append("KAPITEL is not a block from 1 to 18")
    elif not str(nummer).startswith(f"{kapitel}."):
        faults.append(f"FRAGENR {nummer!r} does not start with its KAPITEL {kapitel}")
    if not record.get("FRAGE"):
        faults.append("no question text")
    texts = [record.get(a) or "" for a in ANSWERS]
    flags = [record.get(f) is True for f in FLAGS]
    if not texts[1]:  # a written-answer question
        if not texts[0]:
            faults.append("a written-answer question without a model answer")
        if any(texts[2:]) or any(flags):
            faults.append("a written-answer question with further answers or flags")
    else:
        if sum(1 for t in texts if t) < 2:
            faults.append("a multiple-choice question with fewer than two answers")
        if not any(flags):
            faults.append("a multiple-choice question with no answer marked correct")
        for text, flag, name in zip(texts, flags, FLAGS):
            if flag and not text:
                faults.append(f"{name} is set for an answer without text")
    return faults


def check(path):
    faults, numbers, per_block = [], {}, {}
    with open(path, encoding="utf-8") as bank:
        for line_no, line in enumerate(bank, 1):
            if not line.strip():
                continue
            try:
                record = json.loads(line)
            except json.JSONDecodeError as error:
                faults.append(f"line {line_no}: not valid JSON: {error}")
                continue
            if not isinstance(record, dict):
                faults.append(f"line {line_no}: not a JSON object")
                continue
            if line_no == 1 and set(record) == {"_comment"}:
                continue
            faults += [f"line {line_no}: {fault}" for fault in line_faults(record)]
            nummer = record.get("FRAGENR")
            if nummer in numbers:
                faults.append(f"line {line_no}: FRAGENR {nummer} already on line {numbers[nummer]}")
            numbers.setdefault(nummer, line_no)
            per_block[record.get("KAPITEL")] = per_block.get(record.get("KAPITEL"), 0) + 1
    for block in range(1, 19):
        if per_block.get(str(block), 0) < 8:
            faults.append(f"block {block} has {per_block.get(str(block), 0)} questions, fewer than 8")
    return faults


if __name__ == "__main__":
    found = check(sys.argv[1])
    for fault in found:
        print(fault)
    print(f"{sys.argv[1]}: {'faults: ' + str(len(found)) if found else 'sound'}")
    sys.exit(1 if found else 0)
