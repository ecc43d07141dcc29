#include "platform/product_files.h"

DWORD ClearReadOnly(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
        !SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return attributes;
}

void RestoreAttributes(const char* path, DWORD attributes)
{
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(path, attributes);
    }
}

int DeleteProductFile(const char* path)
{
    DWORD attributes = ClearReadOnly(path);
    if (DeleteFileA(path)) {
        return 1;
    }
    RestoreAttributes(path, attributes);
    return 0;
}
