// Shift_JIS (code page 932) helpers: conversion to and from UTF-8 and the lead-byte test.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plx {

// True for the first byte of a double-byte CP932 character.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Bytes of the character at `i`: 2 for a lead byte whose second byte is there, otherwise 1.
constexpr std::size_t CharLength(std::string_view text, std::size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// CP932 bytes to UTF-8. Bytes that are not valid CP932 become U+FFFD; nothing is dropped silently.
std::string Cp932ToUtf8(std::string_view cp932);

// UTF-8 to CP932. Characters CP932 cannot hold become "?" (its default character).
std::string Utf8ToCp932(std::string_view utf8);

// True when the whole text converts to CP932 without a replacement.
bool FitsCp932(std::string_view utf8);

}  // namespace plx

// A UTF-8 literal as CP932 bytes, converted once on first use: SJ("アラーム").
#define SJ(utf8literal)                                                   \
    ([]() -> const std::string& {                                         \
        static const std::string converted = ::plx::Utf8ToCp932(utf8literal); \
        return converted;                                                 \
    }())
