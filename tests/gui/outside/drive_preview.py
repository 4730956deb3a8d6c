#!/usr/bin/python3
"""Drives the print preview from outside, through the accessibility tree
(AT-SPI) and the mouse and keyboard (xdotool).

Run inside an X server and a D-Bus session (see run_outside.sh):
  drive_preview.py WINDOW_EXE SAMPLE.vt1 SHOT_PREFIX   (WINDOW_EXE: build/vaultra-gui)

The sample is calculated on the result page "応力照査･鉄筋"; the report
button "設計書.確認" opens the preview, whose print commands, options and
jump list are found by their captions; a screenshot is taken; a chapter of
the jump list is clicked and another screenshot taken; "PDF に保存" is
pressed, the file name typed into the file dialog; the PDF written must
have the pages of `vaultra report` on the same sample: the same page count,
the same text (pdftotext) and the same pictures (pdftoppm -r 30, compared
pixel by pixel). Prints "N passed, N failed".
"""
import glob
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_tools import (BUTTON, check, click, find, find_app, launch, showing,  # noqa: E402
                         status_text, stop, summary, wait_for, walk)

EXE, SAMPLE, SHOTS = sys.argv[1], sys.argv[2], sys.argv[3]
PRINT_CAPTIONS = ["全てのページを印刷", "指定の範囲を印刷", "PDF に保存"]


def find_prefix(app, prefix, roles=BUTTON):
    for node in walk(app):
        try:
            if node.name and node.name.startswith(prefix) and node.getRole() in roles \
                    and showing(node):
                return node
        except Exception:
            continue
    return None


def pdf_pages(path):
    out = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("Pages:"):
            return int(line.split()[1])
    return -1


def rendered(path, prefix):
    subprocess.run(["pdftoppm", "-r", "30", "-png", path, prefix], check=True)
    return sorted(glob.glob(prefix + "*.png"))


def differing_pixels(a, b):
    r = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], capture_output=True, text=True)
    try:
        return int(float(r.stderr.split()[0]))
    except (ValueError, IndexError):
        return -1


def shot(name):
    time.sleep(0.6)
    subprocess.run(["import", "-window", "root", "%s_%s.png" % (SHOTS, name)], check=False)


proc, work = launch(EXE, SAMPLE, "vaultra_outside_preview_")
try:
    app = find_app()
    check(app is not None, "the window appears in the accessibility tree")
    if app is None:
        raise SystemExit(1)
    ok = wait_for(lambda: find(app, "OK", pyatspi.ROLE_PUSH_BUTTON), 10)
    if ok:
        ok.queryAction().doAction(0)
    rc = wait_for(lambda: find(app, "応力照査･鉄筋", pyatspi.ROLE_PUSH_BUTTON), 20)
    check(rc is not None, "the result page button")
    click(rc)
    verdict = wait_for(lambda: (status_text(app, "lbCalcTime") or "").startswith("部材照査")
                       and status_text(app, "lbCalcTime"), 60)
    check(verdict is not None, "the sample is calculated")

    report = wait_for(lambda: find(app, "設計書.確認", pyatspi.ROLE_PUSH_BUTTON), 10)
    check(report is not None, "the report button")
    click(report)
    started = time.time()
    for caption in PRINT_CAPTIONS:
        check(wait_for(lambda: find(app, caption, pyatspi.ROLE_PUSH_BUTTON), 30) is not None,
              "print command " + caption)
    print("preview shown after %.1f s" % (time.time() - started), flush=True)
    check(find_prefix(app, "現在ページ(") is not None, "the current-page print command")
    check(find(app, "ページ単位の表示") is not None, "the page-by-page option")
    check(find(app, "開始ページ") is not None and find(app, "終了ページ") is not None,
          "the range edits")
    jump = find(app, "目次", pyatspi.ROLE_LIST)
    check(jump is not None, "the jump list")
    shot("preview")

    # A chapter of the jump list: the pages scroll to it.
    if jump is not None:
        # The last chapter heading ("N. ...") the list shows.
        entry = None
        for node in walk(jump):
            try:
                name = node.name or ""
                if node.getRole() == pyatspi.ROLE_LIST_ITEM and showing(node) \
                        and name.split(".")[0].isdigit() and name.split(".")[1][:1] == " ":
                    entry = node
            except Exception:
                continue
        check(entry is not None, "a chapter entry of the jump list")
        if entry is not None:
            before = find_prefix(app, "現在ページ(").name
            click(entry)
            after = wait_for(lambda: find_prefix(app, "現在ページ(").name != before
                             and find_prefix(app, "現在ページ(").name, 10)
            print("jump:", entry.name.strip(), "->", after, flush=True)
            check(after is not None, "the jump changed the current page")
            shot("preview_jump")

    # "PDF に保存": the file dialog gets the name typed.
    ours = os.path.join(work, "preview.pdf")
    click(find(app, "PDF に保存", pyatspi.ROLE_PUSH_BUTTON))
    dialog = wait_for(lambda: find(app, "PDF に保存", pyatspi.ROLE_DIALOG), 15)
    check(dialog is not None, "the save dialog")
    time.sleep(0.8)
    subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
    subprocess.run(["xdotool", "type", "--delay", "20", ours], check=True)
    subprocess.run(["xdotool", "key", "Return"], check=True)
    check(wait_for(lambda: os.path.exists(ours) and os.path.getsize(ours) > 1000, 60),
          "the PDF is written")
    time.sleep(0.5)

    theirs = os.path.join(work, "cli.pdf")
    vaultra = os.path.join(os.path.dirname(os.path.abspath(EXE)), "vaultra")
    r = subprocess.run([vaultra, "report", "--work-dir", os.path.join(work, "cli"), "-o", theirs,
                        SAMPLE], env=dict(os.environ, QT_QPA_PLATFORM="offscreen"),
                       capture_output=True, text=True)
    # 1 says a check is not satisfied; the report is written all the same.
    check(r.returncode in (0, 1) and os.path.exists(theirs),
          "vaultra report: " + r.stderr.strip()[-200:])
    if os.path.exists(ours) and os.path.exists(theirs):
        a, b = pdf_pages(ours), pdf_pages(theirs)
        print("pages: preview %d, vaultra report %d" % (a, b), flush=True)
        check(a == b and a > 1, "the same page count")
        ta = subprocess.run(["pdftotext", "-layout", ours, "-"], capture_output=True).stdout
        tb = subprocess.run(["pdftotext", "-layout", theirs, "-"], capture_output=True).stdout
        check(ta == tb and len(ta) > 1000, "the same text")
        pa = rendered(ours, os.path.join(work, "ours"))
        pb = rendered(theirs, os.path.join(work, "theirs"))
        differ = [i + 1 for i, (x, y) in enumerate(zip(pa, pb)) if differing_pixels(x, y) != 0]
        check(len(pa) == len(pb) and not differ, "the same pictures (pages differing: %s)" % differ)
        # The first page with a failed verdict, scrolled to through the scroll bar.
        for page in range(1, a + 1):
            text = subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), ours, "-"],
                                  capture_output=True).stdout
            if b"N.G." in text:
                bar = find(app, "ページ位置")
                if check(bar is not None, "the page scroll bar"):
                    bar.queryValue().currentValue = (page - 1) * 20
                    print("N.G. on PDF page", page, flush=True)
                    shot("preview_ng")
                break
finally:
    stop(proc)

sys.exit(summary())
