#!/usr/bin/env python3
"""Prints what Windows reads from a program's resources: its application
manifest (type 24, id 1), or with --version-info the version strings, one
name=value a line."""
import sys

import pefile

RT_MANIFEST = 24


def manifest(image):
    for kind in image.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != RT_MANIFEST:
            continue
        for entry in kind.directory.entries:
            if entry.id == 1:
                for language in entry.directory.entries:
                    data = language.data.struct
                    return image.get_data(data.OffsetToData, data.Size).decode("utf-8")
    return ""


def version_info(image):
    lines = []
    for info in getattr(image, "FileInfo", [[]])[0]:
        for table in getattr(info, "StringTable", []):
            for name, value in sorted(table.entries.items()):
                lines.append(f"{name.decode()}={value.decode()}")
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    wanted, path = (sys.argv[1], sys.argv[2]) if len(sys.argv) > 2 else ("--manifest", sys.argv[1])
    image = pefile.PE(path, fast_load=True)
    image.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    sys.stdout.write(version_info(image) if wanted == "--version-info" else manifest(image))
