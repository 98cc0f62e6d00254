// A command's parameters: the per-type converters of setParameter, binding, and getParameter.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "driver/basaltcomm.h"
#include "driver/value_formats.h"

namespace basalt {
namespace {

// The longest text the client's 16-bit lengths carry, with room for a varying value's prefix.
constexpr std::uint32_t kMaxString = 32765;
constexpr std::int32_t kMillisecondsPerDay = 86'400'000;

// Replaces the parameter's value copy by `size` zeroed bytes (at least one, so it is never null).
ResultCode NewValue(ParamDesc& param, std::uint32_t size) {
    std::free(param.value);
    param.value = static_cast<char*>(std::calloc(1, size ? size : 1));
    param.valueLength = param.value ? size : 0;
    return param.value ? kResultOk : kResultNotCreated;
}

std::tm CalendarTm(int year, int month, int day) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    return fields;
}

std::tm TmOf(const TimestampValue& t) {
    std::tm fields = CalendarTm(t.year, t.month, t.day);
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    return fields;
}

// Reads the input value the caller gave, for a parameter whose InternalType is already chosen.
ResultCode ConvertInput(const ClientEntryTable& e, ParamDesc& p, std::uint32_t length, const void* value) {
    switch (p.fieldType) {
        case kFieldString: {
            std::size_t textLength = std::strlen(static_cast<const char*>(value));
            if (textLength > kMaxString) return kResultInvalidValue;
            auto n = static_cast<std::uint32_t>(textLength);
            bool varying = p.internalType == kTypeVarying;
            if (NewValue(p, varying ? n + 2 : n) != kResultOk) return kResultNotCreated;
            char* bytes = p.value;
            if (varying) {
                auto prefix = static_cast<std::uint16_t>(n);
                std::memcpy(bytes, &prefix, 2);
                bytes += 2;
            }
            std::memcpy(bytes, value, n);
            return kResultOk;
        }
        case kFieldDate: {
            std::int32_t dayNumber;
            std::memcpy(&dayNumber, value, sizeof dayNumber);
            int y, m, d;
            if (dayNumber < 1 || dayNumber > kLastDayNumber) return kResultInvalidValue;
            if (!CalendarDate(dayNumber, &y, &m, &d)) return kResultInvalidValue;
            if (!e.encode_sql_date) return kResultClientNotLoaded;
            if (NewValue(p, sizeof(ISC_DATE)) != kResultOk) return kResultNotCreated;
            std::tm fields = CalendarTm(y, m, d);
            e.encode_sql_date(&fields, reinterpret_cast<ISC_DATE*>(p.value));
            return kResultOk;
        }
        case kFieldBlob:
            if (NewValue(p, length) != kResultOk) return kResultNotCreated;
            if (length) std::memcpy(p.value, value, length);
            return kResultOk;
        case kFieldInt16:
        case kFieldInt32:
        case kFieldFloat: {
            std::uint32_t size = p.fieldType == kFieldInt16 ? 2 : p.fieldType == kFieldInt32 ? 4 : length;
            if (NewValue(p, size) != kResultOk) return kResultNotCreated;
            std::memcpy(p.value, value, size);
            return kResultOk;
        }
        case kFieldBcd: {
            char text[kDecimalTextSize];
            if (!UnpackBcd(*static_cast<const BcdValue*>(value), text)) return kResultInvalidValue;
            double number = std::strtod(text, nullptr);
            if (NewValue(p, sizeof number) != kResultOk) return kResultNotCreated;
            std::memcpy(p.value, &number, sizeof number);
            p.scale = p.scale > 0 ? -p.scale : p.scale;
            return kResultOk;
        }
        case kFieldTime: {
            std::int32_t ms;
            std::memcpy(&ms, value, sizeof ms);
            if (ms < 0) return kResultInvalidValue;
            if (ms >= kMillisecondsPerDay) ms = 0;
            if (!e.encode_sql_time) return kResultClientNotLoaded;
            if (NewValue(p, sizeof(ISC_TIME)) != kResultOk) return kResultNotCreated;
            std::tm fields{};
            fields.tm_hour = ms / 3'600'000;
            fields.tm_min = ms % 3'600'000 / 60'000;
            fields.tm_sec = ms % 60'000 / 1000;
            e.encode_sql_time(&fields, reinterpret_cast<ISC_TIME*>(p.value));
            return kResultOk;
        }
        case kFieldTimestamp: {
            TimestampValue stamp;
            std::memcpy(&stamp, value, sizeof stamp);
            if (DayNumber(stamp.year, stamp.month, stamp.day) == 0 || stamp.hour > 23 || stamp.minute > 59 ||
                stamp.second > 59)
                return kResultInvalidValue;
            if (NewValue(p, sizeof(ISC_TIMESTAMP)) != kResultOk) return kResultNotCreated;
            std::tm fields = TmOf(stamp);
            if (e.encode_timestamp)
                e.encode_timestamp(&fields, reinterpret_cast<ISC_TIMESTAMP*>(p.value));
            else
                e.encode_date(&fields, reinterpret_cast<ISC_QUAD*>(p.value));
            return kResultOk;
        }
        default:
            return kResultInvalidValue;
    }
}

// The size of an output parameter's empty buffer.
std::uint32_t OutputSize(const ParamDesc& p, std::uint32_t length) {
    switch (p.internalType) {
        case kTypeText:
            return length;
        case kTypeVarying:
            return length + 2;
        case kTypeShort:
            return 2;
        case kTypeLong:
        case kTypeFloat:
        case kTypeDate:
        case kTypeTime:
            return 4;
        case kTypeBlob:
        case kTypeTextBlob:
            return 18;
        default:
            return 8;
    }
}

std::uint16_t ChooseInternalType(std::uint16_t fieldType, std::uint16_t subType, std::uint32_t length) {
    switch (fieldType) {
        case kFieldString:
            return subType == kSubtypeFixed ? kTypeText : kTypeVarying;
        case kFieldDate:
            return kTypeDate;
        case kFieldBlob:
            return subType == kSubtypeMemo ? kTypeTextBlob : kTypeBlob;
        case kFieldInt16:
            return kTypeShort;
        case kFieldInt32:
            return kTypeLong;
        case kFieldFloat:
            return length == 4 ? kTypeFloat : length == 8 ? kTypeDouble : kTypeNone;
        case kFieldBcd:
            return kTypeDouble;
        case kFieldTime:
            return kTypeTime;
        case kFieldTimestamp:
            return kTypeTimestamp;
        default:
            return kTypeNone;
    }
}

}  // namespace

