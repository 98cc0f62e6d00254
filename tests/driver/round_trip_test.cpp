// Seeded random round trips: values of every parameter type, with boundary lengths and NULLs, go in
// through setParameter and execute, come back through the getters and through a procedure's
// outputs, and are checked once more by isql-fb against literals of the same values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "driver/value_formats.h"
#include "tests/driver/driver_test_support.h"
#include "tests/support/firebird_db.h"

using namespace drivertest;
using basalt::DayNumber;
using basalt::FormatScaled;

namespace {

constexpr int kCases = 5000;
constexpr std::uint32_t kSeed = 20240617;

enum Kind {
    kSmall,
    kInteger,
    kNumeric9,
    kNumeric18,
    kDouble,
    kFloat,
    kChar,
    kVarchar,
    kDate,
    kTime,
    kStamp,
    kBinaryBlob,
    kTextBlob,
    kKinds
};

struct KindInfo {
    const char* sqlType;
    std::uint16_t fieldType;
    std::uint16_t subType;
    std::uint32_t outputLength;  // what an output parameter of this kind is declared with
    int scale;                   // decimal places of the numeric kinds
};

const KindInfo kInfo[kKinds] = {
    {"SMALLINT", kFieldInt16, 0, 2, 0},
    {"INTEGER", kFieldInt32, 0, 4, 0},
    {"NUMERIC(9,2)", kFieldBcd, 0, sizeof(BcdValue), 2},
    {"NUMERIC(18,4)", kFieldBcd, 0, sizeof(BcdValue), 4},
    {"DOUBLE PRECISION", kFieldFloat, 0, 8, 0},
    {"FLOAT", kFieldFloat, 0, 4, 0},
    {"CHAR(40)", kFieldString, kSubtypeFixed, 40, 0},
    {"VARCHAR(32765)", kFieldString, 0, 32765, 0},
    {"DATE", kFieldDate, 0, 4, 0},
    {"TIME", kFieldTime, 0, 4, 0},
    {"TIMESTAMP", kFieldTimestamp, 0, sizeof(TimestampValue), 0},
    {"BLOB SUB_TYPE BINARY", kFieldBlob, kSubtypeBinary, 18, 0},
    {"BLOB SUB_TYPE TEXT", kFieldBlob, kSubtypeMemo, 18, 0},
};

// One generated case: what goes in and what must come of it.
struct Case {
    std::int32_t id = 0;
    Kind kind = kSmall;
    bool null = false;
    std::int64_t number = 0;  // integers, scaled decimals, day numbers, milliseconds
    double real = 0;
    std::string bytes;  // texts and blobs
    std::uint16_t stringSubType = 0;
    TimestampValue stamp{};
    ResultCode setResult = kResultOk;  // what setParameter must answer
    bool stored = true;                // whether execute must succeed
};

std::string Schema() {
    std::string sql = "SET TERM ^ ;\n";
    for (int k = 0; k < kKinds; ++k) {
        std::string n = std::to_string(k), type = kInfo[k].sqlType;
        sql += "CREATE TABLE T" + n + " (ID INTEGER, V " + type + ")^\n";
        sql += "CREATE TABLE E" + n + " (ID INTEGER, V " + type + ")^\n";
        sql += "CREATE PROCEDURE P" + n + " (X " + type + ") RETURNS (Y " + type + ") AS BEGIN Y = X; END^\n";
    }
    return sql + "SET TERM ; ^\n";
}

class Generator {
public:
    explicit Generator(std::uint32_t seed) : random_(seed) {}

