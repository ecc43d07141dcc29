// Building paths and texts in fixed buffers. Every helper writes only when the whole result,
// terminator included, fits in the buffer, and says whether it did: a path that was cut off
// can name another file, so callers skip the operation instead of acting on it.
#ifndef PATH_TEXT_H
#define PATH_TEXT_H

// Appends text to the terminated string in buffer; 1 when it fitted, 0 (buffer unchanged) when not.
int AppendText(char* buffer, int capacity, const char* text);

// Copies text into buffer; 1 when it fitted, 0 (buffer emptied) when not.
int CopyText(char* buffer, int capacity, const char* text);

// Appends a backslash when the text is empty or does not already end with one.
int EndWithBackslash(char* buffer, int capacity);

// 1 when part occurs anywhere in text, with exact case.
int ContainsText(const char* text, const char* part);

// 1 when both texts hold the same bytes.
int SameText(const char* first, const char* second);

// 1 when a registry read left no terminator inside the buffer.
int LacksTerminator(const char* buffer, int capacity);

#endif
