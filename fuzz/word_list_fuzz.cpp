// SPDX-License-Identifier: MIT
// Fuzzes the word-list reader: any bytes as Words.TxT must count, fetch, decode and place on
// their lines exactly as the reference reader (tests/reference_reader.h) does, with no crash,
// hang or file left open.
#include "fake_platform.h"
#include "reference_reader.h"
#include "words/item_reader.h"
#include "words/word_list.h"

#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

static_assert(ItemReader::EncodingSample == 4096, "the reference reader samples 4,096 bytes by default");

void check(bool ok, const char* what, const std::u16string& got = {}, const std::u16string& expected = {})
{
    if (ok)
        return;
    // The start of each text, with its length.
    const auto shown = [](const std::u16string& text) {
        return std::to_string(text.size()) + " units: " + toSystemUtf8(text.substr(0, 80));
    };
    std::fprintf(stderr, "word list reader: %s\n  got      %s\n  expected %s\n", what, shown(got).c_str(),
                 shown(expected).c_str());
    std::abort();
}

// Counting and fetching as the program does them, through the platform double.
void checkProcedures(const std::string& file, const std::vector<ReferenceItem>& items, std::int64_t readChunk)
{
    FakePlatform platform;
    platform.setWordList(file);
    platform.setReadChunk(readChunk);
    const auto total = std::int32_t(items.size());

    FormState form;
    CountWords(form, platform);
    check(form.Total == total && form.Pos == total, "count", decimal(form.Total), decimal(total));
    const std::u16string last = items.empty() ? std::u16string() : items.back().text;
    check(form.Word == last, "last item counted", form.Word, last);

    // Lowering the overflow limit below the count makes counting fail quietly.
    if (total > 0) {
        FormState overflowing;
        CountWords(overflowing, platform, total - 1);
        check(overflowing.Total == 0 && overflowing.Pos == total - 1, "overflow is quiet and leaves Total alone");
    }

    std::vector<std::int32_t> ordinals;
    const std::int32_t step = std::max(1, total / 64);
    for (std::int32_t ordinal = 1; ordinal <= total; ordinal += step)
        ordinals.push_back(ordinal);
    ordinals.push_back(total);
    ordinals.push_back(total + 1);
    for (const std::int32_t ordinal : ordinals) {
        form.Word = u"before";
        form.Pick = double(ordinal);
        FetchWord(form, platform);
        const std::int32_t reached = std::min(ordinal, total);
        check(form.Pos == reached, "fetch position", decimal(form.Pos), decimal(reached));
        const std::u16string expected = reached == 0 ? u"before" : items[std::size_t(reached - 1)].text;
        check(form.Word == expected, "fetched item", form.Word, expected);
    }
    check(platform.openFiles() == 0 && platform.messages().empty() && !platform.hasEnded(), "clean finish");
}

// The reader on its own, with small blocks, read in uneven strides to the end, counting lines.
void checkStrides(const std::string& file, const std::vector<ReferenceItem>& items, std::ptrdiff_t blockSize,
                  std::int64_t stride)
{
    FakePlatform platform;
    platform.setWordList(file);
    const auto input = platform.openForInput(wordListPath(platform));
    ItemReader reader(*input, blockSize);
    reader.countLines();
    const auto total = std::int64_t(items.size());
    std::int64_t done = 0;
    for (std::int64_t limit = 1;; limit = limit % stride + 1) {
        std::u16string item = u"untouched";
        const std::int64_t read = reader.readItems(limit, &item);
        check(read == std::min(limit, total - done), "items read in a stride", decimal(read));
        if (read == 0) {
            check(item == u"untouched", "no item, no change", item);
            break;
        }
        done += read;
        const ReferenceItem& expected = items[std::size_t(done - 1)];
        check(item == expected.text, "item at the end of a stride", item, expected.text);
        check(reader.lineOfLastItem() == expected.line, "line of the item", decimal(reader.lineOfLastItem()),
              decimal(expected.line));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file(reinterpret_cast<const char*>(data), size);
    // Block, chunk and stride sizes follow from the input, so that the fuzzer moves boundaries.
    // The encoding is decided on the first 4,096 bytes, or on a whole block where it is smaller.
    const std::uint32_t mix = (std::uint32_t(size) * 2654435761u) ^ (size ? data[size / 2] * 40503u : 0u);
    const std::ptrdiff_t blockSize = 16 + std::ptrdiff_t(mix >> 8) % 300;
    checkProcedures(file, referenceItems(file), 1 + std::int64_t(mix % 5003));
    checkStrides(file, referenceItems(file, std::size_t(blockSize)), blockSize, 1 + std::int64_t(mix >> 20) % 7);
    return 0;
}
