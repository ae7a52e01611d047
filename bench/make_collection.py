#!/usr/bin/env python3
"""Writes a collection reply of COUNT icons made by cycling through the icons of a saved reply.

    bench/make_collection.py COUNT OUT.json [SOURCE.json]   (SOURCE defaults to samples/collection.json)

Used to measure how memory and time grow with the size of a collection (see bench/README.md).
"""
import json
import pathlib
import sys

count, out = int(sys.argv[1]), sys.argv[2]
source = sys.argv[3] if len(sys.argv) > 3 else pathlib.Path(__file__).parent.parent / "samples" / "collection.json"
reply = json.loads(pathlib.Path(source).read_text(encoding="utf-8"))
icons = reply["data"]["icons"]
grown = []
for i in range(count):
    icon = dict(icons[i % len(icons)])
    icon["id"] = 1_000_000 + i
    icon["name"] = f"{icon['name']}{i // len(icons)}"
    grown.append(icon)
reply["data"]["icons"] = grown
reply["data"]["collection"]["icons_count"] = count
pathlib.Path(out).write_text(json.dumps(reply, ensure_ascii=False), encoding="utf-8")
