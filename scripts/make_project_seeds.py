#!/usr/bin/env python3
"""Cuts the sample project files into small fuzz seeds for the project-file
reader: the three header lines and one section each, and all sections in
one file, with the structure tables trimmed to their first entries (counts
rewritten to match).

A whole sample costs the instrumented reader ~40 ms a load; a seed of one
section a few hundred microseconds, so a long run reaches every section far
more often.  Run from the source folder:

    python3 scripts/make_project_seeds.py samples fuzz/seeds/project
"""
import pathlib
import sys

# Lines per entry after the count line, and the entries kept.
TABLES = {
    "[KZ1_BLKTBL]": 5,
    "[KZ1_POSTBL]": 2,
    "[KZ2_POSTBL]": 2,
    "[KZ1_BZITBL]": 5,
    "[KZ2_BZITBL]": 5,
}
KEEP = 2


def sections(lines):
    """(header, body lines) for each section; the header lines come first."""
    out, name, body = [], None, []
    for line in lines[3:]:
        if line.startswith(b"["):
            if name is not None:
                out.append((name, body))
            name, body = line.strip(), []
        elif name is not None:
            body.append(line)
    if name is not None:
        out.append((name, body))
    return out


def trimmed(name, body):
    per = TABLES.get(name.decode("latin-1"))
    if per is None or not body:
        return body
    counts = body[0].split()
    if name == b"[KZ1_BLKTBL]":
        n_all = min(int(counts[1]), KEEP)
        n = min(int(counts[0]), n_all)
        head = b"%6d%6d" % (n, n_all)
        entries = n_all
    else:
        n = min(int(counts[0]), KEEP)
        head = b"%6d" % n
        # The transverse member table carries one joint record behind its members.
        entries = n + 1 if name == b"[KZ1_BZITBL]" else n
    return [head] + body[1 : 1 + entries * per]


def main(src, dst):
    dst = pathlib.Path(dst)
    dst.mkdir(parents=True, exist_ok=True)
    for sample in sorted(pathlib.Path(src).glob("*.vt1")):
        lines = sample.read_bytes().split(b"\r\n")
        whole = list(lines[:3])
        for k, (name, body) in enumerate(sections(lines)):
            whole += [name] + trimmed(name, body)
            text = lines[:3] + [name] + trimmed(name, body)
            out = dst / ("%s_%02d.vt1" % (sample.stem, k))
            out.write_bytes(b"\r\n".join(text) + b"\r\n")
        # Every section, trimmed, in one file: the round trip of a whole project.
        (dst / ("%s_all.vt1" % sample.stem)).write_bytes(b"\r\n".join(whole) + b"\r\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
