#!/usr/bin/env bash
# Runs kavrex-assoc.exe under Wine from a folder with Kavrex.exe beside it:
# status before and after register and remove in both scopes, a handler that
# Wine's account could replace, a dry run that changes nothing, --json parsed back, refused names, a missing handler, an
# upgrade into another folder and an uninstall, and a user's choice that wins.
# Usage: end-to-end.sh WINE_RUN WINE_PREFIX CLI PROBE
set -uo pipefail
export LC_ALL=C.UTF-8 # names in any script reach Wine as they are spelled
run=$1 drive_c=$2/drive_c cli=$3 probe=$4
. "$(dirname "$0")/../support/check.sh"

folder="$drive_c/Kavrex CLI"
mkdir -p "$folder"
cp "$cli" "$folder/kavrex-assoc.exe"
cp "$probe" "$folder/Kavrex.exe" # a stand-in handler: only its name and place matter
assoc() { "$run" 'C:\Kavrex CLI\kavrex-assoc.exe' "$@" | tr -d '\r'; }
json_field() { /usr/bin/python3 -c "import json,sys; d=json.load(sys.stdin); print($1)"; }
verdict() { assoc status --json | json_field "d['extensions'][0]['verdict']"; }
reg() { "$run" reg "$@" >/dev/null 2>&1; }
# Where the 64-bit shell reads Software\Kavrex: the x86 build runs under WOW64,
# whose reg.exe would read the 32-bit view (Wine redirects RegisteredApplications too).
shell_view() { reg query "$@" /reg:64; }
user_choice='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.rar\UserChoice'
clean() {
  "$run" "$probe" delete .rar KavrexAssoc >/dev/null
  reg delete 'HKCU\Software\Classes\.rar' /f
  reg delete 'HKCU\Software\Classes\KavrexAssoc' /f
  reg delete "$user_choice" /f
}
clean

assoc status >/dev/null
check "status before: exit code 1" 1 "$?"
check "status before: not associated" not-associated "$(verdict)"

# Wine gives every file to its own account, S-1-5-21-0-0-0-1000, with every
# right: the handler is one that an account other than Administrators could
# replace, and a registration for all users is refused unless allowed.
refused=$(assoc register 2>&1)
check "replaceable: refused for all users" 3 "$?"
check "replaceable: says who and where" yes "$(grep -q \
  'the account S-1-5-21-0-0-0-1000 may change or delete C:\\Kavrex CLI\\Kavrex.exe' \
  <<<"$refused" && echo yes)"
check "replaceable: status says so" "file S-1-5-21-0-0-0-1000" \
  "$(assoc status --json | json_field "d['replaceable']['by'], d['replaceable']['who'].split()[-1]")"
check "replaceable: nothing written" "" "$("$run" "$probe" dump .rar KavrexAssoc)"

before=$("$run" "$probe" dump .rar KavrexAssoc)
dry=$(assoc register --allow-replaceable-handler --dry-run)
check "dry run: exit code" 0 "$?"
check "dry run: lists the command it would write" yes \
  "$(grep -q 'KavrexAssoc\\Shell\\Open\\Command \[(default)\] = ""C:\\' <<<"$dry" && echo yes)"
check "dry run: changes nothing" "$before" "$("$run" "$probe" dump .rar KavrexAssoc)"

# Which hive holds .rar: machine, user, or both.
holders() {
  local hive
  for hive in HKLM HKCU; do
    reg query "$hive\Software\Classes\.rar" /ve && printf '%s ' "$hive"
  done
}
for scope in machine user; do
  assoc register --allow-replaceable-handler --scope "$scope" >/dev/null
  check "$scope: register exit code" 0 "$?"
  assoc status >/dev/null
  check "$scope: status after register: exit code 0" 0 "$?"
  check "$scope: opens with Kavrex" opens-with-kavrex "$(verdict)"
  check "$scope: written to its hive alone" "$([ $scope == machine ] && echo HKLM || echo HKCU) " \
    "$(holders)"
  hive=$([ $scope == machine ] && echo HKLM || echo HKCU)
  shell_view "$hive\Software\Kavrex\Capabilities\FileAssociations" /v .rar
  check "$scope: Capabilities records .rar" 0 "$?"
  shell_view "$hive\Software\RegisteredApplications" /v Kavrex
  check "$scope: registered for Default apps" 0 "$?"
  check "$scope: listed in its hive" "True True" \
    "$(assoc status --json | json_field "d['extensions'][0]['listed']['$scope']['defaultApps'], d['extensions'][0]['listed']['$scope']['openWith']")"
  # Wine's Kavrex.exe is replaceable: for all users complete only with the override.
  assoc status --scope "$scope" >/dev/null
  code=$?
  registration=$(assoc status --scope "$scope" --json | json_field "d['extensions'][0]['registration']")
  check "$scope: status --scope, Kavrex.exe replaceable" \
    "$([ $scope == machine ] && echo "1 replaceable-handler" || echo "0 complete")" \
    "$code $registration"
  assoc status --scope "$scope" --allow-replaceable-handler >/dev/null
  check "$scope: status --scope --allow-replaceable-handler: complete" 0 "$?"
  assoc remove --scope "$scope" >/dev/null
  check "$scope: remove exit code" 0 "$?"
  assoc status --scope "$scope" >/dev/null
  check "$scope: status --scope: absent" 1 "$?"
  check "$scope: status after remove" not-associated "$(verdict)"
  shell_view "$hive\Software\Kavrex"
  check "$scope: Capabilities removed" 1 "$?"
  shell_view "$hive\Software\RegisteredApplications" /v Kavrex
  check "$scope: Default apps registration removed" 1 "$?"
