// SPDX-License-Identifier: MIT
// Upper and lower case that never change a text's length, for the case commands.
#pragma once

#include <QString>

// Each character gets its simple (one-to-one) case mapping: the German sharp s stays as it is
// rather than becoming "SS". A surrogate pair is mapped as one code point and stays a pair.
QString simpleUpperCase(const QString& text);
QString simpleLowerCase(const QString& text);
