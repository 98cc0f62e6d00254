// Client descriptor areas (XSQLDA) and the mapping between client SQL types and the driver's own codes.
#pragma once

#include <ibase.h>

#include <cstdint>

#include "driver/sqldriver.h"

namespace basalt {

// The driver's physical column codes between the client layer and the objects.
enum InternalType : std::uint16_t {
    kTypeNone = 0,
    kTypeShort = 1025,
    kTypeLong = 1026,
    kTypeFloat = 1027,
    kTypeDouble = 1028,
    kTypeText = 1029,
    kTypeVarying = 1030,
    kTypeTimestamp = 1031,
    kTypeBlob = 1032,
    kTypeDate = 1037,
    kTypeTime = 1038,
    kTypeInt64 = 1039,
    kTypeArray = 1056,
    kTypeTextBlob = 1057,  // a text blob given as a parameter
};

// Client SQL type (with or without its nullable bit) to InternalType; kTypeNone when unknown.
InternalType TranslateType(int sqlType);
// InternalType to client SQL type with the nullable bit set; 0 when unknown.
short TranslateTypePhy(std::uint16_t internalType);

inline constexpr int kMaxVariables = 407;

// An XSQLDA for n variables plus the client-side null indicators of each variable.
struct DescriptorPair {
    XSQLDA* area = nullptr;
    short* indicators = nullptr;
};

// Replaces `pair` by one for `count` variables (at least 1). 0xFFFD above 407 or without memory.
ResultCode AllocateDescriptors(DescriptorPair& pair, int count);
void FreeDescriptors(DescriptorPair& pair);

}  // namespace basalt
