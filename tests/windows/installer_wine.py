#!/usr/bin/python3
"""The Windows installer and the portable ZIP as a user meets them, in a fresh Wine prefix on
an Xvfb display of its own: an install for all users and its removal; an install for the
current user, an upgrade over it by an installer one version up (made from the same build, one
file fewer) and its removal; the ZIP unpacked into a folder with blanks and umlauts, read once
against its own device on 127.0.0.236:502 and left through Exit; and the installer's pages in
German on a German system. After each removal, and after the ZIP's run, nothing of the
program may be left in drive_c or in the registry (as regedit /E exports it).

Usage: installer_wine.py WINDOWS_BUILD_DIR
"""
import glob
import os
import pwd
import re
import subprocess
import sys
import zipfile

import operator_wine
from operator_wine import Failure, WineSession, operator_test

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\UdpRavik"
ALL_USERS = ("Program Files/UdpRavik", "ProgramData/Microsoft/Windows/Start Menu/Programs")
CURRENT_USER = ("users/{user}/AppData/Local/Programs/UdpRavik",
                "users/{user}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs")
SHIPPED = ("UdpRavik.exe", "UdpRavikDevice.exe", "Qt6Widgets.dll", "platforms/qwindows.dll",
           "translations/qtbase_de.qm", "fonts/LiberationSans-Regular.ttf", "LICENSE.txt",
           "licenses/Qt/LGPL-3.txt", "licenses/Qt/GPL-3.txt", "licenses/Qt/SOURCE.txt",
           "licenses/gcc-mingw-w64-x86-64-posix-runtime.txt", "licenses/fonts-liberation2.txt")
DROPPED = "UdpRavikDevice.exe"  # the file the upgrade no longer ships
PORTABLE = "Prüfstand Halle 2"


