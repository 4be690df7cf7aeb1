// SPDX-License-Identifier: MIT
// The logic's text as Qt's, converted in this one place: both are UTF-16, so the conversion copies
// the units as they are, a lone surrogate included, and never re-encodes.
#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

inline QString toQString(std::u16string_view text)
{
    return QStringView(text).toString();
}
