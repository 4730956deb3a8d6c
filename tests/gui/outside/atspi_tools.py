"""What the outside drivers share: the accessibility tree walked and
searched by caption, clicks with xdotool, waits, and the pass/fail count."""
import os
import subprocess
import tempfile
import time

import pyatspi

passed = 0
failed = 0


def check(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print("FAIL:", what, flush=True)
    return ok


def summary():
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    try:
        n = node.childCount
    except Exception:
        return
    for i in range(n):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def find_app(timeout=45):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        # The desktop's child count can lag behind a new application.
        for i in range(max(desktop.childCount, 8)):
            try:
                app = desktop.getChildAtIndex(i)
            except Exception:
                continue
            if app is not None and app.name and "vaultra" in app.name.lower():
                return app
        time.sleep(0.2)
    return None


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


# Checkable page buttons read as check boxes or toggle buttons.
BUTTON = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX)


def find(app, name, role=None):
    roles = BUTTON if role == pyatspi.ROLE_PUSH_BUTTON else (role,)
    for node in walk(app):
        try:
            if node.name == name and (role is None or node.getRole() in roles) and showing(node):
                return node
        except Exception:
            continue
    return None


def click(node):
    ext = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = ext.x + ext.width // 2, ext.y + ext.height // 2
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def status_text(app, which):
    for node in walk(app):
        try:
            if node.getRole() == pyatspi.ROLE_LABEL and node.description == which:
                return node.name
        except Exception:
            continue
    return None


def wait_for(predicate, timeout=15):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    return None


def launch(exe, sample, prefix="vaultra_outside_"):
    """Starts the window on a sample with a working folder of its own, the
    accessibility bridge on; returns the process and the folder."""
    work = tempfile.mkdtemp(prefix=prefix)
    env = dict(os.environ, XDG_DATA_HOME=work, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1", QT_QPA_PLATFORM="xcb")
    proc = subprocess.Popen([exe, sample], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    return proc, work


def stop(proc):
    proc.terminate()
    try:
        proc.wait(10)
    except subprocess.TimeoutExpired:
        proc.kill()
