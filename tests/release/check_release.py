"""The release archive: named after the version resource, holding the program as built but
stripped, and a guide that Notepad shows; the symbol file beside it. Usage:
check_release.py PACKER EXE GUIDE RC"""
import pathlib, re, struct, subprocess, sys, tempfile, zipfile, zlib


def sections(image):
    """Each section's name and bytes; names past 8 characters live in the string table."""
    pe = struct.unpack_from("<I", image, 0x3C)[0] + 4  # the file header, past "PE\0\0"
    count, symbols, nsymbols, optional = struct.unpack_from("<2xH4xIIH", image, pe)
    found = {}
    for at in range(pe + 20 + optional, pe + 20 + optional + 40 * count, 40):
        name = image[at:at + 8].rstrip(b"\0").decode()
        if name.startswith("/"):
            start = symbols + 18 * nsymbols + int(name[1:])
            name = image[start:image.index(b"\0", start)].decode()
        rva, size, offset = struct.unpack_from("<III", image, at + 12)
        found[name] = (rva, image[offset:offset + size])
    return found


def manifest(image):
    """The text of resource type 24 (RT_MANIFEST), id 1, first language, or b''."""
    rva, rsrc = sections(image).get(".rsrc", (0, b""))
    at = 0
    for key in (24, 1, None):
        named, ids = struct.unpack_from("<HH", rsrc, at + 12) if rsrc else (0, 0)
        entries = [struct.unpack_from("<II", rsrc, at + 16 + 8 * i) for i in range(named + ids)]
        at = next((to & 0x7FFFFFFF for id, to in entries if key in (None, id)), None)
        if at is None:
            return b""
    data, size = struct.unpack_from("<II", rsrc, at)
    return rsrc[data - rva:data - rva + size]


packer, exe, guide, rc = sys.argv[1:5]
with tempfile.TemporaryDirectory() as out:
    archive = pathlib.Path(subprocess.run([sys.executable, packer, exe, guide, out], check=True,
                                          capture_output=True, text=True).stdout.strip())
    # The version text beside the numbers in the resource names the archive too.
    version = re.search(r'"FileVersion", "(\d+\.\d+\.\d+)\.\d+"', pathlib.Path(rc).read_text("utf-8"))
    with zipfile.ZipFile(archive) as z:
        readme = z.read("Kestrava/README.txt")
        program = z.read("Kestrava/Kestrava.exe")
        # What the manifest says, without its comments; common controls 6 would ignore the
        # bar's colours, DPI awareness would leave the pixel layout unscaled.
        said = re.sub(rb"<!--.*?-->", b"", manifest(program), flags=re.S)
        built, packed = sections(pathlib.Path(exe).read_bytes()), sections(program)
        symbols = archive.with_suffix(".debug")
        # The link: the symbol file's name, padded to 4 bytes, then its CRC-32.
        link = packed.get(".gnu_debuglink", (0, b"\0" * 8))[1]
        end = (link.index(b"\0") + 4) & ~3
        failures = [what for ok, what in [
            (archive.name == f"Kestrava-{version.group(1)}-win64.zip", f"name {archive.name}"),
            (sorted(z.namelist()) == ["Kestrava/Kestrava.exe", "Kestrava/README.txt"], "entries"),
            (all(packed.get(n) == s for n, s in built.items() if not n.startswith(".debug")),
             "another program"),
            (not [n for n in packed if n.startswith(".debug")], "debug sections in the program"),
            (len(program) < 1 << 20, f"program of {len(program)} bytes"),
            (symbols.exists() and ".debug_info" in sections(symbols.read_bytes()), "no symbol file"),
            (symbols.exists() and link[:end].rstrip(b"\0") == symbols.name.encode() and
             struct.unpack_from("<I", link, end)[0] == zlib.crc32(symbols.read_bytes()),
             "the program does not name its symbol file"),
            (b'level="asInvoker"' in said, "no manifest asking to run as invoker"),
            (not re.search(rb"Common-Controls|dpiAware", said), "manifest: common controls or DPI"),
            (readme.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte order mark in the guide"),
            (b"\n" not in readme.replace(b"\r\n", b""), "bare LF line ends in the guide"),
            ("使用说明" in readme.decode("utf-8-sig") and b"user guide" in readme, "a language missing"),
        ] if not ok]
print("\n".join(f"release archive: {f}" for f in failures) or "release archive: as expected")
sys.exit(1 if failures else 0)