    Case next(std::int32_t id) {
        Case c;
        c.id = id;
        c.kind = static_cast<Kind>(below(kKinds));
        c.null = below(10) == 0;
        bool edge = below(3) == 0;   // a boundary value instead of an ordinary one
        bool large = below(6) == 0;  // texts and blobs near their limits are costly: fewer of them
        switch (c.kind) {
            case kSmall:
                c.number = edge ? pick<std::int64_t>({-32768, 32767, 0, -1}) : between(-32768, 32767);
                break;
            case kInteger:
                c.number = edge ? pick<std::int64_t>({INT32_MIN, INT32_MAX, 0}) : between(INT32_MIN, INT32_MAX);
                break;
            case kNumeric9:
                c.number =
                    edge ? pick<std::int64_t>({999999999, -999999999, 0, 1, -1}) : between(-999999999, 999999999);
                break;
            case kNumeric18:  // fifteen digits: the driver carries decimals through a double
                c.number = edge ? pick<std::int64_t>({999999999999999, -999999999999999, 0, -1})
                                : between(-999999999999999, 999999999999999);
                break;
            case kDouble:
                // The engine's own literals cannot say much smaller magnitudes, which isql-fb needs below.
                c.real = edge ? pick<double>({0.0, 1e300, -1e300, 1e-100, -1e-100}) : ordinaryDouble(100, 300);
                break;
            case kFloat:
                c.real = static_cast<float>(edge ? pick<double>({0.0, 3e38, -3e38, 1e-30}) : ordinaryDouble(30, 37));
                break;
            case kChar:
            case kVarchar: {
                std::uint32_t limit = c.kind == kChar ? 40 : 32765;
                std::uint32_t length = edge && (large || c.kind == kChar)
                                           ? pick<std::uint32_t>({0, 1, limit - 1, limit, limit + 1})
                                           : static_cast<std::uint32_t>(between(0, edge ? 1 : 200));
                c.bytes = text(length, 1);
                // The engine cuts trailing blanks silently: an over-long text ends in something else.
                if (length > limit) c.bytes.back() = 'x';
                c.stringSubType = below(2) == 0 ? kSubtypeFixed : 0;
                if (length > 32765) c.setResult = kResultInvalidValue;
                c.stored = length <= limit;
                break;
            }
            case kDate:
                c.number = edge ? pick<std::int64_t>(
                                      {1, basalt::kLastDayNumber, 0, basalt::kLastDayNumber + 1, INT32_MAX, INT32_MIN})
                                : between(1, basalt::kLastDayNumber);
                if (c.number < 1 || c.number > basalt::kLastDayNumber) c.setResult = kResultInvalidValue;
                break;
            case kTime:
                c.number = edge ? pick<std::int64_t>({0, 86'399'999, 86'400'000, -1}) : between(0, 86'399'999);
                if (c.number < 0) c.setResult = kResultInvalidValue;
                break;
            case kStamp: {
                std::int64_t day =
                    edge ? pick<std::int64_t>({1, basalt::kLastDayNumber}) : between(1, basalt::kLastDayNumber);
                int y = 0, m = 0, d = 0;
                basalt::CalendarDate(static_cast<std::int32_t>(day), &y, &m, &d);
                c.stamp = {static_cast<std::int16_t>(y),
                           static_cast<std::uint16_t>(m),
                           static_cast<std::uint16_t>(d),
                           static_cast<std::uint16_t>(between(0, 23)),
                           static_cast<std::uint16_t>(between(0, 59)),
                           static_cast<std::uint16_t>(between(0, 59)),
                           0};
                if (edge && below(2) == 0) {  // a date that does not exist
                    c.stamp.month = pick<std::uint16_t>({0, 13, 2});
                    c.stamp.day = 30;
                    c.setResult = kResultInvalidValue;
                }
                break;
            }
            case kBinaryBlob:
            case kTextBlob: {
                auto length = edge && large ? pick<std::uint32_t>({65535, 65536, 70001})
                                            : static_cast<std::uint32_t>(edge ? between(0, 1) : between(0, 3000));
                c.bytes = text(length, c.kind == kTextBlob ? 1 : 0);
                break;
            }
            case kKinds:
                break;
        }
        if (c.null) {
            c.setResult = kResultOk;
            c.stored = true;
        }
        if (c.setResult != kResultOk) c.stored = false;
        return c;
    }

private:
    std::int64_t between(std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
    }
    int below(int n) { return static_cast<int>(between(0, n - 1)); }
    template <class T>
    T pick(std::initializer_list<T> values) {
        return values.begin()[below(static_cast<int>(values.size()))];
    }
    double ordinaryDouble(int minExponent, int maxExponent) {
        double mantissa = std::uniform_real_distribution<double>(-10, 10)(random_);
        return mantissa * std::pow(10.0, static_cast<double>(between(-minExponent, maxExponent - 1)));
    }
    std::string text(std::uint32_t length, int lowest) {
        std::string bytes(length, '\0');
        for (char& b : bytes) b = static_cast<char>(between(lowest, 255));
        return bytes;
    }

