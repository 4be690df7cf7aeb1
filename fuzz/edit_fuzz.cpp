// SPDX-License-Identifier: MIT
// Fuzzes the "Change Tex" commands on any UTF-16 text, lone surrogates included, chosen through
// the menu as in the program: the length rules, exactly the U+0020 characters rewritten, the
// first letters raised where they follow a space or a line feed, and running twice the same as
// running once.
#include "app/form1.h"
#include "edit/simple_case.h"
#include "fake_platform.h"
#include "platform/text.h"
#include "ui/window_description.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace {

// The first units of `text`, printable ASCII as it is and everything else as \uXXXX.
std::string shown(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text.substr(0, 80)) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(unit));
        out += unit >= 0x20 && unit < 0x7F ? std::string(1, char(unit)) : escaped;
    }
    return out;
}

void check(bool ok, Item command, const char* what, const std::u16string& text)
{
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n  on %zu units: %s\n", utf8(WindowDescription::menuRow(command).name).c_str(), what,
                 text.size(), shown(text).c_str());
    std::abort();
}

// A program of its own for each command, with `text` in the phrase box.
struct Program
{
    FakePlatform platform;
    std::unique_ptr<Form1> form = std::make_unique<Form1>(platform);

    std::u16string run(Item command, const std::u16string& text)
    {
        platform.setPhraseText(text);
        platform.choose(command);
        check(platform.clipboard() == platform.phraseText(), command, "the clipboard holds the phrase", text);
        return platform.phraseText();
    }
};

std::u16string replaceSpaces(const std::u16string& text, std::u16string_view by)
{
    std::u16string result;
    for (const char16_t ch : text) {
        if (ch == u' ')
            result += by;
        else
            result += ch;
    }
    return result;
}

void checkSpacing(const std::u16string& text)
{
    const std::pair<Item, std::u16string_view> commands[] = {{Item::RS, u""}, {Item::AD, u"-"}, {Item::ADd, u"."}};
    for (const auto& [command, by] : commands) {
        Program program;
        const std::u16string once = program.run(command, text);
        check(once == replaceSpaces(text, by), command, "exactly the spaces are rewritten", text);
        check(program.form->state().Acc == once, command, "Acc holds the result", text);
        check(program.form->state().Pos == std::int64_t(text.size()) + 1, command, "Pos ends at n + 1", text);
        if (by.empty())
            check(program.platform.caption(Item::CH) == u"Charaters  " + decimal(std::int64_t(once.size())), command,
                  "the counter shows the new length", text);
        check(program.run(command, once) == once, command, "twice is once", text);
    }
}

void checkCase(const std::u16string& text)
{
    Program upper;
    const std::u16string capitals = upper.run(Item::CL, text);
    check(capitals.size() == text.size(), Item::CL, "the length stays", text);
    check(capitals == simpleUpperCase(text), Item::CL, "the simple upper case of the whole text", text);
    check(upper.run(Item::CL, capitals) == capitals, Item::CL, "twice is once", text);
    check(upper.run(Item::CLF, capitals) == capitals, Item::CLF, "changes nothing after CL", text);

    Program lower;
    const std::u16string small = lower.run(Item::LCL, text);
    check(small.size() == text.size(), Item::LCL, "the length stays", text);
    check(small == simpleLowerCase(text), Item::LCL, "the simple lower case of the whole text", text);
    check(lower.run(Item::LCL, small) == small, Item::LCL, "twice is once", text);

    Program first;
    const std::u16string raised = first.run(Item::CLF, text);
    check(raised.size() == text.size(), Item::CLF, "the length stays", text);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool raise = i == 0 || text[i - 1] == u' ' || text[i - 1] == u'\n';
        const char16_t expected = raise ? simpleUpperCase(std::u16string_view(&text[i], 1)).front() : text[i];
        check(raised[i] == expected, Item::CLF,
              "raised exactly the first character and those after a space or line feed", text);
    }
    check(first.platform.boxText(Box::Text3) == raised, Item::CLF, "the scratch box holds the result", text);
    check(first.form->state().Pos == std::int64_t(text.size()) + 1, Item::CLF, "Pos ends at n + 1", text);
    check(first.run(Item::CLF, raised) == raised, Item::CLF, "twice is once", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Little-endian 16-bit units; an odd last byte is dropped.
    std::u16string text(size / 2, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[i / 2] = char16_t(data[i] | data[i + 1] << 8);
    checkSpacing(text);
    checkCase(text);
    return 0;
}
