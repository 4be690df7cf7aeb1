// SPDX-License-Identifier: MIT
// The case table against Qt's own QChar::toUpper and toLower, on every code point both know:
// each difference must have a reason, and the reasons are listed.
#include "edit/case_table.h"
#include "edit/simple_case.h"

#include <QChar>
#include <QList>
#include <QString>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

namespace {

std::string codePoint(char32_t code)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(code));
    return text;
}

// The table's Unicode version in QChar's numbering, which gains one value for each version.
// Qt 6.4 knows up to 14.0; the list goes on past it in Unicode's own order.
std::optional<QChar::UnicodeVersion> tableVersionInQt()
{
    constexpr std::array<std::string_view, 5> fromFourteen = {"14.0.", "15.0.", "15.1.", "16.0.", "17.0."};
    for (std::size_t i = 0; i < fromFourteen.size(); ++i)
        if (CaseTable::kUnicodeVersion.substr(0, fromFourteen[i].size()) == fromFourteen[i])
            return QChar::UnicodeVersion(QChar::Unicode_14_0 + int(i));
    return std::nullopt;
}

// How many code points the full (possibly longer) mapping of `code` has, as QString gives it.
qsizetype fullMappingLength(char32_t code, bool upper)
{
    const QString one = QString::fromUcs4(&code, 1);
    return (upper ? one.toUpper() : one.toLower()).toUcs4().size();
}

// Why the table and QChar may map `code` differently, or nothing when they should not.
std::optional<std::string> reasonFor(char32_t code, char32_t table, char32_t qt, bool upper,
                                     QChar::UnicodeVersion tableVersion)
{
    if (QChar::unicodeVersion(code) == QChar::Unicode_Unassigned
        || QChar::unicodeVersion(table) == QChar::Unicode_Unassigned)
        return "not known by Qt's Unicode, older than the table's";
    if (QChar::unicodeVersion(code) > tableVersion || QChar::unicodeVersion(qt) > tableVersion)
        return "new after the table's Unicode";
    if (qt == code && fullMappingLength(code, upper) > 1)
        return "its full mapping is longer, and QChar then leaves it as it is";
    return std::nullopt;
}

TEST(SimpleCaseAgainstQt, EveryDifferenceHasAReason)
{
    const std::optional<QChar::UnicodeVersion> tableVersion = tableVersionInQt();
    ASSERT_TRUE(tableVersion) << "Unicode " << CaseTable::kUnicodeVersion << " has no place in QChar's numbering yet";
    std::cout << "Table: Unicode " << CaseTable::kUnicodeVersion << "; Qt " << qVersion() << std::endl;

    std::string unexplained;
    int explained = 0;
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code < 0xE000)
            continue; // halves of pairs, no characters
        for (const bool upper : {true, false}) {
            const char32_t table = upper ? simpleUpperCase(code) : simpleLowerCase(code);
            const char32_t qt = upper ? QChar::toUpper(code) : QChar::toLower(code);
            if (table == qt)
                continue;
            const std::string line = codePoint(code) + (upper ? " upper: " : " lower: ") + "table " + codePoint(table)
                + ", QChar " + codePoint(qt);
            if (const auto reason = reasonFor(code, table, qt, upper, *tableVersion)) {
                std::cout << line << ": " << *reason << '\n';
                ++explained;
            } else {
                unexplained += line + '\n';
            }
        }
    }
    std::cout << explained << " differences, each with its reason" << std::endl;
    EXPECT_EQ(unexplained, "") << "the table and QChar differ without a reason";
}

} // namespace
