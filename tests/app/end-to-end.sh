#!/usr/bin/env bash
# Drives KavrexAssoc.exe under Wine with real key presses through the X server
# and checks what it shows, what it leaves in the registry and how it exits.
# Usage: end-to-end.sh WINE_RUN WINE_PREFIX PROGRAM PROBE SCREENSHOTS
set -uo pipefail
export LC_ALL=C.UTF-8 # folder names in any script reach Wine as they are spelled
run=$1 drive_c=$2/drive_c program=$3 probe=$4 shots=$5
scripts="$(dirname "$0")/../../scripts"
[ -n "${DISPLAY:-}" ] || . "$scripts/virtual-display.sh"
. "$scripts/wine-dialog.sh"

"$run" "$probe" ready
install() { # FOLDER: the program and a stand-in handler (only its name and place matter)
  mkdir -p "$drive_c/$1"
  cp "$program" "$drive_c/$1/KavrexAssoc.exe"
  cp "$probe" "$drive_c/$1/Kavrex.exe"
}
install "Program Files/Kavrex Tool"
mkdir -p "$shots"

. "$(dirname "$0")/../support/check.sh"
# Wine gives every file to its own account (S-1-5-21-0-0-0-1000) with every
# right, so the handler is one that others than administrators could replace:
# a registration's box ends with the note that says so.
replaceable_note="

Accounts other than administrators can change Kavrex.exe or a folder on its path, so they could \
replace it with a program that every account would then run. To prevent that, install Kavrex in a \
folder only administrators can change, such as Program Files, or register it for your account only \
with kavrex-assoc register --scope user."
registered="Associations with this application have been registered.$replaceable_note"
# And so, before anything is written, the dialog asks; No is the default.
question="${replaceable_note#

}

Register it for all users anyway?"
probe() { "$run" "$probe" "$@" | tr -d '\r'; }
start() { # [FOLDER [FILE]] starts the program and waits for its dialog; sets pid and dialog
  "$run" "C:\\${1:-Program Files\\Kavrex Tool}\\${2:-KavrexAssoc.exe}" &
  pid=$!
  dialog=$(wait_for_dialog) || { echo "FAIL: no dialog"; exit 1; }
  xdotool windowfocus --sync "$dialog"
  probe activate-dialog
}
keys() { xdotool key --delay 100 "$@"; }
box_text() { probe box-text; }
dismiss_box() { # with the keyboard, at the box's own window
  local box
  box=$(dialog_windows | grep -v -x "$dialog" | head -n 1)
  xdotool windowfocus --sync "$box"
  probe activate-box
  keys Return
}
answer_yes() { # the question before registering, answered Yes with the keyboard
  check "asked before registering" "$question" "$(box_text)"
  local box
  box=$(dialog_windows | grep -v -x "$dialog" | head -n 1)
  xdotool windowfocus --sync "$box"
  probe activate-box
  keys Tab Return # from No, the default, to Yes
}
finish() { # waits for the program to end; sets code
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    code="still running"
  else
    wait "$pid"
    code=$?
  fi
}

short=$(probe short-path 'C:\Program Files\Kavrex Tool\Kavrex.exe')
layout=".rar=KavrexAssoc
.rar\\OpenWithProgids=(none)
.rar\\OpenWithProgids[KavrexAssoc]=
KavrexAssoc=KavrexAssoc file
KavrexAssoc\\DefaultIcon=$short,0
KavrexAssoc\\Shell=(none)
KavrexAssoc\\Shell\\Open=(none)
KavrexAssoc\\Shell\\Open\\Command=\"$short\" \"%1\""
probe delete .rar KavrexAssoc >/dev/null

