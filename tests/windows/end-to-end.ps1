# kavrex-assoc.exe on Windows itself, as an administrator: register and remove
# in both scopes over another program's .rar, read back by reg.exe, cmd's assoc
# and ftype, and the shell's own AssocQueryString; status --json and
# export-defaults; with -Other, one build's registration removed by the other.
# Runs under Windows PowerShell 5.1 and PowerShell 7 alike.
# Usage: end-to-end.ps1 -Cli PATH [-Other PATH] -Results FOLDER
param(
    [Parameter(Mandatory = $true)][string]$Cli,
    [string]$Other = "",
    [Parameter(Mandatory = $true)][string]$Results
)
$ErrorActionPreference = "Stop"
$failures = 0

function Check($what, $expected, $actual) {
    if ("$expected" -eq "$actual") {
        Write-Output "ok: $what"
    } else {
        Write-Output "FAIL: $what`n--- expected`n$expected`n--- actual`n$actual"
        $script:failures++
    }
}

# Under Program Files, where only administrators may change the handler.
$folder = Join-Path $env:ProgramW6432 "Kavrex"
New-Item -ItemType Directory -Force -Path $folder | Out-Null
Copy-Item $Cli (Join-Path $folder "kavrex-assoc.exe")
Copy-Item $Cli (Join-Path $folder "Kavrex.exe") # a stand-in handler: only its name and place matter
New-Item -ItemType Directory -Force -Path $Results | Out-Null
$assoc = Join-Path $folder "kavrex-assoc.exe"
$handler = Join-Path $folder "Kavrex.exe"

# The exit code of a run whose output is not wanted. What it says on its error
# stream (a warning) is no failure of this script: Windows PowerShell 5.1 would
# stop at it under "Stop" once the stream is redirected, as on a CI runner.
function Run($program, [string[]]$arguments) {
    $ErrorActionPreference = "Continue"
    & $program @arguments 2>$null | Out-Null
    return $LASTEXITCODE
}
# reg.exe's answer; /reg:64 is the view the shell reads, whichever build wrote.
function RegQuery($key, $value) {
    $arguments = @("query", $key, "/reg:64")
    if ($value) { $arguments += @("/v", $value) } else { $arguments += "/ve" }
    $ErrorActionPreference = "Continue"
    $lines = & reg.exe @arguments 2>$null
    if ($LASTEXITCODE -ne 0) { return "<none>" }
    return (($lines | Where-Object { $_ -match "REG_" }) -split "\s{4}")[-1]
}

Add-Type -Namespace Kavrex -Name Shell -MemberDefinition @'
[DllImport("shlwapi.dll", CharSet = CharSet.Unicode)]
public static extern int AssocQueryStringW(int flags, int what, string assoc, string extra,
                                           System.Text.StringBuilder output, ref int length);
'@
function ShellCommand($extension) {
    $text = New-Object System.Text.StringBuilder 1024
    $length = 1024
    $result = [Kavrex.Shell]::AssocQueryStringW(0, 1, $extension, "open", $text, [ref]$length)
    if ($result -ne 0) { return "<none>" }
    return $text.ToString()
}

