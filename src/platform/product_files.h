// Deleting files that the product installed. A product installed from a CD-ROM has read-only
// files, which DeleteFileA refuses: the attribute is cleared first, and given back to a file that
// still cannot be deleted, so that a file that stays is left as it was.
#ifndef PRODUCT_FILES_H
#define PRODUCT_FILES_H

#include "platform/platform_services.h"

// Clears the read-only attribute of a file about to be deleted. Returns the attributes it had
// when it changed them, else INVALID_FILE_ATTRIBUTES.
DWORD ClearReadOnly(const char* path);

// Gives a file that could not be deleted the attributes ClearReadOnly returned.
void RestoreAttributes(const char* path, DWORD attributes);

// Deletes a file, read-only or not; 1 when it is gone.
int DeleteProductFile(const char* path);

#endif
