#!/usr/bin/env python3
"""Run one end-to-end scenario of the built clock.

Usage: run_scenario.py --build-dir build/x64 SCENARIO

Each scenario gets a Wine prefix of its own (a hard-linked clone of a
template), an Xvfb display of its own and a fresh folder holding the program,
its hook library and the driver. The driver program (a Windows program of
ours) starts the clock, plays the scenario's phases, each in a fresh driver
process, and checks what happens. Everything this script started is ended
afterwards: the prefix's wineserver and processes, and the display.

The build folder gives the edition under test (x86 or x64; one win64 prefix
runs both). A phase written "other:NAME" is played by the other edition's
driver (from --other-build-dir, by default the sibling build/x64 or
build/x86): the clock is this edition's, the driver's windows are of the
other bitness. A phase written "western:NAME" runs on a Western system's
code page (1252: LANG=C.UTF-8) after the prefix's Wine server is restarted
in it; the x86 edition, the ANSI program for Japanese systems, skips it.
A phase written "readonly:NAME" runs with the program's folder mounted
read-only, as a protected folder is to a user (root ignores file modes, not
a read-only mount).
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import threading
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# tools/lib.sh may route Wine through a private loader folder (TKP_WINE).
WINE = os.environ.get("TKP_WINE", "/usr/lib/wine/wine64")
WINESERVER = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") \
    else "/usr/lib/wine/wineserver"

# Scenario name: the driver phases it runs, in order, each in a new driver process.
SCENARIOS = {
    "first_start": ["first_start", "second_start_after_first"],
    "follow": ["follow"],
    "hide_and_return": ["hide_and_return"],
    "drag": ["drag"],
    "second_instance": ["second_instance"],
    "odd_settings": ["odd_settings"],
    "end_session": ["end_session"],
    "skin_cmdline": ["skin_cmdline", "skin_cmdline_quoted"],
    "missing_skin": ["missing_skin"],
    "face_time": ["face_time"],
    "menu_clock": ["menu_clock"],
    "tray_icon": ["tray_icon"],
    "change_data": ["change_data"],
    "help_page": ["help_page"],
    "dialogs": ["dialogs"],
    "sample_skins": ["sample_night", "sample_cloud", "sample_banner"],
    "today_windows": ["window_rules", "old_rules"],
    # Settings where the program's folder cannot be written, and beside it again where it can.
    "settings_protected": ["settings_prepared", "readonly:settings_protected", "settings_beside"],
    # Paths and texts beyond the code page, on the Japanese one and a Western one.
    "text_everywhere": ["text_everywhere", "western:text_everywhere"],
    # The release archive, checked and unpacked first (unpack_archive).
    "archive": ["archive_start"],
    # What reaches the clock from windows of the other bitness.
    "mixed_bitness": ["other:cross_bitness"],
    # Not a test: prints the docking figures for tools/bench.
    "bench": ["bench_dock"],
    # Not a test: a perch of the other bitness followed, for tools/bench.
    "bench_other": ["other:bench_other"],
    # Not a test: takes the pictures of docs/ for tools/screenshots.
    "screenshots": ["shots_builtin", "shots_moving", "shots_sample"],
    # Not a test: idle CPU for tools/bench, a minute a spell (TKP_IDLE_SECONDS).
    "bench_idle": ["idle_desktop", "idle_builtin", "idle_large"],
}

# Phases that mark an idle spell with "cpu-begin WHAT" and "cpu-end WHAT"
# lines; the runner reads what the processes spent in between.
IDLE_PHASES = set(SCENARIOS["bench_idle"])


def cpu_seconds(pid):
    """CPU time of a process so far, all its threads, from the scheduler's
    nanosecond counts."""
    total = 0
    try:
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as stat:
                total += int(stat.read().split()[0])
    except OSError:
        pass
    return total / 1e9


def prefix_processes(prefix, name):
    """Processes whose command line holds the name and that run in the prefix."""
    wanted = b"\0WINEPREFIX=" + prefix.encode() + b"\0"
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as cmdline, open("/proc/%s/environ" % entry, "rb") as env:
                if name in cmdline.read() and wanted in b"\0" + env.read():
                    found.append(int(entry))
        except OSError:
            continue
    return found


class IdleMeter:
    """CPU shares of one core over the idle spells: the clock's process, the
    display server and the prefix's Wine server."""

    def __init__(self, prefix, xvfb_pid):
        self.prefix = prefix
        self.xvfb_pid = xvfb_pid
        self.spells = []  # (what, seconds, {"clock": share, "Xvfb": share, "wineserver": share})
        self.start = None

    def processes(self):
        return {"clock": prefix_processes(self.prefix, b"TkpchOV.exe"), "Xvfb": [self.xvfb_pid],
                "wineserver": prefix_processes(self.prefix, b"wineserver")}

    def begin(self):
        pids = self.processes()
        self.start = (time.monotonic(), pids, {key: sum(map(cpu_seconds, each)) for key, each in pids.items()})

    def end(self, what):
        began, pids, before = self.start
        seconds = time.monotonic() - began
        shares = {key: 100.0 * (sum(map(cpu_seconds, each)) - before[key]) / seconds for key, each in pids.items()}
        self.spells.append((what, seconds, shares))
        return "cpu: %s over %.1f s: %s" % (what, seconds, ", ".join(
            "%s %.3f %%" % (key, share) for key, share in shares.items()))

    def table(self):
        """The clock's share and what the display and Wine servers spent
        beyond the desktop without the clock, in percent of one core."""
        base = dict(self.spells[0][2]) if self.spells and self.spells[0][0] == "desktop" else None
        lines = ["%-18s %10s %14s %14s %10s" % ("idle, % of a core", "clock", "Xvfb (+)", "wineserver (+)",
                                                "clock+Xvfb")]
        for what, seconds, shares in self.spells:
            if what == "desktop" or base is None:
                continue
            xvfb = shares["Xvfb"] - base["Xvfb"]
            wine = shares["wineserver"] - base["wineserver"]
            lines.append("%-18s %10.3f %14.3f %14.3f %10.3f" % (what, shares["clock"], xvfb, wine,
                                                               shares["clock"] + xvfb))
        return lines


