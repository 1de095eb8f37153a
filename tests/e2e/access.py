#!/usr/bin/python3
"""IxoMp3 by screen reader and keyboard alone: every window and control read over AT-SPI and
pressed by its actions, the tray menu read and chosen, then a walk with xdotool's keys and no
mouse, each step read back over AT-SPI or from disk. Usage: access.py <program> <work> <shots>"""

import os, re, subprocess, sys, time  # noqa: E401

import pyatspi
from gi.repository import GLib

import walk
from walk import BLOCK, FRAME, TONES, Walk, click, mapped, nodes, run, tone_runs, within

BUTTON, LABEL, LIST = "push button", "label", "list"
# Each window's name, the press that shows it (window, button), and its controls shown at first.
WINDOWS = {
    "IxoMp3": (None, [("Abestia", LABEL), ("Izenburua", LABEL), ("Denbora", LABEL), ("Bolumena", LABEL)]
               + [(n, BUTTON) for n in ("Atzera", "Hasi", "Gelditu", "Amaitu", "Aurrera", "Zerrenda",
                                        "Txikiagotu", "Egilea", "Irten", "Bolumena igo", "Bolumena jeitsi")]),
    "Zerrenda": (("IxoMp3", "Zerrenda"), [("Zerrenda", LIST)] + [(n, BUTTON) for n in ("Berria", "Ireki", "Gehitu", "Itxi")]),
    "Artxiboak": (("Zerrenda", "Gehitu"), [("Unitatea", "combo box"), ("Karpeta", LIST), ("Artxiboak", LIST),
                                           ("Itxi", BUTTON)]),
    "Egilea": (("IxoMp3", "Egilea"), [("ixomp3.example.org", "link"), ("ixomp3@example.org", "link"),
                                      ("Ados!", BUTTON), ("IxoMp3 taldearen logoa", "image")]),
}
CLOSED_BY = {"Zerrenda": "Itxi", "Artxiboak": "Itxi", "Egilea": "Ados!"}
MENU = [("Haundiagotu", "menu item"), ("", "separator")] + [
    (n, "menu item") for n in ("Aurrera", "Amaitu", "Gelditu", "Hasi", "Atzera")]


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def value(node):
    return node.queryText().getText(0, -1)


