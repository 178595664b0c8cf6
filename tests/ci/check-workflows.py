#!/usr/bin/env python3
"""Checks the hosted CI's workflows here, where their runners cannot be reached.

Each workflow must parse; every job must have a time limit; every action must
be pinned to a released version (vX.Y.Z) or a commit; permissions are
read-only but for a job that only tags run; secrets reach no step that a pull
request runs; every preset, script and source path a step names exists, and
every build path belongs to a configure preset; each job runs on a runner this
project uses and needs only jobs there are. The bash steps pass shellcheck,
and the PowerShell scripts use nothing that Windows PowerShell 5.1 lacks.
Usage: check-workflows.py REPOSITORY_ROOT
"""
import json
import pathlib
import re
import subprocess
import sys

import yaml

root = pathlib.Path(sys.argv[1])
failures = []
PINNED = re.compile(r"^[\w.-]+/[\w./-]+@(v\d+\.\d+\.\d+|[0-9a-f]{40})$")
PRESET = re.compile(r"--preset[ =]([\w-]+)")
SOURCE_PATH = re.compile(r"(?<![\w/.-])((?:scripts|tests|cmake|src|\.ci)/[\w./-]+)")
BUILD_PATH = re.compile(r"(?<![\w.-])build/([\w*-]+)/")
SECRET = re.compile(r"\$\{\{[^}]*\bsecrets\.")
MATRIX_VALUE = re.compile(r"\$\{\{\s*matrix\.([\w-]+)\s*\}\}")
TAGS_ONLY = "startsWith(github.ref, 'refs/tags/v')"
# The hosted runners this project uses; a label misspelt waits for a runner forever.
RUNNERS = {"ubuntu-24.04", "windows-2025", "windows-11-arm"}


def fail(where, what):
    failures.append(f"{where}: {what}")


def preset_names():
    presets = json.loads((root / "CMakePresets.json").read_text())
    configure = {p["name"] for p in presets["configurePresets"] if not p.get("hidden")}
    named = {p["name"] for kind, items in presets.items() if kind.endswith("Presets")
             for p in items}
    return configure, named


def check_step_text(where, text, configure, named):
    for name in PRESET.findall(text):
        if name not in named:
            fail(where, f"no preset named {name}")
    for path in SOURCE_PATH.findall(text):
        if not (root / path).exists():
            fail(where, f"no such file or folder: {path}")
    for folder in BUILD_PATH.findall(text):
        if "*" not in folder and folder not in configure:
            fail(where, f"build/{folder} is no configure preset's build folder")


def shellcheck(where, script):
    # The expressions are filled in by the runner: here they are plain words.
    script = re.sub(r"\$\{\{[^}]*\}\}", "EXPRESSION", script)
    result = subprocess.run(["shellcheck", "-s", "bash", "-S", "warning", "-"], input=script,
                            capture_output=True, text=True, check=False)
    if result.returncode != 0:
        fail(where, "shellcheck:\n" + result.stdout)


def strings(item):
    if isinstance(item, dict):
        return "\n".join(strings(value) for value in item.values())
    if isinstance(item, list):
        return "\n".join(strings(value) for value in item)
    return str(item)


def matrix_rows(job):
    """Each row of the job's matrix, as its values; one empty row without one."""
    matrix = (job.get("strategy") or {}).get("matrix") or {}
    return matrix.get("include") or [{}]


def runners(job):
    """The runner of each row of the job's matrix."""
    return {MATRIX_VALUE.sub(lambda value, row=row: str(row.get(value.group(1), "")),
                             str(job.get("runs-on"))) for row in matrix_rows(job)}


def check_job(where, job, configure, named, triggers_on_pull_requests, jobs):
    if not isinstance(job.get("timeout-minutes"), int):
        fail(where, "no timeout-minutes")
    for runner in runners(job) - RUNNERS:
        fail(where, f"runs on {runner or 'nothing'}, which is none of {', '.join(sorted(RUNNERS))}")
    needs = job.get("needs") or []
    for needed in [needs] if isinstance(needs, str) else needs:
        if needed not in jobs:
            fail(where, f"needs {needed}, which is no job")
    writes = [k for k, v in (job.get("permissions") or {}).items() if v == "write"]
    if writes and TAGS_ONLY not in str(job.get("if", "")):
        fail(where, f"asks to write {', '.join(writes)} but runs for more than tags")
    for number, step in enumerate(job.get("steps", []), 1):
        here = f"{where}, step {step.get('name', number)}"
        uses = step.get("uses")
        if uses and not uses.startswith("./") and not PINNED.match(uses):
            fail(here, f"{uses} is not pinned to a released version or a commit")
        text = strings(step)
        for row in matrix_rows(job):
            filled = MATRIX_VALUE.sub(lambda value, row=row: str(row.get(value.group(1), "")), text)
            check_step_text(here, filled, configure, named)
        guarded = TAGS_ONLY in str(step.get("if", "")) + str(job.get("if", ""))
        if SECRET.search(text) and triggers_on_pull_requests and not guarded:
            fail(here, "hands secrets to a step that pull requests run")
        default = "pwsh" if any("windows" in runner for runner in runners(job)) else "bash"
        shell = step.get("shell", default)
        if "run" in step and shell == "bash":
            shellcheck(here, step["run"])


# What PowerShell 7 reads and Windows PowerShell 5.1 does not.
POWERSHELL_7_ONLY = {
    r"&&|\|\|": "pipeline chains (&& and ||)",
    r"\?\?": "the null-coalescing operators",
    r"\?\.": "null-conditional member access",
    r"\s\?\s[^:]*\s:\s": "the ternary operator",
    r"-Parallel\b": "ForEach-Object -Parallel",
    r"\$PSStyle\b": "$PSStyle",
}


def check_powershell(path):
    text = path.read_text()
    for pattern, what in POWERSHELL_7_ONLY.items():
        if re.search(pattern, text):
            fail(str(path.relative_to(root)), f"uses {what}, which Windows PowerShell 5.1 lacks")
    # "$name: text" reads as a drive-qualified variable in every PowerShell.
    for name in re.findall(r"\$(\w+):\s", text):
        fail(str(path.relative_to(root)), f"${name}: needs braces, as ${{{name}}}:")


def check_workflow(path, configure, named):
    where = str(path.relative_to(root))
    try:
        workflow = yaml.safe_load(path.read_text())
    except yaml.YAMLError as error:
        fail(where, f"not YAML: {error}")
        return
    # YAML 1.1 reads the key "on" as true.
    triggers = workflow.get("on", workflow.get(True)) or {}
    if "pull_request_target" in triggers:
        fail(where, "pull_request_target runs a pull request's code with secrets")
    if workflow.get("permissions") != {"contents": "read"}:
        fail(where, "the workflow's permissions must be contents: read")
    jobs = workflow.get("jobs") or {}
    for name, job in jobs.items():
        check_job(f"{where}, job {name}", job, configure, named, "pull_request" in triggers, jobs)


def main():
    configure, named = preset_names()
    workflows = sorted((root / ".github" / "workflows").glob("*.yml"))
    if not workflows:
        fail(".github/workflows", "no workflow")
    for path in workflows:
        check_workflow(path, configure, named)
    for script in sorted(root.glob("tests/windows/*.ps1")) + sorted(root.glob("deploy/*.ps1")):
        check_powershell(script)
    for failure in dict.fromkeys(failures):  # once, not once per matrix row
        print(f"FAIL: {failure}")
    print(f"workflows: {len(workflows)} checked, {len(failures)} finding(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
