// The temporary folder, this program's own path and the user's folders in a form that the ANSI
// functions can name. A user's profile may be named in letters that the ANSI code page lacks:
// the A functions then return a best fit that names another folder, or none at all. Where this
// Windows has the wide functions, the path is read wide and given in its exact ANSI form, or
// else in its short (8.3) form; on Windows 95 and 98, which lack them or only fail in them, the A
// functions answer as before.
#ifndef SYSTEM_PATHS_H
#define SYSTEM_PATHS_H

#include "platform/platform_services.h"

// Any function looked up at run time, before it is cast to its own type.
typedef void (*SystemFunction)(void);

// The function's address where this Windows exports it, else 0. Functions that only NT has are
// found this way, never imported, so that the program still loads on Windows 95.
SystemFunction FindSystemFunction(const char* moduleName, const char* functionName);

// 1 when a length that a path function reported means that the whole path is in the buffer.
int FitsPath(DWORD reportedLength);

// Puts into path (MAX_PATH bytes) an ANSI form of the wide path that converts back to exactly
// it: the path itself, or else its short form. 0 (path empty) when it has neither.
int ConvertToAnsiPath(const WCHAR* wide, char* path);

// The temporary folder as the system reports it, in an ANSI form; 0 when it is unknown, too
// long, or has no ANSI form.
int FindTempFolder(char* folder);

// This program's own path in an ANSI form; 0 when it is cut off or has no ANSI form.
int FindModulePath(char* path);

#endif
