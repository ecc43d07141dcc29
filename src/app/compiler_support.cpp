// The compiler may turn buffer fills and copies into calls to these; with no run-time library
// linked, the program brings its own. Built with loop-to-call rewriting switched off.
#include <stddef.h>

extern "C" void* memset(void* target, int value, size_t size)
{
    unsigned char* bytes = (unsigned char*)target;
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = (unsigned char)value;
    }
    return target;
}

extern "C" void* memcpy(void* target, const void* source, size_t size)
{
    unsigned char* to = (unsigned char*)target;
    const unsigned char* from = (const unsigned char*)source;
    for (size_t i = 0; i < size; ++i) {
        to[i] = from[i];
    }
    return target;
}
