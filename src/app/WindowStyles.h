// The window styles the dialog's design names: user32's own on Windows; with
// the same values elsewhere, so that the design is host-tested too.
#pragma once

#include "platform/WinTypes.h"

#ifndef _WIN32
#define WS_POPUP 0x80000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_CONTROLPARENT 0x00010000L
#define WS_EX_TOPMOST 0x00000008L
#define BS_PUSHBUTTON 0x00000000L
#define BS_DEFPUSHBUTTON 0x00000001L
#define BS_AUTOCHECKBOX 0x00000003L
#define BS_GROUPBOX 0x00000007L
#define SS_LEFT 0x00000000L
#endif
