"""How this machine runs 32-bit Windows programs under Wine: natively, or
through qemu-i386 where its kernel cannot run 32-bit programs (the 32-bit Wine
loader fails with "Exec format error").

The route through qemu-i386 (user-mode emulation, 8.1 or newer, which
tools/install-qemu-i386.sh fetches into build/qemu-user) takes three pieces,
laid out in a folder of the build:

    lib/wine/wine             a copy of Debian's 32-bit loader with mode 755:
                              qemu loads no file without its exec bit, and
                              loading the loader through ld-linux.so.2 would
                              put ld.so at 0x400000, where the .exe goes
    lib/i386-linux-gnu, share links to the system's folders, so that the
                              loader finds ntdll.so and Wine's data relative
                              to itself, as it does in /usr
    lib/wine/wine-preloader   a script that runs qemu-i386 on its arguments:
                              Wine starts every new process (wineboot,
                              services.exe, the scan processes of ,PARALLEL=)
                              as "<loader>-preloader <loader> ARGS", which
                              without a binfmt entry for 32-bit programs
                              cannot run otherwise

WINELOADER names the copy, so that Wine starts its processes through it, and
WINELOADERNOEXEC=1 spares the loader its own re-exec at start. Debian's 64-bit
wineserver serves the 32-bit clients of the suite's WINEARCH=win32 prefix.
A program then starts as Wine starts its own: wine_command in
tests/e2e/run_case.py gives the preloader and the loader.
"""

import re
import shlex
import shutil
import subprocess
from pathlib import Path
from typing import NamedTuple

REPO = Path(__file__).resolve().parents[2]
# Debian's 32-bit Wine loader.
WINE32_LOADER = Path("/usr/lib/wine/wine")
# Where tools/install-qemu-i386.sh puts qemu-i386.
QEMU_I386 = REPO / "build" / "qemu-user" / "qemu-i386"
# Older ones take MAP_FIXED_NOREPLACE for a hint, and Wine fails after about
# 50 s with "failed to map the shared user data: c0000018".
OLDEST_QEMU = (8, 1)
# The loader layout's folder in the 32-bit build.
LAYOUT = "wine32-loader"


class Route(NamedTuple):
    # "native" or "through qemu-i386 VERSION", as the suite's first line says.
    description: str
    # Wine's variables for this route, on top of the suite's.
    environment: dict


def native_problem():
    """Why this machine cannot start the 32-bit Wine loader itself, or None
    when it can."""
    loader = str(WINE32_LOADER) if WINE32_LOADER.exists() else "wine"
    try:
        result = subprocess.run([loader, "--version"], capture_output=True, timeout=120)
    except OSError as error:
        return f"{loader} cannot be started: {error.strerror}"
    except subprocess.TimeoutExpired:
        return f"{loader} --version did not end within 120 s"
    if result.returncode != 0:
        said = (result.stderr or result.stdout).decode("utf-8", "replace").strip()
        return f"{loader} --version ends with exit code {result.returncode}: {said[:200]}"
    return None


def qemu_version(qemu):
    """The version qemu-i386 gives ("10.0.2"), or None."""
    try:
        said = subprocess.run([str(qemu), "--version"], capture_output=True, timeout=60).stdout
    except (OSError, subprocess.TimeoutExpired):
        return None
    found = re.match(rb"qemu-i386 version (\d+\.\d+[.\d]*)", said)
    return found.group(1).decode() if found else None


def new_enough(version):
    return tuple(int(part) for part in version.split(".")[:2]) >= OLDEST_QEMU


def lay_out_loader(folder, qemu):
    """Makes the loader layout in folder anew; returns the loader's copy."""
    shutil.rmtree(folder, ignore_errors=True)
    loader_dir = folder / "lib" / "wine"
    loader_dir.mkdir(parents=True)
    loader = loader_dir / "wine"
    shutil.copyfile(WINE32_LOADER, loader)
    loader.chmod(0o755)
    (folder / "lib" / "i386-linux-gnu").symlink_to("/usr/lib/i386-linux-gnu")
    (folder / "share").symlink_to("/usr/share")
    preloader = loader_dir / "wine-preloader"
    preloader.write_text("#!/bin/sh\n"
                         "# Wine starts a process as: wine-preloader LOADER ARGS\n"
                         f"exec {shlex.quote(str(qemu))} \"$@\"\n")
    preloader.chmod(0o755)
    return loader


def wine32_route(build_dir):
    """(Route, None) for the 32-bit build in build_dir, or (None, why this
    machine cannot run 32-bit Windows programs)."""
    problem = native_problem()
    if problem is None:
        return Route("native", {}), None
    qemu = QEMU_I386 if QEMU_I386.exists() else shutil.which("qemu-i386")
    if qemu is None:
        return None, (f"{problem}; and no qemu-i386 in {QEMU_I386} or on PATH "
                      "(make windows-deps fetches it)")
    version = qemu_version(qemu)
    if version is None or not new_enough(version):
        return None, (f"{problem}; and {qemu} is not qemu-i386 8.1 or newer "
                      f"(it says {version or 'no version'})")
    if not WINE32_LOADER.exists():
        return None, f"{problem}; and there is no {WINE32_LOADER} to run through qemu-i386"
    loader = lay_out_loader(build_dir / LAYOUT, Path(qemu).resolve())
    return Route(f"through qemu-i386 {version}",
                 {"WINELOADER": str(loader), "WINELOADERNOEXEC": "1"}), None
