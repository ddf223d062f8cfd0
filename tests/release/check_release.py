"""The release archive: named after the version resource, holding the program as built
and a guide that Notepad shows. Usage: check_release.py PACKER EXE GUIDE RC"""
import pathlib
import re
import subprocess
import sys
import tempfile
import zipfile

packer, exe, guide, rc = sys.argv[1:5]
failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)


with tempfile.TemporaryDirectory() as out:
    packed = subprocess.run([sys.executable, packer, exe, guide, out], check=True,
                            capture_output=True, text=True)
    archive = pathlib.Path(packed.stdout.strip())
    # The numbers Windows shows in the file's properties and the text beside them agree.
    text_version = re.search(r'"FileVersion", "(\d+\.\d+\.\d+)\.\d+"',
                             pathlib.Path(rc).read_text(encoding="utf-8")).group(1)
    expect(archive.name == f"Kestrava-{text_version}-win64.zip", f"archive name {archive.name}")
    with zipfile.ZipFile(archive) as z:
        expect(z.testzip() is None, "a damaged entry")
        expect(sorted(z.namelist()) == ["Kestrava/Kestrava.exe", "Kestrava/README.txt"],
               f"entries {z.namelist()}")
        expect(z.read("Kestrava/Kestrava.exe") == pathlib.Path(exe).read_bytes(),
               "the program differs from the one built")
        readme = z.read("Kestrava/README.txt")
        expect(readme.startswith(b"\xef\xbb\xbf"), "the guide has no UTF-8 byte order mark")
        body = readme[3:].decode("utf-8")
        expect("\n" not in body.replace("\r\n", ""), "the guide has bare LF line ends")
        expect("使用说明" in body and "user guide" in body, "the guide lacks a language")

for failure in failures:
    print(f"release archive: {failure}")
sys.exit(1 if failures else 0)
