#!/usr/bin/python3
"""Listens on the accessibility bus as a screen reader does and writes every
text change, and every status bar or tooltip that changes or shows, as one
JSON object per line to the file named first. Prints "ready" once listening."""

import json
import sys

import pyatspi

out = open(sys.argv[1], "w", encoding="utf-8")


def role(source):
    try:
        return source.getRoleName()
    except Exception:  # the object may be gone already
        return ""


def name(source):
    try:
        return source.name or ""
    except Exception:
        return ""


def heard(event):
    record = {"type": event.type, "role": role(event.source), "name": name(event.source),
              "start": event.detail1, "length": event.detail2}
    if event.type.startswith("object:text-changed"):
        record["text"] = event.any_data
    out.write(json.dumps(record) + "\n")
    out.flush()


pyatspi.Registry.registerEventListener(heard, "object:text-changed:insert",
                                       "object:text-changed:delete",
                                       "object:state-changed:showing")
print("ready", flush=True)
pyatspi.Registry.start()
