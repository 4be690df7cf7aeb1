// SPDX-License-Identifier: MIT
// The sequential list reader behind counting and fetching: items are the non-empty lines of
// the word list, read in large blocks so that a list of millions of lines costs about as much
// as reading the file once.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Rules, the same for counting and fetching:
// - LF, CRLF and a lone CR end a line; a last line without a line end is an item too;
// - an empty line is not an item; nothing is trimmed; commas and quotes are ordinary characters;
// - a UTF-16 byte-order mark (LE or BE) makes the file UTF-16; so does a file without a mark
//   whose first EncodingSample bytes look like UTF-16 (see takeEncoding); any other file is
//   8-bit, and an item that is valid UTF-8 is read as such, any other as Windows-1252;
// - in an 8-bit file, UTF-8 byte-order marks (EF BB BF) at the start of a line are skipped, at
//   the start of the file and of every later line alike (files joined with `cat` keep their
//   marks); a line of nothing but marks is an empty line. A mark anywhere else is part of its
//   item, and FetchWord refuses to hand out such an item (see firstUntypeable);
// - an item keeps its first MaxItemUnits code units (bytes, or 16-bit units in UTF-16 files),
//   cut back to a whole character; the rest of its line is skipped. No real word comes near
//   it, and a runaway line cannot flood the phrase box or the memory.
class ItemReader
{
public:
    static constexpr std::ptrdiff_t MaxItemUnits = 4096;
    static constexpr std::ptrdiff_t DefaultBlockSize = 64 * 1024;
    // The bytes at the start of a file without a byte-order mark that decide whether it is
    // UTF-16 (fewer where the block is smaller, as in tests).
    static constexpr std::ptrdiff_t EncodingSample = 4096;

    explicit ItemReader(InputFile& file, std::ptrdiff_t blockSize = DefaultBlockSize);

    // Reads up to `limit` further items and returns how many it read. Of those, only the last
    // is decoded, into `*last` (when given); `*last` is left alone when none was read.
    // When reading the file fails, `*last` is still given the last item read, and the count
    // read so far is kept for readBeforeFailure() before the error goes on to the caller.
    std::int64_t readItems(std::int64_t limit, std::u16string* last);
    std::int64_t readBeforeFailure() const { return m_readBeforeFailure; }

    // From now on, counts the lines read, so that lineOfLastItem() can tell on which line of the
    // file (counted from 1, empty lines included, CRLF being one line end) the last item read
    // stands. It costs a second walk over every block, so only the rare reading that reports a
    // line to the user asks for it.
    void countLines() { m_countLines = true; }
    std::int64_t lineOfLastItem() const { return m_lastItemLine; }

private:
    enum class Encoding { NotSeenYet, Bytes, Utf16LittleEndian, Utf16BigEndian };

    bool wide() const;
    std::ptrdiff_t unitsLeft() const;
    template <typename Unit>
    const Unit* unread() const;
    bool haveUnits();
    void readBlock();
    void takeEncoding();
    template <typename Unit>
    std::int64_t readFromBlock(std::int64_t limit);
    enum class Mark { None, Whole, Cut };
    template <typename Unit>
    Mark markAt(const Unit* p, std::ptrdiff_t i, std::ptrdiff_t n) const;
    template <typename Unit>
    std::ptrdiff_t pastMarks(const Unit* p, std::ptrdiff_t i, std::ptrdiff_t n, Mark* kind) const;
    template <typename Unit>
    std::ptrdiff_t nextMarkLine(const Unit* p, std::ptrdiff_t from, std::ptrdiff_t n) const;
    template <typename Unit>
    bool finishItem();
    template <typename Unit>
    std::ptrdiff_t keepItem(const Unit* p, std::ptrdiff_t from, std::ptrdiff_t n);
    std::u16string decodeItem() const;
    template <typename Unit>
    std::int64_t lineEnds(const Unit* p, std::ptrdiff_t n, bool* afterCr) const;

    InputFile& m_file;
    std::vector<char> m_block;        // the bytes last read from the file
    std::ptrdiff_t m_pos = 0;         // the next unread byte of m_block
    std::ptrdiff_t m_end = 0;         // the end of the bytes read into m_block
    bool m_fileDone = false;          // the file has no more bytes to give
    bool m_needBytes = false;         // the block ends in what may be the start of a mark that opens a
                                      // line: the next bytes tell
    Encoding m_encoding = Encoding::NotSeenYet;
    bool m_inItem = false;            // the last unit read belongs to an item (no line end, no mark
                                      // that opens a line)
    std::string m_item;               // the units of the item last read; one unit more than
                                      // MaxItemUnits says that its line was longer
    std::int64_t m_readBeforeFailure = 0;
    bool m_countLines = false;
    std::int64_t m_lineEnds = 0;      // counted so far, when counting lines
    bool m_afterCr = false;           // the last unit counted was a CR, so an LF now ends no line
    std::int64_t m_lastItemLine = 0;
};
