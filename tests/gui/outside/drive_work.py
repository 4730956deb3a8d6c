#!/usr/bin/python3
"""Drives the window's keeping of work from outside (AT-SPI and xdotool):
an edit makes the title carry the modified mark, closing (Ctrl+Q) asks
"保存しますか" and cancel keeps the window, Ctrl+S saves (the mark goes),
"abc" and "1e400" typed into a numeric field are refused with a message
naming the field and the old value comes back, and a start on a missing
file opens the window with its message.

Run inside an X server and a D-Bus session (run_outside.sh work ...):
  drive_work.py WINDOW_EXE SAMPLE.vt1 SHOT_PREFIX
The sample is copied first: Ctrl+S writes the copy. Prints "N passed, N failed".
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_tools import (check, click, find, find_app, launch, stop, summary,  # noqa: E402
                         wait_for, walk)

EXE, SAMPLE, SHOTS = sys.argv[1], sys.argv[2], sys.argv[3]


def shot(name):
    subprocess.run(["import", "-window", "root", "%s_%s.png" % (SHOTS, name)], check=False)


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "60"] + list(keys), check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True)


def frame_title(app):
    for node in walk(app):
        try:
            if node.getRole() == pyatspi.ROLE_FRAME and "Vaultra Ver." in (node.name or ""):
                return node.name
        except Exception:
            continue
    return None


def dialog_text(app, words):
    """The text of a showing message box that contains `words`."""
    for node in walk(app):
        try:
            if node.getRole() == pyatspi.ROLE_LABEL and words in (node.name or ""):
                return node.name
        except Exception:
            continue
    return None


def dismiss_demo_notice(app):
    ok = wait_for(lambda: find(app, "OK", pyatspi.ROLE_PUSH_BUTTON), 10)
    if ok:
        ok.queryAction().doAction(0)
    return ok


folder = tempfile.mkdtemp(prefix="vaultra_work_")
project = os.path.join(folder, os.path.basename(SAMPLE))
shutil.copy(SAMPLE, project)

proc, work = launch(EXE, project)
try:
    app = find_app()
    check(app is not None, "the window appears in the accessibility tree")
    if app is None:
        raise SystemExit(1)
    dismiss_demo_notice(app)
    title = wait_for(lambda: frame_title(app), 20)
    print("title:", title, flush=True)
    check(title is not None and os.path.basename(project) in title and not title.endswith("*"),
          "the title names the file, without the mark")

    # An edit: the model name, left with Tab.
    field = wait_for(lambda: find(app, "モデル名", pyatspi.ROLE_TEXT))
    check(field is not None, "the model-name field by its caption")
    if field is not None:
        click(field)
        key("End")
        type_text("X")
        key("Tab")
        marked = wait_for(lambda: (frame_title(app) or "").endswith("*") and frame_title(app), 8)
        print("after the edit:", marked, flush=True)
        check(marked is not None, "the title carries the modified mark after the edit")
        shot("modified")

    # Close (Ctrl+Q, the file menu's 終了): the question, answered with
    # cancel; the window stays.
    key("ctrl+q")
    question = wait_for(lambda: dialog_text(app, "保存しますか"), 10)
    print("question:", question, flush=True)
    check(question is not None and os.path.basename(project) in question,
          "closing asks 保存しますか with the file's name")
    shot("save_question")
    cancel = find(app, "キャンセル", pyatspi.ROLE_PUSH_BUTTON)
    check(cancel is not None, "the cancel button")
    if cancel is not None:
        cancel.queryAction().doAction(0)
    time.sleep(1.0)
    check(proc.poll() is None and frame_title(app) is not None, "cancel keeps the window")
    check((frame_title(app) or "").endswith("*"), "cancel keeps the edit (the mark)")

    # Ctrl+S saves over the file (it asks before replacing it: OK).
    field = find(app, "モデル名", pyatspi.ROLE_TEXT)
    if field is not None:
        click(field)
    key("ctrl+s")
    ok = wait_for(lambda: find(app, "OK", pyatspi.ROLE_PUSH_BUTTON), 8)
    if ok:
        ok.queryAction().doAction(0)
    saved = wait_for(lambda: frame_title(app) and not frame_title(app).endswith("*")
                     and frame_title(app), 10)
    check(saved is not None, "Ctrl+S saves: the mark goes")
    with open(project, "rb") as f:
        text = f.read().decode("cp932", "replace")
    check("X" in [line.split(" = ", 1)[1][-1:] for line in text.splitlines()
                  if line.startswith("EdModelName = ")],
          "the saved file holds the edited model name")

    # A numeric field refuses "abc" and "1e400" and gets its old value back.
    depth = wait_for(lambda: find(app, "構造物の深さ (D)", pyatspi.ROLE_TEXT))
    check(depth is not None, "the depth field by its caption")
    if depth is not None:
        old = depth.queryText().getText(0, -1)
        for typed in ("abc", "1e400"):
            click(depth)
            key("ctrl+a", "BackSpace")
            type_text(typed)
            key("Tab")
            msg = wait_for(lambda: dialog_text(app, "使えません"), 8)
            print("message for %s:" % typed, msg, flush=True)
            check(msg is not None and typed in msg and "構造物の深さ" in msg and "～" in msg,
                  "a message names the field, the text and the range for " + typed)
            shot("refused_" + typed)
            ok = find(app, "OK", pyatspi.ROLE_PUSH_BUTTON)
            if ok:
                ok.queryAction().doAction(0)
            time.sleep(0.5)
            now = depth.queryText().getText(0, -1)
            print("field after %s: %r (was %r)" % (typed, now, old), flush=True)
            check(now == old, "the old value is back after " + typed)
    # Quit without the question: discard the nothing-changed project.
finally:
    stop(proc)

# A start on a missing file: the window opens with the message.
missing = os.path.join(folder, "missing.vt1")
proc, work = launch(EXE, missing)
try:
    app = find_app()
    check(app is not None, "the window appears for a missing project")
    if app is not None:
        dismiss_demo_notice(app)
        msg = wait_for(lambda: dialog_text(app, "見つかりません"), 15)
        print("missing:", msg, flush=True)
        check(msg is not None and "missing.vt1" in msg, "the message names the missing file")
        check(frame_title(app) is not None, "the main window is there")
        shot("missing")
        ok = find(app, "OK", pyatspi.ROLE_PUSH_BUTTON)
        if ok:
            ok.queryAction().doAction(0)
        time.sleep(0.5)
        shot("missing_window")
finally:
    stop(proc)
check(proc.returncode is not None, "the window ended")

sys.exit(summary())
