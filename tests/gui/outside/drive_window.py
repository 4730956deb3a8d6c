#!/usr/bin/python3
"""Drives the vaultra window from outside, as a screen reader or a test robot
sees it: through the accessibility tree (AT-SPI) and the mouse (xdotool).

Run inside an X server and a D-Bus session (see run_outside.sh):
  drive_window.py WINDOW_EXE SAMPLE.vt1 SHOT_PREFIX   (WINDOW_EXE: build/vaultra-gui)

Each page button is found by its caption and clicked with the mouse; each
input page's captions are looked up; a screenshot is taken of every input
page; the field "構造物の深さ (D)" is found by its caption, clicked and typed
into; then the result page "応力照査･鉄筋" is clicked and the calculation's
verdict in the status bar must have changed; last the result-file view and the
member-force page are clicked, their captions looked up and screenshots taken.
Prints "N passed, N failed".
"""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from atspi_tools import (check, click, find, find_app, launch, status_text, stop,  # noqa: E402
                         summary, wait_for)

EXE, SAMPLE, SHOTS = sys.argv[1], sys.argv[2], sys.argv[3]

PAGES = ["モデル入力", "地 盤 入 力", "寸法の変更", "着目点確認", "荷重の設定", "材料強度設定",
         "条件ﾌｧｲﾙ確認", "結果ﾌｧｲﾙ確認", "断面力の確認", "応力照査･鉄筋", "応力照査･その他",
         "設計書.確認"]
# Captions each input page must show (accessible names of its controls).
CAPTIONS = {
    "モデル入力": ["モデルタイプ", "構造物の深さ (D)", "縦方向の照査を行う", "ﾌﾞﾛｯｸの内高 (H)"],
    "地 盤 入 力": ["通常土層の地盤情報", "Enterで下移動"],
    "寸法の変更": ["H (mm)", "a (mm)"],
    "着目点確認": ["節点座標", "部材の着目点一覧"],
    "荷重の設定": ["[ 荷重状態図 ]", "載荷荷重 (q)", "応答変位法"],
    "材料強度設定": ["既定値に戻す", "単位体積重量 (γc) ﾌﾞﾛｯｸ部 鉄筋コンクリートの材料特性"],
    "条件ﾌｧｲﾙ確認": ["横方向"],
}

proc, work = launch(EXE, SAMPLE)
try:
    app = find_app()
    check(app is not None, "the window appears in the accessibility tree")
    if app is None:
        raise SystemExit(1)
    # Without the frame program the demo-mode notice comes first; its OK
    # button is pressed through its accessible action.
    ok = wait_for(lambda: find(app, "OK", pyatspi.ROLE_PUSH_BUTTON), 10)
    check(ok is not None, "the demo-mode notice")
    if ok:
        ok.queryAction().doAction(0)
    check(wait_for(lambda: find(app, "モデル入力", pyatspi.ROLE_PUSH_BUTTON), 20) is not None,
          "the main window after the notice")
    for caption in PAGES:
        check(find(app, caption, pyatspi.ROLE_PUSH_BUTTON) is not None,
              "page button " + caption)
    for index, caption in enumerate(PAGES[:7]):
        button = find(app, caption, pyatspi.ROLE_PUSH_BUTTON)
        if button is None:
            continue
        click(button)
        for name in CAPTIONS.get(caption, []):
            check(wait_for(lambda: find(app, name), 8) is not None,
                  caption + ": caption " + name)
        time.sleep(0.4)
        subprocess.run(["import", "-window", "root", "%s_%d.png" % (SHOTS, index + 1)],
                       check=False)

    # An edit typed into a field found by its caption reaches the result page.
    click(find(app, "モデル入力", pyatspi.ROLE_PUSH_BUTTON))
    rc = find(app, "応力照査･鉄筋", pyatspi.ROLE_PUSH_BUTTON)
    click(rc)
    before = wait_for(lambda: (status_text(app, "lbCalcTime") or "").startswith("部材照査")
                      and status_text(app, "lbCalcTime"), 30)
    check(before is not None, "a verdict before the edit")
    click(find(app, "モデル入力", pyatspi.ROLE_PUSH_BUTTON))
    field = wait_for(lambda: find(app, "構造物の深さ (D)", pyatspi.ROLE_TEXT))
    check(field is not None, "the depth field found by its caption")
    if field is not None:
        click(field)
        subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
        subprocess.run(["xdotool", "type", "--delay", "30", "8.0"], check=True)
        time.sleep(0.3)
        click(find(app, "応力照査･鉄筋", pyatspi.ROLE_PUSH_BUTTON))
        after = wait_for(lambda: (status_text(app, "lbCalcTime") or "") != before
                         and (status_text(app, "lbCalcTime") or "").startswith("部材照査")
                         and status_text(app, "lbCalcTime"), 30)
        print("verdict before:", before, "after:", after, flush=True)
        check(after is not None and after != before, "the verdict changed with the depth")
        subprocess.run(["import", "-window", "root", "%s_result.png" % SHOTS], check=False)

    # The result-file view and the member-force page, found by their captions.
    for caption, names, shot in (("結果ﾌｧｲﾙ確認", ["ＳＤＫ出力"], "files"),
                                 ("断面力の確認", ["荷重ケース", "断面力図", "グラフの倍率",
                                                   "28) 組合せＬ２", "x 10"], "forces"),
                                 ("応力照査･鉄筋", ["配筋変更", "応力度表", "荷重状態", "照査結果"], "rc"),
                                 ("応力照査･その他", ["横方向接合部の照査", "縦方向接合部の照査",
                                                     "端壁の照査"], "others")):
        click(find(app, caption, pyatspi.ROLE_PUSH_BUTTON))
        for name in names:
            check(wait_for(lambda: find(app, name), 15) is not None, caption + ": " + name)
        time.sleep(0.6)
        subprocess.run(["import", "-window", "root", "%s_%s.png" % (SHOTS, shot)], check=False)
finally:
    stop(proc)

sys.exit(summary())
