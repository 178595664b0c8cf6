#!/usr/bin/env bash
# Starts KavrexAssoc.exe under Wine in each display language it has a table
# for, and in one it has none for (Finnish): the dialog's title and captions
# are that table's (English for Finnish), OK shows that table's outcome, and in
# Arabic and Hebrew the dialog is mirrored and its box reads from the right.
# Wine takes the display language from the program's LC_ALL.
# Usage: languages.sh WINE_RUN WINE_PREFIX PROGRAM PROBE TABLES_FOLDER
set -uo pipefail
run=$1 drive_c=$2/drive_c program=$3 probe=$4 tables=$5
. "$(dirname "$0")/../support/check.sh"

folder="$drive_c/Kavrex Languages"
mkdir -p "$folder"
cp "$program" "$folder/KavrexAssoc.exe"
cp "$probe" "$folder/Kavrex.exe" # a stand-in handler: only its name and place matter
probe() { "$run" "$probe" "$@" | tr -d '\r'; }
text() { # TABLE ID: the text as the table holds it
  /usr/bin/python3 - "$tables/$1.rc" "$2" <<'PYTHON'
import re, sys
for line in open(sys.argv[1], encoding="utf-8"):
    found = re.match(r'\s*(IDS_\w+)\s+"(.*)"\s*$', line)
    if found and found.group(1) == sys.argv[2]:
        print(found.group(2).replace('""', '"'))
PYTHON
}

for pair in en_US:en-US de_DE:de-DE fr_FR:fr-FR es_ES:es-ES it_IT:it-IT pt_BR:pt-BR \
  nl_NL:nl-NL pl_PL:pl-PL ru_RU:ru-RU tr_TR:tr-TR zh_CN:zh-CN zh_TW:zh-TW ja_JP:ja-JP \
  ko_KR:ko-KR ar_SA:ar-SA he_IL:he-IL fi_FI:en-US; do
  locale=${pair%%:*} table=${pair#*:}
  case $table in
    ar-* | he-*) mirrored="mirrored" reading="right-to-left right-aligned" ;;
    *) mirrored="not mirrored" reading="left-to-right left-aligned" ;;
  esac
  LC_ALL=$locale.UTF-8 "$run" 'C:\Kavrex Languages\KavrexAssoc.exe' &
  pid=$!
  check "$locale: the dialog" "$(text "$table" IDS_TITLE)
$(text "$table" IDS_GROUP)
RAR
$(text "$table" IDS_OK)
$(text "$table" IDS_CANCEL)
$(text "$table" IDS_LABEL)
$mirrored" "$(probe dialog-texts)"
  probe press-ok
  # Wine's files are its own account's, so the handler is replaceable: asked
  # first, in the same language, and the note follows.
  check "$locale: asked first" "$(text "$table" IDS_REPLACEABLE_NOTE)

$(text "$table" IDS_REPLACEABLE_QUESTION)" "$(probe box-text)"
  probe answer-yes
  check "$locale: OK's outcome" "$(text "$table" IDS_REGISTERED)

$(text "$table" IDS_REPLACEABLE_NOTE)
$reading" "$(probe box-layout)"
  probe dismiss-box
  wait "$pid"
  check "$locale: exit code" 0 "$?"
done
probe delete .rar KavrexAssoc >/dev/null
all_passed
