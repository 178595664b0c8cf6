#!/usr/bin/env python3
"""Fails for a relative link in a tracked Markdown file that leads nowhere:
a file that is not there, or an anchor that no heading of it makes."""
import re
import subprocess
import sys
from pathlib import Path

LINK = re.compile(r"\[[^\]]*\]\(([^)\s]+)\)")


def anchors(path):
    """The anchors GitHub makes of a file's headings."""
    made = set()
    for line in path.read_text(encoding="utf-8").splitlines():
        heading = re.match(r"#+\s+(.*)", line)
        if heading:
            text = heading.group(1).strip().lower()
            made.add(re.sub(r"[^\w\- ]", "", text).replace(" ", "-"))
    return made


def main():
    files = subprocess.run(["git", "ls-files", "*.md"], capture_output=True, text=True,
                           check=True).stdout.split()
    broken = []
    for name in files:
        source = Path(name)
        for target in LINK.findall(source.read_text(encoding="utf-8")):
            if re.match(r"[a-z]+:", target):
                continue  # a web address
            path, _, anchor = target.partition("#")
            resolved = (source.parent / path).resolve() if path else source.resolve()
            if not resolved.exists():
                broken.append(f"{name}: {target} (no such file)")
            elif anchor and resolved.suffix == ".md" and anchor not in anchors(resolved):
                broken.append(f"{name}: {target} (no such heading)")
    for line in broken:
        print(line)
    print(f"links: {len(files)} Markdown files, {len(broken)} broken")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
