// SPDX-License-Identifier: MIT
// Case mapping from the generated table, one code point at a time.
#include "edit/simple_case.h"

#include "edit/case_table.h"

namespace {

const CaseTable::Deltas& deltasOf(char32_t code)
{
    static constexpr CaseTable::Deltas none{0, 0};
    if (code >= CaseTable::kLimit)
        return none;
    const std::size_t row = std::size_t(CaseTable::kRowOfBlock[code >> CaseTable::kShift]) << CaseTable::kShift;
    return CaseTable::kDeltas[CaseTable::kRows[row | (code & CaseTable::kMask)]];
}

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}

bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

template <std::int32_t CaseTable::Deltas::*Delta>
char32_t mapOne(char32_t code)
{
    return char32_t(std::int32_t(code) + deltasOf(code).*Delta);
}

template <std::int32_t CaseTable::Deltas::*Delta>
std::u16string mapEach(std::u16string_view text)
{
    std::u16string result(text);
    const std::size_t n = result.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t unit = result[i];
        if (isHighSurrogate(unit) && i + 1 < n && isLowSurrogate(result[i + 1])) {
            const char32_t mapped = mapOne<Delta>(0x10000 + (char32_t(unit - 0xD800) << 10) + (result[i + 1] - 0xDC00));
            // A pair stays a pair, so the length stays. No mapping of Unicode leaves its plane today.
            if (mapped >= 0x10000) {
                result[i] = char16_t(0xD800 + ((mapped - 0x10000) >> 10));
                result[i + 1] = char16_t(0xDC00 + (mapped & 0x3FF));
            }
            ++i;
            continue;
        }
        // A lone surrogate has no mapping in the table, so it stays too.
        const char32_t mapped = mapOne<Delta>(unit);
        if (mapped < 0x10000)
            result[i] = char16_t(mapped);
    }
    return result;
}

} // namespace

std::u16string simpleUpperCase(std::u16string_view text)
{
    return mapEach<&CaseTable::Deltas::upper>(text);
}

std::u16string simpleLowerCase(std::u16string_view text)
{
    return mapEach<&CaseTable::Deltas::lower>(text);
}

char32_t simpleUpperCase(char32_t code)
{
    return mapOne<&CaseTable::Deltas::upper>(code);
}

char32_t simpleLowerCase(char32_t code)
{
    return mapOne<&CaseTable::Deltas::lower>(code);
}
