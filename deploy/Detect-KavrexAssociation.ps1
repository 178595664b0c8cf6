# Intune Remediations, detection script: is Kavrex registered for all users on
# this machine, completely? Asks kavrex-assoc beside Kavrex in Program Files
# exactly that (status --scope machine): no user's own choice counts, since no
# remediation could change it. Runs as Intune runs it: Windows PowerShell 5.1,
# 64-bit, as SYSTEM. One line of output; exit 0: compliant, 1: remediate.
# -Extensions: the list kavrex-assoc's --ext takes; the remediation's own.
param([string]$Folder = (Join-Path $env:ProgramW6432 "Kavrex"), [string]$Extensions = ".rar")
$cli = Join-Path $Folder "kavrex-assoc.exe"
if (-not (Test-Path -LiteralPath $cli)) {
    Write-Output "Not compliant: there is no kavrex-assoc.exe in $Folder; install Kavrex first."
    exit 1
}
& $cli status --scope machine --ext $Extensions | Out-Null
if ($LASTEXITCODE -eq 0) {
    Write-Output "Compliant: $Extensions open with Kavrex for all users."
    exit 0
}
Write-Output "Not compliant: Kavrex's registration for all users is absent or incomplete (status exit $LASTEXITCODE)."
exit 1
