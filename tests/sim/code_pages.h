// Code pages of the simulated Windows: text inside the simulation is UTF-8; the A functions see
// it in an ANSI code page modelled on 1252, the command interpreter in an OEM one modelled on 437,
// and the W functions in UTF-16. A few letters stand for each kind: in both code pages (é ö ï ü
// É è), in ANSI only (Š Ø ð), in OEM only (α), in neither (Ł ł ą and every other letter).
#ifndef CODE_PAGES_H
#define CODE_PAGES_H

#include <string>

namespace sim {

// Plain ASCII reads the same in every code page and in UTF-8, and most paths are plain ASCII.
bool IsPlainAscii(const std::string& text);

// ANSI bytes to text: every byte is one character, so that any byte string comes back intact.
std::string TextFromAnsi(const std::string& ansi);
// Text to ANSI bytes, a best fit or "?" for a letter that the code page lacks.
std::string TextToAnsi(const std::string& text);
// The same between text and UTF-16 (letters of the basic plane only).
std::u16string TextToWide(const std::string& text);
std::string TextFromWide(const std::u16string& wide);
// ANSI bytes to OEM bytes and back, as CharToOemBuffA and OemToCharBuffA convert them.
std::string AnsiToOem(const std::string& ansi);
std::string OemToAnsi(const std::string& oem);
// Text as tests write it: UTF-8, where a byte that starts no valid UTF-8 sequence stands for its
// ANSI letter (so that raw bytes of a fuzzed path still name one file).
std::string TextFromTest(const std::string& text);

}  // namespace sim

#endif
