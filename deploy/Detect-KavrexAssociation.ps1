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

# SYSTEM, Administrators and TrustedInstaller: the accounts trusted with the machine.
$trusted = @("S-1-5-18", "S-1-5-32-544",
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")
$changing = [System.Security.AccessControl.FileSystemRights]"Write, Delete, DeleteSubdirectoriesAndFiles, ChangePermissions, TakeOwnership"

# Why another account could change the file or folder, or put another in its
# place: a link, an owner or a grant not trusted with the machine. Empty when
# none. (Intune runs each script alone: the remediation script holds the same rule.)
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
        Write-Output "Not compliant: kavrex-assoc.exe was not run, since $unsafe."
        exit 1
    }
}

& $cli status --scope machine --ext $Extensions | Out-Null
if ($LASTEXITCODE -eq 0) {
    Write-Output "Compliant: $Extensions open with Kavrex for all users."
    exit 0
}
Write-Output "Not compliant: Kavrex's registration for all users is absent or incomplete (status exit $LASTEXITCODE)."
exit 1
