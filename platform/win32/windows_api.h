#pragma once
// The Windows headers the window side needs. The few API macros that share a name with a
// method of the program's seam are removed; their wide functions are called by full name.
#include <windows.h>
// The others build on <windows.h>.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#undef MessageBox
#undef TextOut
