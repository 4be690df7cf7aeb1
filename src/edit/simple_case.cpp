// SPDX-License-Identifier: MIT
// Character-by-character case mapping.
#include "edit/simple_case.h"

namespace {

template <typename Map>
QString mapEach(const QString& text, Map map)
{
    QString result = text;
    QChar* units = result.data();
    const qsizetype n = result.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (units[i].isHighSurrogate() && i + 1 < n && units[i + 1].isLowSurrogate()) {
            const char32_t mapped = map(QChar::surrogateToUcs4(units[i], units[i + 1]));
            if (QChar::requiresSurrogates(mapped)) {
                units[i] = QChar(QChar::highSurrogate(mapped));
                units[i + 1] = QChar(QChar::lowSurrogate(mapped));
            }
            ++i;
            continue;
        }
        const char32_t mapped = map(char32_t(units[i].unicode()));
        if (!QChar::requiresSurrogates(mapped))
            units[i] = QChar(char16_t(mapped));
    }
    return result;
}

// QChar leaves a character as it is when its full mapping is longer than one character, even
// where a one-to-one mapping exists. These are all such characters (checked against the
// Unicode 15 simple mappings): the capital I with dot above, and the Greek letters with a
// subscript iota, which the simple mapping raises to the matching letter with prosgegrammeni.
char32_t upperOne(char32_t c)
{
    if (c >= 0x1F80 && c <= 0x1FA7 && (c & 0xF) < 8)
        return c + 8;
    if (c == 0x1FB3 || c == 0x1FC3 || c == 0x1FF3)
        return c + 9;
    return QChar::toUpper(c);
}

char32_t lowerOne(char32_t c)
{
    if (c == 0x0130)
        return u'i';
    return QChar::toLower(c);
}

} // namespace

QString simpleUpperCase(const QString& text)
{
    return mapEach(text, upperOne);
}

QString simpleLowerCase(const QString& text)
{
    return mapEach(text, lowerOne);
}
