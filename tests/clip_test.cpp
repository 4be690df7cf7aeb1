// SPDX-License-Identifier: MIT
// Clipboard mirroring, "Copy Text" with its pause, and "InFo", through the double.
#include "fixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr Item kCopy = Item::Ct1;

// Starts the program on a three-word list; draws of 0, 0.4 and 0.7 pick them in order.
void start(FakePlatform& fake, Form1& form)
{
    fake.setWordLines({u"alpha", u"beta", u"gamma"});
    form.load();
}

bool confirming(const FakePlatform& fake)
{
    return fake.caption(kCopy) == u"Text Copied" && !fake.isEnabled(kCopy);
}

bool ready(const FakePlatform& fake)
{
    return fake.caption(kCopy) == u"Copy Text" && fake.isEnabled(kCopy);
}

} // namespace

using Clipboard = FormTest;

TEST_F(Clipboard, StartUpLeavesItAlone)
{
    start(*m_fake, *m_form);
    EXPECT_TRUE(m_fake->clipboardLog().empty());
    EXPECT_TRUE(m_fake->phraseWrites().empty());
}

struct BoxWriteRow
{
    const char* name;
    Box box;
    std::u16string text;
    bool mirrored;
};

const BoxWriteRow kBoxWrites[] = {
    {"words", Box::Text1, u"alpha beta", true},
    {"empty", Box::Text1, u"", true},
    {"spaces only", Box::Text1, u"   ", true},
    {"tabs and line breaks", Box::Text1, u"a\tb\r\nc", true},
    {"outside the basic plane", Box::Text1, u"key \U0001F511 ring", true},
    {"the word-count box", Box::Text2, u"07", false},
    {"the scratch box", Box::Text3, u"3 3", false},
};

using BoxWrite = FormRowTest<BoxWriteRow>;

TEST_P(BoxWrite, MirrorsThePhraseBoxEveryTime)
{
    const BoxWriteRow& row = GetParam();
    start(*m_fake, *m_form);
    m_fake->setText(row.box, row.text);
    // The same text again still mirrors: another program may have taken the clipboard since.
    m_fake->setText(row.box, row.text);
    EXPECT_EQ(m_fake->clipboardLog(), std::vector<std::u16string>(row.mirrored ? 2 : 0, row.text));
}

INSTANTIATE_TEST_SUITE_P(Rows, BoxWrite, ::testing::ValuesIn(kBoxWrites), RowName());

TEST_F(Clipboard, GenerationMirrorsEveryWriteAndEndsWithThePhrase)
{
    start(*m_fake, *m_form);
    m_fake->setPhraseText(u"old phrase");
    m_fake->queueDraws({0.0, 0.4, 0.7});
    m_fake->choose(Item::W3);
    EXPECT_EQ(m_fake->clipboard(), u"alpha beta gamma");
    // Emptied, three words appended with their spaces, the last space cut: each mirrored in turn.
    ASSERT_EQ(m_fake->phraseWrites().size(), 5u);
    EXPECT_EQ(m_fake->phraseWrites().front(), u"");
    EXPECT_EQ(m_fake->clipboardLog(), m_fake->phraseWrites());
}

using CopyText = FormTest;

TEST_F(CopyText, EmptyBoxDoesNothing)
{
    start(*m_fake, *m_form);
    m_fake->replaceClipboard(u"from elsewhere");
    m_fake->setClock(100.0f, 0.25f); // a pause that started would end
    const std::vector<std::u16string> before = m_fake->journal();
    m_fake->choose(kCopy);
    // Neither the clipboard, nor the caption, nor the enabled state; no pause either.
    EXPECT_EQ(m_fake->journal(), before);
    EXPECT_EQ(m_fake->clockReadings(), 0);
}

struct PhraseRow
{
    const char* name;
    std::u16string phrase;
};

const PhraseRow kNonEmptyPhrases[] = {
    {"words", u"alpha beta"},
    {"a single space", u" "},
    {"spaces only", u"   "},
};

using CopyTextPhrase = FormRowTest<PhraseRow>;

TEST_P(CopyTextPhrase, PutsThePhraseBackAfterAnotherProgram)
{
    start(*m_fake, *m_form);
    m_fake->setText(Box::Text1, GetParam().phrase);
    m_fake->replaceClipboard(u"from elsewhere");
    m_fake->setClock(100.0f, 0.25f);
    m_fake->choose(kCopy);
    EXPECT_EQ(m_fake->clipboard(), GetParam().phrase);
    const std::vector<std::u16string>& journal = m_fake->journal();
    EXPECT_NE(std::find(journal.begin(), journal.end(), u"caption:Ct1:Text Copied"), journal.end());
    EXPECT_TRUE(ready(*m_fake));
}

INSTANTIATE_TEST_SUITE_P(Rows, CopyTextPhrase, ::testing::ValuesIn(kNonEmptyPhrases), RowName());

TEST_F(CopyText, OrdersItsSteps)
{
    start(*m_fake, *m_form);
    m_fake->setText(Box::Text1, u"alpha");
    // Start, a pass that is not over, a pass that is.
    m_fake->queueClock({100.0f, 100.5f, 100.5f, 101.0f});
    const std::size_t before = m_fake->journal().size();
    m_fake->choose(kCopy);
    const std::vector<std::u16string> steps(m_fake->journal().begin() + std::ptrdiff_t(before),
                                            m_fake->journal().end());
    const std::vector<std::u16string> expected = {
        u"enabled:Ct1:0", u"clipboard:alpha",       u"caption:Ct1:Text Copied", u"pump",
        u"pump",          u"caption:Ct1:Copy Text", u"enabled:Ct1:1",
    };
    EXPECT_EQ(steps, expected);
}