class AccessWalk(Walk):
    def window(self, name):
        return next((w for w in self.windows() if w.name == name and showing(w)), None)

    def control(self, window, name, role=None):
        """The shown control of that name and role in the shown window of that name."""
        return within(10, f"{name!r} shown in {window!r}", lambda: (lambda c: (c is not None, c))(next(
            (n for n in nodes(self.window(window)) if n.name == name and showing(n)
             and role in (None, n.getRoleName())), None)))

    def act(self, window, name, role=BUTTON):
        node = self.control(window, name, role)
        node.queryAction().doAction(0)  # the first action is the press

    def titles(self):
        """The window manager's titles of the program's mapped windows."""
        shown = {w[0] for w in mapped()}
        return sorted(m[2] for m in re.finditer(r'^\s*(0x\w+) (?:"(.*)"|\(has no name\)): \("ixomp3"',
                                                 run("xwininfo", "-root", "-tree"), re.M) if m[1] in shown)

    def keys(self, *keys):
        run("xdotool", "key", "--delay", "60", *keys)

    def focused(self):
        """The control with the focus; a list's current item reads as focused in any case."""
        return next(((w.name, n.name) for w in self.windows() for n in nodes(w) if n is not w
                     and n.getRoleName() != "list item" and n.getState().contains(pyatspi.STATE_FOCUSED)), None)

    def key_to(self, key, window, name):
        """Presses key until the named control of that window has the focus."""
        for _ in range(16):
            if self.focused() == (window, name):
                return
            self.keys(key)
            time.sleep(0.2)
        raise AssertionError(f"expected {key} to reach {name!r} in {window!r}; the focus is on {self.focused()}")

    def items(self, window="Zerrenda", name="Zerrenda"):
        return [n.name.strip() for n in nodes(self.control(window, name, LIST)) if n.getRoleName() == "list item"]

    def heard(self, song, press):
        """Presses, then hears the song begin in what the sound device wrote since."""
        cache = [None] * (os.path.getsize(self.raw) // (BLOCK * FRAME) if os.path.exists(self.raw) else 0)
        press()
        within(10, f"{song} heard", lambda: ((r := tone_runs(self.raw, cache))[:1] == [song], r))
        within(5, "the bar playing it", lambda: (
            (v := [value(self.control("IxoMp3", n)) for n in ("Abestia", "Izenburua")]) == ["1/3", song]
            and re.fullmatch(r"0:\d/0:2", value(self.control("IxoMp3", "Denbora"))), v))

    def menu_items(self):
        """Opens the tray menu and reads it by the focus a screen reader follows into it."""
        focus = []
        listener = lambda event: event.detail1 and focus.append(event.source)  # noqa: E731
        pyatspi.Registry.registerEventListener(listener, "object:state-changed:focused")
        icon = within(5, "only the tray icon", lambda: (len(m := mapped()) == 1 and m[0][1] < 100, m))[0]
        click(icon[3] + icon[1] // 2, icon[4] + icon[2] // 2, button="3")
        self.keys("Down")
        within(5, "a menu item focused", lambda: (
            [GLib.MainContext.default().iteration(False) for _ in range(50)] and bool(focus), focus))
        pyatspi.Registry.deregisterEventListener(listener, "object:state-changed:focused")
        menu = focus[-1].parent
        return [(menu.getChildAtIndex(i).name, menu.getChildAtIndex(i).getRoleName()) for i in range(menu.childCount)]

    def steps(self):
        self.process = subprocess.Popen([self.program], cwd=self.work, env=self.env)
        within(5, "the splash named", lambda: (self.window("Sarrera") is not None, self.windows()))
        within(15, "only the bar", lambda: (self.titles() == ["IxoMp3"], self.titles()))
        # Each window comes up by a press action, named, with the window manager's title the
        # same, and holding its controls by name and role; the displays read their texts.
        for name, (opener, controls) in WINDOWS.items():
            if opener:
                self.act(*opener)
            within(5, f"the {name} window", lambda: (self.window(name) is not None, self.windows()))
            for control, role in controls:
                self.control(name, control, role)
        within(5, "every title", lambda: (self.titles() == sorted(WINDOWS), self.titles()))
        if [value(self.control("IxoMp3", n)) for n in ("Abestia", "Izenburua")] != ["0/0", "Ez dago abestirik..."]:
            raise AssertionError("expected the displays to read 0/0 and Ez dago abestirik...")
        for name, closer in CLOSED_BY.items():
            self.act(name, closer)
        within(5, "only the bar again", lambda: (self.titles() == ["IxoMp3"], self.titles()))
        yield "names and roles"
        # The tray menu reads as the bar's menu, and a chosen item acts: the bar comes back.
        self.act("IxoMp3", "Txikiagotu")
        if (menu := self.menu_items()) != MENU:
            raise AssertionError(f"expected the menu {MENU}; read {menu}")
        self.keys("Return")
        within(5, "the bar back", lambda: (self.titles() == ["IxoMp3"], self.titles()))
        yield "tray menu"
        # From here on keys alone: to the playlist, the browser, the folder and its three songs,
        # added with Return in the file list.
        self.key_to("Tab", "IxoMp3", "Zerrenda")
        self.keys("space")
        self.key_to("Tab", "Zerrenda", "Gehitu")
        self.keys("space")
        self.key_to("Tab", "Artxiboak", "Karpeta")
        for _ in range(8):
            if any(n.name.strip() == "kantak" and n.getState().contains(pyatspi.STATE_SELECTED)
                   for n in nodes(self.control("Artxiboak", "Karpeta", LIST))):
                break
            self.keys("Down")
        self.keys("Return")
        within(5, "the songs listed", lambda: (self.items("Artxiboak", "Artxiboak") == [f"{n}.mp3" for n in TONES],
                                               self.items("Artxiboak", "Artxiboak")))
        self.key_to("Tab", "Artxiboak", "Artxiboak")
        self.keys("ctrl+a", "Return")
        within(5, "the three songs", lambda: (self.items() == self.songs, self.items()))
        yield "keys add three songs"
        # The press action on "Hasi" plays the first song; stopped, Space on "Hasi" plays it again.
        self.heard("1 Lehena", lambda: self.act("IxoMp3", "Hasi"))
        self.act("IxoMp3", "Amaitu")
        within(5, "the time gone", lambda: (value(self.control("IxoMp3", "Denbora")) == "", None))
        self.keys("Escape")
        within(5, "the playlist hidden", lambda: (self.titles() == ["IxoMp3"], self.titles()))
        self.key_to("Tab", "IxoMp3", "Hasi")
        self.heard("1 Lehena", lambda: self.keys("space"))
        self.act("IxoMp3", "Amaitu")
        yield "press action and Space play"
        # Delete removes the selected song and Ctrl+Down moves the first one down.
        self.key_to("Tab", "IxoMp3", "Zerrenda")
        self.keys("space")
        self.key_to("Tab", "Zerrenda", "Zerrenda")
        self.keys("Home", "space", "Delete")
        within(5, "the first song removed", lambda: (self.items() == self.songs[1:], self.items()))
        self.keys("Home", "space", "ctrl+Down")
        within(5, "the songs swapped", lambda: (self.items() == self.songs[:0:-1], self.items()))
        yield "Delete and Ctrl+Down"
        # Exit asks in Basque, Return says "Bai", and the save dialog takes a typed name.
        self.key_to("Tab", "Zerrenda", "Itxi")
        self.keys("space")
        self.key_to("Tab", "IxoMp3", "Irten")
        self.keys("space")
        self.control("Irten...", "Gorde nahi duzu irten aurretik zerrenda hau?")
        answers = sorted(n.name for n in nodes(self.window("Irten...")) if n.getRoleName() == BUTTON)
        if answers != ["Bai", "Ez", "Utzi"]:
            raise AssertionError(f"expected the answers Bai, Ez, Utzi; saw {answers}")
        self.keys("Return")
        self.control("Gorde...", "File name:", "text")
        run("xdotool", "type", "--delay", "40", "nire.m3u")
        self.keys("Return")
        self.list_file = os.path.join(self.work, "home", "nire.m3u")
        self.songs = self.songs[:0:-1]
        self.ends()
        yield "keys exit and save"


if __name__ == "__main__":
    sys.exit(walk.main(AccessWalk))
