// The dialog's texts in the string tables, one table per language
// (languages/*.rc). Plain definitions, for the resource compiler reads them too.
#pragma once

#define IDS_TITLE 1 // the dialog's and every box's caption
#define IDS_GROUP 2 // the group box's caption
#define IDS_OK 3
#define IDS_CANCEL 4
#define IDS_LABEL 5 // the information label below the buttons
#define IDS_REGISTERED 6
#define IDS_ALREADY_ASSOCIATED 7
#define IDS_EVENT_NOT_SET 8
#define IDS_CANCELLED 9
#define IDS_DESIGN_MODE 10
#define IDS_NOT_REGISTERED 11
#define IDS_REMOVED 12
#define IDS_NOT_REMOVED 13
#define IDS_USER_CHOICE_NOTE 14 // %1: the extension; %2: the program that opens it
#define IDS_REPLACEABLE_NOTE 15
#define IDS_FATAL_ERROR 16
#define IDS_READING_ORDER 17 // "ltr", or "rtl" where the language reads right to left
// Asked, after the replaceable note, before registering for every account a
// Kavrex.exe that others could replace.
#define IDS_REPLACEABLE_QUESTION 18
#define IDS_LAST IDS_REPLACEABLE_QUESTION
