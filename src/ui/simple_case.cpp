// SPDX-License-Identifier: MIT
// Character-by-character case mapping.
#include "ui/simple_case.h"

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

} // namespace

QString simpleUpperCase(const QString& text)
{
    return mapEach(text, [](char32_t c) { return QChar::toUpper(c); });
}

QString simpleLowerCase(const QString& text)
{
    return mapEach(text, [](char32_t c) { return QChar::toLower(c); });
}