ResultCode BasaltCommand::setParameter(std::uint16_t number, std::uint16_t, std::uint16_t direction,
                                       std::uint16_t fieldType, std::uint16_t subType, std::int32_t precision,
                                       std::int32_t scale, std::uint32_t length, const void* value,
                                       std::int32_t isNull) {
    if (number == 0 || number > paramCount_) return kResultOutOfRange;
    if (direction != kParamInput && direction != kParamOutput) return kResultInvalidValue;
    if (!statement_) return kResultNoHandle;
    std::uint16_t internalType = ChooseInternalType(fieldType, subType, length);
    if (internalType == kTypeNone) return kResultInvalidValue;
    bool null = isNull == 1;
    if (direction == kParamInput && !null && !value) return kResultMissingPointer;
    if (direction == kParamOutput && fieldType == kFieldString && length > kMaxString) return kResultInvalidValue;

    ParamDesc& p = params_[number - 1];
    p.set = false;
    p.direction = direction;
    p.fieldType = fieldType;
    p.subType = subType;
    p.precision = precision;
    p.scale = scale;
    p.internalType = internalType;
    p.nullIndicator = null ? -1 : 0;
    ResultCode result;
    if (direction == kParamOutput)
        result = NewValue(p, OutputSize(p, length));
    else if (null)
        result = NewValue(p, OutputSize(p, 0));
    else
        result = ConvertInput(*statement_->client->entries, p, length, value);
    if (result != kResultOk) return result;
    p.set = true;
    if (storedProcedure_ && !procedurePrepared_) return kResultOk;
    return bindParameter(number);
}

ResultCode BasaltCommand::bindParameter(std::uint16_t number) {
    ParamDesc& p = params_[number - 1];
    ClientConnection& client = *statement_->client;
    XSQLDA* area = nullptr;
    int index = number - 1;
    if (p.direction == kParamInput) {
        area = statement_->input.area;
        if (!area) return DriverError(client, "the statement takes no parameters");
        if (index >= area->sqln) return DriverError(client, "parameter number beyond the statement's parameters");
        if (index >= area->sqld) area->sqld = static_cast<ISC_SHORT>(index + 1);
    } else {
        area = statement_->output.area;
        XSQLDA* input = statement_->input.area;
        index -= input ? input->sqld : 0;
        if (!area || index < 0 || index >= area->sqld)
            return DriverError(client, "output parameter beyond the statement's outputs");
    }
    XSQLVAR& variable = area->sqlvar[index];
    variable.sqltype = TranslateTypePhy(p.internalType);
    variable.sqlscale = 0;
    variable.sqldata = p.value;
    switch (p.internalType) {
        case kTypeShort:
        case kTypeLong:
            variable.sqlscale = static_cast<ISC_SHORT>(p.scale);
            variable.sqllen = p.internalType == kTypeShort ? 2 : 4;
            break;
        case kTypeText:
            variable.sqllen = static_cast<ISC_SHORT>(p.valueLength);
            break;
        case kTypeVarying:
            variable.sqllen =
                static_cast<ISC_SHORT>(p.nullIndicator == -1 && p.direction == kParamInput ? 0 : p.valueLength - 2);
            break;
        case kTypeBlob:
        case kTypeTextBlob:
            variable.sqllen = sizeof(ISC_QUAD);
            variable.sqlsubtype = p.internalType == kTypeTextBlob ? 1 : 0;
            if (p.direction == kParamInput) variable.sqldata = reinterpret_cast<ISC_SCHAR*>(&p.blobId);
            break;
        case kTypeFloat:
        case kTypeDate:
        case kTypeTime:
            variable.sqllen = 4;
            break;
        default:
            variable.sqllen = 8;
            break;
    }
    p.variable = index;
    variable.sqlind = p.direction == kParamInput ? &p.nullIndicator : &p.clientIndicator;
    // Set at every bind, since a prepare (also the first execute of a procedure call) clears it.
    if (p.direction == kParamInput && p.fieldType == kFieldBlob) statement_->flags |= ClientStatement::kBlobsAsData;
    return kResultOk;
}

