#!/usr/bin/env python3
"""Checks the programs of each release zip as Windows would load them: the
machine type that the zip's name promises, DLL imports that Windows itself
provides, and the manifest's elevation and code page; and its bill of
materials: CycloneDX, every component with a version. One line a program and
one for the bill; exits 1 when any is wrong.
Usage: check-zips.py ZIP..."""
import json
import re
import sys
import zipfile

import pefile

from resources import manifest

MACHINES = {"win64": 0x8664, "win32": 0x14C, "arm64": 0xAA64}
# Windows' own libraries, and the Universal CRT, part of Windows 10 and later.
WINDOWS_OWN = re.compile(
    r"(kernel32|user32|gdi32|comctl32|advapi32|shell32|ole32|msvcrt|ucrtbase"
    r"|api-ms-win-crt-[a-z0-9-]+)\.dll",
    re.IGNORECASE,
)
LEVELS = {"KavrexAssoc.exe": "requireAdministrator", "kavrex-assoc.exe": "asInvoker"}


def findings(program, data, machine):
    image = pefile.PE(data=data, fast_load=True)
    image.parse_data_directories(
        [
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"],
        ]
    )
    found = []
    if image.FILE_HEADER.Machine != machine:
        found.append(f"machine 0x{image.FILE_HEADER.Machine:x}, not 0x{machine:x}")
    for entry in getattr(image, "DIRECTORY_ENTRY_IMPORT", []):
        name = entry.dll.decode()
        if not WINDOWS_OWN.fullmatch(name):
            found.append(f"imports {name}, which is not Windows' own")
    text = manifest(image)
    if f'level="{LEVELS[program]}"' not in text:
        found.append(f"the manifest does not ask for {LEVELS[program]}")
    if "<activeCodePage" not in text or "UTF-8" not in text:
        found.append("the manifest does not ask for the UTF-8 code page")
    return found


def bill_findings(package):
    try:
        bill = json.loads(package.read("sbom.cdx.json"))
    except (KeyError, ValueError) as error:
        return [f"no bill of materials that reads: {error}"]
    found = [] if bill.get("bomFormat") == "CycloneDX" else ["the bill is not CycloneDX"]
    components = bill.get("components") or []
    found += [f"{c.get('name')} has no version" for c in components if not c.get("version")]
    return found + ([] if components else ["the bill names nothing linked"])


def report(where, found, what):
    print(f"{'FAIL' if found else 'ok'}: {where}: " + ("; ".join(found) or what))
    return bool(found)


def main(zips):
    failed = False
    for path in zips:
        kind = re.search(r"-(win64|win32|arm64)\.zip$", path)
        if not kind:
            print(f"FAIL: {path}: its name says for which Windows it is not")
            failed = True
            continue
        with zipfile.ZipFile(path) as package:
            for program in LEVELS:
                found = findings(program, package.read(program), MACHINES[kind.group(1)])
                failed |= report(f"{path} {program}", found, "machine, imports, manifest")
            failed |= report(f"{path} sbom.cdx.json", bill_findings(package),
                             "CycloneDX, each component with its version")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
