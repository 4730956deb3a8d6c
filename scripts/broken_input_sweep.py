#!/usr/bin/env python3
"""Broken-input sweep: mutates the sample projects, the catalogue CSV files,
frame texts and section inputs, runs the program on each and counts what
happened: files tried, crashes (signal or sanitizer report), hangs (timeout),
wrong O.K. (a verdict of O.K., or status 0, on input that holds a value that
is no number or cannot exist), unclear messages (refused without naming the
field, line or file), and inputs the program changed.

    scripts/broken_input_sweep.py BUILD/vaultra [--seed N] [--quick]

The executable's folder must hold Master/ as the build puts it there. Runs
take minutes; it is not part of the test suite.
"""
import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

SRC = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENC = "cp932"
SAMPLES = 2  # sample projects mutated (--samples)

# Numeric keys the calculation reads, by section (a sample of each page).
KEYS = [("Fm11MDL", k) for k in ("EdBlockDepth", "EdWaterH0", "EdWaterDepth", "Ed_blkB", "Ed_slbH",
                                  "Ed_invH", "Ed_wl_a")] + \
       [("Fm15KAJ", k) for k in ("Ed_Kah", "Ed_Kav", "Ed_Gst", "Ed_Gsw", "Ed_Gw", "Ed_q", "Ed_C",
                                  "Ed_Fi", "Ed_Eoh", "Ed_YokoKh1", "Ed_Tau1")] + \
       [("Fm16KYD", k) for k in ("Ec1", "Gc1", "Es1", "nSca1", "f1ck1", "fyk1", "Gcm", "Ec2")] + \
       [("Fm33OR2", k) for k in ("p1Ed_Ps", "p2Ed_AB", "p8Ed_As", "Ed_BlkWt")]
ABSURD = ["nan", "inf", "-inf", "1e308", "-1e308", "1e999", "1" + "0" * 320]
JUNK = ["abc", "", "0x10", "1,5", "--1", "1e", "."]
POSITIVE = {"Ed_Gst", "Ed_Gsw", "Ed_Gw", "Ec1", "Gc1", "Es1", "Gcm", "Ec2"}


class Tally:
    def __init__(self):
        self.tried = self.crashes = self.hangs = self.wrong_ok = self.unclear = self.changed = 0
        self.notes = []

    def note(self, kind, what, detail=""):
        self.notes.append(f"{kind}: {what} {detail[:160]!r}")


def run(args, timeout, cwd=None, env=None):
    try:
        p = subprocess.run(args, capture_output=True, timeout=timeout, cwd=cwd, env=env)
        return p.returncode, p.stdout.decode("utf-8", "replace"), p.stderr.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        return None, "", ""


def judge(t, what, status, out, err, bad, names=(), status_ok=False):
    """bad: the input holds something no verdict may be given on."""
    t.tried += 1
    if status is None:
        t.hangs += 1
        t.note("hang", what)
        return
    crashed = status < 0 or status >= 128 or "Sanitizer" in err or "runtime error" in err
    if crashed:
        t.crashes += 1
        t.note("crash", what, err[-300:])
        return
    verdict_ok = status == 0 or re.search(r"\bO\.K\.", out) is not None
    if bad and (status == 0 or (verdict_ok and status != 2 and not status_ok)):
        t.wrong_ok += 1
        t.note("wrong O.K.", what, f"status {status}")
        return
    if status == 2:
        if not err.strip() or (names and not any(n in err for n in names)):
            t.unclear += 1
            t.note("unclear", what, err)


