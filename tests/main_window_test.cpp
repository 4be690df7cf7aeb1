// SPDX-License-Identifier: MIT
// The main window through the double: the program's life from start-up to its exit status, the
// menu items that run nothing, and the closing sequence (the moves of each pass, the frames
// between them, the bound, and the end of the process whatever the window system does).
#include "app/closing.h"
#include "app/startup.h"
#include "fixture.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace {

// The double's window starts with its top edge at 1,200 twips on a screen 28,800 wide, where
// closing takes 921 passes and writes 28,830 last.
constexpr float kStartTop = 1200.0f;
constexpr float kClosedTop = 28830.0f;

std::vector<float> writesOf(const FakePlatform& fake, Geometry which)
{
    std::vector<float> values;
    for (const auto& [written, twips] : fake.geometryWrites()) {
        if (written == which)
            values.push_back(twips);
    }
    return values;
}

// Closes the window the way the desktop does and checks the unload ended the process.
void closeAndExpectEnd(FakePlatform& fake)
{
    EXPECT_TRUE(fake.requestClose());
    EXPECT_TRUE(fake.hasEnded());
    EXPECT_EQ(fake.exitStatus(), 0);
}

// What the program shows from the start: the window, then "Words (01)" drawing "beta".
std::vector<std::u16string> shownThenBeta(std::initializer_list<std::u16string> after)
{
    std::vector<std::u16string> journal = {u"show", u"clipboard:", u"clipboard:beta ", u"clipboard:beta",
                                           u"caption:CH:Charaters  4"};
    journal.insert(journal.end(), after);
    return journal;
}

} // namespace

struct LifeRow
{
    const char* name;
    // Changes the word list and queues what the user does once the window is up.
    void (*script)(FakePlatform&);
    std::vector<std::u16string> journal;
    std::vector<std::u16string> messages;
    int status;
    float top; // where the window's top edge ends: it moves only in the closing animation
};

const std::u16string kMissing = u"Error Words.TxT File Missing";

// clang-format off
const LifeRow kLives[] = {
    {"a command, then a close",
     [](FakePlatform& fake) {
         fake.queueEvent([&fake] { fake.choose(Item::W1); });
         fake.queueEvent([&fake] { fake.requestClose(); });
     },
     shownThenBeta({u"leave clipboard"}), {}, 0, kClosedTop},
    {"the list missing at start-up", [](FakePlatform& fake) { fake.removeWordList(); }, {}, {kMissing}, 1, kStartTop},
    {"the list gone when a command reads it",
     [](FakePlatform& fake) {
         fake.queueEvent([&fake] {
             fake.removeWordList();
             fake.choose(Item::W1);
         });
     },
     {u"show", u"clipboard:", u"clipboard:", u"caption:CH:Charaters  0", u"leave clipboard"}, {kMissing}, 1, kStartTop},
    // The pause never finishes: the caption stays "Text Copied" and nothing pumps again.
    {"closed during Copy Text's pause",
     [](FakePlatform& fake) {
         fake.queueEvent([&fake] { fake.choose(Item::W1); });
         fake.queueEvent([&fake] {
             fake.queueDuringPump([] {}); // the one before the pause
             fake.queueDuringPump([&fake] { fake.requestClose(); });
             fake.choose(Item::Ct1);
         });
     },
     shownThenBeta({u"enabled:Ct1:0", u"clipboard:beta", u"caption:Ct1:Text Copied", u"pump", u"pump",
                    u"leave clipboard"}),
     {}, 0, kClosedTop},
    {"the list gone during Copy Text's pause",
     [](FakePlatform& fake) {
         fake.queueEvent([&fake] { fake.choose(Item::W1); });
         fake.queueEvent([&fake] {
             fake.queueDuringPump([] {});
             fake.queueDuringPump([&fake] {
                 fake.removeWordList();
                 fake.choose(Item::W2);
             });
             fake.choose(Item::Ct1);
         });
     },
     shownThenBeta({u"enabled:Ct1:0", u"clipboard:beta", u"caption:Ct1:Text Copied", u"pump", u"pump",
                    u"clipboard:", u"clipboard:", u"caption:CH:Charaters  0", u"leave clipboard"}),
     {kMissing}, 1, kStartTop},
};
// clang-format on