done

# Elevated, as Wine's account always is, status names each signed-in user:
# Wine's own is the one person's hive below HKEY_USERS.
check "users: Wine's account, named" "S-1-5-21-0-0-0-1000 True" \
  "$(assoc status --json | json_field "' '.join(u['sid'] for u in d['users']), bool(d['users'][0]['name'])")"

# The audit log: a JSON line per run, appended, with the account and the changes.
rm -f "$folder/audit.jsonl"
assoc register --allow-replaceable-handler --log 'C:\Kavrex CLI\audit.jsonl' >/dev/null
assoc remove --log 'C:\Kavrex CLI\audit.jsonl' >/dev/null
check "audit log: two runs, their account, commands and changes" \
  "S-1-5-21-0-0-0-1000 register True|S-1-5-21-0-0-0-1000 remove True" "$(/usr/bin/python3 -c "
import json, sys
runs = [json.loads(line) for line in open(sys.argv[1], encoding='utf-8')]
print('|'.join(f\"{r['account']['sid']} {r['arguments'][0]} {bool(r['changes'])}\" for r in runs))
" "$folder/audit.jsonl")"

# Wine's account is an administrator's, so each run is privileged: no file is
# written through a link a user planted. Made on the Unix side, Wine shows a
# hard link by its link count, a link to a folder as a reparse point, and a
# link to a file by its final path. The linked file keeps its bytes.
links="$drive_c/Kavrex Links" elsewhere="$drive_c/Kavrex Elsewhere"
for planted in "a hard link" "a folder that is a link" "a file that is a link"; do
  rm -rf "$links" "$elsewhere"
  mkdir -p "$elsewhere"
  printf 'kept\n' >"$elsewhere/audit.jsonl"
  printf 'kept\n' >"$elsewhere/kavrex.xml"
  case $planted in
  "a hard link")
    mkdir "$links"
    ln "$elsewhere/audit.jsonl" "$links/audit.jsonl"
    ln "$elsewhere/kavrex.xml" "$links/kavrex.xml"
    ;;
  "a folder that is a link") ln -s "$elsewhere" "$links" ;;
  *)
    mkdir "$links"
    ln -s "$elsewhere/audit.jsonl" "$links/audit.jsonl"
    ln -s "$elsewhere/kavrex.xml" "$links/kavrex.xml"
    ;;
  esac
  warned=$(assoc status --log 'C:\Kavrex Links\audit.jsonl' 2>&1 >/dev/null)
  check "log onto $planted: refused, and said why" yes \
    "$(grep -q 'Warning: the audit log .* was not written' <<<"$warned" && echo yes)"
  check "log onto $planted: the linked file as it was" kept "$(cat "$elsewhere/audit.jsonl")"
  assoc export-defaults --output 'C:\Kavrex Links\kavrex.xml' --force >/dev/null 2>&1
  status=$?
  check "--output --force onto $planted: the linked file as it was" kept \
    "$(cat "$elsewhere/kavrex.xml")"
  if [ "$planted" == "a folder that is a link" ]; then
    check "--output into $planted: refused" 3 "$status"
  else
    check "--output --force onto $planted: a new file in its place" "0 <?xml" \
      "$status $(head -c 5 "$links/kavrex.xml")"
  fi
done
rm -rf "$links" "$elsewhere"

# Settings > Apps > Default apps: Wine has no Settings app to answer.
settings=$(assoc settings 2>&1)
check "settings: exit code where no Settings app answers" 3 "$?"
check "settings: says so" yes "$(grep -q 'No Settings app answered' <<<"$settings" && echo yes)"
# Wine's classes root is the machine's classes: there the command is checked.
assoc register --allow-replaceable-handler >/dev/null
check "the command names the real handler" 'C:\Kavrex CLI\Kavrex.exe' \
  "$("$run" "$probe" handler .rar | tr -d '\r')"