def sweep_projects(exe, t, rnd, work, quick):
    samples = sorted(f for f in os.listdir(os.path.join(SRC, "samples")) if f.endswith(".vt1"))
    samples = samples[:1] if quick else samples[:SAMPLES]
    jobs = []
    for s in samples:
        raw = open(os.path.join(SRC, "samples", s), "rb").read()
        lines = raw.decode(ENC).split("\r\n")
        for sec, key in KEYS:
            values = ABSURD + JUNK + ["0"] if not quick else rnd.sample(ABSURD, 2) + rnd.sample(JUNK, 1)
            for v in values:
                bad = v in ABSURD or (key in POSITIVE and (v in JUNK or v == "0"))
                jobs.append((f"{s} [{sec}] {key} = {v!r}", set_key(lines, sec, key, v), bad, (key,)))
        # Structure tables: an absurd coordinate and a count too wide.
        for header, off, text in (("[KZ1_POSTBL]", 3, "   1e308  0.0000"),
                                  ("[KZ1_POSTBL]", 1, "  1000000"),
                                  ("[KZ1_BLKTBL]", 3, "   1e999" * 24)):
            l2 = list(lines)
            i = l2.index(header) + off
            l2[i] = text
            jobs.append((f"{s} {header}+{off} = {text[:12]!r}", l2, True, ("KZ1",)))
        # Cut short, byte noise, a missing last section, UTF-8.
        for _ in range(12 if not quick else 1):
            cut = rnd.randrange(len(raw))
            jobs.append((f"{s} cut at {cut}", raw[:cut], False, ()))
            noisy = bytearray(raw)
            for _ in range(8):
                noisy[rnd.randrange(len(noisy))] = rnd.randrange(256)
            jobs.append((f"{s} 8 random bytes", bytes(noisy), False, ()))
        i = lines.index("[fmUtOryk]")
        jobs.append((f"{s} without [fmUtOryk]", lines[:i], False, ()))
        # Each section left out in turn (its controls keep their defaults).
        heads = [k for k, l in enumerate(lines) if l.startswith("[")] + [len(lines)]
        for a, b in zip(heads, heads[1:]) if not quick else []:
            jobs.append((f"{s} without {lines[a]}", lines[:a] + lines[b:], False, ()))
        # UTF-8 text in a name field.
        jobs.append((f"{s} as UTF-8 with a name outside cp932",
                     "\r\n".join(set_key(lines, "Fm11MDL", "EdModelName", "\u8d2e\u7559 \U0001F600"))
                     .encode("utf-8"), False, ()))
        jobs.append((f"{s} as UTF-8", "\r\n".join(lines).encode("utf-8"), False, ()))
    for what, content, bad, names in jobs:
        path = os.path.join(work, "p.vt1")
        data = content if isinstance(content, bytes) else "\r\n".join(content).encode(ENC)
        with open(path, "wb") as f:
            f.write(data)
        status, out, err = run([exe, "calc", path, "--work-dir", os.path.join(work, "w")], 120)
        judge(t, what, status, out, err, bad, names)
        if open(path, "rb").read() != data:
            t.changed += 1
            t.note("changed", what)


def set_key(lines, section, key, value):
    out, inside, done = [], False, False
    for l in lines:
        if l.startswith("["):
            inside = l == f"[{section}]"
        if inside and not done and l.startswith(key + " = "):
            l = f"{key} = {value}"
            done = True
        out.append(l)
    return out


