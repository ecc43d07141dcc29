// Code pages: text held as UTF-8, seen through ANSI (1252-like), OEM (437-like) and UTF-16.
#include "sim/code_pages.h"

#include <cstring>

#include "sim/world.h"

namespace sim {

namespace {

struct Letter {
    char32_t unicode;
    unsigned char ansi;  // 0: not in the ANSI code page
    unsigned char oem;   // 0: not in the OEM code page
    char bestFit;        // what a code page without the letter gives instead
};

const Letter Letters[] = {
    {U'\u00E9', 0xE9, 0x82, 'e'}, {U'\u00F6', 0xF6, 0x94, 'o'}, {U'\u00EF', 0xEF, 0x8B, 'i'},
    {U'\u00FC', 0xFC, 0x81, 'u'}, {U'\u00C9', 0xC9, 0x90, 'E'}, {U'\u00E8', 0xE8, 0x8A, 'e'},
    {U'\u0160', 0x8A, 0, 'S'},    {U'\u00D8', 0xD8, 0, 'O'},    {U'\u00F0', 0xF0, 0, 'd'},
    {U'\u03B1', 0, 0xE0, 'a'},    {U'\u0141', 0, 0, 'L'},       {U'\u0142', 0, 0, 'l'},
    {U'\u0105', 0, 0, 'a'},
};

// Bytes of a code page that no letter above claims stand for private-use characters of their
// own, one range per code page, so that they too come back as they went in.
const char32_t AnsiPrivateBase = 0xF700;
const char32_t OemPrivateBase = 0xF600;

const Letter* FindLetter(char32_t unicode)
{
    for (const Letter& letter : Letters) {
        if (letter.unicode == unicode) {
            return &letter;
        }
    }
    return nullptr;
}

char32_t FromCodePage(unsigned char byte, bool oem)
{
    if (byte < 0x80) {
        return byte;
    }
    for (const Letter& letter : Letters) {
        if ((oem ? letter.oem : letter.ansi) == byte) {
            return letter.unicode;
        }
    }
    return (oem ? OemPrivateBase : AnsiPrivateBase) + byte;
}

char ToCodePage(char32_t unicode, bool oem)
{
    if (unicode < 0x80) {
        return (char)unicode;
    }
    char32_t base = oem ? OemPrivateBase : AnsiPrivateBase;
    if (unicode >= base + 0x80 && unicode <= base + 0xFF) {
        return (char)(unicode - base);
    }
    const Letter* letter = FindLetter(unicode);
    if (!letter) {
        return '?';
    }
    unsigned char byte = oem ? letter->oem : letter->ansi;
    return byte ? (char)byte : letter->bestFit;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += (char)c;
    } else if (c < 0x800) {
        out += (char)(0xC0 | (c >> 6));
        out += (char)(0x80 | (c & 0x3F));
    } else {
        out += (char)(0xE0 | (c >> 12));
        out += (char)(0x80 | ((c >> 6) & 0x3F));
        out += (char)(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 letter of two or three bytes at text[at]; 0 when none starts there.
size_t DecodeUtf8(const std::string& text, size_t at, char32_t& c)
{
    unsigned char first = (unsigned char)text[at];
    size_t length = (first & 0xE0) == 0xC0 ? 2 : (first & 0xF0) == 0xE0 ? 3 : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    c = first & (length == 2 ? 0x1F : 0x0F);
    for (size_t i = 1; i < length; ++i) {
        unsigned char next = (unsigned char)text[at + i];
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    bool shortest = length == 2 ? c >= 0x80 : c >= 0x800;
    bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    return shortest && !surrogate ? length : 0;
}

// Calls visit with each letter of a text as tests write it (see TextFromTest).
template <typename Visit>
void ForEachLetter(const std::string& text, Visit visit)
{
    for (size_t at = 0; at < text.size();) {
        char32_t c = (unsigned char)text[at];
        size_t used = c < 0x80 ? 1 : DecodeUtf8(text, at, c);
        if (used == 0) {
            c = FromCodePage((unsigned char)text[at], false);
            used = 1;
        }
        visit(c);
        at += used;
    }
}

std::string ConvertBytes(const std::string& bytes, bool fromOem)
{
    std::string out;
    for (char byte : bytes) {
        out += ToCodePage(FromCodePage((unsigned char)byte, fromOem), !fromOem);
    }
    return out;
}

}  // namespace

bool IsPlainAscii(const std::string& text)
{
    for (char c : text) {
        if ((unsigned char)c >= 0x80) {
            return false;
        }
    }
    return true;
}

std::string TextFromAnsi(const std::string& ansi)
{
    if (IsPlainAscii(ansi)) {
        return ansi;
    }
    std::string out;
    for (char byte : ansi) {
        AppendUtf8(out, FromCodePage((unsigned char)byte, false));
    }
    return out;
}

std::string TextToAnsi(const std::string& text)
{
    if (IsPlainAscii(text)) {
        return text;
    }
    std::string out;
    out.reserve(text.size());
    ForEachLetter(text, [&](char32_t c) { out += ToCodePage(c, false); });
    return out;
}

std::u16string TextToWide(const std::string& text)
{
    if (IsPlainAscii(text)) {
        return std::u16string(text.begin(), text.end());
    }
    std::u16string out;
    out.reserve(text.size());
    ForEachLetter(text, [&](char32_t c) { out += (char16_t)c; });
    return out;
}

std::string TextFromWide(const std::u16string& wide)
{
    std::string out;
    for (char16_t c : wide) {
        AppendUtf8(out, c);
    }
    return out;
}

std::string AnsiToOem(const std::string& ansi)
{
    return ConvertBytes(ansi, false);
}

std::string OemToAnsi(const std::string& oem)
{
    return ConvertBytes(oem, true);
}

std::string TextFromTest(const std::string& text)
{
    if (IsPlainAscii(text)) {
        return text;
    }
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    ForEachLetter(text, [&](char32_t c) { AppendUtf8(out, c); });
    return out;
}

}  // namespace sim

// ---------------------------------------------------------------- the conversion functions

using namespace sim::detail;

// Only whole, terminated texts (length -1) are converted, as the program passes them.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text,
                        int textSize, LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    LOG_CALL("WideCharToMultiByte", Num(codePage), Num(flags), WideText(wide), Num(wideLength), Ptr(text),
                Num(textSize), Ptr(defaultChar), Ptr(usedDefaultChar));
    if (wideLength != -1 || !wide) {
        return Fail(87);  // ERROR_INVALID_PARAMETER
    }
    std::string converted = sim::TextToAnsi(sim::TextFromWide(wide));
    if (usedDefaultChar) {
        *usedDefaultChar = converted.find('?') != std::string::npos;
    }
    if ((int)converted.size() + 1 > textSize) {
        return Fail(122);  // ERROR_INSUFFICIENT_BUFFER
    }
    CopyOut(converted, text, (DWORD)textSize);
    return (int)converted.size() + 1;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide,
                        int wideSize)
{
    LOG_CALL("MultiByteToWideChar", Num(codePage), Num(flags), Text(text), Num(textLength), Ptr(wide),
                Num(wideSize));
    if (textLength != -1 || !text) {
        return Fail(87);
    }
    std::u16string converted = sim::TextToWide(sim::TextFromAnsi(text));
    if ((int)converted.size() + 1 > wideSize) {
        return Fail(122);
    }
    CopyOut(converted, wide, (DWORD)wideSize);
    return (int)converted.size() + 1;
}

BOOL CharToOemBuffA(LPCSTR source, LPSTR target, DWORD length)
{
    LOG_CALL("CharToOemBuffA", Bytes(source, length), Ptr(target), Num(length));
    std::string converted = sim::AnsiToOem(std::string(source, length));
    std::memcpy(target, converted.data(), length);
    return TRUE;
}

BOOL OemToCharBuffA(LPCSTR source, LPSTR target, DWORD length)
{
    LOG_CALL("OemToCharBuffA", Bytes(source, length), Ptr(target), Num(length));
    std::string converted = sim::OemToAnsi(std::string(source, length));
    std::memcpy(target, converted.data(), length);
    return TRUE;
}
