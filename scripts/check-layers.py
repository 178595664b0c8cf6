#!/usr/bin/env python3
"""Fails when a source includes a header of a layer it may not use.

Each folder of src is one library and may use only the layers below it; the
emulation of Windows is for the tests and the host build alone. A test folder
may use what its layer may, the emulation and the shared test support.
Usage: check-layers.py [ROOT]
"""
import pathlib
import re
import sys

# Who may use whom: each layer with the layers it may include.
MAY_USE = {
    "platform": {"platform"},
    "emulation": {"emulation", "platform"},
    "association": {"association", "platform"},
    "app": {"app", "association", "platform"},
    "cli": {"cli", "association", "platform"},
}
TEST_ALSO = {"emulation", "support"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def allowed(root, path):
    """The layers the file at path may include, and its own layer."""
    top, layer = path.relative_to(root).parts[:2]
    if top == "src":
        return MAY_USE[layer], layer
    if layer == "support":
        return MAY_USE["platform"] | TEST_ALSO, layer
    return MAY_USE.get(layer, set(MAY_USE)) | TEST_ALSO, layer


def included_layer(root, path, header):
    """The layer whose header is included; None for a header of the file's
    own folder or one the build generates."""
    parts = pathlib.PurePosixPath(header).parts
    if len(parts) < 2:
        return None
    for base in ("src", "tests"):
        if (root / base / header).exists():
            return parts[0]
    return None


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    files = [p for base in ("src", "tests") for p in (root / base).rglob("*")
             if p.suffix in (".cpp", ".h") and p.parent != root / base]
    findings = []
    for path in sorted(files):
        may, own = allowed(root, path)
        for header in INCLUDE.findall(path.read_text(encoding="utf-8")):
            layer = included_layer(root, path, header)
            if layer is not None and layer not in may:
                findings.append(f"{path.relative_to(root)}: includes {header}: "
                                f"{own} may not use {layer}")
    for finding in findings:
        print(finding)
    if findings:
        print(f"layers: {len(findings)} includes across the layers' rules "
              "(docs/architecture.md)")
        return 1
    print(f"layers: {len(files)} files include only what their layer may use")
    return 0


if __name__ == "__main__":
    sys.exit(main())
