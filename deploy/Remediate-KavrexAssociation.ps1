# Intune Remediations, remediation script: registers Kavrex for all users with
# kavrex-assoc beside it in Program Files, and adds what it changed to the
# audit log in ProgramData. Runs as Intune runs it: Windows PowerShell 5.1,
# 64-bit, as SYSTEM. One line of output; exit 0: done, 1: failed.
# -Extensions: the list kavrex-assoc's --ext takes; the detection's own.
param([string]$Folder = (Join-Path $env:ProgramW6432 "Kavrex"), [string]$Extensions = ".rar")
$cli = Join-Path $Folder "kavrex-assoc.exe"
if (-not (Test-Path -LiteralPath $cli)) {
    Write-Output "Failed: there is no kavrex-assoc.exe in $Folder; install Kavrex first."
    exit 1
}

# SYSTEM, Administrators and TrustedInstaller: the accounts trusted with the machine.
$trusted = @("S-1-5-18", "S-1-5-32-544",
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")
$changing = [System.Security.AccessControl.FileSystemRights]"Write, Delete, DeleteSubdirectoriesAndFiles, ChangePermissions, TakeOwnership"

# Why another account could change the file or folder, or put another in its
# place: a link, an owner or a grant not trusted with the machine. Empty when
# none. (Intune runs each script alone: the detection script holds the same rule.)
function Get-Untrusted([string]$Path) {
    $item = Get-Item -LiteralPath $Path -Force
    if ($item.Attributes -band [System.IO.FileAttributes]::ReparsePoint) {
        return "$Path is a link"
    }
    $acl = Get-Acl -LiteralPath $Path
    $sidType = [System.Security.Principal.SecurityIdentifier]
    $owner = $acl.GetOwner($sidType).Value
    if ($trusted -notcontains $owner) {
        return "$Path is owned by $owner"
    }
    foreach ($rule in $acl.GetAccessRules($true, $true, $sidType)) {
        $who = $rule.IdentityReference.Value
        $allows = $rule.AccessControlType -eq "Allow"
        if ($allows -and ($trusted -notcontains $who) -and ($rule.FileSystemRights -band $changing)) {
            return "$who may change $Path"
        }
    }
    return ""
}

# SYSTEM runs kavrex-assoc.exe: neither it nor its folder may be another account's.
foreach ($path in @($Folder, $cli)) {
    $unsafe = Get-Untrusted $path
    if ($unsafe) {
        Write-Output "Failed: kavrex-assoc.exe was not run, since $unsafe."
        exit 1
    }
}

# Makes the log's folder in one step with a protected access list (SYSTEM and
# Administrators full control, Users read, nothing inherited from its parent,
# where users may add files). Users may also make folders in ProgramData, and
# own what they make: a folder that is already there is used only when the
# rule above finds nothing. Returns why it is not used; empty when it is.
function Initialize-LogFolder([string]$Path) {
    $security = New-Object System.Security.AccessControl.DirectorySecurity
    $security.SetAccessRuleProtection($true, $false)
    $inherit = [System.Security.AccessControl.InheritanceFlags]"ContainerInherit, ObjectInherit"
    $grants = @(@("S-1-5-18", "FullControl"), @("S-1-5-32-544", "FullControl"),
        @("S-1-5-32-545", "ReadAndExecute"))
    foreach ($grant in $grants) {
        $sid = New-Object System.Security.Principal.SecurityIdentifier $grant[0]
        $rule = New-Object System.Security.AccessControl.FileSystemAccessRule $sid, $grant[1], $inherit, "None", "Allow"
        $security.AddAccessRule($rule)
    }
    try {
        # Opens one that is there rather than failing: it is judged below.
        [System.IO.Directory]::CreateDirectory($Path, $security) | Out-Null
        return Get-Untrusted $Path
    } catch {
        return "$Path could not be made: $($_.Exception.Message)"
    }
}

# ProgramData first; where a user made that folder first, the Windows folder's
# Logs, where users can make nothing, so that no squatted folder silences the log.
$where = ""
foreach ($logs in @((Join-Path $env:ProgramData "Kavrex"), (Join-Path $env:SystemRoot "Logs\Kavrex"))) {
    $unsafe = Initialize-LogFolder $logs
    if (-not $unsafe) {
        $log = Join-Path $logs "kavrex-assoc.log"
        break
    }
    $where = if ($where) { "$where; $unsafe" } else { "not in ProgramData, since $unsafe" }
    $log = $null
}
if ($log) {
    & $cli register --scope machine --ext $Extensions --log $log | Out-Null
    $where = if ($where) { "${where}; the changes are in $log" } else { "the changes are in $log" }
} else {
    & $cli register --scope machine --ext $Extensions | Out-Null
    $where = "not logged: $where"
}
if ($LASTEXITCODE -eq 0) {
    Write-Output "Remediated: $Extensions open with Kavrex for all users; $where."
    exit 0
}
Write-Output "Failed: kavrex-assoc register exited with $LASTEXITCODE; $where."
exit 1