struct PauseRow
{
    const char* name;
    std::vector<float> clock;
    int pausePumps;
    float lastStart;
};

// clang-format off
// The readings come in the handler's order: TStart, then for each pass the end test and, if the
// pause goes on, the midnight test after the pump.
const PauseRow kPauses[] = {
    {"over at the first test", {100.0f, 101.0f}, 0, 100.0f},
    {"exactly one second", {100.0f, 100.5f, 100.75f, 101.0f}, 1, 100.0f},
    {"a hair short of it", {100.0f, 100.99f, 100.995f, 100.99999f, 100.99999f, 101.0f}, 2, 100.0f},
    {"a reading equal to the start is no wrap", {500.0f, 500.0f, 500.0f, 500.5f, 500.5f, 501.25f}, 2, 500.0f},
    // 86399.5 .. 86399.9, wrap, then a full second from 0.2: 1.7 seconds in all.
    {"midnight: starts over", {86399.5f, 86399.9f, 0.1f, 0.2f, 0.7f, 0.8f, 1.2f}, 2, 0.2f},
    // Without the restart the end, 86400.75, would never be read.
    {"midnight: wrap seen right at the end", {86399.75f, 86399.99f, 0.0f, 0.0f, 0.5f, 0.6f, 0.99f, 0.995f, 1.0f}, 3,
     0.0f},
};
// clang-format on

using Pause = FormRowTest<PauseRow>;

TEST_P(Pause, LastsUntilASecondHasPassed)
{
    const PauseRow& row = GetParam();
    start(*m_fake, *m_form);
    m_fake->setText(Box::Text1, u"alpha");
    for (const float reading : row.clock)
        m_fake->queueClock({reading});
    // Past the script the clock stands beyond any day, so a pause that misreads it ends instead of hanging.
    m_fake->setClock(100000.0f);
    m_fake->choose(kCopy);
    EXPECT_EQ(m_fake->clockReadings(), int(row.clock.size()));
    EXPECT_EQ(m_fake->pumps(), 1 + row.pausePumps);
    EXPECT_EQ(state().TStart, row.lastStart);
    EXPECT_TRUE(ready(*m_fake));
}

INSTANTIATE_TEST_SUITE_P(Rows, Pause, ::testing::ValuesIn(kPauses), RowName());

TEST_F(CopyText, ConfirmsUntilThePauseEnds)
{
    start(*m_fake, *m_form);
    m_fake->setText(Box::Text1, u"alpha");
    m_fake->setClock(1000.0f, 0.125f);
    int checked = 0;
    for (int i = 0; i < 12; ++i)
        m_fake->queueDuringPump([&] { checked += confirming(*m_fake) ? 1 : 0; });
    m_fake->choose(kCopy);
    // One pump before the pause, then one per pass while the end test reads 1000.125 .. 1000.875.
    EXPECT_EQ(m_fake->pumps(), 5);
    EXPECT_EQ(checked, 5);
    EXPECT_TRUE(ready(*m_fake));
}

struct NestedRow
{
    const char* name;
    Item item;
    std::u16string clipboardAfter;
    std::size_t messages;
};

const NestedRow kNested[] = {
    {"Words (02)", Item::W2, u"beta gamma", 0},
    {"InFo", Item::InF, u"alpha", 1},
    // Disabled while confirming: a second click starts no second pause.
    {"Copy Text again, disabled", kCopy, u"alpha", 0},
};

using PauseNested = FormRowTest<NestedRow>;

TEST_P(PauseNested, RunsTheCommandAndGoesOnConfirming)
{
    const NestedRow& row = GetParam();
    start(*m_fake, *m_form);
    m_fake->setText(Box::Text1, u"alpha");
    m_fake->queueDraws({0.4, 0.7});
    m_fake->setClock(1000.0f, 0.125f);
    bool confirmingAfterNested = false;
    m_fake->queueDuringPump([] {});
    m_fake->queueDuringPump([&] {
        m_fake->choose(row.item);
        confirmingAfterNested = confirming(*m_fake);
    });
    m_fake->choose(kCopy);
    EXPECT_TRUE(confirmingAfterNested);
    EXPECT_EQ(m_fake->clipboard(), row.clipboardAfter);
    EXPECT_EQ(m_fake->messages().size(), row.messages);
    const std::vector<std::u16string>& journal = m_fake->journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), u"caption:Ct1:Text Copied"), 1);
    EXPECT_TRUE(ready(*m_fake));
}

INSTANTIATE_TEST_SUITE_P(Rows, PauseNested, ::testing::ValuesIn(kNested), RowName());

using Info = FormTest;

TEST_F(Info, ShowsItsNoticeAndTwoSpaceLines)
{
    start(*m_fake, *m_form);
    m_fake->choose(Item::InF);
    ASSERT_EQ(m_fake->messages().size(), 1u);
    const FakePlatform::Message& message = m_fake->messages().front();
    EXPECT_EQ(message.icon, MessageIcon::Exclamation);
    EXPECT_EQ(message.title, u"Lexitrove");
    const std::u16string tail = u"\r\n \r\n ";
    ASSERT_GT(message.prompt.size(), tail.size());
    EXPECT_EQ(message.prompt.substr(message.prompt.size() - tail.size()), tail);
    const std::u16string notice = message.prompt.substr(0, message.prompt.size() - tail.size());
    EXPECT_NE(notice.find_first_not_of(u' '), std::u16string::npos);
    EXPECT_EQ(notice.find_first_of(u"\r\n"), std::u16string::npos) << utf8(notice);
}