class InstallerSession(WineSession):
    def __init__(self, build):
        with open(os.path.join(build, "CPackConfig.cmake")) as config:
            self.version = re.search(r'CPACK_PACKAGE_VERSION "(.*)"', config.read())[1]
        super().__init__(os.path.join(build, f"UdpRavik-{self.version}-win64.exe"))
        self.build, self.newer = build, self.version + ".1"

    def start(self):
        self.start_display()
        self.prefix = os.path.join(self.tmp.name, "wine")
        self.drive = os.path.join(self.prefix, "drive_c")
        self.user = pwd.getpwuid(os.getuid()).pw_name  # Wine names the profile after it
        self.run("wineboot")
        self.before = self.traces()

    def run(self, *command):
        self.step = " ".join(os.path.basename(word) for word in command)
        process = self.wine(*command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        output = process.communicate(timeout=120)[0]
        if process.returncode != 0:
            raise Failure(f"{self.step} ended with exit code {process.returncode}: {output}")
        return output

    def registry(self):
        export = os.path.join(self.tmp.name, "registry.reg")
        self.run("regedit", "/E", export)
        with open(export, encoding="utf-16") as exported:
            return exported.read()

    def traces(self):
        """The files in drive_c outside Wine's own windows folder, and the registry's lines
        that name the program."""
        registry = {line for line in self.registry().splitlines() if re.search("ravik", line, re.I)}
        files = {os.path.relpath(os.path.join(folder, name), self.drive)
                 for folder, folders, names in os.walk(self.drive) for name in folders + names}
        return registry | {name for name in files if not name.startswith("windows")}

    def check_nothing_left(self, after):
        self.step = f"look for what is left after {after}"
        # NSIS's uninstaller runs from a copy in Temp, which Windows deletes at the next start;
        # Wine, started anew, deletes the copy and leaves its empty folder.
        self.end_wine()
        left = {trace for trace in self.traces() - self.before
                if not re.fullmatch(r"users/[^/]+/Temp/~nsu\d*\.tmp", trace)}
        if left:
            raise Failure(f"after {after}, these are left: {sorted(left)}")

    def check_installed(self, mode, version):
        folder, menu = (path.format(user=self.user) for path in mode)
        missing = [name for name in SHIPPED if name != DROPPED or version == self.version
                   if not os.path.isfile(os.path.join(self.drive, folder, name))]
        if missing:
            raise Failure(f"{self.step}: no {', '.join(missing)} in {folder}")
        if version != self.version and os.path.exists(os.path.join(self.drive, folder, DROPPED)):
            raise Failure(f"{self.step}: {DROPPED}, which {version} no longer ships, is left")
        with open(os.path.join(self.drive, menu, "UDP Ravik.lnk"), "rb") as shortcut:
            if "UdpRavik.exe".encode("utf-16-le") not in shortcut.read():
                raise Failure(f"{self.step}: the Start-menu entry does not lead to UdpRavik.exe")
        # Wine exports the current user's keys under HKEY_USERS and the user's SID.
        entries = re.findall(r"\[(HKEY_LOCAL_MACHINE|HKEY_USERS)\\(?:[^\\\]]+\\)??" +
                             re.escape(UNINSTALL_KEY) + r"\]\n(.*?)\n\n", self.registry(), re.S)
        expected = ("HKEY_LOCAL_MACHINE" if mode is ALL_USERS else "HKEY_USERS",
                    f'"DisplayVersion"="{version}"')
        if [(root, expected[1] in values) for root, values in entries] != [(expected[0], True)]:
            raise Failure(f"{self.step}: uninstall entries {entries}, expected one in "
                          f"{expected[0]} of version {version}")

    def uninstall(self, mode):
        folder = os.path.join(self.drive, mode[0].format(user=self.user))
        self.run(os.path.join(folder, "Uninstall.exe"), "/S")
        # The uninstaller goes on from a copy of itself once the one started has ended.
        self.wait("the uninstaller to remove the program folder",
                  lambda: not os.path.exists(folder))

    def upgrade_installer(self):
        """The same build one version up, without DROPPED: CPack's config with the version raised."""
        drop = os.path.join(self.tmp.name, "drop.cmake")
        with open(drop, "w") as script:
            script.write(f'file(REMOVE "${{CPACK_TEMPORARY_DIRECTORY}}/{DROPPED}")\n')
        upgraded = os.path.join(self.tmp.name, "upgrade.cmake")
        with open(upgraded, "w") as config:
            config.write(f'include("{self.build}/CPackConfig.cmake")\n'
                         f'set(CPACK_PACKAGE_VERSION "{self.newer}")\n'
                         f'set(CPACK_PACKAGE_FILE_NAME "UdpRavik-{self.newer}-win64")\n'
                         f'set(CPACK_NSIS_PACKAGE_NAME "UDP/Ravik {self.newer}")\n'
                         f'list(APPEND CPACK_PRE_BUILD_SCRIPTS "{drop}")\n')
        self.step = "make the installer one version up"
        subprocess.run(["cpack", "--config", upgraded, "-G", "NSIS", "-B", self.tmp.name],
                       check=True, capture_output=True, timeout=300)
        return os.path.join(self.tmp.name, f"UdpRavik-{self.newer}-win64.exe")


def install_for_all_users(session):
    session.step = "read the installer's manifest"
    with open(session.installer, "rb") as installer:
        # A user without administrator rights may run it, into the current-user mode.
        level = re.search(rb'requestedExecutionLevel level="(\w+)"', installer.read())
    if not level or level[1] != b"highestAvailable":
        raise Failure(f"the installer's manifest asks for {level and level[1]}")
    session.run(session.installer, "/S", "/AllUsers")
    session.check_installed(ALL_USERS, session.version)
    session.uninstall(ALL_USERS)
    session.check_nothing_left("removing an install for all users")


def upgrade_for_the_current_user(session):
    session.run(session.installer, "/S", "/CurrentUser")
    session.check_installed(CURRENT_USER, session.version)
    session.run(session.upgrade_installer(), "/S")  # keeps the mode of the install it finds
    session.check_installed(CURRENT_USER, session.newer)
    session.uninstall(CURRENT_USER)
    session.check_nothing_left("removing an upgraded install for the current user")


def portable_copy_reads_once(session):
    session.step = f"unpack the ZIP into C:\\{PORTABLE}"
    unpacked = os.path.join(session.drive, PORTABLE)
    with zipfile.ZipFile(glob.glob(os.path.join(session.build, "*-portable.zip"))[0]) as archive:
        archive.extractall(unpacked)
    session.before |= session.traces()
    session.folder = f"C:\\{PORTABLE}\\UdpRavik"
    session.start_device()
    session.start_monitor()
    session.set_target_and_read()
    session.step = "Exit"
    session.click(*operator_test.EXIT)
    if session.monitor.wait(operator_test.TIMEOUT) != 0:
        session.check_monitor()
    session.check_nothing_left("the portable copy's run")


def installer_speaks_german(session):
    session.step = "start the installer on a German system"
    session.env["LANG"] = "de_DE.UTF-8"
    session.monitor = session.wine(session.installer)
    session.output = os.devnull
    session.window = session.wait("the installer's German window",
                                  lambda: session.windows(f"^Installation von UDP/Ravik {session.version}$"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    operator_test.run_scenarios(
        InstallerSession(os.path.abspath(sys.argv[1])),
        (install_for_all_users, upgrade_for_the_current_user, portable_copy_reads_once,
         installer_speaks_german))
