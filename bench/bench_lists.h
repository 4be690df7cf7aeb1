// SPDX-License-Identifier: MIT
// The word lists the benchmarks read: written once per size, in a scratch folder.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A list of `lines` short words, cycling through a handful of lengths like a real list's.
inline void writeList(const QString& path, qint64 lines)
{
    static const char* const words[] = {"abacus", "dove", "kettle", "aorta", "lunchbox", "oak", "quintuple", "zen"};
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray block;
    for (qint64 i = 0; i < lines; ++i) {
        block += words[i % 8];
        block += '\n';
        if (block.size() > (1 << 20)) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
}
