// Test-side decoding of received mail.
#include "tests/mail/mail_decoding.h"

#include <iconv.h>

#include <stdexcept>

namespace plxtest {
namespace {

std::string EucJpMsToUtf8(const std::string& euc) {
    iconv_t cd = iconv_open("UTF-8", "EUC-JP-MS");
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no EUC-JP-MS table");
    std::string out(euc.size() * 3 + 8, '\0');
    char* in = const_cast<char*>(euc.data());
    size_t inLeft = euc.size();
    char* o = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) throw std::runtime_error("undecodable JIS text");
    out.resize(out.size() - outLeft);
    return out;
}

std::string Base64Decode(const std::string& text) {
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        size_t d = digits.find(c);
        if (d == std::string::npos) continue;  // "=" and folds
        value = value << 6 | static_cast<unsigned>(d);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(value >> bits & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::string Iso2022JpToUtf8(const std::string& jis) {
    std::string euc;
    bool twoByte = false;
    for (size_t i = 0; i < jis.size(); ++i) {
        if (jis[i] == 0x1B && i + 2 < jis.size()) {
            std::string escape = jis.substr(i + 1, 2);
            if (escape == "$B" || escape == "$@")
                twoByte = true;
            else if (escape == "(B" || escape == "(J")
                twoByte = false;
            else
                throw std::runtime_error("unexpected escape sequence");
            i += 2;
            continue;
        }
        auto c = static_cast<unsigned char>(jis[i]);
        if (c >= 0x80) throw std::runtime_error("8-bit byte in ISO-2022-JP text");
        if (twoByte && (c == '\r' || c == '\n')) throw std::runtime_error("line break in JIS mode");
        euc += twoByte ? static_cast<char>(c | 0x80) : static_cast<char>(c);
    }
    if (twoByte) throw std::runtime_error("text ends in JIS mode");
    return EucJpMsToUtf8(euc);
}

std::string DecodeHeaderValue(const std::string& value) {
    std::string out;
    size_t pos = 0;
    bool lastWasWord = false;
    while (pos < value.size()) {
        size_t start = value.find("=?", pos);
        if (start == std::string::npos) {
            out += value.substr(pos);
            break;
        }
        std::string between = value.substr(pos, start - pos);
        // Blanks between two encoded words are not part of the text.
        if (!(lastWasWord && between.find_first_not_of(" \t\r\n") == std::string::npos)) out += between;
        size_t q1 = value.find('?', start + 2);
        size_t q2 = value.find('?', q1 + 1);
        size_t end = value.find("?=", q2 + 1);
        if (q1 == std::string::npos || q2 == std::string::npos || end == std::string::npos)
            throw std::runtime_error("broken encoded word");
        std::string charset = value.substr(start + 2, q1 - start - 2);
        std::string encoding = value.substr(q1 + 1, q2 - q1 - 1);
        if ((charset != "ISO-2022-JP" && charset != "iso-2022-jp") || (encoding != "B" && encoding != "b"))
            throw std::runtime_error("unexpected encoded word " + charset + "/" + encoding);
        out += Iso2022JpToUtf8(Base64Decode(value.substr(q2 + 1, end - q2 - 1)));
        pos = end + 2;
        lastWasWord = true;
    }
    return out;
}

std::string HeaderValue(const std::string& message, const std::string& name) {
    std::string head = message.substr(0, message.find("\r\n\r\n"));
    size_t pos = 0;
    while (pos < head.size()) {
        size_t end = head.find("\r\n", pos);
        if (end == std::string::npos) end = head.size();
        if (head.compare(pos, name.size() + 1, name + ":") == 0) {
            std::string value = head.substr(pos + name.size() + 1, end - pos - name.size() - 1);
            while (end + 2 < head.size() && (head[end + 2] == ' ' || head[end + 2] == '\t')) {
                size_t next = head.find("\r\n", end + 2);
                if (next == std::string::npos) next = head.size();
                value += head.substr(end + 2, next - end - 2);
                end = next;
            }
            size_t first = value.find_first_not_of(' ');
            return first == std::string::npos ? "" : value.substr(first);
        }
        pos = end + 2;
    }
    return {};
}

std::vector<std::string> BodyLines(const std::string& message) {
    size_t start = message.find("\r\n\r\n");
    if (start == std::string::npos) return {};
    start += 4;
    std::vector<std::string> lines;
    while (start < message.size()) {
        size_t end = message.find("\r\n", start);
        if (end == std::string::npos) end = message.size();
        lines.push_back(message.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

}  // namespace plxtest
