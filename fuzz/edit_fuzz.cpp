// SPDX-License-Identifier: MIT
// Fuzzes the "Change Tex" commands on any UTF-16 text, lone surrogates included, chosen through
// the menu as in the program: the length rules, exactly the U+0020 characters rewritten, the
// first letters raised where they follow a space or a line feed, and running twice the same as
// running once.
#include "app/form1.h"
#include "edit/simple_case.h"
#include "fake_platform.h"
#include "ui/window_description.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

void check(bool ok, Item command, const char* what, const QString& text)
{
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n  on %lld units: %s\n",
                 QString::fromUtf16(WindowDescription::menuRow(command).name).toLatin1().constData(), what,
                 qint64(text.size()),
                 text.left(80).toUtf8().toPercentEncoding(" ").constData());
    std::abort();
}

// A program of its own for each command, with `text` in the phrase box.
struct Program
{
    FakePlatform platform;
    std::unique_ptr<Form1> form = std::make_unique<Form1>(platform);

    QString run(Item command, const QString& text)
    {
        platform.setPhraseText(text);
        platform.choose(command);
        check(platform.clipboard() == platform.phraseText(), command, "the clipboard holds the phrase", text);
        return platform.phraseText();
    }
};

QString replaceSpaces(const QString& text, const QString& by)
{
    QString result;
    for (const QChar ch : text)
        result += ch == u' ' ? by : QString(ch);
    return result;
}

void checkSpacing(const QString& text)
{
    const std::pair<Item, QString> commands[] = {{Item::RS, QString()}, {Item::AD, QStringLiteral("-")},
                                                  {Item::ADd, QStringLiteral(".")}};
    for (const auto& [command, by] : commands) {
        Program program;
        const QString once = program.run(command, text);
        check(once == replaceSpaces(text, by), command, "exactly the spaces are rewritten", text);
        check(program.form->state().Acc == once, command, "Acc holds the result", text);
        check(program.form->state().Pos == text.size() + 1, command, "Pos ends at n + 1", text);
        if (by.isEmpty()) {
            const QString counter = QStringLiteral("Charaters  ") + QString::number(once.size());
            check(program.platform.caption(Item::CH) == counter, command,
                  "the counter shows the new length", text);
        }
        check(program.run(command, once) == once, command, "twice is once", text);
    }
}

void checkCase(const QString& text)
{
    Program upper;
    const QString capitals = upper.run(Item::CL, text);
    check(capitals.size() == text.size(), Item::CL, "the length stays", text);
    check(capitals == simpleUpperCase(text), Item::CL, "the simple upper case of the whole text", text);
    check(upper.run(Item::CL, capitals) == capitals, Item::CL, "twice is once", text);
    check(upper.run(Item::CLF, capitals) == capitals, Item::CLF, "changes nothing after CL", text);

    Program lower;
    const QString small = lower.run(Item::LCL, text);
    check(small.size() == text.size(), Item::LCL, "the length stays", text);
    check(small == simpleLowerCase(text), Item::LCL, "the simple lower case of the whole text", text);
    check(lower.run(Item::LCL, small) == small, Item::LCL, "twice is once", text);

    Program first;
    const QString raised = first.run(Item::CLF, text);
    check(raised.size() == text.size(), Item::CLF, "the length stays", text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool raise = i == 0 || text[i - 1] == u' ' || text[i - 1] == u'\n';
        const QChar expected = raise ? simpleUpperCase(QString(text[i])).front() : text[i];
        check(raised[i] == expected, Item::CLF, "raised exactly the first character and those after a space or line feed",
              text);
    }
    check(first.platform.boxText(Box::Text3) == raised, Item::CLF, "the scratch box holds the result", text);
    check(first.form->state().Pos == text.size() + 1, Item::CLF, "Pos ends at n + 1", text);
    check(first.run(Item::CLF, raised) == raised, Item::CLF, "twice is once", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Little-endian 16-bit units; an odd last byte is dropped.
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    checkSpacing(text);
    checkCase(text);
    return 0;
}
