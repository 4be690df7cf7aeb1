// SPDX-License-Identifier: MIT
// Upper and lower case that never change a text's length, for the case commands, the same on
// every desktop.
#pragma once

#include <string>
#include <string_view>

// Each character gets its simple (one-to-one) case mapping from the Unicode Character Database
// (case_table.h names the version): the German sharp s stays as it is rather than becoming "SS".
// A surrogate pair is mapped as one code point and stays a pair: where its mapping lies in the
// Basic Multilingual Plane it is left as it is. Half of a pair on its own is left as it is.
std::u16string simpleUpperCase(std::u16string_view text);
std::u16string simpleLowerCase(std::u16string_view text);

// The same for one code point; one without a mapping, or no code point at all, comes back as it is.
char32_t simpleUpperCase(char32_t code);
char32_t simpleLowerCase(char32_t code);
