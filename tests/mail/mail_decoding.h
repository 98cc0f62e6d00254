// Reading received mail back in tests: ISO-2022-JP decoding, header words, message parts.
#pragma once

#include <string>
#include <vector>

namespace plxtest {

// ISO-2022-JP to UTF-8, decoded independently of the encoder under test: the JIS X 0208 pairs
// are lifted to EUC-JP (each byte | 0x80) and converted by the system's "EUC-JP-MS" table,
// which maps "－", "～" and the NEC row 13 the way CP932 does.
std::string Iso2022JpToUtf8(const std::string& jis);

// A header value with its encoded words decoded (ISO-2022-JP, B encoding) and folds removed.
std::string DecodeHeaderValue(const std::string& value);

// The unfolded value of the first header `name` of a message, or empty text.
std::string HeaderValue(const std::string& message, const std::string& name);

// The body of a message split into lines at CR LF.
std::vector<std::string> BodyLines(const std::string& message);

}  // namespace plxtest
