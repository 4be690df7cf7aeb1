// SPDX-License-Identifier: MIT
// TEMPORARY: ASCII only, until the generated table lands.
#include "edit/simple_case.h"

std::u16string simpleUpperCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z')
            c = char16_t(c - 32);
    return out;
}

std::u16string simpleLowerCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 32);
    return out;
}
