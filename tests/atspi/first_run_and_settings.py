#!/usr/bin/python3
"""The first run and the settings as a screen-reader user meets them: the real program on its
own X session (tests/support/run_on_display.sh), its windows reached over AT-SPI, keys typed
with XTEST (xdotool). Walks the first run, switches the window-layout options, records a new
shortcut and checks that it opens the launcher while the old one no longer does, reads the
launcher as a screen reader does, and reads the new shortcut on the shortcuts page.

Usage: first_run_and_settings.py PATH-TO-TESSORA. Exits 77 when pyatspi or xdotool is missing.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

try:
    import pyatspi
except ImportError:
    print("skipped: python3-pyatspi is not installed")
    sys.exit(77)
if not shutil.which("xdotool"):
    print("skipped: xdotool is not installed")
    sys.exit(77)

PROGRAM = sys.argv[1]
TIMEOUT = 30  # seconds; only a hang ever reaches it


class Failure(Exception):
    pass


def wait_for(what, condition, timeout=TIMEOUT):
    """Polls `condition` until it gives something true; fails with `what` at the deadline."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            value = condition()
        except Exception:  # the tree changes under us while windows come and go
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise Failure("timed out waiting for " + what)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "org.tessora.Tessora":
            return app
    return None


def find(node, predicate, depth=0):
    if node is None or depth > 25:
        return None
    if predicate(node):
        return node
    for child in node:
        found = find(child, predicate, depth + 1)
        if found is not None:
            return found
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def named(name, role=None):
    def predicate(node):
        return (node.name == name and (role is None or node.getRoleName() == role)
                and showing(node))
    return lambda: find(application(), predicate)


def name_starting(prefix):
    return lambda: find(application(), lambda n: n.name.startswith(prefix) and showing(n))


def press(node):
    action = node.queryAction()
    if os.environ.get("ATSPI_DEBUG"):
        print("press", node.name, [action.getName(i) for i in range(action.nActions)])
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click", "Toggle", "toggle", "SetFocus"):
            if action.getName(i) != "SetFocus":
                action.doAction(i)
                return
    action.doAction(0)


def card_verified(name):
    card = named(name)()
    return card is not None and card.description.startswith("Verified")


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def press_named(what, lookup):
    """Finds the element and presses it, finding it again if it went meanwhile."""
    def attempt():
        node = lookup()
        if node is None:
            return False
        press(node)
        return True
    wait_for(what, attempt)


def dump(node, depth=0):
    if node is None:
        return
    print("  " * depth + f"{node.getRoleName()} '{node.name}' '{node.description}'")
    for child in node:
        dump(child, depth + 1)


def list_item_names(list_name):
    """The names of the items of the showing list called `list_name`."""
    found = named(list_name, "list")()
    return [item.name for item in found if item is not None] if found is not None else []


def checked(node):
    return node.getState().contains(pyatspi.STATE_CHECKED)


def keys(*combinations):
    for combination in combinations:
        subprocess.run(["xdotool", "key", "--clearmodifiers", combination], check=True)


def main():
    home = tempfile.mkdtemp()
    config = os.path.join(home, "config")
    settings_path = os.path.join(config, "tessora", "settings.json")
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=config,
               XDG_DATA_HOME=os.path.join(home, "data"), QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([PROGRAM], env=env, stderr=subprocess.DEVNULL)

    def settings():
        with open(settings_path, encoding="utf-8") as f:
            return json.load(f)

    try:
        # The first run: three steps, the second asking for the three practice keys.
        wait_for("the first-run window", named("Meet Tessora"))
        press_named("Continue", named("Continue", "push button"))
        wait_for("the practice step", named("Try your keys"))
        keys("ctrl+Escape", "Tab", "ctrl+shift+c")
        for card in ("Press Open", "Press Select", "Press Clear"):
            wait_for(card + " verified", lambda: card_verified(card))
        press_named("Continue", named("Continue", "push button"))
        wait_for("the permissions step", named("Let Tessora lend a hand"))
        press_named("Continue", named("Continue", "push button"))
        # The two keys are written one after the other.
        wait_for("the first run written as done", lambda: settings().get("onboardingComplete")
                 is True and settings().get("onboardingVersion") == 1)

        # The settings page: the linked window-layout switches.
        spacing = named("Space between windows", "check box")
        press_named("the indicator switch", named("Stack indicator", "check box"))
        wait_for("both options on", lambda: settings().get("stackIndicatorsEnabled")
                 and settings().get("windowSpacingEnabled"))
        wait_for("the spacing switch on", lambda: checked(spacing()))
        press_named("the spacing switch", spacing)
        wait_for("both options off", lambda: settings().get("stackIndicatorsEnabled") is False
                 and settings().get("windowSpacingEnabled") is False)

        # A new shortcut, recorded with real key presses.
        press_named("the shortcut button", name_starting("Open Tessora shortcut: Ctrl+esc"))
        wait_for("recording", named("Press esc to cancel. Include Ctrl, Alt or Super."))
        keys("super+alt+k")
        wait_for("the new shortcut stored", lambda: settings().get("shortcutLabel") == "⌃⌥K")
        wait_for("the button showing it", name_starting("Open Tessora shortcut: Super+Alt+K"))

        # The new combination opens the launcher; the old one does nothing any more: after the
        # old, the new and a letter, the launcher is open with the letter typed (had the old
        # one opened it, the new one would have closed it again).
        keys("ctrl+Escape", "super+alt+k", "q")
        wait_for("the launcher opened by the new shortcut alone", lambda: text_of(
            named("Search installed apps")()) == "q")

        # What the launcher reads out: each application with its selection, Tab selecting the
        # highlighted one, no counter until more than nine are selected, no scanning notice
        # once the scan is over, and each layout with its number of positions.
        keys("BackSpace")
        names = wait_for("the applications listed", lambda: list_item_names("Applications"))
        assert all(name.endswith(", not selected") for name in names), names
        keys("Tab")
        selected = wait_for("one application selected", lambda: [
            name for name in list_item_names("Applications") if ", selected" in name])
        assert selected[0].endswith(", selected, position 1"), selected
        leftover = find(application(), lambda n: showing(n) and (
            "more selected app" in n.name or n.name.startswith("Scanning")))
        assert leftover is None, leftover.name
        keys("ctrl+2")
        wait_for("the layouts with their positions", lambda: list_item_names("Layouts")[:3] == [
            "Focus, 1 position", "Monarch, 1 position", "Mirror, 2 positions"])
        keys("Escape")

        # The shortcuts page shows the new caps without reopening the window.
        press_named("the Shortcuts entry", named("Shortcuts", "push button"))
        wait_for("the open row with the new caps",
                 name_starting("Open or close Tessora, Super, Alt, K"))
        print("ok")
        return 0
    except (Failure, AssertionError) as problem:
        print("FAIL:", problem)
        dump(application())
        return 1
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
        shutil.rmtree(home, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
