"""The release archive: named after the version resource, holding the program as built
and a guide that Notepad shows. Usage: check_release.py PACKER EXE GUIDE RC"""
import pathlib, re, subprocess, sys, tempfile, zipfile

packer, exe, guide, rc = sys.argv[1:5]
with tempfile.TemporaryDirectory() as out:
    archive = pathlib.Path(subprocess.run([sys.executable, packer, exe, guide, out], check=True,
                                          capture_output=True, text=True).stdout.strip())
    # The version text beside the numbers in the resource names the archive too.
    version = re.search(r'"FileVersion", "(\d+\.\d+\.\d+)\.\d+"', pathlib.Path(rc).read_text("utf-8"))
    with zipfile.ZipFile(archive) as z:
        readme = z.read("Kestrava/README.txt")
        failures = [what for ok, what in [
            (archive.name == f"Kestrava-{version.group(1)}-win64.zip", f"name {archive.name}"),
            (sorted(z.namelist()) == ["Kestrava/Kestrava.exe", "Kestrava/README.txt"], "entries"),
            (z.read("Kestrava/Kestrava.exe") == pathlib.Path(exe).read_bytes(), "another program"),
            (readme.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte order mark in the guide"),
            (b"\n" not in readme.replace(b"\r\n", b""), "bare LF line ends in the guide"),
            ("使用说明" in readme.decode("utf-8-sig") and b"user guide" in readme, "a language missing"),
        ] if not ok]
print("\n".join(f"release archive: {f}" for f in failures) or "release archive: as expected")
sys.exit(1 if failures else 0)