# The shell opens a .rar file with Kavrex, handing it the file's path.
: >"$folder/an archive.rar"
rm -f "$folder/opened.txt"
"$run" start /wait 'C:\Kavrex CLI\an archive.rar' >/dev/null 2>&1
check "start: Kavrex opened the file" 'C:\Kavrex CLI\an archive.rar' \
  "$(tr -d '\r' <"$folder/opened.txt" 2>/dev/null)"
assoc remove >/dev/null

# The shell hears of a registration and of a removal, once each, and of a dry
# run never: Wine answers each SHCNE_ASSOCCHANGED by starting winemenubuilder,
# here a stand-in that counts.
# An x86 stand-in writes its notes through WOW64's file redirection, into syswow64.
system32="$2/drive_c/windows/system32"
notes=("$system32/notified.txt" "$2/drive_c/windows/syswow64/notified.txt")
cp "$system32/winemenubuilder.exe" "$folder/winemenubuilder.saved"
cp "$probe" "$system32/winemenubuilder.exe"
rm -f "${notes[@]}"
notified() {
  for _ in $(seq 50); do
    [ "$(cat "${notes[@]}" 2>/dev/null | wc -l)" -ge "$1" ] && break
    sleep 0.1
  done
  sleep 0.5 # a late one would show
  cat "${notes[@]}" 2>/dev/null | wc -l
}
export KAVREX_MENUBUILDER=winemenubuilder.exe=n
assoc register --allow-replaceable-handler >/dev/null
check "the shell hears of a registration" 1 "$(notified 1)"
assoc remove --dry-run >/dev/null
check "the shell hears nothing of a dry run" 1 "$(notified 1)"
assoc remove >/dev/null
check "the shell hears of a removal" 2 "$(notified 2)"
assoc remove >/dev/null
check "nor of a removal that changed nothing" 2 "$(notified 2)"
unset KAVREX_MENUBUILDER
cp "$folder/winemenubuilder.saved" "$system32/winemenubuilder.exe"

# Refused names and types: exit 2, nothing written.
for ext in .lnk .bat '.r*r' '.rar;.zip' .. .exe.; do
  assoc register --allow-replaceable-handler --ext "$ext" >/dev/null 2>&1
  check "refused $ext: exit code" 2 "$?"
done
check "refused, with --json: one object that says why" "2 usage" \
  "$(assoc register --ext .. --json 2>/dev/null | json_field "d['exitCode'], d['reason']")"
check "refused: nothing written" "" "$("$run" "$probe" dump .rar KavrexAssoc)"
# With the UTF-8 code page full-width letters are spelled as they are: their
# own extension, never .rar by a best fit.
assoc register --allow-replaceable-handler --ext .ｒａｒ >/dev/null
check "full-width: registered as itself" 0 "$?"
check "full-width: .rar untouched" "" "$("$run" "$probe" dump .rar)"
assoc status --ext .ｒａｒ >/dev/null
check "full-width: opens with Kavrex" 0 "$?"
assoc remove --ext .ｒａｒ >/dev/null
check "full-width: removed" 0 "$?"

# Started from a folder of any script, kavrex-assoc works, --help too.
for name in "Εργαλεία Kavrex" "ツール Kavrex"; do
  mkdir -p "$drive_c/$name"
  cp "$cli" "$drive_c/$name/kavrex-assoc.exe"
  cp "$probe" "$drive_c/$name/Kavrex.exe"
  there() { "$run" "C:\\$name\\kavrex-assoc.exe" "$@" | tr -d '\r'; }
  there --help >/dev/null
  check "$name: --help" 0 "$?"
  there register --allow-replaceable-handler >/dev/null
  check "$name: register" 0 "$?"
  there status >/dev/null
  check "$name: status says it opens with Kavrex" 0 "$?"
  check "$name: the command names the real handler" "C:\\$name\\Kavrex.exe" \
    "$("$run" "$probe" handler .rar | tr -d '\r')"
  : >"$drive_c/$name/an archive.rar"
  "$run" start /wait "C:\\$name\\an archive.rar" >/dev/null 2>&1
  check "$name: the shell opens a file with Kavrex" "C:\\$name\\an archive.rar" \
    "$(tr -d '\r' <"$drive_c/$name/opened.txt" 2>/dev/null)"
  there remove >/dev/null
  check "$name: remove" 0 "$?"
  check "$name: nothing left" "" "$("$run" "$probe" dump .rar KavrexAssoc)"
done

# Without Kavrex.exe beside it, nothing is registered.
mkdir -p "$drive_c/Kavrex Alone"
cp "$cli" "$drive_c/Kavrex Alone/kavrex-assoc.exe"
missing=$("$run" 'C:\Kavrex Alone\kavrex-assoc.exe' register 2>&1)
check "no handler: exit code" 3 "$?"
check "no handler: named" yes "$(grep -q 'C:\\Kavrex Alone\\Kavrex.exe' <<<"$missing" && echo yes)"
check "no handler: nothing written" "" "$("$run" "$probe" dump .rar KavrexAssoc)"

