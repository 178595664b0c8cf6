#!/usr/bin/env python3
"""Prints the application manifest of a Windows program: resource type 24, id 1."""
import sys

import pefile

RT_MANIFEST = 24

image = pefile.PE(sys.argv[1], fast_load=True)
image.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
for kind in image.DIRECTORY_ENTRY_RESOURCE.entries:
    if kind.id != RT_MANIFEST:
        continue
    for entry in kind.directory.entries:
        if entry.id == 1:
            for language in entry.directory.entries:
                data = language.data.struct
                sys.stdout.write(image.get_data(data.OffsetToData, data.Size).decode("utf-8"))
