#!/usr/bin/python3
"""The installer and the ZIP as a user meets them, in a fresh Wine prefix: install, upgrade and
remove in both modes, run the ZIP from a folder with blanks and umlauts; after each removal and
the ZIP's run, nothing may be left in drive_c nor in the registry (regedit /E).

Usage: installer_wine.py WINDOWS_BUILD_DIR
"""
import glob
import os
import pwd
import re
import subprocess
import sys
import zipfile

from operator_wine import Failure, WineSession, operator_test

UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\UdpRavik"
# Program folder, Start menu and the root under which regedit exports the uninstall entry.
ALL_USERS = ("Program Files/UdpRavik", "ProgramData/Microsoft/Windows/Start Menu/Programs",
             "HKEY_LOCAL_MACHINE")
CURRENT_USER = ("users/{user}/AppData/Local/Programs/UdpRavik",
                "users/{user}/AppData/Roaming/Microsoft/Windows/Start Menu/Programs",
                "HKEY_USERS")  # Wine exports HKCU under the user's SID
SHIPPED = ("UdpRavik.exe", "platforms/qwindows.dll", "translations/qtbase_de.qm",
           "fonts/LiberationSans-Regular.ttf", "LICENSE.txt", "licenses/Qt/SOURCE.txt")
DROPPED = "UdpRavikDevice.exe"  # shipped by this version, not by the upgrade


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

    def registry(self):
        self.run("regedit", "/E", os.path.join(self.tmp.name, "registry.reg"))
        with open(os.path.join(self.tmp.name, "registry.reg"), encoding="utf-16") as exported:
            return exported.read()

    def traces(self):
        """The registry's lines that name the program, and every file in drive_c outside
        Wine's own windows folder."""
        lines = {line for line in self.registry().splitlines() if re.search("ravik", line, re.I)}
        return lines | {path for path in (os.path.relpath(os.path.join(folder, name), self.drive)
                                          for folder, folders, names in os.walk(self.drive)
                                          for name in folders + names)
                        if not path.startswith("windows")}

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
        folder, menu = (os.path.join(self.drive, path.format(user=self.user)) for path in mode[:2])
        missing = [name for name in SHIPPED + (DROPPED,) * (version == self.version)
                   if not os.path.isfile(os.path.join(folder, name))]
        if missing or version != self.version and os.path.exists(os.path.join(folder, DROPPED)):
            raise Failure(f"{self.step}: missing {missing}, or {DROPPED} left, in {folder}")
        with open(os.path.join(menu, "UDP Ravik.lnk"), "rb") as shortcut:
            if "UdpRavik.exe".encode("utf-16-le") not in shortcut.read():
                raise Failure(f"{self.step}: the Start-menu entry does not lead to UdpRavik.exe")
        entries = re.findall(r"\[(HKEY_LOCAL_MACHINE|HKEY_USERS)\\(?:[^\\\]]+\\)??" +
                             re.escape(UNINSTALL_KEY) + r"\]\n(.*?)\n\n", self.registry(), re.S)
        if [(root, f'"DisplayVersion"="{version}"' in values) for root, values in entries] != [
                (mode[2], True)]:
            raise Failure(f"{self.step}: uninstall entries {entries}, not one of {version}")

    def uninstall(self, mode):
        folder = os.path.join(self.drive, mode[0].format(user=self.user))
        self.run(os.path.join(folder, "Uninstall.exe"), "/S")
        # The uninstaller goes on from a copy of itself once the one started has ended.
        self.wait("the program folder to go", lambda: not os.path.exists(folder))

    def upgrade_installer(self):
        """CPack's config with the version raised, and a script that drops DROPPED."""
        config, drop = (os.path.join(self.tmp.name, name) for name in ("up.cmake", "drop.cmake"))
        with open(drop, "w") as script:
            script.write(f'file(REMOVE "${{CPACK_TEMPORARY_DIRECTORY}}/{DROPPED}")\n')
        with open(config, "w") as script:
            script.write(f'include("{self.build}/CPackConfig.cmake")\n'
                         f'set(CPACK_PACKAGE_VERSION "{self.newer}")\n'
                         f'set(CPACK_PACKAGE_FILE_NAME "UdpRavik-{self.newer}-win64")\n'
                         f'set(CPACK_NSIS_PACKAGE_NAME "UDP/Ravik {self.newer}")\n'
                         f'list(APPEND CPACK_PRE_BUILD_SCRIPTS "{drop}")\n')
        subprocess.run(["cpack", "--config", config, "-G", "NSIS", "-B", self.tmp.name],
                       check=True, capture_output=True, timeout=300)
        return os.path.join(self.tmp.name, f"UdpRavik-{self.newer}-win64.exe")


def install_for_all_users(session):
    with open(session.installer, "rb") as installer:
        # Anyone may start it: without administrator rights it installs for the current user.
        if b'requestedExecutionLevel level="highestAvailable"' not in installer.read():
            raise Failure("the installer's manifest does not ask for the highest level available")
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
    with zipfile.ZipFile(glob.glob(os.path.join(session.build, "*-portable.zip"))[0]) as archive:
        archive.extractall(os.path.join(session.drive, "Prüfstand Halle 2"))
    session.before |= session.traces()
    session.folder = r"C:\Prüfstand Halle 2\UdpRavik"
    session.start_device()
    session.start_monitor()
    session.set_target_and_read()
    session.click(*operator_test.EXIT)
    if session.monitor.wait(operator_test.TIMEOUT) != 0:
        session.check_monitor()
    session.check_nothing_left("the portable copy's run")


def installer_speaks_german(session):
    session.env["LANG"] = "de_DE.UTF-8"
    session.monitor, session.output = session.wine(session.installer), os.devnull
    session.wait("the installer's German window",
                 lambda: session.windows(f"^Installation von UDP/Ravik {session.version}$"))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    operator_test.run_scenarios(
        InstallerSession(os.path.abspath(sys.argv[1])),
        (install_for_all_users, upgrade_for_the_current_user, portable_copy_reads_once,
         installer_speaks_german))
