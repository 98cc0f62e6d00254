// Mail message: recipient list, body lines and the composed message text.
#include "mail/mail_message.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "common/clock.h"
#include "common/textutil.h"
#include "mail/iso2022jp.h"

namespace plx {
namespace {

// A header value that is not MIME-encoded: control characters (a line break above all) would
// let a setting start headers of its own, so they become blanks.
std::string PlainHeaderValue(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return out;
}

// The comma-separated entries of a recipient list, each trimmed; empty ones included.
std::vector<std::string> RecipientPieces(const std::string& recipients) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= recipients.size()) {
        size_t comma = recipients.find(',', start);
        if (comma == std::string::npos) comma = recipients.size();
        pieces.push_back(TrimBlanks(recipients.substr(start, comma - start)));
        start = comma + 1;
    }
    return pieces;
}

// The To header: as written when it is plain ASCII; otherwise each "name <address>" gets its name
// as encoded words (the addresses themselves are ASCII by then: the job refuses any other).
std::string RecipientHeader(const std::string& recipients) {
    bool plain = true;
    for (char c : recipients) plain = plain && static_cast<unsigned char>(c) < 0x80;
    if (plain) return PlainHeaderValue(recipients);
    std::string out;
    for (std::string piece : RecipientPieces(recipients)) {
        size_t open = piece.find('<');
        if (open != std::string::npos) {
            std::string name = TrimBlanks(piece.substr(0, open));
            std::string address = piece.substr(open);
            piece =
                name.empty() ? PlainHeaderValue(address) : EncodeHeaderWords(name) + " " + PlainHeaderValue(address);
        } else {
            piece = PlainHeaderValue(piece);
        }
        if (!out.empty()) out += ",";
        out += piece;
    }
    return out;
}

// Mail lines may be at most 998 bytes long before their CR LF.
constexpr size_t kMaxLineBytes = 998;

std::string MessageId(const LocalDateTime& t) {
    static std::atomic<unsigned> counter{0};
    return "<" + FormatDateTime(t, "YYYYMMDDHHNNSS") + "." + std::to_string(::getpid()) + "." +
           std::to_string(++counter) + "@pilonix>";
}

}  // namespace

std::vector<std::string> RecipientAddresses(const std::string& recipients) {
    std::vector<std::string> out;
    for (std::string piece : RecipientPieces(recipients)) {
        size_t open = piece.find('<');
        size_t close = piece.find('>', open == std::string::npos ? 0 : open);
        if (open != std::string::npos && close != std::string::npos)
            piece = TrimBlanks(piece.substr(open + 1, close - open - 1));
        if (!piece.empty()) out.push_back(piece);
    }
    return out;
}

std::string ComposeMessage(const MailMessage& message, const std::string& date) {
    std::string from = message.fromName.empty()
                           ? "<" + PlainHeaderValue(message.fromAddress) + ">"
                           : EncodeHeaderWords(message.fromName) + " <" + PlainHeaderValue(message.fromAddress) + ">";
    std::string out;
    out += "Date: " + date + "\r\n";
    out += "From: " + from + "\r\n";
    out += "To: " + RecipientHeader(message.recipients) + "\r\n";
    out += "Subject: " + EncodeHeaderWords(message.subject) + "\r\n";
    out += "Message-ID: " + MessageId(CurrentClock().Now()) + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: " + PlainHeaderValue(message.contentType) + "; charset=" + PlainHeaderValue(message.charSet) +
           "\r\n";
    out += "Content-Transfer-Encoding: " + PlainHeaderValue(message.contentTransferEncoding) + "\r\n";
    out += "\r\n";
    for (const std::string& line : message.body)
        for (const std::string& piece : LineToIso2022JpPieces(line, kMaxLineBytes)) out += piece + "\r\n";
    return out;
}

std::string MailDateNow() {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    LocalDateTime t = CurrentClock().Now();
    using namespace std::chrono;
    year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
    unsigned weekday = ymd.ok() ? std::chrono::weekday{sys_days{ymd}}.c_encoding() : 0;
    // The zone is the system's: the clock seam gives local wall time without one.
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    long offset = local.tm_gmtoff / 60;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0) offset = -offset;
    char zone[16];
    std::snprintf(zone, sizeof zone, "%c%02ld%02ld", sign, offset / 60 % 100, offset % 60);
    return std::string(days[weekday]) + ", " + FormatDateTime(t, "DD ") +
           months[(t.month >= 1 && t.month <= 12) ? t.month - 1 : 0] + FormatDateTime(t, " YYYY HH:NN:SS ") + zone;
}

}  // namespace plx