ResultCode BasaltCommand::getParameter(std::uint16_t number, std::uint16_t, void* value, std::int32_t length,
                                       std::int32_t* isNull) {
    if (number == 0 || number > paramCount_) return kResultOutOfRange;
    if (!value || !isNull || length <= 0) return kResultInvalidValue;
    const ParamDesc& p = params_[number - 1];
    if (!p.set || !p.value) return kResultParameterNotSet;
    if (p.nullIndicator == -1) {
        *isNull = 1;
        return kResultOk;
    }
    const ClientEntryTable& e = *statement_->client->entries;
    auto fits = [&](std::size_t size) { return static_cast<std::size_t>(length) >= size; };
    auto* out = static_cast<char*>(value);
    switch (p.fieldType) {
        case kFieldString: {
            std::uint32_t n = p.valueLength;
            const char* bytes = p.value;
            if (p.internalType == kTypeVarying) {
                std::uint16_t prefix;
                std::memcpy(&prefix, bytes, 2);
                n = std::min<std::uint32_t>(prefix, p.valueLength - 2);
                bytes += 2;
            } else if (p.direction == kParamOutput && p.nullIndicator > 0) {
                n = std::min<std::uint32_t>(static_cast<std::uint32_t>(p.nullIndicator), n);
            }
            n = std::min<std::uint32_t>(n, static_cast<std::uint32_t>(length - 1));
            std::memcpy(out, bytes, n);
            out[n] = '\0';
            break;
        }
        case kFieldDate: {
            if (!e.decode_sql_date) return kResultClientNotLoaded;
            if (!fits(4)) return kResultTypeMismatch;
            std::tm fields{};
            e.decode_sql_date(reinterpret_cast<const ISC_DATE*>(p.value), &fields);
            std::int32_t day = DayNumber(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
            std::memcpy(out, &day, sizeof day);
            break;
        }
        case kFieldBlob: {
            if (p.direction == kParamInput) {
                std::memcpy(out, p.value, std::min<std::uint32_t>(p.valueLength, static_cast<std::uint32_t>(length)));
                break;
            }
            ISC_QUAD id;
            std::memcpy(&id, p.value, sizeof id);
            std::uint32_t size = 0;
            ResultCode result = BlobSize(*statement_, id, &size);
            if (result == kResultEndOfData) break;
            if (result != kResultOk) return result;
            result = ReadBlob(*statement_, id, out, std::min(size, static_cast<std::uint32_t>(length)));
            if (result != kResultOk) return result;
            break;
        }
        case kFieldInt16:
        case kFieldInt32:
        case kFieldFloat:
            if (!fits(p.valueLength)) return kResultTypeMismatch;
            std::memcpy(out, p.value, p.valueLength);
            break;
        case kFieldBcd: {
            if (!fits(sizeof(BcdValue))) return kResultTypeMismatch;
            double number;
            std::memcpy(&number, p.value, sizeof number);
            char text[kDecimalTextSize];
            FormatDouble(number, -p.scale, text);
            ResultCode result = PackBcd(text, static_cast<BcdValue*>(value));
            if (result != kResultOk) return result;
            break;
        }
        case kFieldTime: {
            if (!e.decode_sql_time) return kResultClientNotLoaded;
            if (!fits(4)) return kResultTypeMismatch;
            std::tm fields{};
            e.decode_sql_time(reinterpret_cast<const ISC_TIME*>(p.value), &fields);
            std::int32_t ms = (fields.tm_hour * 60 + fields.tm_min) * 60'000 + fields.tm_sec * 1000;
            std::memcpy(out, &ms, sizeof ms);
            break;
        }
        case kFieldTimestamp: {
            if (!fits(sizeof(TimestampValue))) return kResultTypeMismatch;
            TimestampValue stamp = DecodeTimestamp(e, p.value);
            std::memcpy(out, &stamp, sizeof stamp);
            break;
        }
        default:
            return kResultNotBlob;
    }
    *isNull = 0;
    return kResultOk;
}

}  // namespace basalt
