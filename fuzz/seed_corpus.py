#!/usr/bin/env python3
"""Writes the SQL the program and its tests send to the server as fuzz inputs: every C++ string literal (adjacent
literals joined) that starts like a statement, once per dialect byte.
    seed_corpus.py <repository> <corpus folder>"""
import hashlib
import pathlib
import re
import sys

STARTS = re.compile(r"^\s*(SELECT|INSERT|UPDATE|DELETE|MERGE|DECLARE|SET|IF|BEGIN|EXEC|CREATE|ALTER|DROP|WITH)\b", re.I)
LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
JOINED = re.compile(r'"(?:[^"\\\n]|\\.)*"(?:\s*"(?:[^"\\\n]|\\.)*")*')


def statements(text):
    for run in JOINED.finditer(text):
        sql = "".join(LITERAL.findall(run.group(0)))
        sql = sql.replace('\\"', '"').replace("\\r", "\r").replace("\\n", "\n").replace("\\\\", "\\")
        if STARTS.match(sql) and len(sql) > 8:
            yield sql


def main():
    root, corpus = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    corpus.mkdir(parents=True, exist_ok=True)
    count = 0
    for source in sorted(list(root.glob("src/**/*.cpp")) + list(root.glob("tests/**/*.cpp"))):
        for sql in statements(source.read_text(encoding="utf-8", errors="replace")):
            for dialect in (b"\0", b"\1"):
                data = dialect + sql.encode("utf-8")
                (corpus / hashlib.sha1(data).hexdigest()).write_bytes(data)
                count += 1
    print(f"{count} seed inputs in {corpus}")


if __name__ == "__main__":
    main()