def run_shell(command, env):
    subprocess.run(["bash", "-c", command], env=env, check=True)


def free_display():
    for number in range(50, 250):
        if not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return number
    raise RuntimeError("no free X display number")


def edition_of(build_dir):
    """x86 or x64, from the machine field of the built program."""
    with open(os.path.join(build_dir, "TkpchOV.exe"), "rb") as program:
        data = program.read(4096)
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return "x64" if int.from_bytes(data[pe + 4:pe + 6], "little") == 0x8664 else "x86"


OTHER_EDITION = {"x86": "x64", "x64": "x86"}


class Scenario:
    def __init__(self, name, build_dir, work_root, timeout, program_dir=None, other_build_dir=None):
        self.name = name
        self.build_dir = os.path.abspath(build_dir)
        self.edition = edition_of(self.build_dir)
        self.other_build_dir = os.path.abspath(other_build_dir or os.path.join(
            os.path.dirname(self.build_dir), OTHER_EDITION[self.edition]))
        self.program_dir = program_dir
        self.work = os.path.join(os.path.abspath(work_root), name)
        self.timeout = timeout
        self.template = os.path.join(ROOT, "build", "wine", "template")
        self.prefix = os.path.join(self.work, "prefix")
        self.app = os.path.join(self.work, "app")
        # Where the clock under test lives: beside the driver, or in the
        # unpacked archive.
        self.program_folder = self.app
        self.xvfb = None
        self.display = None
        self.env = None

    def prepare(self):
        lib = os.path.join(ROOT, "tools", "lib.sh")
        run_shell('source "%s" && tkp_make_prefix "%s"' % (lib, self.template), os.environ.copy())
        # A run ended mid-phase may have left its read-only mount behind.
        if os.path.ismount(self.app):
            subprocess.run(["umount", "-l", self.app], check=False)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.app)
        run_shell('source "%s" && tkp_clone_prefix "%s" "%s"' % (lib, self.template, self.prefix),
                  os.environ.copy())
        for name in ("TkpchOV.exe", "TKPCHHK.dll", "e2e_driver.exe", "e2e_recorder.exe", "Tkpch12.html"):
            source = os.path.join(self.build_dir, name)
            if os.path.exists(source):
                shutil.copy(source, self.app)
        skins = os.path.join(self.build_dir, "skins")
        if os.path.isdir(skins):
            os.makedirs(os.path.join(self.app, "skins"))
            for name in os.listdir(skins):
                if name.endswith(".qve"):
                    shutil.copy(os.path.join(skins, name), os.path.join(self.app, "skins"))
        if any(phase.startswith("other:") for phase in SCENARIOS[self.name]):
            shutil.copy(os.path.join(self.other_build_dir, "e2e_driver.exe"),
                        os.path.join(self.app, "e2e_driver_other.exe"))
        # Another build's program, for the benchmark's comparison.
        if self.program_dir:
            for name in ("TkpchOV.exe", "TKPCHHK.dll"):
                shutil.copy(os.path.join(self.program_dir, name), self.app)

    def unpack_archive(self):
        """Checks the release archive's layout and unpacks it; the clock then
        runs from the folder of the edition under test (x86 at the root,
        x64 in its folder)."""
        sys.path.insert(0, os.path.join(ROOT, "tools"))
        sys.path.insert(0, os.path.join(ROOT, "tests", "static"))
        import mkarchive
        import peimage
        failures = []

        def check(condition, what):
            print(("ok: %s" if condition else "FAIL: %s") % what)
            if not condition:
                failures.append(what)

        path = os.path.join(ROOT, "dist", mkarchive.archive_name(ROOT))
        check(os.path.isfile(path), "the archive %s exists (tools/package makes it)" % path)
        if failures:
            return False
        with zipfile.ZipFile(path) as archive:
            names = archive.namelist()
            check(names == [name for name, _ in mkarchive.LAYOUT], "it holds exactly: %s" % ", ".join(names))
            check(archive.testzip() is None, "every member's checksum is right")
            unpacked = os.path.join(self.work, "unpacked")
            archive.extractall(unpacked)
        readme = open(os.path.join(unpacked, "readme.txt"), "rb").read()
        check(readme.count(b"\r\n") == readme.count(b"\n") > 10, "the read-me has CRLF line ends only")
        try:
            text = readme.decode("cp932")
        except UnicodeDecodeError:
            text = ""
        check(bool(text), "the read-me is Shift-JIS text")
        for words in ("Tickperch Orvel " + mkarchive.project_version(ROOT), "TkpchOV.ini", "終了", "削除"):
            check(words in text, "it speaks of %s" % words)
        # (machine, subsystem) of each program: x86 or x64, GUI or console
        # (a DLL's subsystem means nothing).
        editions = {"TkpchOV.exe": (0x14C, 2), "TKPCHHK.dll": (0x14C, None), "tools/qvetool.exe": (0x14C, 3),
                    "x64/TkpchOV.exe": (0x8664, 2), "x64/TKPCHHK.dll": (0x8664, None)}
        for name, (machine, subsystem) in sorted(editions.items()):
            data = open(os.path.join(unpacked, name), "rb").read()
            image = peimage.PeImage(data)
            (pe,) = peimage.unpack("<I", data, 0x3C)
            (found,) = peimage.unpack("<H", data, pe + 24 + 68)
            check(image.machine == machine and subsystem in (None, found),
                  "%s is for machine 0x%x, subsystem %s (found 0x%x, %d)" % (name, machine, subsystem,
                                                                          image.machine, found))
        folder = "x64" if self.edition == "x64" else ""
        program = os.path.join(folder, "TkpchOV.exe").replace(os.sep, "/")
        for name, built in ((program, "TkpchOV.exe"), ("skins/cloud.qve", "skins/cloud.qve")):
            same = open(os.path.join(unpacked, name), "rb").read() == open(os.path.join(self.build_dir, built),
                                                                            "rb").read()
            check(same, "%s is the one just built" % name)
        self.program_folder = os.path.join(unpacked, folder) if folder else unpacked
        return not failures

    def start_display(self):
        for _ in range(5):
            self.display = free_display()
            self.xvfb = subprocess.Popen(
                ["Xvfb", ":%d" % self.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            for _ in range(100):
                if os.path.exists("/tmp/.X11-unix/X%d" % self.display):
                    break
                if self.xvfb.poll() is not None:
                    break
                time.sleep(0.05)
            if self.xvfb.poll() is None:
                break
        else:
            raise RuntimeError("Xvfb would not start")
        self.env = os.environ.copy()
        self.env.update({
            "DISPLAY": ":%d" % self.display, "WINEPREFIX": self.prefix, "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=", "LANG": "ja_JP.UTF-8", "LC_ALL": "ja_JP.UTF-8",
            "WINEARCH": "win64",
        })

    def windows_path(self, path):
        return "Z:" + path.replace("/", "\\")

    def stop_wine(self):
        """Ends every process of the prefix and waits for its Wine server to go."""
        for flag in ("-k", "-w"):
            subprocess.run([WINESERVER, flag], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=30)

    def run_phase(self, phase, deadline):
        if phase.startswith("readonly:"):
            folder = self.program_folder
            subprocess.run(["mount", "--bind", folder, folder], check=True)
            try:
                subprocess.run(["mount", "-o", "remount,bind,ro", folder], check=True)
                return self.run_phase(phase[len("readonly:"):], deadline)
            finally:
                # The desktop and services started in the phase hold the folder.
                self.stop_wine()
                if subprocess.run(["umount", folder]).returncode != 0:
                    subprocess.run(["umount", "-l", folder], check=True)
        env = dict(self.env)
        if phase.startswith("western:"):
            if self.edition == "x86":
                return True, "skipped: the x86 edition is the program of Japanese systems"
            phase = phase[len("western:"):]
            env.update({"LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
            # The desktop and the services start again on the new code page.
            self.stop_wine()
        remaining = max(5, deadline - time.time())
        driver = "e2e_driver.exe"
        if phase.startswith("other:"):
            driver, phase = "e2e_driver_other.exe", phase[len("other:"):]
        command = [WINE, os.path.join(self.app, driver), phase, self.windows_path(self.program_folder)]
        env["WINEDEBUG"] = os.environ.get("TKP_DRIVER_WINEDEBUG", env["WINEDEBUG"])
        # Output through a file, not a pipe: a clock that a failed phase left
        # running inherits the driver's output and would hold a pipe open.
        log = os.path.join(self.work, "phase-%s.log" % phase)
        with open(log, "wb") as output_file:
            try:
                result = subprocess.run(command, env=env, timeout=remaining, stdout=output_file,
                                        stderr=subprocess.STDOUT)
                passed, ending = result.returncode == 0, ""
            except subprocess.TimeoutExpired:
                passed, ending = False, "\nTIMEOUT: phase %s ran out of time" % phase
        with open(log, "rb") as output_file:
            return passed, output_file.read().decode("cp932", "replace") + ending

    def run_idle_phase(self, phase, deadline, meter):
        """Runs a phase with idle spells, reading its output as it comes."""
        command = [WINE, os.path.join(self.app, "e2e_driver.exe"), phase, self.windows_path(self.app)]
        driver = subprocess.Popen(command, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        watchdog = threading.Timer(max(5, deadline - time.time()), driver.kill)
        watchdog.start()
        output = []
        for raw in driver.stdout:
            line = raw.decode("cp932", "replace").rstrip("\r\n")
            output.append(line)
            if line.startswith("cpu-begin "):
                meter.begin()
            elif line.startswith("cpu-end "):
                output.append(meter.end(line[len("cpu-end "):]))
        driver.wait()
        timed_out = not watchdog.is_alive()
        watchdog.cancel()
        if timed_out:
            output.append("TIMEOUT: phase %s ran out of time" % phase)
        return driver.returncode == 0 and not timed_out, "\n".join(output)

    def screenshot(self, name):
        if self.display is None:
            return
        target = os.path.join(self.work, name)
        subprocess.run(["import", "-window", "root", "-display", ":%d" % self.display, target],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20)

    def finish(self):
        if self.env is not None:
            subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        if self.xvfb is not None and self.xvfb.poll() is None:
            os.killpg(self.xvfb.pid, signal.SIGTERM)
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.xvfb.pid, signal.SIGKILL)

    def run(self):
        deadline = time.time() + self.timeout
        passed = True
        try:
            self.prepare()
            if self.name == "archive":
                passed = self.unpack_archive()
            self.start_display()
            meter = IdleMeter(self.prefix, self.xvfb.pid)
            for phase in SCENARIOS[self.name] if passed else []:
                if phase in IDLE_PHASES:
                    ok, output = self.run_idle_phase(phase, deadline, meter)
                else:
                    ok, output = self.run_phase(phase, deadline)
                sys.stdout.write("--- phase %s\n%s\n" % (phase, output.strip()))
                if not ok:
                    passed = False
                    self.screenshot("failure-%s.png" % phase)
                    break
            if meter.spells:
                print("\n".join(meter.table()))
        finally:
            self.finish()
        print("scenario %s: %s (files in %s)" % (self.name, "PASS" if passed else "FAIL", self.work))
        return passed


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--work-root", default=os.path.join(ROOT, "build", "e2e"))
    parser.add_argument("--timeout", type=float, default=120 * float(os.environ.get("TKP_TIME_SCALE", "1")))
    parser.add_argument("--program-dir", help="take TkpchOV.exe and TKPCHHK.dll from this folder "
                                              "(another build, for the benchmark's comparison)")
    parser.add_argument("--other-build-dir", help="the other edition's build, whose driver plays the "
                                                  "\"other:\" phases (default: the sibling build/x86 or build/x64)")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    scenario = Scenario(args.scenario, args.build_dir, args.work_root, args.timeout, args.program_dir,
                        args.other_build_dir)
    return 0 if scenario.run() else 1


if __name__ == "__main__":
    sys.exit(main())
