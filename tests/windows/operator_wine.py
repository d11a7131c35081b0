#!/usr/bin/python3
"""The Windows installer run silently into a fresh Wine prefix, and the installed UdpRavik.exe
driven by real X input events (xdotool) on an Xvfb display of its own, with the scenarios of
the Linux operator test, against the installed UdpRavikDevice.exe on 127.0.0.236:502. Wine draws no frame and runs
no window manager here, so each Windows window is an X window of its own.

Usage: operator_wine.py INSTALLER [SCREENSHOT_DIR]
"""
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "operator"))
import operator_test  # noqa: E402
from operator_test import Failure, Session  # noqa: E402

WINE_RUN = os.path.join(HERE, "..", "..", "scripts", "wine-run")
INSTALLED = r"C:\Program Files\UdpRavik\bin"


class WineSession(Session):
    def __init__(self, installer, screenshots):
        super().__init__(None, None)
        self.installer, self.screenshots = installer, screenshots
        # Without a window manager Wine shows the client area alone, where the window's outer
        # rectangle at (266, 160, 828, 652) puts it below Wine's 23-px caption.
        self.client = (266, 183, 828, 629)

    def start(self):
        self.start_display()
        self.prefix = os.path.join(self.tmp.name, "wine")
        self.step = "install silently"
        installed = self.wine(self.installer, "/S")
        installed.wait(120)
        if installed.returncode != 0:
            raise Failure(f"the installer ended with exit code {installed.returncode}")
        for name in ("UdpRavik.exe", "UdpRavikDevice.exe", "Qt6Widgets.dll",
                     r"platforms\qwindows.dll", r"translations\qtbase_de.qm",
                     r"fonts\LiberationSans-Regular.ttf"):
            path = os.path.join(self.prefix, "drive_c", "Program Files", "UdpRavik", "bin",
                                *name.split("\\"))
            if not os.path.isfile(path):
                raise Failure(f"the installer left no {name} in {INSTALLED}")
        self.start_device()

    def wine(self, *command, **options):
        return self.spawn([WINE_RUN, self.prefix, *command], env=self.env, **options)

    def device_command(self):
        return [WINE_RUN, self.prefix, INSTALLED + r"\UdpRavikDevice.exe"]

    def monitor_command(self):
        return [WINE_RUN, self.prefix, INSTALLED + r"\UdpRavik.exe"]

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

    def stop(self):
        if getattr(self, "prefix", None):
            subprocess.run(["/usr/lib/wine/wineserver64", "-k"], timeout=30,
                           env={**self.env, "WINEPREFIX": self.prefix})
        super().stop()


def main(installer, screenshots=None):
    operator_test.run_scenarios(
        WineSession(installer, screenshots),
        (operator_test.refused_entries_then_a_write, operator_test.keyboard_scrolling,
         operator_test.cyclic_reading_then_exit))


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    main(*map(os.path.abspath, sys.argv[1:]))