# Enter right after start-up registers; a second run registers again.
for round in first second; do
  start
  if [ "$round" == first ]; then
    geometry=$(xdotool getwindowgeometry --shell "$dialog")
    eval "$geometry"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$shots/dialog.png"
  fi
  keys Return
  answer_yes
  check "$round run: registered" "$registered" "$(box_text)"
  dismiss_box
  finish
  check "$round run: exit code" 0 "$code"
  check "$round run: layout" "$layout" "$(probe dump .rar KavrexAssoc)"
done
case "$short" in *"~"*) echo "ok: the handler is named by its short path ($short)" ;;
  *) check "short path" "a mangled 8.3 path" "$short" ;; esac

# Asked first, Enter answers No: nothing is written, and the dialog closes
# as Cancel does, with no other box.
probe delete .rar KavrexAssoc >/dev/null
start
keys Return
check "asked: the question" "$question" "$(box_text)"
dismiss_box
finish
check "No: exit code" 0 "$code"
check "No: nothing registered" "" "$(probe dump .rar KavrexAssoc)"

# The box cleared with the keyboard, then OK: removed.
start
keys space Tab Return
check "cleared: removed" "Associations with this application have been removed" "$(box_text)"
dismiss_box
finish
check "cleared: exit code" 0 "$code"
check "cleared: nothing left" "" "$(probe dump .rar KavrexAssoc)"

# Escape does nothing; Enter on Cancel closes without change.
probe delete .rar KavrexAssoc >/dev/null
start
keys Escape
sleep 0.5
check "Escape: dialog still open" "$dialog" "$(dialog_windows | grep -x "$dialog")"
keys Tab Tab Return
finish
check "Cancel: exit code" 0 "$code"
check "Cancel: nothing registered" "" "$(probe dump .rar KavrexAssoc)"

register() { # [FOLDER]: OK with the box ticked
  start "$@"
  keys Return
  answer_yes
  check "registered from ${1:-the usual folder}" "$registered" "$(box_text)"
  dismiss_box
  finish
}
remove() { # expected text [FOLDER]: OK with the box cleared
  start "${@:2}"
  keys space Tab Return
  check "removal: text" "$1" "$(box_text)"
  dismiss_box
  finish
}

# Installed in a folder of any script: with the manifest's UTF-8 code page the
# command names the real handler, the shell opens a file with it, a second run
# registers again and removal takes it all back.
for folder in "Εργαλεία Kavrex" "ツール Kavrex"; do
  install "$folder"
  probe delete .rar KavrexAssoc >/dev/null
  register "$folder"
  check "$folder: the command opens the real handler" "C:\\$folder\\Kavrex.exe" \
    "$(probe handler .rar)"
  : >"$drive_c/$folder/an archive.rar"
  rm -f "$drive_c/$folder/opened.txt"
  "$run" start /wait "C:\\$folder\\an archive.rar" >/dev/null 2>&1
  check "$folder: the shell opens a file with Kavrex" "C:\\$folder\\an archive.rar" \
    "$(tr -d '\r' <"$drive_c/$folder/opened.txt" 2>/dev/null)"
  register "$folder"
  remove "Associations with this application have been removed" "$folder"
  check "$folder: nothing left" "" "$(probe dump .rar KavrexAssoc)"
done

# Another program's data under .rar survives removal; only our default value goes.
register
"$run" reg add 'HKCR\.rar' /v 'Content Type' /d application/x-rar /f >/dev/null
"$run" reg add 'HKCR\.rar' /v PerceivedType /d compressed /f >/dev/null
"$run" reg add 'HKCR\.rar\OpenWithProgids' /v WinArc.rar /t REG_NONE /f >/dev/null
"$run" reg add 'HKCR\.rar\ShellNew' /v NullFile /d "" /f >/dev/null
remove "Associations with this application have been removed"
check "foreign data: kept, our type key gone" '.rar=(none)
.rar[Content Type]=application/x-rar
.rar[PerceivedType]=compressed
.rar\OpenWithProgids=(none)
.rar\OpenWithProgids[WinArc.rar]=(type 0)
.rar\ShellNew=(none)
.rar\ShellNew[NullFile]=' "$(probe dump .rar KavrexAssoc)"