def sweep_catalogue(exe, t, rnd, work, quick):
    prog = os.path.join(work, "prog")
    master = os.path.join(os.path.dirname(os.path.abspath(exe)), "Master")
    csvs = sorted(f for f in os.listdir(os.path.join(master, "材料")) if f.endswith(".csv"))
    sample = os.path.join(SRC, "samples", "box_three_boxes.vt1")
    cases = []
    for csv in csvs:
        cases.append((csv, "missing", None, True))
        cases.append((csv, "a folder", None, True))
        cases.append((csv, "empty", None, True))
        for v in (["1e308", "-5", "nan", "inf", "1e999", "abc", "", "0x10", "1,5", "-1e308"]
                  if not quick else ["1e308"]):
            for _ in range(1 if quick else 2):
                # A blank cell reads as 0 where 0 is allowed, and "1,5" is two
                # cells: neither need be out of range, so only crashes, hangs and
                # unclear messages count for them.
                cases.append((csv, "cell", v, v not in ("", "1,5")))
    cases.append((None, "no Master folder", None, True))
    for csv, how, value, bad in cases:
        shutil.rmtree(prog, ignore_errors=True)
        os.makedirs(prog)
        shutil.copy(exe, os.path.join(prog, "vaultra"))
        shutil.copytree(master, os.path.join(prog, "Master"))
        os.remove(os.path.join(prog, "Master", "材料", "Orvaneﾏｽﾀｰ.xls"))
        what = f"{csv} {how} {value or ''}"
        if csv is None:
            shutil.rmtree(os.path.join(prog, "Master"))
        else:
            p = os.path.join(prog, "Master", "材料", csv)
            if how == "missing":
                os.remove(p)
            elif how == "a folder":
                os.remove(p)
                os.makedirs(p)
            elif how == "empty":
                open(p, "wb").close()
            else:
                rows = open(p, "rb").read().decode(ENC).split("\r\n")
                # A numeric cell of a data row (the third row on).
                r = rnd.randrange(2, max(3, min(len(rows) - 1, 12)))
                cells = rows[r].split(",")
                nums = [i for i, c in enumerate(cells) if re.fullmatch(r"-?[0-9.]+", c) and i > 1]
                if not nums:
                    continue
                cells[rnd.choice(nums)] = value
                rows[r] = ",".join(cells)
                what += f" row {r + 1}"
                open(p, "wb").write("\r\n".join(rows).encode(ENC))
        status, out, err = run([os.path.join(prog, "vaultra"), "calc", sample, "--work-dir",
                                os.path.join(work, "w")], 120)
        judge(t, what, status, out, err, bad, (csv,) if csv else ("Master", "材料"))


def sweep_frames(exe, t, rnd, work, quick):
    seeds = [os.path.join(SRC, "fuzz", "seeds", f) for f in sorted(os.listdir(os.path.join(SRC, "fuzz", "seeds")))]
    n = 20 if quick else 150
    for seed in seeds:
        lines = open(seed, "rb").read().decode(ENC).split("\r\n")
        idx = {k: next(i for i, l in enumerate(lines) if l.startswith(k)) for k in ("POINT", "MEMBER")}
        for k in range(n):
            l2 = list(lines)
            kind = k % 6
            bad = True
            if kind == 0:
                i = idx["POINT"] + 1 + rnd.randrange(3)
                l2[i] = l2[i][:10] + "%10s" % rnd.choice(["1e308", "-1e308", "nan", "1e999", "99999"]) + l2[i][20:]
                what = "node coordinate"
            elif kind == 1:
                i = idx["MEMBER"] + 1 + rnd.randrange(3)
                l2[i] = l2[i][:15] + "%5d" % rnd.choice([0, 999, -1]) + l2[i][20:]
                what = "member node j"
            elif kind == 2:
                i = idx["MEMBER"] + 1
                l2[i] = l2[i][:15] + l2[i][10:15] + l2[i][20:]
                what = "member on one node"
            elif kind == 3:
                i = idx["MEMBER"] + 1 + rnd.randrange(3)
                col = rnd.choice([20, 25])
                l2[i] = l2[i][:col] + "%5d" % rnd.choice([0, 77]) + l2[i][col + 5:]
                what = "member section/material"
            elif kind == 4:
                cut = rnd.randrange(len(l2))
                l2 = l2[:cut]
                what = f"cut at line {cut}"
            else:
                b = bytearray("\r\n".join(l2).encode(ENC))
                for _ in range(6):
                    b[rnd.randrange(len(b))] = rnd.randrange(32, 127)
                l2 = b.decode(ENC, "replace").split("\r\n")
                what = "6 random characters"
                bad = False
            path = os.path.join(work, "f.$O1")
            data = "\r\n".join(l2).encode(ENC, "replace")
            open(path, "wb").write(data)
            status, out, err = run([exe, "solve", "--internal", path], 60)
            judge(t, f"{os.path.basename(seed)} {what}", status, out, err, bad and kind != 4 or (kind == 4 and cut < len(lines) - 2), ("行目",))
            if open(path, "rb").read() != data:
                t.changed += 1
                t.note("changed", f"{os.path.basename(seed)} {what}")