# The handler is named by its 8.3 short path, which every code page spells.
$short = (New-Object -ComObject Scripting.FileSystemObject).GetFile($handler).ShortPath
$expectedCommand = "`"$short`" `"%1`""
foreach ($scope in @("machine", "user")) {
    $hive = if ($scope -eq "machine") { "HKLM" } else { "HKCU" }
    $classes = "$hive\Software\Classes"
    # Another program's type, planted first: removal must give it back.
    reg.exe add "$classes\Foreign.Archive\shell\open\command" /ve /d "foreign.exe `"%1`"" /f /reg:64 | Out-Null
    reg.exe add "$classes\.rar" /ve /d "Foreign.Archive" /f /reg:64 | Out-Null

    Check "${scope}: register" 0 (Run $assoc @("register", "--scope", $scope))
    Check "${scope}: .rar names our type" "KavrexAssoc" (RegQuery "$classes\.rar")
    Check "${scope}: the open command" $expectedCommand (RegQuery "$classes\KavrexAssoc\Shell\Open\Command")
    Check "${scope}: Capabilities records .rar" "KavrexAssoc" (RegQuery "$hive\Software\Kavrex\Capabilities\FileAssociations" ".rar")
    Check "${scope}: registered for Default apps" "Software\Kavrex\Capabilities" (RegQuery "$hive\Software\RegisteredApplications" "Kavrex")
    Check "${scope}: cmd's assoc" ".rar=KavrexAssoc" (cmd.exe /c assoc .rar)
    Check "${scope}: cmd's ftype" "KavrexAssoc=$expectedCommand" (cmd.exe /c ftype KavrexAssoc)
    Check "${scope}: the shell's open command" $expectedCommand (ShellCommand ".rar")
    $statusFile = Join-Path $Results "status-$scope.json"
    & $assoc status --json | Set-Content -Encoding UTF8 $statusFile
    Check "${scope}: status exit code" 0 $LASTEXITCODE
    $status = Get-Content -Raw $statusFile | ConvertFrom-Json
    Check "${scope}: status verdict" "opens-with-kavrex" $status.extensions[0].verdict

    $xml = Join-Path $Results "defaults-$scope.xml"
    Remove-Item -Force -ErrorAction SilentlyContinue $xml
    Check "${scope}: export-defaults" 0 (Run $assoc @("export-defaults", "--output", $xml))
    Check "${scope}: the file names .rar" $true ((Get-Content -Raw $xml).Contains('Identifier=".rar" ProgId="KavrexAssoc"'))

    Check "${scope}: remove" 0 (Run $assoc @("remove", "--scope", $scope))
    Check "${scope}: the foreign type is back" "Foreign.Archive" (RegQuery "$classes\.rar")
    Check "${scope}: our type is gone" "<none>" (RegQuery "$classes\KavrexAssoc\Shell\Open\Command")
    Check "${scope}: Capabilities are gone" "<none>" (RegQuery "$hive\Software\Kavrex\Capabilities\FileAssociations" ".rar")
    Check "${scope}: Default apps entry is gone" "<none>" (RegQuery "$hive\Software\RegisteredApplications" "Kavrex")
    reg.exe delete "$classes\.rar" /f /reg:64 | Out-Null
    reg.exe delete "$classes\Foreign.Archive" /f /reg:64 | Out-Null
}

# What a user could plant where an elevated run writes: a junction on the
# folder, a hard link in the file's place. In a folder only administrators may
# change, so that nothing but the link itself is refused. The linked files keep
# their bytes; a hard link's name gets a new file of its own.
$plant = Join-Path $env:SystemDrive "KavrexPlant"
$elsewhere = Join-Path $plant "elsewhere"
New-Item -ItemType Directory -Force -Path $elsewhere | Out-Null
icacls $plant /inheritance:r /grant:r "*S-1-5-32-544:(OI)(CI)F" "*S-1-5-18:(OI)(CI)F" | Out-Null
foreach ($planted in @("junction", "hardlink")) {
    $folderOfFiles = Join-Path $plant $planted
    foreach ($name in @("audit.jsonl", "kavrex.xml")) {
        Set-Content -NoNewline -Path (Join-Path $elsewhere $name) -Value "kept"
    }
    if ($planted -eq "junction") {
        cmd.exe /c mklink /J "$folderOfFiles" "$elsewhere" | Out-Null
    } else {
        New-Item -ItemType Directory -Force -Path $folderOfFiles | Out-Null
        foreach ($name in @("audit.jsonl", "kavrex.xml")) {
            fsutil.exe hardlink create (Join-Path $folderOfFiles $name) (Join-Path $elsewhere $name) | Out-Null
        }
    }
    Run $assoc @("status", "--log", (Join-Path $folderOfFiles "audit.jsonl")) | Out-Null
    Check "${planted}: the log's linked file is kept" "kept" (Get-Content -Raw (Join-Path $elsewhere "audit.jsonl"))
    $code = Run $assoc @("export-defaults", "--output", (Join-Path $folderOfFiles "kavrex.xml"), "--force")
    Check "${planted}: the output's linked file is kept" "kept" (Get-Content -Raw (Join-Path $elsewhere "kavrex.xml"))
    if ($planted -eq "junction") {
        Check "${planted}: --output refused" 3 $code
    } else {
        Check "${planted}: --output --force gives the name a new file" "0 True" "$code $((Get-Content -Raw (Join-Path $folderOfFiles 'kavrex.xml')).StartsWith('<?xml'))"
    }
}
cmd.exe /c rmdir (Join-Path $plant "junction") | Out-Null
Remove-Item -Recurse -Force $plant

# The other build, beside this one: each removes what the other registered.
if ($Other) {
    $otherAssoc = Join-Path $folder "kavrex-assoc-other.exe"
    Copy-Item $Other $otherAssoc
    foreach ($pair in @(@($assoc, $otherAssoc), @($otherAssoc, $assoc))) {
        $name = "$(Split-Path -Leaf $pair[0]) then $(Split-Path -Leaf $pair[1])"
        Check "${name}: register" 0 (Run $pair[0] @("register"))
        Check "${name}: the shell's open command" $expectedCommand (ShellCommand ".rar")
        Check "${name}: remove" 0 (Run $pair[1] @("remove"))
        Check "${name}: nothing left" "<none>" (RegQuery "HKLM\Software\Classes\KavrexAssoc\Shell\Open\Command")
        Check "${name}: no Default apps entry" "<none>" (RegQuery "HKLM\Software\RegisteredApplications" "Kavrex")
    }
}

if ($failures -ne 0) {
    Write-Output "$failures check(s) failed"
    exit 1
}
Write-Output "all checks passed"
exit 0
