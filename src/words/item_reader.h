// SPDX-License-Identifier: MIT
// The sequential list reader behind counting and fetching: items are the non-empty lines of
// the word list, read in large blocks so that a list of millions of lines costs about as much
// as reading the file once.
#pragma once

#include "ui/platform.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Rules, the same for counting and fetching:
// - LF, CRLF and a lone CR end a line; a last line without a line end is an item too;
// - an empty line is not an item; nothing is trimmed; commas and quotes are ordinary characters;
// - a UTF-8 byte-order mark is skipped; a UTF-16 byte-order mark (LE or BE) makes the file
//   UTF-16; otherwise an item that is valid UTF-8 is read as such, any other as Windows-1252;
// - an item keeps its first MaxItemUnits code units (bytes, or 16-bit units in UTF-16 files),
//   cut back to a whole character; the rest of its line is skipped. No real word comes near
//   it, and a runaway line cannot flood the phrase box or the memory.
class ItemReader
{
public:
    static constexpr qsizetype MaxItemUnits = 4096;
    static constexpr qsizetype DefaultBlockSize = 64 * 1024;

    explicit ItemReader(InputFile& file, qsizetype blockSize = DefaultBlockSize);

    // Reads up to `limit` further items and returns how many it read. Of those, only the last
    // is decoded, into `*last` (when given); `*last` is left alone when none was read.
    // When reading the file fails, `*last` is still given the last item read, and the count
    // read so far is kept for readBeforeFailure() before the error goes on to the caller.
    qint64 readItems(qint64 limit, QString* last);
    qint64 readBeforeFailure() const { return m_readBeforeFailure; }

private:
    bool refill();
    qsizetype unitsLeft() const;
    template <typename Unit>
    qint64 readFromBlock(const Unit* p, qsizetype n, qint64 limit);
    template <typename Unit>
    bool finishItem(const Unit* p, qsizetype n);
    void keepItemUnits(const void* from, qsizetype units);
    QString decodeItem() const;

    InputFile& m_file;
    std::vector<char> m_block;
    qsizetype m_pos = 0;    // next unread byte of m_block
    qsizetype m_len = 0;    // valid bytes in m_block
    bool m_started = false; // the byte-order mark has been looked at
    bool m_eof = false;
    bool m_utf16 = false;   // units are 16-bit, already in host byte order in m_block
    bool m_bigEndian = false;
    bool m_inItem = false;  // the last unit read belongs to an item (it was no line end)
    QByteArray m_item;      // raw units of the item last read
    bool m_itemCut = false; // m_item reached MaxItemUnits
    qint64 m_readBeforeFailure = 0;
};
