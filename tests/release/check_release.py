"""The release archive: named after the version resource, holding the program as built but
stripped, and a guide that Notepad shows; the symbol file beside it. Usage:
check_release.py PACKER EXE GUIDE RC"""
import pathlib, re, struct, subprocess, sys, tempfile, zipfile, zlib


def tool(name, *args):
    return subprocess.run([f"x86_64-w64-mingw32-{name}", *args], check=True, capture_output=True,
                          text=True).stdout


packer, exe, guide, rc = sys.argv[1:5]
with tempfile.TemporaryDirectory() as out:
    archive = pathlib.Path(subprocess.run([sys.executable, packer, exe, guide, out], check=True,
                                          capture_output=True, text=True).stdout.strip())
    # The version text beside the numbers in the resource names the archive too.
    version = re.search(r'"FileVersion", "(\d+\.\d+\.\d+)\.\d+"', pathlib.Path(rc).read_text("utf-8"))
    symbols = archive.with_suffix(".debug")
    with zipfile.ZipFile(archive) as z:
        readme = z.read("Kestrava/README.txt")
        program = z.read("Kestrava/Kestrava.exe")
        packed = pathlib.Path(out, "packed.exe")
        packed.write_bytes(program)
        names = lambda f: re.findall(r"^ +\d+ (\S+)", tool("objdump", "-h", f), re.M)
        kept = [f"-j{n}" for n in names(exe) if not n.startswith(".debug")]
        contents = lambda f: tool("objdump", "-s", *kept, f).partition("file format")[2]
        # The manifest without its comments: common controls 6 would ignore the bar's colours,
        # DPI awareness would leave the pixel layout unscaled.
        manifest = re.search(r"^1 24 .*?^BEGIN$(.*?)^END$", tool("windres", "-i", packed, "-O", "rc"),
                             re.S | re.M)
        said = re.sub(r"<!--.*?-->", "", manifest.group(1) if manifest else "", flags=re.S)
        # The debug link: the symbol file's name, padded with zeros to 4 bytes, and its CRC-32.
        link = re.escape(symbols.name.encode()) + rb"\0{1,4}" + re.escape(
            struct.pack("<I", zlib.crc32(symbols.read_bytes())) if symbols.exists() else b"-")
        failures = [what for ok, what in [
            (archive.name == f"Kestrava-{version.group(1)}-win64.zip", f"name {archive.name}"),
            (sorted(z.namelist()) == ["Kestrava/Kestrava.exe", "Kestrava/README.txt"], "entries"),
            (contents(packed) == contents(exe), "another program"),
            (not [n for n in names(packed) if n.startswith(".debug")], "debug sections in the program"),
            (len(program) < 1 << 20, f"program of {len(program)} bytes"),
            (symbols.exists() and ".debug_info" in names(symbols) and ".gnu_debuglink" in
             names(packed) and re.search(link, program), "no symbol file named by the program"),
            ('level=""asInvoker""' in said, "no manifest asking to run as invoker"),
            (not re.search(r"Common-Controls|dpiAware", said), "manifest: common controls or DPI"),
            (readme.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte order mark in the guide"),
            (b"\n" not in readme.replace(b"\r\n", b""), "bare LF line ends in the guide"),
            ("使用说明" in readme.decode("utf-8-sig") and b"user guide" in readme, "a language missing"),
        ] if not ok]
print("\n".join(f"release archive: {f}" for f in failures) or "release archive: as expected")
sys.exit(1 if failures else 0)
