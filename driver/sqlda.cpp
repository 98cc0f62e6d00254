// Client descriptor areas and the type mapping.
#include "driver/sqlda.h"

#include <cstdlib>
#include <cstring>

namespace basalt {

InternalType TranslateType(int sqlType) {
    switch (sqlType & ~1) {
        case SQL_SHORT:
            return kTypeShort;
        case SQL_LONG:
            return kTypeLong;
        case SQL_FLOAT:
            return kTypeFloat;
        case SQL_DOUBLE:
            return kTypeDouble;
        case SQL_TEXT:
            return kTypeText;
        case SQL_VARYING:
            return kTypeVarying;
        case SQL_TIMESTAMP:
            return kTypeTimestamp;
        case SQL_BLOB:
            return kTypeBlob;
        case SQL_TYPE_DATE:
            return kTypeDate;
        case SQL_TYPE_TIME:
            return kTypeTime;
        case SQL_INT64:
            return kTypeInt64;
        case SQL_ARRAY:
            return kTypeArray;
        default:
            return kTypeNone;
    }
}

short TranslateTypePhy(std::uint16_t internalType) {
    switch (internalType) {
        case kTypeShort:
            return SQL_SHORT + 1;
        case kTypeLong:
            return SQL_LONG + 1;
        case kTypeFloat:
            return SQL_FLOAT + 1;
        case kTypeDouble:
            return SQL_DOUBLE + 1;
        case kTypeText:
            return SQL_TEXT + 1;
        case kTypeVarying:
            return SQL_VARYING + 1;
        case kTypeTimestamp:
            return SQL_TIMESTAMP + 1;
        case kTypeBlob:
        case kTypeTextBlob:
            return SQL_BLOB + 1;
        case kTypeDate:
            return SQL_TYPE_DATE + 1;
        case kTypeTime:
            return SQL_TYPE_TIME + 1;
        case kTypeInt64:
            return SQL_INT64 + 1;
        case kTypeArray:
            return SQL_ARRAY + 1;
        default:
            return 0;
    }
}

ResultCode AllocateDescriptors(DescriptorPair& pair, int count) {
    FreeDescriptors(pair);
    if (count > kMaxVariables) return kResultClientNoMemory;
    if (count < 1) count = 1;
    auto size = static_cast<std::size_t>(XSQLDA_LENGTH(count));
    pair.area = static_cast<XSQLDA*>(std::calloc(1, size));
    pair.indicators = static_cast<short*>(std::calloc(static_cast<std::size_t>(count), sizeof(short)));
    if (!pair.area || !pair.indicators) {
        FreeDescriptors(pair);
        return kResultClientNoMemory;
    }
    pair.area->version = SQLDA_VERSION1;
    pair.area->sqln = static_cast<ISC_SHORT>(count);
    return kResultOk;
}

void FreeDescriptors(DescriptorPair& pair) {
    std::free(pair.area);
    std::free(pair.indicators);
    pair = DescriptorPair{};
}

}  // namespace basalt
