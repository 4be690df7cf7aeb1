// SPDX-License-Identifier: MIT
// The "Change Tex" commands, chosen through the window's menu on the double.
#include "fixture.h"
#include "ui/window_description.h"

#include <string>
#include <tuple>
#include <vector>

namespace {

const std::u16string kCounterAtStart = u"Characters 0";
const std::u16string kLoneHigh = u"\xD801";

// What the phrase box is given, write by write: only "Capital Letters First" empties it first.
std::vector<std::u16string> expectedWrites(Item command, const std::u16string& after)
{
    if (command == Item::CLF)
        return {u"", after};
    return {after};
}

struct RewriteRow
{
    const char* name;
    Item command;
    std::u16string before, after;
};

const RewriteRow kCaseRows[] = {
    {"CL mixed case", Item::CL, u"Mixed Case 42", u"MIXED CASE 42"},
    {"LCL mixed case", Item::LCL, u"Mixed Case 42", u"mixed case 42"},
    {"CL empty", Item::CL, u"", u""},
    {"LCL empty", Item::LCL, u"", u""},
    {"CL unchanged still written", Item::CL, u"ABC", u"ABC"},
    {"CL sharp s stays", Item::CL, u"straße", u"STRAßE"},
    {"LCL capital sharp s", Item::LCL, u"STRAẞE", u"straße"},
    {"CL final sigma", Item::CL, u"λόγος", u"ΛΌΓΟΣ"},
    {"LCL sigma has no final form", Item::LCL, u"ΛΌΓΟΣ", u"λόγοσ"},
    {"CL dotless and dotted i", Item::CL, u"ıi", u"II"},
    {"LCL capital dotted i", Item::LCL, u"İI", u"ii"},
    {"CL iota subscript", Item::CL, u"ᾳ ᾀ", u"ᾼ ᾈ"},
    {"CL surrogate pair", Item::CL, u"𐐨𐐩 x", u"𐐀𐐁 X"},
    {"LCL surrogate pair", Item::LCL, u"𐐀x", u"𐐨x"},
    {"CL lone surrogate", Item::CL, kLoneHigh + u"x", kLoneHigh + u"X"},
    {"CL controls and no-break space", Item::CL, u"a\tb\rc\u00A0d\ne", u"A\tB\rC\u00A0D\nE"},

    {"CLF empty", Item::CLF, u"", u""},
    {"CLF one letter", Item::CLF, u"x", u"X"},
    {"CLF words", Item::CLF, u"hello world", u"Hello World"},
    {"CLF nothing lowered", Item::CLF, u"hELLO wORLD", u"HELLO WORLD"},
    {"CLF after dashes and dots", Item::CLF, u"one-two.three", u"One-two.three"},
    {"CLF leading and double space", Item::CLF, u" two  spaces", u" Two  Spaces"},
    {"CLF trailing space", Item::CLF, u"word ", u"Word "},
    {"CLF line feed", Item::CLF, u"line\nbreak\n\nend", u"Line\nBreak\n\nEnd"},
    {"CLF CRLF", Item::CLF, u"first\r\nsecond", u"First\r\nSecond"},
    {"CLF tab CR no-break space", Item::CLF, u"a\tb\rc\u00A0d\u3000e", u"A\tb\rc\u00A0d\u3000e"},
    {"CLF digits", Item::CLF, u"3 apples", u"3 Apples"},
    {"CLF letter after digit", Item::CLF, u"3d view", u"3d View"},
    {"CLF sharp s, dotless i, final sigma", Item::CLF, u"ßa ıi ς", u"ßa Ii Σ"},
    {"CLF dotted capital i", Item::CLF, u"istanbul İzmir", u"Istanbul İzmir"},
    {"CLF iota subscript", Item::CLF, u"ᾳᾳ ᾳ", u"ᾼᾳ ᾼ"},
    // A pair is two characters here, and half a pair is not a letter: neither is raised.
    {"CLF surrogate pair", Item::CLF, u"𐐨 a 𐐨", u"𐐨 A 𐐨"},
};

using CaseCommand = FormRowTest<RewriteRow>;

TEST_P(CaseCommand, RewritesPhraseOneCharacterForOne)
{
    const RewriteRow& row = GetParam();
    m_fake->setPhraseText(row.before);
    m_fake->choose(row.command);
    EXPECT_EQ(m_fake->phraseText(), row.after);
    EXPECT_EQ(m_fake->phraseText().size(), row.before.size());
    EXPECT_EQ(m_fake->phraseWrites(), expectedWrites(row.command, row.after));
}

INSTANTIATE_TEST_SUITE_P(Rows, CaseCommand, ::testing::ValuesIn(kCaseRows), RowName());

// Each text under "Remove Spaces", "Add -" and "Add .".
struct SpacingRow
{
    const char* name;
    std::u16string before, removed, dashed, dotted;
};

const SpacingRow kSpacingRows[] = {
    {"words", u"red blue green", u"redbluegreen", u"red-blue-green", u"red.blue.green"},
    {"double space", u"a  b", u"ab", u"a--b", u"a..b"},
    {"leading and trailing", u" a ", u"a", u"-a-", u".a."},
    {"spaces only", u"   ", u"", u"---", u"..."},
    {"empty", u"", u"", u"", u""},
    {"no spaces", u"redfox", u"redfox", u"redfox", u"redfox"},
    {"dashes and dots stay", u"a-b.c d", u"a-b.cd", u"a-b.c-d", u"a-b.c.d"},
    {"other blanks stay", u"a\tb\r\nc\u00A0d\u3000e", u"a\tb\r\nc\u00A0d\u3000e", u"a\tb\r\nc\u00A0d\u3000e",
     u"a\tb\r\nc\u00A0d\u3000e"},
    {"surrogate pair", u"𐐨 x", u"𐐨x", u"𐐨-x", u"𐐨.x"},
};

using SpacingCommand = FormRowTest<std::tuple<SpacingRow, Item>>;

TEST_P(SpacingCommand, RewritesSpacesOnly)
{
    const auto& [row, command] = GetParam();
    const std::u16string& after = command == Item::RS ? row.removed : command == Item::AD ? row.dashed : row.dotted;
    m_fake->setPhraseText(row.before);
    m_fake->choose(command);
    EXPECT_EQ(m_fake->phraseText(), after);
    EXPECT_EQ(m_fake->phraseWrites(), expectedWrites(command, after));
    EXPECT_EQ(state().Acc, after);
}

std::string spacingRowName(const ::testing::TestParamInfo<SpacingCommand::ParamType>& info)
{
    const SpacingRow& row = std::get<0>(info.param);
    return utf8(WindowDescription::menuRow(std::get<1>(info.param)).name) + '_'
        + RowName()(::testing::TestParamInfo<SpacingRow>(row, info.index));
}

INSTANTIATE_TEST_SUITE_P(Rows, SpacingCommand,
                         ::testing::Combine(::testing::ValuesIn(kSpacingRows),
                                            ::testing::Values(Item::RS, Item::AD, Item::ADd)),
                         spacingRowName);

// Every field is given a value no command would leave, so that both what a command sets and
// what it must not touch show.
constexpr std::int32_t kPosBefore = -7;
constexpr std::int16_t kCapNextBefore = 1;
constexpr char16_t kChBefore = u'z';
const std::u16string kAccBefore = u"earlier";
const std::u16string kTrace = u"5 3";

struct StateRow
{
    const char* name;
    Item command;
    std::u16string before;
    std::int32_t pos;
    std::int16_t capNext;
    char16_t ch;
    std::u16string acc, scratch;
};

const StateRow kStateRows[] = {
    {"CL", Item::CL, u"ab cd", kPosBefore, kCapNextBefore, kChBefore, kAccBefore, kTrace},
    {"LCL", Item::LCL, u"ab cd", kPosBefore, kCapNextBefore, kChBefore, kAccBefore, kTrace},
    {"CLF empty", Item::CLF, u"", 1, 0, kChBefore, kAccBefore, u""},
    {"CLF letter last", Item::CLF, u"ab cd", 6, 0, u'd', kAccBefore, u"Ab Cd"},
    {"CLF raised last", Item::CLF, u"x y", 4, 0, u'Y', kAccBefore, u"X Y"},
    {"CLF space last", Item::CLF, u"ab ", 4, 1, u' ', kAccBefore, u"Ab "},
    {"CLF line feed last", Item::CLF, u"ab\n", 4, 1, u'\n', kAccBefore, u"Ab\n"},
    {"CLF tab last", Item::CLF, u"ab\t", 4, 0, u'\t', kAccBefore, u"Ab\t"},
    {"RS empty", Item::RS, u"", 1, kCapNextBefore, kChBefore, u"", kTrace},
    {"RS", Item::RS, u"a b ", 5, kCapNextBefore, kChBefore, u"ab", kTrace},
    {"AD", Item::AD, u"a b", 4, kCapNextBefore, kChBefore, u"a-b", kTrace},
    {"ADd surrogate pair", Item::ADd, u"a 𐐨", 5, kCapNextBefore, kChBefore, u"a.𐐨", kTrace},
};

using CommandState = FormRowTest<StateRow>;

TEST_P(CommandState, LeavesFormStateAndScratchBox)
{
    const StateRow& row = GetParam();
    state().Pos = kPosBefore;
    state().CapNext = kCapNextBefore;
    state().Ch.value = kChBefore;
    state().Acc = kAccBefore;
    m_fake->setText(Box::Text3, kTrace);
    m_fake->setPhraseText(row.before);
    m_fake->choose(row.command);
    EXPECT_EQ(state().Pos, row.pos);
    EXPECT_EQ(state().CapNext, row.capNext);
    EXPECT_EQ(state().Ch.value, row.ch);
    EXPECT_EQ(state().Acc, row.acc);
    EXPECT_EQ(m_fake->boxText(Box::Text3), row.scratch);
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandState, ::testing::ValuesIn(kStateRows), RowName());

struct CounterRow
{
    const char* name;
    Item command;
    std::u16string before, captionBefore, captionAfter;
};

const CounterRow kCounterRows[] = {
    {"RS empty at start", Item::RS, u"", kCounterAtStart, u"Charaters  0"},
    {"RS words", Item::RS, u"red blue green", u"Charaters  14", u"Charaters  12"},
    {"RS spaces only", Item::RS, u"   ", u"Charaters  3", u"Charaters  0"},
    {"RS nothing removed", Item::RS, u"redfox", u"Charaters  99", u"Charaters  6"},
    {"RS surrogate pair counts 2", Item::RS, u"a 𐐨", kCounterAtStart, u"Charaters  3"},
    {"RS three digits", Item::RS, std::u16string(103, u'a') + u" b", kCounterAtStart, u"Charaters  104"},
    // A caption written at all would show: nothing else writes this one.
    {"CL leaves the caption", Item::CL, u"red blue green", kCounterAtStart, kCounterAtStart},
    {"LCL leaves the caption", Item::LCL, u"red blue green", kCounterAtStart, kCounterAtStart},
    {"CLF leaves the caption", Item::CLF, u"red blue green", kCounterAtStart, kCounterAtStart},
    {"AD leaves the caption", Item::AD, u"red blue green", kCounterAtStart, kCounterAtStart},
    {"ADd leaves the caption", Item::ADd, u"red blue green", kCounterAtStart, kCounterAtStart},
};

using Counter = FormRowTest<CounterRow>;

TEST_P(Counter, RefreshedByRemoveSpacesOnly)
{
    const CounterRow& row = GetParam();
    m_fake->setCaption(Item::CH, row.captionBefore);
    m_fake->setPhraseText(row.before);
    m_fake->choose(row.command);
    EXPECT_EQ(m_fake->caption(Item::CH), row.captionAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, Counter, ::testing::ValuesIn(kCounterRows), RowName());

using EditCommands = FormTest;

TEST_F(EditCommands, InSequenceKeepCountTrue)
{
    m_fake->setPhraseText(u"red blue green");
    m_fake->choose(Item::RS);
    EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  12");
    m_fake->setPhraseText(u"red blue green");
    for (const Item command : {Item::AD, Item::ADd, Item::CLF, Item::RS, Item::LCL, Item::CL})
        m_fake->choose(command);
    EXPECT_EQ(m_fake->phraseText(), u"RED-BLUE-GREEN");
    EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  14");
    // One write each, two for "Capital Letters First", and the first RS above.
    EXPECT_EQ(m_fake->phraseWrites().size(), 1u + 7u);
}

} // namespace
