# The package's Intune pair on Windows itself, with kavrex-assoc.exe in
# Program Files: detection fails, remediation registers, detection passes,
# and after a removal it fails again; the same with a list of extensions.
# Each script says one line.
# Usage: remediation.ps1 -Cli PATH
param([Parameter(Mandatory = $true)][string]$Cli)
$ErrorActionPreference = "Stop"
$folder = Join-Path $env:ProgramW6432 "Kavrex"
New-Item -ItemType Directory -Force -Path $folder | Out-Null
Copy-Item -Force $Cli (Join-Path $folder "kavrex-assoc.exe")
Copy-Item -Force $Cli (Join-Path $folder "Kavrex.exe") # a stand-in handler
$deploy = Join-Path $PSScriptRoot "..\..\deploy"
$failures = 0

function Step($script, $expected, [string[]]$arguments = @()) {
    $lines = @(& powershell.exe -NoProfile -ExecutionPolicy Bypass -File (Join-Path $deploy $script) @arguments)
    $code = $LASTEXITCODE
    if ($code -eq $expected -and $lines.Count -eq 1) {
        Write-Output "ok: $script, exit ${code}: $lines"
    } else {
        Write-Output "FAIL: $script, exit $code (expected $expected): $lines"
        $script:failures++
    }
}

Step "Detect-KavrexAssociation.ps1" 1
Step "Remediate-KavrexAssociation.ps1" 0
Step "Detect-KavrexAssociation.ps1" 0
& (Join-Path $folder "kavrex-assoc.exe") remove | Out-Null
Step "Detect-KavrexAssociation.ps1" 1

# Both scripts take the same list of extensions.
$both = @("-Extensions", ".rar,.zip")
Step "Remediate-KavrexAssociation.ps1" 0 $both
Step "Detect-KavrexAssociation.ps1" 0 $both
& (Join-Path $folder "kavrex-assoc.exe") remove --ext .zip | Out-Null
Step "Detect-KavrexAssociation.ps1" 1 $both
Step "Detect-KavrexAssociation.ps1" 0
& (Join-Path $folder "kavrex-assoc.exe") remove | Out-Null

# The log's folder is made with a protected access list; once Users may change
# it, the remediation logs in the Windows folder's Logs instead, and says why.
$logs = Join-Path $env:ProgramData "Kavrex"
if (-not (Get-Acl -LiteralPath $logs).AreAccessRulesProtected) {
    Write-Output "FAIL: $logs inherits from ProgramData"
    $failures++
}
icacls $logs /grant "*S-1-5-32-545:(OI)(CI)M" | Out-Null
$line = & powershell.exe -NoProfile -ExecutionPolicy Bypass -File (Join-Path $deploy "Remediate-KavrexAssociation.ps1")
$fallback = Join-Path $env:SystemRoot "Logs\Kavrex"
if ($LASTEXITCODE -eq 0 -and "$line" -match "not in ProgramData, since .* may change" -and
    (Test-Path -LiteralPath (Join-Path $fallback "kavrex-assoc.log"))) {
    Write-Output "ok: a folder Users may change is not logged to: $line"
} else {
    Write-Output "FAIL: a folder Users may change: exit ${LASTEXITCODE}: $line"
    $failures++
}
Remove-Item -LiteralPath $logs, $fallback -Recurse -Force -ErrorAction SilentlyContinue
& (Join-Path $folder "kavrex-assoc.exe") remove | Out-Null

# A kavrex-assoc.exe that Users may change is never run as SYSTEM: both say so.
icacls (Join-Path $folder "kavrex-assoc.exe") /grant "*S-1-5-32-545:M" | Out-Null
foreach ($script in @("Detect-KavrexAssociation.ps1", "Remediate-KavrexAssociation.ps1")) {
    $line = & powershell.exe -NoProfile -ExecutionPolicy Bypass -File (Join-Path $deploy $script)
    if ($LASTEXITCODE -eq 1 -and "$line" -match "was not run, since .* may change") {
        Write-Output "ok: ${script}: a program Users may change is not run: $line"
    } else {
        Write-Output "FAIL: ${script}: a program Users may change: exit ${LASTEXITCODE}: $line"
        $failures++
    }
}
icacls (Join-Path $folder "kavrex-assoc.exe") /remove "*S-1-5-32-545" | Out-Null
if ($failures -ne 0) { exit 1 }
exit 0