using ProgramLife = FormRowTest<LifeRow>;

// runProgram is the whole life of the program on every desktop: the window is shown only after
// a load that did not end the process, and however the event loop ends, the clipboard is left
// to the desktop after it.
TEST_P(ProgramLife, EndsWithTheClipboardLeftAndItsStatus)
{
    const LifeRow& row = GetParam();
    m_form.reset(); // the program makes its own window object
    m_fake->setWordLines({u"alpha", u"beta", u"gamma"});
    m_fake->queueDraws({0.4, 0.4});
    m_fake->setClock(1000.0f, 0.125f); // a Copy Text pause that goes on ends by itself
    row.script(*m_fake);
    EXPECT_EQ(runProgram(*m_fake), row.status);
    EXPECT_EQ(m_fake->journal(), row.journal);
    std::vector<std::u16string> prompts;
    for (const FakePlatform::Message& message : m_fake->messages())
        prompts.push_back(message.prompt);
    EXPECT_EQ(prompts, row.messages);
    EXPECT_EQ(m_fake->geometryValue(Geometry::Top), row.top);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProgramLife, ::testing::ValuesIn(kLives), RowName());

struct InertRow
{
    const char* name;
    Item item;
    std::size_t messages; // per choice
};

// Items whose choice leaves the window as it was: InFo only shows its message; the others have
// no handler at all.
const InertRow kInert[] = {
    {"InFo", Item::InF, 1},        {"Words", Item::W, 0},         {"Change Tex", Item::Ct, 0},
    {"the counter", Item::CH, 0},  {"separator B1", Item::B1, 0}, {"separator B2", Item::B2, 0},
    {"separator B3", Item::B3, 0}, {"separator B4", Item::B4, 0},
};

using MenuItem = FormRowTest<InertRow>;