# Registering over another program's type keeps it; removing gives it back.
probe delete .rar KavrexAssoc >/dev/null
"$run" reg add 'HKCR\.rar' /ve /d WinArc.rar /f >/dev/null
"$run" reg add 'HKCR\WinArc.rar\Shell\Open\Command' /ve /d 'winarc.exe "%1"' /f >/dev/null
register
check "another's type: kept" "WinArc.rar" \
  "$("$run" reg query 'HKCR\.rar' /v KavrexAssoc.Previous | tr -d '\r' | awk '/REG_SZ/ {print $3}')"
remove "Associations with this application have been removed"
check "another's type: given back" '.rar=WinArc.rar' "$(probe dump .rar KavrexAssoc)"
"$run" reg query 'HKLM\Software\RegisteredApplications' /v Kavrex /reg:64 >/dev/null 2>&1
check "another's type: Default apps registration removed" 1 "$?"
probe delete .rar WinArc.rar >/dev/null

# A default value that is not text is another program's: left alone.
probe delete .rar >/dev/null
register
"$run" reg add 'HKCR\.rar' /ve /t REG_DWORD /d 1 /f >/dev/null
remove "Associations with this application have been removed"
check "non-text default: kept, our type key gone" ".rar=(REG_DWORD)" \
  "$(probe dump .rar KavrexAssoc)"
probe delete .rar KavrexAssoc >/dev/null

# The user's own choice in Windows wins over the registration: the box says so.
user_choice='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.rar\UserChoice'
"$run" reg add "$user_choice" /v ProgId /d WinArc.rar /f >/dev/null
start
keys Return
answer_yes
check "user's choice: named in the box" "Associations with this application have been registered.

.rar files still open with WinArc.rar, because that is your choice in Windows. To open them with Kavrex, choose it in Settings > Apps > Default apps.$replaceable_note" "$(box_text)"
dismiss_box
finish
"$run" reg delete "$user_choice" /f >/dev/null
probe delete .rar KavrexAssoc >/dev/null

# Copied beside a Kavrex.exe and renamed after another program's type, the
# dialog writes nothing into that type, and clearing the box takes none of it.
mkdir -p "$drive_c/Kavrex Renamed"
cp "$program" "$drive_c/Kavrex Renamed/txtfile.exe"
cp "$probe" "$drive_c/Kavrex Renamed/Kavrex.exe"
"$run" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
"$run" reg add 'HKCR\txtfile' /ve /d 'Text Document' /f >/dev/null
"$run" reg add 'HKCR\txtfile\Shell\Open\Command' /ve /d 'notepad.exe "%1"' /f >/dev/null
"$run" reg add 'HKCR\.rar' /ve /d txtfile /f >/dev/null
others=$(probe dump .txt .rar txtfile)
for keys_pressed in "Return" "space Tab Return"; do
  start 'Kavrex Renamed' txtfile.exe
  # shellcheck disable=SC2086 # the keys, one argument each
  keys $keys_pressed
  box_text >/dev/null
  dismiss_box
  finish
  check "renamed txtfile.exe, $keys_pressed: txtfile, .txt and .rar as they were" "$others" \
    "$(probe dump .txt .rar txtfile)"
done
probe delete .txt .rar txtfile >/dev/null

# Without Kavrex.exe beside it: nothing is written, and the box says so.
mkdir -p "$drive_c/Kavrex Alone"
cp "$program" "$drive_c/Kavrex Alone/KavrexAssoc.exe"
start 'Kavrex Alone'
keys Return
check "no handler: not registered" "Associations with this application could not be registered." \
  "$(box_text)"
dismiss_box
finish
check "no handler: nothing written" "" "$(probe dump .rar KavrexAssoc)"

echo "screenshot: $shots/dialog.png"
all_passed