    std::mt19937 random_;
};

BcdValue ToBcd(std::int64_t scaled, int scale) {
    char text[basalt::kDecimalTextSize];
    FormatScaled(scaled, -scale, text);
    BcdValue bcd{};
    basalt::PackBcd(text, &bcd);
    return bcd;
}

// A packed decimal as a scaled integer at `scale` places.
std::int64_t FromBcd(const BcdValue& bcd, int scale) {
    std::int64_t value = 0;
    int places = bcd.signScale & 0x3F;
    for (int i = 0; i < bcd.precision; ++i) value = value * 10 + ((bcd.digits[i / 2] >> (i % 2 == 0 ? 4 : 0)) & 0xF);
    for (; places < scale; ++places) value *= 10;
    for (; places > scale; --places) value /= 10;
    return (bcd.signScale & 0x80) ? -value : value;
}

ResultCode SetValue(SQLCommand* command, std::uint16_t number, const Case& c) {
    const KindInfo& info = kInfo[c.kind];
    std::int16_t small = static_cast<std::int16_t>(c.number);
    std::int32_t wide = static_cast<std::int32_t>(c.number);
    float single = static_cast<float>(c.real);
    BcdValue bcd = ToBcd(c.number, info.scale);
    const void* value = &wide;
    std::uint32_t length = 4;
    std::uint16_t subType = info.subType;
    switch (info.fieldType) {
        case kFieldInt16:
            value = &small;
            length = 2;
            break;
        case kFieldBcd:
            value = &bcd;
            length = sizeof bcd;
            break;
        case kFieldFloat:
            value = c.kind == kFloat ? static_cast<const void*>(&single) : &c.real;
            length = c.kind == kFloat ? 4 : 8;
            break;
        case kFieldString:
            value = c.bytes.c_str();
            length = 0;
            subType = c.stringSubType;
            break;
        case kFieldTimestamp:
            value = &c.stamp;
            length = sizeof c.stamp;
            break;
        case kFieldBlob:
            value = c.bytes.data();
            length = static_cast<std::uint32_t>(c.bytes.size());
            break;
    }
    return command->setParameter(number, 0, kParamInput, info.fieldType, subType, 0, -info.scale, length, value,
                                 c.null ? 1 : 0);
}

// What the driver must hand back for a stored case, as comparable text.
std::string Expected(const Case& c) {
    if (c.null) return "<NULL>";
    switch (c.kind) {
        case kDouble:
        case kFloat: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", c.real);
            return text;
        }
        case kChar:
            return c.bytes + std::string(40 - c.bytes.size(), ' ');
        case kVarchar:
        case kBinaryBlob:
        case kTextBlob:
            return c.bytes;
        case kTime:
            return std::to_string(c.number >= 86'400'000 ? 0 : c.number / 1000 * 1000);
        case kStamp:
            return std::to_string(DayNumber(c.stamp.year, c.stamp.month, c.stamp.day)) + " " +
                   std::to_string((c.stamp.hour * 60 + c.stamp.minute) * 60 + c.stamp.second);
        default:
            return std::to_string(c.number);
    }
}

}  // namespace

