# Intune Remediations, remediation script: registers Kavrex for all users with
# kavrex-assoc beside it in Program Files, and adds what it changed to the
# audit log in ProgramData. Runs as Intune runs it: Windows PowerShell 5.1,
# 64-bit, as SYSTEM. One line of output; exit 0: done, 1: failed.
param([string]$Folder = (Join-Path $env:ProgramW6432 "Kavrex"))
$cli = Join-Path $Folder "kavrex-assoc.exe"
if (-not (Test-Path -LiteralPath $cli)) {
    Write-Output "Failed: there is no kavrex-assoc.exe in $Folder; install Kavrex first."
    exit 1
}
$logs = Join-Path $env:ProgramData "Kavrex"
New-Item -ItemType Directory -Force -Path $logs | Out-Null
$log = Join-Path $logs "kavrex-assoc.log"
& $cli register --scope machine --log $log | Out-Null
if ($LASTEXITCODE -eq 0) {
    Write-Output "Remediated: .rar opens with Kavrex for all users; the changes are in $log."
    exit 0
}
Write-Output "Failed: kavrex-assoc register exited with $LASTEXITCODE; see $log."
exit 1
