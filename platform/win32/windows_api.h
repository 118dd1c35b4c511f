#pragma once
// The Windows headers the window side needs. The few API macros that share a name with a
// method of the program's seam are removed; their wide functions are called by full name.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#undef MessageBox
#undef TextOut