namespace {

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

// Reads back text, blob and fixed-size values into the form Expected gives.
struct Reader {
    // `fetch` copies at most `length` bytes of the value into `buffer`.
    template <class Fetch>
    static std::string Bytes(std::size_t expected, Fetch fetch) {
        // Two fills tell bytes written from bytes left alone.
        std::string first(expected + 8, '\x5A'), second(expected + 8, '\xA5');
        if (!fetch(first.data(), first.size()) || !fetch(second.data(), second.size())) return "<failed>";
        std::size_t n = 0;
        while (n < first.size() && (first[n] == second[n])) ++n;
        return first.substr(0, n);
    }
};

std::string ColumnText(SQLCursor* cursor, Kind kind) {
    std::int32_t blank = -1;
    std::string result;
    auto done = [&](ResultCode r, const std::string& value) {
        if (r != kResultOk) return "<result " + std::to_string(r) + ">";
        return blank == 1 ? std::string("<NULL>") : value;
    };
    switch (kInfo[kind].fieldType) {
        case kFieldInt16: {
            std::int16_t v = 0;
            ResultCode r = cursor->getInt16(2, &v, &blank);
            return done(r, std::to_string(v));
        }
        case kFieldInt32: {
            std::int32_t v = 0;
            ResultCode r = cursor->getInt32(2, &v, &blank);
            return done(r, std::to_string(v));
        }
        case kFieldBcd: {
            BcdValue v{};
            ResultCode r = cursor->getBcd(2, &v, &blank);
            return done(r, std::to_string(FromBcd(v, kInfo[kind].scale)));
        }
        case kFieldFloat: {
            double v = 0;
            char text[40];
            ResultCode r = cursor->getDouble(2, &v, &blank);
            std::snprintf(text, sizeof text, "%.17g", v);
            return done(r, text);
        }
        case kFieldString: {
            std::string v(32766, '\0');
            ResultCode r = cursor->getString(2, v.data(), &blank);
            return done(r, v.c_str());
        }
        case kFieldDate:
        case kFieldTime: {
            std::int32_t v = 0;
            ResultCode r =
                kInfo[kind].fieldType == kFieldDate ? cursor->getDate(2, &v, &blank) : cursor->getTime(2, &v, &blank);
            return done(r, std::to_string(v));
        }
        case kFieldTimestamp: {
            TimestampValue v{};
            ResultCode r = cursor->getTimestamp(2, &v, &blank);
            return done(r, std::to_string(DayNumber(v.year, v.month, v.day)) + " " +
                               std::to_string((v.hour * 60 + v.minute) * 60 + v.second));
        }
        default: {
            std::uint32_t size = 0;
            ResultCode r = cursor->getBlobSize(2, &size, &blank);
            if (r != kResultOk || blank == 1) return done(r, "");
            return done(r, Reader::Bytes(size, [&](char* buffer, std::size_t length) {
                            return cursor->getBlob(2, buffer, &blank, static_cast<std::uint32_t>(length)) == kResultOk;
                        }));
        }
    }
}

std::string OutputText(SQLCommand* call, const Case& c) {
    std::int32_t isNull = -1;
    auto fixed = [&](auto value) -> std::string {
        if (call->getParameter(2, 0, &value, sizeof value, &isNull) != kResultOk) return "<failed>";
        if (isNull == 1) return "<NULL>";
        if constexpr (std::is_same_v<decltype(value), BcdValue>) {
            return std::to_string(FromBcd(value, kInfo[c.kind].scale));
        } else if constexpr (std::is_floating_point_v<decltype(value)>) {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", static_cast<double>(value));
            return text;
        } else if constexpr (std::is_same_v<decltype(value), TimestampValue>) {
            return std::to_string(DayNumber(value.year, value.month, value.day)) + " " +
                   std::to_string((value.hour * 60 + value.minute) * 60 + value.second);
        } else {
            return std::to_string(value);
        }
    };
    switch (c.kind) {
        case kSmall:
            return fixed(std::int16_t{});
        case kNumeric9:
        case kNumeric18:
            return fixed(BcdValue{});
        case kDouble:
            return fixed(double{});
        case kFloat:
            return fixed(float{});
        case kStamp:
            return fixed(TimestampValue{});
        case kChar:
        case kVarchar: {
            std::string value(32766, '\0');
            if (call->getParameter(2, 0, value.data(), 32766, &isNull) != kResultOk) return "<failed>";
            return isNull == 1 ? "<NULL>" : value.c_str();
        }
        case kBinaryBlob:
        case kTextBlob: {
            std::string value = Reader::Bytes(c.bytes.size(), [&](char* buffer, std::size_t length) {
                return call->getParameter(2, 0, buffer, static_cast<std::int32_t>(length), &isNull) == kResultOk;
            });
            return isNull == 1 ? "<NULL>" : value;
        }
        default:
            return fixed(std::int32_t{});
    }
}

// isql-fb statements that put the expected value of `c` into its E table, as literals.
std::string IsqlInsert(const Case& c) {
    std::string table = "E" + std::to_string(c.kind), id = std::to_string(c.id), literal, rest;
    char text[64];
    if (c.null) {
        literal = "NULL";
    } else if (c.kind == kDouble || c.kind == kFloat) {
        std::snprintf(text, sizeof text, "%.16e", c.real);
        literal = text;
    } else if (c.kind == kNumeric9 || c.kind == kNumeric18) {
        FormatScaled(c.number, -kInfo[c.kind].scale, text);
        literal = text;
    } else if (c.kind == kDate || c.kind == kStamp) {
        int y = c.stamp.year, m = c.stamp.month, d = c.stamp.day;
        if (c.kind == kDate) basalt::CalendarDate(static_cast<std::int32_t>(c.number), &y, &m, &d);
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
        literal = c.kind == kDate ? "DATE '" + std::string(text) + "'" : "TIMESTAMP '" + std::string(text);
        if (c.kind == kStamp) {
            std::snprintf(text, sizeof text, " %02d:%02d:%02d'", c.stamp.hour, c.stamp.minute, c.stamp.second);
            literal += text;
        }
    } else if (c.kind == kTime) {
        std::int64_t seconds = std::stoll(Expected(c)) / 1000;
        std::snprintf(text, sizeof text, "TIME '%02d:%02d:%02d'", static_cast<int>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
        literal = text;
    } else if (c.kind == kSmall || c.kind == kInteger) {
        literal = std::to_string(c.number);
    } else {
        // A statement holds at most 64 KiB: long values arrive in pieces.
        constexpr std::size_t kPiece = 16000;
        literal = "x'" + Hex(c.bytes.substr(0, kPiece)) + "'";
        for (std::size_t at = kPiece; at < c.bytes.size(); at += kPiece)
            rest +=
                "UPDATE " + table + " SET V = V || x'" + Hex(c.bytes.substr(at, kPiece)) + "' WHERE ID = " + id + ";\n";
    }
    return "INSERT INTO " + table + " VALUES (" + id + ", " + literal + ");\n" + rest;
}

// A query that lists every row where the driver's table and isql's table differ.
std::string IsqlCompare(int kind) {
    std::string n = std::to_string(kind), differs = "T.V IS DISTINCT FROM E.V";
    if (kind == kDouble || kind == kFloat)
        differs = "(T.V IS NULL) <> (E.V IS NULL) OR ABS(T.V - E.V) > ABS(E.V) * " +
                  std::string(kind == kDouble ? "1e-14" : "1e-6");
    if (kInfo[kind].fieldType == kFieldBlob) {
        // Blobs compare by their bytes, piece by piece.
        differs = "OCTET_LENGTH(T.V) IS DISTINCT FROM OCTET_LENGTH(E.V)";
        for (int piece = 0; piece < 5; ++piece) {
            std::string from = std::to_string(piece * 16000 + 1);
            auto part = [&](const char* side) {
                return "CAST(SUBSTRING(" + std::string(side) + ".V FROM " + from +
                       " FOR 16000) AS VARCHAR(16000) CHARACTER SET OCTETS)";
            };
            differs += " OR " + part("T") + " IS DISTINCT FROM " + part("E");
        }
    }
    return "SELECT 'MISMATCH', " + n + ", COALESCE(T.ID, E.ID) FROM T" + n + " T FULL JOIN E" + n +
           " E ON T.ID = E.ID WHERE T.ID IS NULL OR E.ID IS NULL OR " + differs + ";\n";
}

}  // namespace

TEST(RoundTrip, RandomValuesComeBackThroughGettersProcedureOutputsAndIsql) {
    RealDatabase database(Schema());
    // Thousands of small writes: waiting for the disk after each would take most of the run.
    int status = -1;
    plxtest::RunCommand("gfix -write async -user " + std::string(plxtest::kDbUser) + " -password " +
                            plxtest::kDbPassword + " '" + database.path() + "' 2>&1",
                        &status);
    ASSERT_EQ(status, 0);
    Ref<SQLConnection> connection(database.connect());
    Ref<SQLCommand> inserts[kKinds], calls[kKinds];
    for (int k = 0; k < kKinds; ++k) {
        ASSERT_EQ(connection->createCommand(inserts[k].out()), kResultOk);
        std::string sql = "INSERT INTO T" + std::to_string(k) + " (ID, V) VALUES (?, ?)";
        ASSERT_EQ(inserts[k]->prepare(sql.c_str(), 2), kResultOk) << ErrorText(inserts[k].get());
        ASSERT_EQ(connection->createCommand(calls[k].out()), kResultOk);
        calls[k]->setOption(kCommOptionStoredProc, 1);
        ASSERT_EQ(calls[k]->prepare(("P" + std::to_string(k)).c_str(), 2), kResultOk);
    }

    Generator generator(kSeed);
    std::vector<Case> cases;
    int failures = 0;
    std::string report;
    auto fail = [&](const Case& c, const std::string& what) {
        if (++failures <= 10)
            report += "case " + std::to_string(c.id) + " kind " + std::to_string(c.kind) + ": " + what + "\n";
    };
    for (std::int32_t id = 1; id <= kCases; ++id) {
        Case c = generator.next(id);
        cases.push_back(c);
        SQLCommand* insert = inserts[c.kind].get();
        insert->setParameter(1, 0, kParamInput, kFieldInt32, 0, 0, 0, 4, &id, 0);
        ResultCode set = SetValue(insert, 2, c);
        if (set != c.setResult) fail(c, "setParameter gave " + std::to_string(set));
        if (set != kResultOk) continue;
        ResultCode executed = insert->execute(nullptr);
        if ((executed == kResultOk) != c.stored)
            fail(c, "execute gave " + std::to_string(executed) + " " + ErrorText(insert));
        if (executed != kResultOk && ErrorText(insert).empty()) fail(c, "a failure without text");

        SQLCommand* call = calls[c.kind].get();
        std::string unused(40000, '\0');
        SetValue(call, 1, c);
        std::uint16_t outputSubType = c.kind == kChar ? kSubtypeFixed : kInfo[c.kind].subType;
        call->setParameter(2, 0, kParamOutput, kInfo[c.kind].fieldType, outputSubType, 0, -kInfo[c.kind].scale,
                           kInfo[c.kind].outputLength, unused.data(), 0);
        executed = call->execute(nullptr);
        if ((executed == kResultOk) != c.stored)
            fail(c, "procedure gave " + std::to_string(executed) + " " + ErrorText(call));
        if (executed == kResultOk && OutputText(call, c) != Expected(c)) fail(c, "procedure output differs");
    }
    for (int k = 0; k < kKinds; ++k) {
        EXPECT_EQ(inserts[k]->close(), kResultOk);
        calls[k]->close();
    }

    std::map<std::int32_t, std::string> read;
    for (int k = 0; k < kKinds; ++k) {
        Query rows(connection.get(), "SELECT ID, V FROM T" + std::to_string(k));
        std::int32_t id = 0, blank = -1;
        while (rows.next() && rows.cursor->getInt32(1, &id, &blank) == kResultOk)
            read[id] = ColumnText(rows.cursor.get(), static_cast<Kind>(k));
    }
    std::size_t stored = 0;
    for (const Case& c : cases) {
        if (!c.stored) continue;
        ++stored;
        auto found = read.find(c.id);
        if (found == read.end())
            fail(c, "not stored");
        else if (found->second != Expected(c))
            fail(c, "read back differs");
    }
    EXPECT_EQ(read.size(), stored) << "rows that should not exist";
    ASSERT_EQ(connection->disconnect(), kResultOk);

    // The same values as isql-fb's literals, compared by the engine with what the driver stored.
    std::string script;
    for (const Case& c : cases)
        if (c.stored) script += IsqlInsert(c);
    for (int k = 0; k < kKinds; ++k) script += IsqlCompare(k);
    std::string output = plxtest::RunIsql(database.path(), script + "SELECT 'COMPARED' FROM RDB$DATABASE;\n", false);
    EXPECT_NE(output.find("COMPARED"), std::string::npos) << output.substr(0, 2000);
    EXPECT_EQ(output.find("MISMATCH"), std::string::npos) << output.substr(0, 2000);
    EXPECT_EQ(failures, 0) << report;
    EXPECT_GT(stored, static_cast<std::size_t>(kCases * 3 / 4));
}
