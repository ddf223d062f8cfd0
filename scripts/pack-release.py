#!/usr/bin/env python3
"""Packs Kestrava.exe and the user guide into Kestrava-<version>-win64.zip.

The version is the file version in the executable's own version resource, so the
archive's name cannot disagree with what Windows shows in the file's properties.
Usage: pack-release.py EXE GUIDE OUTDIR  (prints the archive's path)
"""
import pathlib
import struct
import sys
import zipfile

# VS_FIXEDFILEINFO starts with this signature; the file version follows the struct version.
FIXED_INFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def file_version(exe: bytes) -> str:
    at = exe.find(FIXED_INFO_SIGNATURE)
    if at < 0:
        sys.exit("pack-release: no version resource in the executable")
    ms, ls = struct.unpack_from("<II", exe, at + 8)
    return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}"


def main() -> None:
    exe_path, guide_path, out_dir = map(pathlib.Path, sys.argv[1:4])
    exe = exe_path.read_bytes()
    # Notepad on older Windows reads UTF-8 only with a byte order mark, and wants CRLF.
    guide = guide_path.read_text(encoding="utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    out_dir.mkdir(parents=True, exist_ok=True)
    archive = out_dir / f"Kestrava-{file_version(exe)}-win64.zip"
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("Kestrava/Kestrava.exe", exe)
        z.writestr("Kestrava/README.txt", "\ufeff".encode() + guide.encode())
    print(archive)


if __name__ == "__main__":
    main()
