#!/usr/bin/python3
# A screen reader's view of the running program over the accessibility bus,
# and the keyboard's way through it.
#   screen_reader.py PROGRAM STATISTICS_SCRIPT OPENED_FILE MONITOR_WINDOW_ID
# (run where the program runs, with a tray: a second start hands over to it)
# Prints a line per step; exits 1 with the reason at the first thing amiss.
import pathlib
import re
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

program_file, script, opened, monitor_id = sys.argv[1:5]


def fail(why):
    print("FAIL: " + why, file=sys.stderr)
    sys.exit(1)


def pump(seconds, until=lambda: None):  # events reach the listeners only while this runs
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = until()
        if found:
            return found
        GLib.MainContext.default().iteration(False)
        time.sleep(0.05)


def wait_for(what, test, seconds=5.0):
    return pump(seconds, test) or fail(what)


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "pelmodesk":
            return app
    return None


def window(name):
    app = program()
    for w in app or []:
        if w is not None and w.name == name and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def tree(node):
    return [(c.getRoleName(), c.name) for c in node]


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "80", *keys], check=True)


def focused(node):
    return [c for c in node if c.getState().contains(pyatspi.STATE_FOCUSED)]


print("== the monitor window: named, holding the four readings and nothing unnamed")
monitor = wait_for("no window named ペルモ on the accessibility bus", lambda: window("ペルモ"))
readings = [r"CPU温度 (-?\d+ ℃|は 測定できません)", r"物理メモリ使用率 -?\d+ %", r"システムリソース使用率 -?\d+ %",
            r"CPU使用率 -?\d+ %"]
children = tree(monitor)
# A dialog: a screen reader reads its labels when it takes the focus.
if monitor.getRoleName() != "dialog" or len(children) != 4 or any(role != "label" or not re.fullmatch(p, name) for (role, name), p in zip(children, readings)):
    fail("the monitor window, a %s, holds %s" % (monitor.getRoleName(), children))
cpu = monitor[3]
wait_for("the CPU reading never came from the script: %s" % cpu.name, lambda: cpu.name == "CPU使用率 12 %")

print("== a new CPU reading renames its label and says so, once")
names = []
pyatspi.Registry.registerEventListener(lambda e: names.append(e.source.name), "object:property-change:accessible-name")
pathlib.Path(script).write_text("GetResInfo 90 0 0\nGetCpuUsage 34\nMemoryLoad 80\n")
wait_for("no name change heard for CPU 34", lambda: "CPU使用率 34 %" in names)
pump(1.2)  # two more ticks with the same numbers
if names.count("CPU使用率 34 %") != 1 or any(n.startswith(("物理", "システム")) for n in names):
    fail("unchanged readings were announced again: %s" % names)

print("== a second start hands the keyboard to the window; Shift+F10 opens the menu below it, Escape closes it")
subprocess.run(["xdotool", "mousemove", "700", "500"], check=True)
# Another window has the keyboard first.
other = subprocess.Popen(["xmessage", "-name", "elsewhere", "-center", "elsewhere"])
subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--classname", "elsewhere", "windowactivate", "--sync"],
               check=True, timeout=10, stderr=subprocess.DEVNULL)
wait_for("another window could not take the focus", lambda: not monitor.getState().contains(pyatspi.STATE_ACTIVE))
if subprocess.run([program_file], timeout=10).returncode != 0:
    fail("the second start failed")
wait_for("the second start did not give the window the focus", lambda: monitor.getState().contains(pyatspi.STATE_ACTIVE))
other.kill()
# A menu is no window of the program's own on the bus: a screen reader
# learns of it from the focus landing on its first item.
focus = []
pyatspi.Registry.registerEventListener(lambda e: focus.append(e.source) if e.detail1 else None,
                                       "object:state-changed:focused")
key("shift+F10")
first = wait_for("Shift+F10 put the focus in no menu", lambda: [a for a in focus if a.getRoleName() == "menu item"])[0]
menu, at = first.parent, first.parent.getIndexInParent()
items = [name for role, name in tree(menu) if role != "separator"]
# The menu is the program's: named after it, a child the application counts.
if first.name != "ペルモの表示" or first.getIndexInParent() != 0 or menu.getRoleName() != "popup menu" or items != [
        "ペルモの表示", "ペルモの非表示", "常に手前に表示", "ペルモの終了", "about"] or menu.name != "ペルモ" or (
        menu.parent.getRoleName(), tree(menu.parent)[at:at + 1]) != ("application", [("popup menu", "ペルモ")]):
    fail("the focus went to %s in %r %s, child %d of %s" % (first.name, menu.name, tree(menu), at, tree(menu.parent)))