# The default-associations file: UTF-8 exactly, whatever a shell would make of
# it; a file that is there stays.
xml="$folder/kavrex.xml"
rm -f "$xml"
assoc export-defaults --ext .rar --output 'C:\Kavrex CLI\kavrex.xml' >/dev/null
check "export: written" 0 "$?"
check "export: UTF-8 with no byte-order mark" '<?xml version="1.0" encoding="UTF-8"?>' \
  "$(head -n 1 "$xml" | tr -d '\r')"
assoc export-defaults --ext .rar --output 'C:\Kavrex CLI\kavrex.xml' >/dev/null 2>&1
check "export: a file that is there stays" 3 "$?"

# An upgrade: an install in Program Files (x86) registered .rar and .zip over
# another program's .rar; the one in Program Files finds that Kavrex's, points
# it here, and takes all of it back without --ext. Then Kavrex.exe is deleted.
for install in "Program Files (x86)" "Program Files"; do
  mkdir -p "$drive_c/$install/Kavrex"
  cp "$cli" "$drive_c/$install/Kavrex/kavrex-assoc.exe"
  cp "$probe" "$drive_c/$install/Kavrex/Kavrex.exe"
done
from_old() { "$run" 'C:\Program Files (x86)\Kavrex\kavrex-assoc.exe' "$@" | tr -d '\r'; }
from_new() { "$run" 'C:\Program Files\Kavrex\kavrex-assoc.exe' "$@" | tr -d '\r'; }
reg add 'HKLM\Software\Classes\.rar' /ve /d WinArc.rar /f
reg add 'HKLM\Software\Classes\WinArc.rar\Shell\Open\Command' /ve /d 'C:\windows\notepad.exe %1' /f
from_old register --allow-replaceable-handler --ext .rar,.zip >/dev/null
check "upgrade: the old install registers" 0 "$?"
old_short=$("$run" "$probe" short-path 'C:\Program Files (x86)\Kavrex\Kavrex.exe' | tr -d '\r')
check "upgrade: status names the other folder" "kavrex-elsewhere $old_short" \
  "$(from_new status --json | json_field "d['extensions'][0]['verdict'], d['extensions'][0]['kavrexElsewhere']")"
check "upgrade: status --scope" "1 kavrex-elsewhere" "$(from_new status --scope machine \
  --allow-replaceable-handler --json | json_field "d['exitCode'], d['extensions'][0]['registration']")"
from_new register --allow-replaceable-handler >/dev/null
check "upgrade: register points it here" "0 C:\\Program Files\\Kavrex\\Kavrex.exe" \
  "$? $("$run" "$probe" handler .zip | tr -d '\r')"
from_new status --scope machine --allow-replaceable-handler --ext .rar,.zip >/dev/null
check "upgrade: complete afterwards" 0 "$?"
from_new remove >/dev/null
check "upgrade: remove without --ext" 0 "$?"
check "upgrade: .rar's type given back, .zip and ours gone" ".rar=WinArc.rar" \
  "$("$run" "$probe" dump .rar .zip KavrexAssoc | tr -d '\r')"
# Uninstalled: whatever names the deleted Kavrex.exe is broken, wherever status runs.
from_old register --allow-replaceable-handler >/dev/null
rm "$drive_c/Program Files (x86)/Kavrex/Kavrex.exe"
for where in from_old from_new; do
  check "uninstalled: status $where" "1 broken" \
    "$($where status --scope machine --json | json_field "d['exitCode'], d['extensions'][0]['registration']")"
  check "uninstalled: verdict $where" broken "$($where status --json | json_field "d['extensions'][0]['verdict']")"
done
from_new remove >/dev/null
check "uninstalled: remove from the new folder gives the type back" ".rar=WinArc.rar" \
  "$("$run" "$probe" dump .rar KavrexAssoc | tr -d '\r')"
"$run" "$probe" delete .rar WinArc.rar >/dev/null

# The user's own choice wins: the verdict and the note after registering say so.
reg add "$user_choice" /v ProgId /d WinArc.rar /f
report=$(assoc register --allow-replaceable-handler --json)
check "user choice: named after register" WinArc.rar \
  "$(json_field "d['userChoiceElsewhere'][0]['progId']" <<<"$report")"
check "user choice: verdict" "user-choice-other WinArc.rar" \
  "$(assoc status --json | json_field "d['extensions'][0]['verdict'], d['extensions'][0]['openedBy']")"
assoc register --allow-replaceable-handler | grep -q "Settings > Apps > Default apps"
check "user choice: the text says where to change it" 0 "$?"
clean
all_passed