def sweep_sections(exe, t, rnd, work, quick):
    fields = ["edB", "edH", "edDd1", "edDd2", "edAs1", "edAs2", "edEc", "edEs", "edEN", "edFdck", "edM", "edN", "edS"]
    n = 40 if quick else 300
    for k in range(n):
        f = rnd.choice(fields)
        v = rnd.choice(["0", "-1", "-2500", "1e308", "9" * 309, "nan", "abc", "2500", "40", "5000"])
        args = [f"{f}={v}"]
        if k % 3 == 0:
            args.append("edH=60")
        bad = v in ("0", "-1", "-2500") and f in ("edB", "edH", "edEc", "edEs", "edEN", "edFdck") or \
            v in ("-1", "-2500") and f in ("edDd1", "edDd2", "edAs1", "edAs2") or \
            v in ("1e308", "9" * 309, "nan", "abc") or "edH=60" in args or \
            (f in ("edDd1", "edDd2") and v in ("2500", "5000"))
        status, out, err = run([exe, "section"] + args, 30)
        judge(t, "section " + " ".join(a[:20] for a in args), status, out, err, bad, (f, "edH", "edD"))


def sweep_files(exe, t, rnd, work, quick):
    """Paths that are no regular file, or files that hold no text, given to
    every command that reads one."""
    d = os.path.join(work, "odd")
    shutil.rmtree(d, ignore_errors=True)
    os.makedirs(os.path.join(d, "folder.vt1"))
    os.mkfifo(os.path.join(d, "fifo.vt1"))
    os.symlink("folder.vt1", os.path.join(d, "linkdir.vt1"))
    os.symlink("loop.vt1", os.path.join(d, "loop.vt1"))
    open(os.path.join(d, "empty.vt1"), "wb").close()
    open(os.path.join(d, "nul.vt1"), "wb").write(b"\0" * 4096)
    open(os.path.join(d, "long.vt1"), "wb").write(b"x" * (4 << 20))
    open(os.path.join(d, "bin.vt1"), "wb").write(bytes(rnd.randrange(256) for _ in range(65536)))
    paths = ["folder.vt1", "fifo.vt1", "linkdir.vt1", "loop.vt1", "empty.vt1", "nul.vt1", "long.vt1",
             "bin.vt1", "missing.vt1"]
    for name in paths:
        p = os.path.join(d, name)
        for cmd in (["calc", p, "--work-dir", os.path.join(work, "w")],
                    ["frame", p, "--work-dir", os.path.join(work, "w")],
                    ["resave", p, os.path.join(work, "out.vt1"), "--work-dir", os.path.join(work, "w")],
                    ["solve", "--internal", p]):
            status, out, err = run([exe] + cmd, 30)
            # Every one of these is refused with the file named (exit 2).
            judge(t, f"{cmd[0]} {name}", status, out, err, True, (name, "行目"))
            if status not in (None, 0, 2) and 0 < status < 128:
                t.unclear += 1
                t.note("unclear", f"{cmd[0]} {name}", f"status {status} " + err)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("exe")
    ap.add_argument("--seed", type=int, default=13)
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--only", default="projects,catalogue,frames,sections,files")
    ap.add_argument("--samples", type=int, default=2)
    a = ap.parse_args()
    global SAMPLES
    SAMPLES = a.samples
    exe = os.path.abspath(a.exe)
    total = Tally()
    with tempfile.TemporaryDirectory() as work:
        for part in a.only.split(","):
            t = Tally()
            rnd = random.Random(a.seed)
            globals()["sweep_" + part](exe, t, rnd, work, a.quick)
            print(f"{part:10s} tried {t.tried:4d}  crashes {t.crashes}  hangs {t.hangs}  "
                  f"wrong O.K. {t.wrong_ok}  unclear {t.unclear}  inputs changed {t.changed}")
            for n in t.notes[:12]:
                print("   ", n)
            for k in ("tried", "crashes", "hangs", "wrong_ok", "unclear", "changed"):
                setattr(total, k, getattr(total, k) + getattr(t, k))
    print(f"{'total':10s} tried {total.tried:4d}  crashes {total.crashes}  hangs {total.hangs}  "
          f"wrong O.K. {total.wrong_ok}  unclear {total.unclear}  inputs changed {total.changed}")


if __name__ == "__main__":
    sys.exit(main())