TEST_P(MenuItem, ChangesNothingButMessages)
{
    m_fake->setWordLines({u"kiwi"});
    m_form->load();
    m_fake->setText(Box::Text1, u"alpha beta");
    const std::vector<std::u16string> journal = m_fake->journal();
    m_fake->choose(GetParam().item);
    m_fake->choose(GetParam().item);
    EXPECT_EQ(m_fake->journal(), journal);
    EXPECT_EQ(m_fake->phraseWrites(), std::vector<std::u16string>{u"alpha beta"});
    ASSERT_EQ(m_fake->messages().size(), 2 * GetParam().messages);
    if (GetParam().messages > 0) {
        EXPECT_EQ(m_fake->messages().back().prompt, m_fake->messages().front().prompt);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MenuItem, ::testing::ValuesIn(kInert), RowName());

using Closing = FormTest;

TEST_F(Closing, FirstPassShrinksAboutTheCentre)
{
    m_fake->setGeometryValue(Geometry::Left, 600.0f);
    m_fake->setGeometryValue(Geometry::Width, 13740.0f);
    m_fake->setGeometryValue(Geometry::Height, 1500.0f);
    closeAndExpectEnd(*m_fake);
    ASSERT_GE(m_fake->geometryWrites().size(), 4u);
    const std::vector<std::pair<Geometry, float>> firstPass(m_fake->geometryWrites().begin(),
                                                            m_fake->geometryWrites().begin() + 4);
    const std::vector<std::pair<Geometry, float>> expected = {
        {Geometry::Top, 1230.0f}, {Geometry::Left, 630.0f}, {Geometry::Width, 13680.0f}, {Geometry::Height, 1440.0f}};
    EXPECT_EQ(firstPass, expected);
}

struct PassesRow
{
    const char* name;
    float top;
    float screenWidth;
    std::size_t passes;
    float lastTop;
};

const PassesRow kPasses[] = {
    {"1,200 on a 1,920-pixel screen", 1200.0f, 28800.0f, 921, kClosedTop},
    {"already beyond the bound: one pass", 30000.0f, 28800.0f, 1, 30030.0f},
    {"on the bound: one pass", 28800.0f, 28800.0f, 1, 28830.0f},
    {"one step short: the bound itself goes on", 28770.0f, 28800.0f, 2, 28830.0f},
    {"above the screen", -600.0f, 28800.0f, 981, 28830.0f},
    {"narrow screen, bound below the top edge", 9000.0f, 15360.0f, 213, 15390.0f},
};

using ClosingPasses = FormRowTest<PassesRow>;

TEST_P(ClosingPasses, EndOnceTopPassesTheScreenWidth)
{
    const PassesRow& row = GetParam();
    m_fake->setGeometryValue(Geometry::Top, row.top);
    m_fake->setScreenWidth(row.screenWidth);
    closeAndExpectEnd(*m_fake);
    const std::vector<float> tops = writesOf(*m_fake, Geometry::Top);
    ASSERT_EQ(tops.size(), row.passes);
    EXPECT_EQ(tops.back(), row.lastTop);
    EXPECT_EQ(writesOf(*m_fake, Geometry::Height).size(), row.passes);
    // The platform gets its frame between two passes, after all four moves, and only there.
    std::vector<std::size_t> between;
    for (std::size_t pass = 1; pass < row.passes; ++pass)
        between.push_back(4 * pass);
    EXPECT_EQ(m_fake->frameWaits(), between);
}

INSTANTIATE_TEST_SUITE_P(Rows, ClosingPasses, ::testing::ValuesIn(kPasses), RowName());

struct StuckRow
{
    const char* name;
    bool refuseAll;
    float top;
    float topLowest;
    float topHighest;
    std::size_t topWrites;
};

constexpr float kFar = 1e30f;

const StuckRow kStuck[] = {
    {"minimised or maximised: every write refused", true, 1200.0f, -kFar, kFar, 0},
    {"positions ignored by the compositor", false, 1200.0f, 1200.0f, 1200.0f, 1},
    {"held at the edge of the desktop", false, 1200.0f, -kFar, 9000.0f, 261},
    {"pushed back up", false, 1200.0f, -kFar, 600.0f, 1},
    {"too far out for 30 twips to count", false, 1.0e9f, -kFar, kFar, 1},
};

using WindowThatCannotMove = FormRowTest<StuckRow>;

TEST_P(WindowThatCannotMove, EndsWithoutHanging)
{
    const StuckRow& row = GetParam();
    m_fake->setGeometryValue(Geometry::Top, row.top);
    m_fake->setScreenWidth(2.0e9f);
    m_fake->clampGeometry(Geometry::Top, row.topLowest, row.topHighest);
    for (const Geometry which : {Geometry::Top, Geometry::Left, Geometry::Width, Geometry::Height})
        m_fake->refuseGeometry(which, row.refuseAll);
    closeAndExpectEnd(*m_fake);
    EXPECT_EQ(writesOf(*m_fake, Geometry::Top).size(), row.topWrites);
    // A window that cannot move ends at once, without waiting for a frame.
    EXPECT_EQ(m_fake->frameWaits().size(), std::max<std::size_t>(row.topWrites, 1) - 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, WindowThatCannotMove, ::testing::ValuesIn(kStuck), RowName());

struct RefusedRow
{
    const char* name;
    Geometry refused;
    std::array<std::size_t, 4> writes; // Top, Left, Width, Height
};

const RefusedRow kRefused[] = {
    {"Top: the pass still runs, then the end", Geometry::Top, {0, 1, 1, 1}},
    {"Left", Geometry::Left, {921, 0, 921, 921}},
    {"Width", Geometry::Width, {921, 921, 0, 921}},
    {"Height", Geometry::Height, {921, 921, 921, 0}},
};

using RefusedStep = FormRowTest<RefusedRow>;

TEST_P(RefusedStep, LeavesTheOthersGoing)
{
    const RefusedRow& row = GetParam();
    m_fake->refuseGeometry(row.refused);
    const float before = m_fake->geometryValue(row.refused);
    closeAndExpectEnd(*m_fake);
    const std::array<std::size_t, 4> counts = {
        writesOf(*m_fake, Geometry::Top).size(), writesOf(*m_fake, Geometry::Left).size(),
        writesOf(*m_fake, Geometry::Width).size(), writesOf(*m_fake, Geometry::Height).size()};
    EXPECT_EQ(counts, row.writes);
    EXPECT_EQ(m_fake->geometryValue(row.refused), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedStep, ::testing::ValuesIn(kRefused), RowName());

TEST_F(Closing, AtTheSmallestSizeTheWindowKeepsMovingFromFreshReads)
{
    m_fake->setGeometryValue(Geometry::Left, 1200.0f);
    m_fake->setMinimumSize(1800.0f, 900.0f);
    closeAndExpectEnd(*m_fake);
    EXPECT_EQ(writesOf(*m_fake, Geometry::Top).size(), 921u);
    EXPECT_EQ(m_fake->geometryValue(Geometry::Left), 28830.0f);
    EXPECT_EQ(m_fake->geometryValue(Geometry::Width), 1800.0f);
    EXPECT_EQ(m_fake->geometryValue(Geometry::Height), 900.0f);
    // Each pass starts from what the platform holds, not from what was written last.
    EXPECT_EQ(writesOf(*m_fake, Geometry::Width).back(), 1740.0f);
    EXPECT_EQ(writesOf(*m_fake, Geometry::Height).back(), 840.0f);
}

struct BetweenPassesRow
{
    const char* name;
    bool closeAgain; // the desktop asks to close the window again
    Item item; // otherwise this item is chosen
};

const BetweenPassesRow kBetweenPasses[] = {
    {"Words (01)", false, Item::W1}, {"Capital Letters", false, Item::CL},      {"Copy Text", false, Item::Ct1},
    {"InFo", false, Item::InF},      {"a second close request", true, Item::W},
};

using BetweenPasses = FormRowTest<BetweenPassesRow>;

TEST_P(BetweenPasses, NothingElseRuns)
{
    const BetweenPassesRow& row = GetParam();
    m_fake->setWordLines({u"kiwi"});
    m_form->load();
    m_fake->setPhraseText(u"red fox");
    m_fake->setClock(1000.0f, 0.125f); // a Copy Text pause that started would end
    std::optional<bool> secondMayClose;
    m_fake->queueDuringFrame([] {});
    m_fake->queueDuringFrame([&] {
        if (row.closeAgain)
            secondMayClose = m_fake->requestClose();
        else
            m_fake->choose(row.item);
    });
    closeAndExpectEnd(*m_fake);
    EXPECT_TRUE(m_fake->phraseWrites().empty());
    EXPECT_TRUE(m_fake->journal().empty());
    EXPECT_TRUE(m_fake->messages().empty());
    EXPECT_EQ(secondMayClose, row.closeAgain ? std::optional<bool>(true) : std::nullopt);
    // One sequence, neither started again nor nested in itself.
    const std::vector<float> tops = writesOf(*m_fake, Geometry::Top);
    EXPECT_EQ(tops.size(), 921u);
    EXPECT_EQ(tops.back(), kClosedTop);
}

INSTANTIATE_TEST_SUITE_P(Rows, BetweenPasses, ::testing::ValuesIn(kBetweenPasses), RowName());

TEST_F(Closing, UnloadEndsByProcessEndAndNeverCancels)
{
    FormState state;
    std::int16_t cancel = 0;
    EXPECT_THROW(Form_Unload(state, *m_fake, cancel), ProcessEnd);
    EXPECT_EQ(cancel, 0);
    EXPECT_EQ(m_fake->exitStatus(), 0);
    // Nothing more runs once the process has ended.
    m_fake->setPhraseText(u"red fox");
    m_fake->choose(Item::CL);
    EXPECT_TRUE(m_fake->phraseWrites().empty());
}
