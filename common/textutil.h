// SQL literal and date-text helpers. All texts are CP932 byte strings; lengths and positions count bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plx {

// A text as an SQL value: quoted with inner quotes doubled; empty text is NULL.
std::string SqlLiteral(std::string_view text);

// The text of a fixed-length field up to its first zero byte. A null field shows a message and gives "".
std::string BufToStr(const char* field, int length);

// Exactly `width` bytes: padded with blanks or cut, never ending in half a double-byte character.
std::string FixWidth(std::string_view text, int width);

// The longest start of `text` of at most `width` bytes that does not end in half a character.
std::string_view ClipBytes(std::string_view text, size_t width);

// Decimal digits of `value`, padded on the left with "0" to `width`.
std::string ZeroPad(long long value, int width);

// Without half-width blanks, tabs and full-width blanks at both ends.
std::string TrimBlanks(std::string_view text);

// With each byte A-Z made a-z and every other byte as it was, whatever the locale: for texts of
// ASCII names (header names, keys, schemes), where a Shift_JIS second byte is not expected.
std::string AsciiLower(std::string_view text);

// Without the half-width blanks at its end: a CHAR value of the database as the text it holds
// (the client fills it with blanks to its width, twice its length in a double-byte character set).
std::string TrimTrailingBlanks(std::string_view text);

// YYYYMMDD to YYYY/MM/DD, YYYYMMDDHHNN to YYYY/MM/DD HH:NN; empty stays empty.
std::string YmdSlash(std::string_view ymd);
std::string YmdhnSlash(std::string_view ymdhn);

// The executable's modification date as YYYY.MM.DD.
std::string ExeDate();

// Every occurrence of `pattern` removed, scanning left to right without rescanning. An occurrence
// counts only where it starts and ends on whole characters, so no double-byte character is cut.
std::string RemoveText(std::string_view text, std::string_view pattern);

// Every full-width blank removed, on character boundaries only (a second byte followed by "@"
// is never taken for one).
std::string RemoveFullWidthBlanks(std::string_view text);

// Lines split at CR LF, LF or CR; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// The lines joined, each ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Decimal integer text to a number; anything that is not one (including overflow) gives 0.
long long TextToInt(std::string_view text);

}  // namespace plx