wx, wy, ww, wh = monitor.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
mx, my, _, _ = menu.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
if abs(mx - wx) > 4 or abs(my - (wy + wh)) > 4:
    fail("the menu opened at %d,%d, not below the window at %d,%d+%d" % (mx, my, wx, wy, wh))
key("Escape")
wait_for("Escape left the menu open", lambda: not menu.getState().contains(pyatspi.STATE_SHOWING))

print("== the Menu key or Shift+F10, Down, Down: always-on-top, a check box heard unchecked, then checked")
for opener, on in (("Menu", False), ("shift+F10", True)):
    focus.clear()
    key(opener, "Down", "Down")
    item = wait_for("%s Down Down did not reach always-on-top" % opener, lambda: [a for a in focus if a.name == "常に手前に表示"])[-1]
    if item.getRoleName() != "check box" or item.getState().contains(pyatspi.STATE_CHECKED) != on:
        fail("always-on-top %s: a %s, %s" % (on, item.getRoleName(), pyatspi.stateToString(item.getState())))
    key("Return")

print("== hidden, a changed reading is not announced; shown again, it is, once")
key("shift+F10", "Down", "Return")
wait_for("the menu's hide left the window shown", lambda: not monitor.getState().contains(pyatspi.STATE_SHOWING))
names.clear()
pathlib.Path(script).write_text("GetResInfo 90 0 0\nGetCpuUsage 56\nMemoryLoad 80\n")
pump(1.5)
hidden = names[:]
subprocess.run([program_file], timeout=10, check=True)
wait_for("the second start did not show the window", lambda: monitor.getState().contains(pyatspi.STATE_ACTIVE))
pump(1.2)  # two more ticks
if (hidden, names) != ([], ["CPU使用率 56 %"]):
    fail("hidden, the window announced %s; shown again, %s" % (hidden, names[len(hidden):]))
key("Menu", "Up", "Return")

print("== the About window reads in order and says its texts as it opens (its description); a Tab reaches its links")
about = wait_for("about did not open the About window", lambda: window("ペルモについて"))
expected = [("label", "ダウンロードありがとう御座います。"), ("label", "本ソフトはフリーウェアです。"),
            ("label", "どなた様もご自由にご利用ください。"), ("label", "作者　pd"), ("link", "mailto:pmd@example.org"),
            ("link", "https://example.org/pelmodesk/"), ("push button", "OK")]
if tree(about) != expected or about.description != " ".join(name for _, name in expected[:4]):
    fail("the About window reads %s, described as %r" % (tree(about), about.description))
link = about[4].queryAction()  # a link can be given the focus, as OK can
if sorted(link.getName(i) for i in range(link.nActions)) != ["Press", "SetFocus"]:
    fail("a link's actions: %s" % [link.getName(i) for i in range(link.nActions)])
wait_for("OK does not have the focus at first", lambda: [c.name for c in focused(about)] == ["OK"])
key("Tab")
wait_for("Tab did not reach the mail link: %s" % [c.name for c in focused(about)],
         lambda: [c.name for c in focused(about)] == ["mailto:pmd@example.org"])
key("Tab")
wait_for("Tab did not reach the web link", lambda: [c.name for c in focused(about)] == ["https://example.org/pelmodesk/"])

print("== Enter and Space open the focused link, as a click does; Escape leaves the window open")
key("Return")
key("shift+Tab", "space")


def opened_urls():
    try:
        with open(opened) as f:
            return f.read().split()
    except FileNotFoundError:
        return []


wait_for("the links opened %s" % opened_urls(),
         lambda: opened_urls() == ["https://example.org/pelmodesk/", "mailto:pmd@example.org"])
key("Escape")
time.sleep(0.3)
if window("ペルモについて") is None:
    fail("Escape closed the About window")
print("== Tab to OK and Enter closes it; the keyboard is back on the monitor window, where Alt+F4 quits")
key("Tab", "Tab", "Return")
wait_for("Enter on OK did not close the About window", lambda: window("ペルモについて") is None)
wait_for("the keyboard did not come back to the monitor window", lambda: monitor.getState().contains(pyatspi.STATE_FOCUSED)
         and subprocess.getoutput("xdotool getwindowfocus") == str(int(monitor_id, 16)))
key("alt+F4")
print("ok")
