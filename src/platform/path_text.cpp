#include "platform/path_text.h"

#include "platform/platform_services.h"

int AppendText(char* buffer, int capacity, const char* text)
{
    int used = lstrlenA(buffer);
    int added = lstrlenA(text);
    if (used + added >= capacity) {
        return 0;
    }
    for (int i = 0; i <= added; ++i) {
        buffer[used + i] = text[i];
    }
    return 1;
}

int CopyText(char* buffer, int capacity, const char* text)
{
    buffer[0] = 0;
    return AppendText(buffer, capacity, text);
}

int EndWithBackslash(char* buffer, int capacity)
{
    int used = lstrlenA(buffer);
    if (used > 0 && buffer[used - 1] == '\\') {
        return 1;
    }
    return AppendText(buffer, capacity, "\\");
}

int ContainsText(const char* text, const char* part)
{
    for (; *text; ++text) {
        int i = 0;
        while (part[i] && text[i] == part[i]) {
            ++i;
        }
        if (part[i] == 0) {
            return 1;
        }
    }
    return 0;
}

int SameText(const char* first, const char* second)
{
    int i = 0;
    while (first[i] && first[i] == second[i]) {
        ++i;
    }
    return first[i] == second[i];
}

int LacksTerminator(const char* buffer, int capacity)
{
    for (int i = 0; i < capacity; ++i) {
        if (buffer[i] == 0) {
            return 0;
        }
    }
    return 1;
}
