// CP932 text to ISO-2022-JP for mail: body lines and MIME-encoded header words.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plx {

// One line of CP932 text as ISO-2022-JP (7 bit), starting and ending in ASCII. Double-byte
// characters go to JIS X 0208 by row and cell, so the symbols whose CP932 code points differ
// from JIS (full-width hyphen-minus, wave dash, ...) keep their JIS position. The NEC special
// characters (circled digits and the like) and the NEC-selected extension kanji travel in their
// rows 13 and 89-92, as Japanese mail programs expect; the IBM extension kanji are sent as their
// NEC-selected twins; half-width katakana become full-width. What has no place in JIS at all
// (user-defined characters, broken bytes) becomes the geta mark or "?": nothing is dropped.
// Line breaks, ESC, SO and SI are not expected here and become "?".
std::string LineToIso2022Jp(std::string_view cp932);

// One line of CP932 text as ISO-2022-JP lines of at most `maxBytes` bytes each (mail allows 998
// before CR LF), cut between characters, each piece ending in ASCII. A line that fits is one piece.
std::vector<std::string> LineToIso2022JpPieces(std::string_view cp932, size_t maxBytes);

// A whole text, split at CR LF, CR or LF; the lines are joined again with CR LF.
std::string TextToIso2022Jp(std::string_view cp932);

// A header value: printable ASCII stays as it is; anything else becomes one or more
// "=?ISO-2022-JP?B?...?=" words of at most 75 characters each, folded with CR LF and a blank.
// Line breaks in the value become blanks, so a value can never start a header of its own.
std::string EncodeHeaderWords(std::string_view cp932);

}  // namespace plx
