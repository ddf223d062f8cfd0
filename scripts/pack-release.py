#!/usr/bin/env python3
"""Packs Kestrava.exe and the user guide into Kestrava-<version>-win64.zip.

The version is the file version in the executable's own version resource, so the
archive's name cannot disagree with what Windows shows in the file's properties.
The archived program has no debug information; it goes into Kestrava-<version>-win64.debug
beside the archive, which the program names in its .gnu_debuglink section, so that
addr2line or gdb can read a crash address against it.
Usage: pack-release.py EXE GUIDE OUTDIR  (prints the archive's path)
"""
import pathlib
import struct
import subprocess
import sys
import tempfile
import zipfile

# VS_FIXEDFILEINFO starts with this signature; the file version follows the struct version.
FIXED_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
OBJCOPY = "x86_64-w64-mingw32-objcopy"


def file_version(exe: bytes) -> str:
    at = exe.find(FIXED_INFO_SIGNATURE)
    if at < 0:
        sys.exit("pack-release: no version resource in the executable")
    ms, ls = struct.unpack_from("<II", exe, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"


def stripped(exe_path: pathlib.Path, symbols: pathlib.Path) -> bytes:
    """The program without debug information or symbols, linked to its symbol file."""
    subprocess.run([OBJCOPY, "--only-keep-debug", exe_path, symbols], check=True)
    with tempfile.TemporaryDirectory() as scratch:
        out = pathlib.Path(scratch) / exe_path.name
        # The link keeps the symbol file's name and checksum, not its folder.
        subprocess.run([OBJCOPY, "--strip-all", f"--add-gnu-debuglink={symbols}", exe_path, out],
                       check=True)
        return out.read_bytes()


def main() -> None:
    exe_path, guide_path, out_dir = map(pathlib.Path, sys.argv[1:4])
    # Notepad on older Windows reads UTF-8 only with a byte order mark, and wants CRLF.
    guide = guide_path.read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    out_dir.mkdir(parents=True, exist_ok=True)
    name = f"Kestrava-{file_version(exe_path.read_bytes())}-win64"
    archive = out_dir / f"{name}.zip"
    exe = stripped(exe_path, out_dir / f"{name}.debug")
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Kestrava/Kestrava.exe", exe)
        z.writestr("Kestrava/README.txt", "\ufeff".encode() + guide.encode())
    print(archive)


if __name__ == "__main__":
    main()
