#!/usr/bin/python3
"""The Windows installer run silently into a fresh Wine prefix, and the installed UdpRavik.exe
driven by real X input events (xdotool) on an Xvfb display of its own, with the scenarios of
the Linux operator test, against the installed UdpRavikDevice.exe on 127.0.0.236:502. Wine draws no frame and runs
no window manager here, so each Windows window is an X window of its own.

Usage: operator_wine.py INSTALLER [SCREENSHOT_DIR]
"""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "operator"))
import operator_test  # noqa: E402
from operator_test import Failure, Session, crop  # noqa: E402

WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine-run")
INSTALLED = r"C:\Program Files\UdpRavik"


class WineSession(Session):
    def __init__(self, installer, screenshots=None, folder=INSTALLED):
        super().__init__(None, None)
        self.installer, self.screenshots, self.folder = installer, screenshots, folder
        # Without a window manager Wine shows the client area alone, where the window's outer
        # rectangle at (266, 160, 828, 652) puts it inside Wine's frame (4-px borders and a
        # 23-px caption), which outer_size_in_wines_desktop sees drawn.
        self.client = (270, 183, 820, 625)

    def start(self):
        self.start_display()
        self.prefix = os.path.join(self.tmp.name, "wine")
        self.step = "install silently"
        installed = self.wine(self.installer, "/S")
        installed.wait(120)
        if installed.returncode != 0:
            raise Failure(f"the installer ended with exit code {installed.returncode}")
        self.start_device()

    def wine(self, *command, **options):
        return self.spawn([WINE_RUN, self.prefix, *command], env=self.env, **options)

    def device_command(self):
        return [WINE_RUN, self.prefix, self.folder + r"\UdpRavikDevice.exe"]

    def monitor_command(self):
        return [WINE_RUN, self.prefix, self.folder + r"\UdpRavik.exe"]

    def save(self, name, window=None):
        if self.screenshots:
            subprocess.run(["import", "-window", str(window or self.window),
                            os.path.join(self.screenshots, name)], env=self.env, check=True,
                           timeout=operator_test.TIMEOUT)

    def start_monitor(self):
        super().start_monitor()
        self.save("window-windows.png")

    def read_once(self):
        super().read_once()
        self.save("window-windows-read.png")

    def typed(self, box):
        super().typed(box)
        self.save("window-windows-ip-dialog.png", box)

    def end_wine(self):
        """Ends every program of the prefix, as a shutdown of Windows does."""
        subprocess.run([WINE_RUN, self.prefix, "--end"], timeout=30, env=self.env)

    def stop(self):
        if getattr(self, "prefix", None):
            self.end_wine()
        super().stop()


def outer_size_in_wines_desktop(session):
    """Wine's desktop draws Windows frames: the window with its frame is 828 x 652 at
    (266, 160), whatever Qt knows of the frame."""
    session.step = "start the program in Wine's desktop"
    session.output = os.path.join(session.tmp.name, "desktop.txt")
    with open(session.output, "w") as output:
        session.monitor = session.wine("explorer", "/desktop=ravik,1280x1024",
                                       INSTALLED + r"\UdpRavik.exe", stdout=output,
                                       stderr=output)
    seen = [None]

    def outer_rectangle():
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                              env=session.env, capture_output=True,
                              timeout=operator_test.TIMEOUT).stdout
        width, background = 1280, data[:3]
        drawn = [(i // 3 % width, i // 3 // width) for i in range(0, len(data), 3)
                 if data[i:i + 3] != background]
        if drawn:
            xs, ys = [x for x, _ in drawn], [y for _, y in drawn]
            seen[0] = (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
        return seen[0] == operator_test.WINDOW
    try:
        session.wait("the window and its frame at (266, 160, 828, 652)", outer_rectangle)
    except Failure as failure:
        raise Failure(f"{failure}; drawn: {seen[0]}")


def system_colours(session):
    """Edit1, Edit3 and the window in the system's colours (Wine keeps GetSysColor's in the
    registry), not in Fusion's own."""
    session.start_monitor()
    listed = session.wine("reg", "query", r"HKCU\Control Panel\Colors", stdout=subprocess.PIPE,
                          text=True).communicate(timeout=operator_test.TIMEOUT)[0]
    system = dict(re.findall(r"(\w+)\s+REG_SZ\s+(\d+ \d+ \d+)", listed))
    image = session.shot()
    for what, x, y, colour in (("Edit1", 433, 164, "InfoWindow"), ("Edit3", 529, 164, "InfoWindow"),
                               ("the window", 500, 110, "ButtonFace")):
        if " ".join(map(str, crop(image, x, y, 1, 1)[0])) != system[colour]:
            raise Failure(f"{what} is painted in {tuple(crop(image, x, y, 1, 1)[0])}, the "
                          f"system's {colour} is {system[colour]}")


def main(installer, screenshots=None):
    operator_test.run_scenarios(
        WineSession(installer, screenshots),
        (operator_test.refused_entries_then_a_write, operator_test.keyboard_scrolling,
         operator_test.cyclic_reading_then_exit, system_colours, outer_size_in_wines_desktop))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(*map(os.path.abspath, sys.argv[1:]))
