#!/usr/bin/env python3
"""The four release packages scripts/package.sh writes, checked without
running them: names, contents and formats, and one version everywhere.
The version of the file VERSION is the one of the package names, of the
version resource of each lumora.exe (fixed part and strings), of the about
panel's text (in the x86-64 program) and of each MSI's ProductVersion. Each lumora.exe is of its
architecture, stripped and under 2 MB; the MSI carries the same program as
the zip, for the right platform, and every supplied settings file.

  package_check.py DIST_DIR BUILD_TASK_DIR PACKAGING_TASK_DIR
"""
import hashlib
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(name, ok, detail=""):
    print(("ok    " if ok else "FAIL  ") + name + ("" if ok else ": " + str(detail)), flush=True)
    if not ok:
        failures.append(name)
    return ok


def pe_facts(data):
    """(machine, optional-header magic, symbol count) of a PE file."""
    at = struct.unpack_from("<I", data, 0x3C)[0]
    if data[at:at + 4] != b"PE\0\0":
        return None
    machine, _, _, _, symbols = struct.unpack_from("<HHIII", data, at + 4)
    magic = struct.unpack_from("<H", data, at + 24)[0]
    return machine, magic, symbols


def version_strings(data):
    """The StringFileInfo values of the version resource, by name."""
    found = {}
    for name in ("FileVersion", "ProductVersion", "ProductName", "CompanyName"):
        key = (name + "\0").encode("utf-16-le")
        at = data.find(key)
        if at < 0:
            continue
        at += len(key)
        at += (4 - at % 4) % 4  # the value starts on a 32-bit boundary
        end = at
        while data[end:end + 2] != b"\0\0":
            end += 2
        found[name] = data[at:end].decode("utf-16-le")
    return found


def fixed_version(data):
    """FILEVERSION and PRODUCTVERSION of VS_FIXEDFILEINFO, as tuples."""
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    fms, fls, pms, pls = struct.unpack_from("<IIII", data, at + 8)
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)  # noqa: E731
    return split(fms, fls), split(pms, pls)


def msi_table(path, table):
    out = subprocess.run(["msiinfo", "export", path, table], capture_output=True, text=True,
                         check=True).stdout
    return [line.split("\t") for line in out.replace("\r", "").split("\n")[3:] if line]


if len(sys.argv) != 4:
    sys.exit(__doc__)
dist, build_task, packaging_task = sys.argv[1:]
version = open(os.path.join(HERE, "..", "..", "VERSION")).read().strip()
numbers = [int(n) for n in version.split(".")] + [0] * (4 - version.count(".") - 1)
msi_version = ".".join(map(str, numbers[:3]))
task_names = sorted(set(os.listdir(build_task)) | set(os.listdir(packaging_task)))

for arch, machine, magic, template in (("x64", 0x8664, 0x20B, "x64;1033"),
                                       ("x86", 0x14C, 0x10B, "Intel;1033")):
    zip_path = os.path.join(dist, f"Lumora-{version}-{arch}.zip")
    msi_path = os.path.join(dist, f"Lumora-{version}-{arch}.msi")
    if not check(f"{arch}: Lumora-{version}-{arch}.zip and .msi are there",
                 os.path.isfile(zip_path) and os.path.isfile(msi_path), os.listdir(dist)):
        continue

    with zipfile.ZipFile(zip_path) as z:
        names = sorted(z.namelist())
        wanted = sorted(["Lumora/lumora.exe", "Lumora/help.chm", "Lumora/README.txt",
                         "Lumora/LICENSE.txt"] + [f"Lumora/task/{n}" for n in task_names])
        check(f"{arch} zip: the program, help, read-me, licence and every supplied settings file",
              names == wanted, names)
        exe = z.read("Lumora/lumora.exe") if "Lumora/lumora.exe" in names else b""
        settings = z.read("Lumora/task/shuxing.txt") if "Lumora/task/shuxing.txt" in names else b""

    facts = pe_facts(exe) if exe[:2] == b"MZ" else None
    check(f"{arch} exe: {'PE32+ x86-64' if arch == 'x64' else 'PE32 i386'}",
          facts and facts[:2] == (machine, magic), facts)
    check(f"{arch} exe: stripped, under 2 MB",
          facts and facts[2] == 0 and b".debug_" not in exe and len(exe) < 2 * 1024 * 1024,
          f"{len(exe)} bytes, {facts and facts[2]} symbols")
    check(f"{arch} exe: the version resource's numbers are {version}",
          fixed_version(exe) == (tuple(numbers), tuple(numbers)), fixed_version(exe))
    strings = version_strings(exe)
    check(f"{arch} exe: ... and its strings",
          strings.get("ProductVersion") == version
          and strings.get("FileVersion") == ".".join(map(str, numbers))
          and strings.get("ProductName") == "Lumora", strings)
    # (The i686 compiler writes the short text into code rather than data;
    # the same LumoraVersion.h makes both.)
    if arch == "x64":
        check(f"{arch} exe: the about panel says \"Lumora Version {version}\"",
              f"Lumora Version {version}\0".encode() in exe)
    lines = settings.decode("latin-1").split("\r\n")
    check(f"{arch} zip: the supplied settings save into Pictures\\Lumora of the user's profile",
          lines[:3] == [".JPG.BMP.GIF.TIF.PNG.WEBP.AVIF", "0", "%USERPROFILE%\\Pictures\\Lumora\\"], lines)

    summary = subprocess.run(["msiinfo", "suminfo", msi_path], capture_output=True,
                             text=True).stdout
    check(f"{arch} msi: for the {template.split(';')[0]} platform",
          f"Template: {template}" in summary, summary)
    props = dict(row[:2] for row in msi_table(msi_path, "Property"))
    check(f"{arch} msi: ProductVersion {msi_version}, Lumora by Lumora",
          props.get("ProductVersion") == msi_version and props.get("ProductName") == "Lumora"
          and props.get("Manufacturer") == "Lumora", props)
    files = sorted(row[2] for row in msi_table(msi_path, "File"))
    check(f"{arch} msi: the program's files and every supplied settings file",
          files == sorted(["lumora.exe", "help.chm", "README.txt", "LICENSE.txt"] + task_names),
          files)
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["msiextract", "-C", out, msi_path], capture_output=True, check=True)
        extracted = {}
        for folder, _, found in os.walk(out):
            for name in found:
                with open(os.path.join(folder, name), "rb") as f:
                    extracted[os.path.relpath(os.path.join(folder, name), out)] = f.read()
    installed_exe = [d for p, d in extracted.items() if p.endswith("Lumora/lumora.exe")]
    check(f"{arch} msi: the same lumora.exe as the zip",
          len(installed_exe) == 1
          and hashlib.sha256(installed_exe[0]).digest() == hashlib.sha256(exe).digest(),
          sorted(extracted))
    check(f"{arch} msi: the supplied settings go to defaults\\task, not the user's task",
          any(re.search(r"Lumora/defaults/task/shuxing\.txt$", p) for p in extracted)
          and not any(re.search(r"Lumora/task/", p) for p in extracted), sorted(extracted))

if failures:
    print(f"{len(failures)} check(s) failed")
    sys.exit(1)
