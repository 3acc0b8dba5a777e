#pragma once
// The two exports of Snarehook.dll. They take no arguments, so callers that assume stdcall and
// callers that assume cdecl call them alike; the names are exported undecorated.
#include <windows.h>

#ifdef SNAREHOOK_BUILD
#define SNAREHOOK_API extern "C" __declspec(dllexport)
#else
#define SNAREHOOK_API extern "C" __declspec(dllimport)
#endif

SNAREHOOK_API BOOL SetTrayHook(void);
SNAREHOOK_API BOOL DeleteTrayHook(void);
