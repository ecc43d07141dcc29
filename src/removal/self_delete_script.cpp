#include "platform/path_text.h"
#include "platform/system_paths.h"
#include "product/product_names.h"
#include "removal/removal_steps.h"

const char ScriptBaseName[] = "delme";
const char ScriptExtension[] = ".bat";
const int ScriptNumberLimit = 200;
const int ScriptTextSize = 1040;

// The script's text piece by piece, every line ending in CR LF after a leading empty line. Two
// pieces stand for paths filled in when the script is written.
const char TempFolderPiece[] = "{T}";
const char ScriptPathPiece[] = "{S}";
const char* const ScriptPieces[] = {
    "\r\n@echo off\r\n:myLabel\r\ndel \"", TempFolderPiece, UninstallerFileName,
    "\"\r\nif exist \"", TempFolderPiece, UninstallerFileName,
    "\" goto myLabel\r\ndel \"", ScriptPathPiece, "\"\r\n",
};
const int ScriptPieceCount = sizeof ScriptPieces / sizeof ScriptPieces[0];

// Converts an ANSI path into the OEM code page; 1 when it converts back to the same path.
static int ConvertToOem(const char* path, char* oemPath)
{
    char back[MAX_PATH];
    DWORD length = (DWORD)lstrlenA(path) + 1;
    CharToOemBuffA(path, oemPath, length);
    OemToCharBuffA(oemPath, back, length);
    return SameText(path, back);
}

// The command interpreter reads a script in the OEM code page, where an accented letter of the
// ANSI code page has another byte (or none): a path written as ANSI names a folder that does not
// exist. The path goes in converted, or as its short form where it has no OEM form of its own.
static int ConvertToInterpreterPath(const char* path, char* oemPath)
{
    char shortPath[MAX_PATH];
    return ConvertToOem(path, oemPath) ||
           (FitsPath(GetShortPathNameA(path, shortPath, MAX_PATH)) &&
            ConvertToOem(shortPath, oemPath));
}

// Appends a path for the command interpreter, which reads "%" as the start of a variable:
// each "%" is written as "%%" so that the script names exactly this path. 0 when the path has
// no form the interpreter can read, or the text would not fit.
static int AppendScriptPath(char* text, const char* ansiPath)
{
    char path[MAX_PATH];
    if (!ConvertToInterpreterPath(ansiPath, path)) {
        return 0;
    }
    for (int i = 0; path[i]; ++i) {
        const char* piece = path[i] == '%' ? "%%" : 0;
        char single[2] = {path[i], 0};
        if (!AppendText(text, ScriptTextSize, piece ? piece : single)) {
            return 0;
        }
    }
    return 1;
}

static int BuildScriptText(char* text, const char* tempFolder, const char* scriptPath)
{
    text[0] = 0;
    for (int i = 0; i < ScriptPieceCount; ++i) {
        const char* piece = ScriptPieces[i];
        int appended = piece == TempFolderPiece   ? AppendScriptPath(text, tempFolder)
                       : piece == ScriptPathPiece ? AppendScriptPath(text, scriptPath)
                                                  : AppendText(text, ScriptTextSize, piece);
        if (!appended) {
            return 0;
        }
    }
    return 1;
}

// Creates the first free TEMP\delmeN.bat, N from 1 to the limit; returns the open file, or
// INVALID_HANDLE_VALUE when no number is free or the name would not fit.
static HANDLE CreateScriptFile(const char* tempFolder, char* scriptPath)
{
    char basePath[MAX_PATH];
    char number[16];
    if (!CopyText(basePath, MAX_PATH, tempFolder) ||
        !AppendText(basePath, MAX_PATH, ScriptBaseName)) {
        return INVALID_HANDLE_VALUE;
    }
    for (int n = 1; n <= ScriptNumberLimit; ++n) {
        wsprintfA(number, "%i", n);
        if (!CopyText(scriptPath, MAX_PATH, basePath) ||
            !AppendText(scriptPath, MAX_PATH, number) ||
            !AppendText(scriptPath, MAX_PATH, ScriptExtension)) {
            return INVALID_HANDLE_VALUE;
        }
        HANDLE script = CreateFileA(scriptPath, GENERIC_WRITE, 0, 0, CREATE_NEW,
                                    FILE_FLAG_SEQUENTIAL_SCAN, 0);
        if (script != INVALID_HANDLE_VALUE) {
            return script;
        }
    }
    return INVALID_HANDLE_VALUE;
}

// This run's own file cannot be deleted while it runs: a hidden script keeps trying until the
// run has ended, then deletes itself.
void ScheduleSelfDelete()
{
    char tempFolder[MAX_PATH];
    char scriptPath[MAX_PATH];
    char workingFolder[MAX_PATH] = {0};
    char text[ScriptTextSize];

    // Found as the first run found it, so that the script lands beside the copy it deletes.
    if (!FindTempFolder(tempFolder) || !EndWithBackslash(tempFolder, MAX_PATH)) {
        return;
    }
    HANDLE script = CreateScriptFile(tempFolder, scriptPath);
    if (script == INVALID_HANDLE_VALUE) {
        return;
    }
    int built = BuildScriptText(text, tempFolder, scriptPath);
    if (built) {
        DWORD written;
        WriteFile(script, text, (DWORD)lstrlenA(text), &written, 0);
    }
    CloseHandle(script);
    if (!built) {
        // A script cut short, or naming its paths in letters the interpreter reads as others,
        // would delete some other file, or nothing and loop for ever.
        DeleteFileA(scriptPath);
        return;
    }
    if (!FindTempFolder(workingFolder)) {
        workingFolder[0] = 0;
    }
    ShellExecuteA(0, 0, scriptPath, 0, workingFolder, SW_HIDE);
}
