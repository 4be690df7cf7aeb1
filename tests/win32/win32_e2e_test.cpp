// SPDX-License-Identifier: MIT
// The real lexitrove.exe worked from outside, as a user and other programs see it: its menu bar,
// its boxes, the clipboard (also from the X side under Wine), Copy Text, its message boxes, the
// ways it closes and its exit status. Every case starts the program afresh in a folder of its own.
//   win32_e2e_test --program=PATH\lexitrove.exe [--installer=PATH --version=X.Y.Z] [gtest flags]
//   win32_e2e_test --hold-session    (see holdSession in win32_driver.h)
#include "win32_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

namespace {

const std::vector<std::wstring> FiveWords = {L"alpha", L"bravo", L"charlie", L"delta", L"echo"};

// The menu bar as a user sees it: one line per item, a list's items indented, separators as
// "----", and "(greyed)" after a command that cannot be chosen. Separators count as greyed in
// Wine and not in Windows, so their state is left out.
std::vector<std::wstring> seenMenu(const std::vector<MenuItem>& items)
{
    std::vector<std::wstring> lines;
    for (const MenuItem& item : items) {
        std::wstring line(std::size_t(item.depth) * 2, L' ');
        line += item.kind == L'S' ? L"----" : item.caption;
        if (item.kind == L'P')
            line += L" >";
        if (item.kind == L'C' && item.greyed)
            line += L" (greyed)";
        lines.push_back(line);
    }
    return lines;
}

const std::vector<std::wstring> MenuAtStart = {
    L"Words >",
    L"  ----", L"  Words (01)", L"  Words (02)", L"  Words (03)", L"  Words (04)", L"  Words (05)",
    L"  Words (06)", L"  Words (07)", L"  Words (08)", L"  Words (09)", L"  Words (10)", L"  InFo", L"  ----",
    L"Change Tex >",
    L"  ----", L"  Capital Letters", L"  Lower Case Letters", L"  Capital Letters First", L"  Remove Spaces",
    L"  Add -", L"  Add .", L"  ----",
    L"Copy Text",
    L"Characters 0",
};

// Starts the program over `list` and waits for its window.
struct Started
{
    ProgramFolder folder;
    TestedProgram program;

    explicit Started(const std::vector<std::wstring>& list)
        : folder(list)
        , program(folder.program())
    {
        program.waitForWindow();
    }
};

// What a phrase should look like wherever it went: the box, the clipboard with its marks, the
// X clipboard, the counter; and what the hidden boxes give away (nothing). The clipboard is
// handed over as the command returns, so it is waited for.
void expectPhraseEverywhere(TestedProgram& program, const std::wstring& phrase)
{
    EXPECT_EQ(program.waitForPhrase(phrase), phrase) << "the phrase box";
    const ClipboardSeen clipboard = pollUntil<ClipboardSeen>(
        readClipboard, [&](const ClipboardSeen& seen) { return seen.text == phrase; });
    EXPECT_EQ(clipboard.text.value_or(L"(no text)"), phrase) << "the clipboard";
    EXPECT_TRUE(clipboard.marks.at(L"ExcludeClipboardContentFromMonitorProcessing").has_value())
        << "the mark that keeps clipboard monitors away";
    EXPECT_EQ(clipboard.marks.at(L"CanIncludeInClipboardHistory").value_or(-2), 0) << "clipboard history";
    EXPECT_EQ(clipboard.marks.at(L"CanUploadToCloudClipboard").value_or(-2), 0) << "cloud clipboard";
    if (const auto x = readXClipboard()) {
        EXPECT_EQ(*x, toUtf8(phrase)) << "xclip -o -selection clipboard";
    }
    EXPECT_EQ(program.barItem(3), L"Charaters  " + std::to_wstring(phrase.size())) << "the counter";
    // The hidden boxes hold the word count, the draw trace and at times a whole phrase; another
    // program asking them gets what it got before the first command, and nothing of the phrase.
    const std::vector<std::wstring> hidden = program.hiddenTexts();
    EXPECT_EQ(hidden, program.hiddenTextsAtStart()) << "WM_GETTEXT to the hidden controls";
    for (const auto& text : hidden)
        EXPECT_EQ(text.find(splitWords(phrase).front()), std::wstring::npos) << "a hidden control shows the phrase";
}

// --- Start-up --------------------------------------------------------------------------------------

TEST(StartUp, ShowsTheMenuBarAndAnEmptyDisabledPhraseBox)
{
    putOnClipboard(L"held by another program");
    Started run(FiveWords);
    TestedProgram& program = run.program;
    wchar_t title[64] = L"";
    GetWindowTextW(program.window(), title, 64);
    EXPECT_EQ(std::wstring(title), L"Lexitrove");
    EXPECT_EQ(seenMenu(program.menu()), MenuAtStart);
    RECT client{};
    GetClientRect(program.window(), &client);
    const UINT dpi = GetDpiForWindow(program.window());
    EXPECT_EQ(client.right, MulDiv(13500, int(dpi), 1440)) << "client width at " << dpi << " DPI";
    EXPECT_EQ(client.bottom, MulDiv(900, int(dpi), 1440)) << "client height at " << dpi << " DPI";
    HWND box = program.phraseBox();
    EXPECT_EQ(program.phrase(), L"");
    EXPECT_FALSE(IsWindowEnabled(box)) << "the phrase box takes no input";
    EXPECT_EQ(program.visibleChildren(), std::vector<HWND>{box}) << "the phrase box is all there is to see";
    EXPECT_EQ(readClipboard().text.value_or(L""), L"held by another program") << "start-up leaves the clipboard";
}

// --- Words --------------------------------------------------------------------------------------------

struct WordsCase : Row
{
    std::vector<std::wstring> list;
    const wchar_t* command;
    std::size_t words;
};

class WordsCommand : public testing::TestWithParam<WordsCase>
{
};

TEST_P(WordsCommand, PutsThePhraseInTheBoxAndOnTheClipboard)
{
    const WordsCase& c = GetParam();
    Started run(c.list);
    TestedProgram& program = run.program;
    const std::wstring phrase = program.generate(c.command);
    const auto words = splitWords(phrase);
    EXPECT_EQ(words.size(), c.words) << "in \"" << toUtf8(phrase) << "\"";
    for (const auto& word : words)
        EXPECT_NE(std::find(c.list.begin(), c.list.end(), word), c.list.end()) << "\"" << toUtf8(word) << "\"";
    expectPhraseEverywhere(program, phrase);

    // The counter item is no command: choosing it changes nothing.
    const std::wstring counter = program.barItem(3);
    program.choose(counter);
    EXPECT_EQ(program.barItem(3), counter);
    expectPhraseEverywhere(program, phrase);
    EXPECT_FALSE(program.waitForMessageBox(0ms)) << "a message box after choosing the counter";
}

INSTANTIATE_TEST_SUITE_P(Rows, WordsCommand,
                         testing::Values(WordsCase{{"one_word"}, FiveWords, L"Words (01)", 1},
                                         WordsCase{{"five_words"}, FiveWords, L"Words (05)", 5},
                                         WordsCase{{"ten_words"}, FiveWords, L"Words (10)", 10},
                                         // UTF-8 in the list, two UTF-16 units for U+1D11E
                                         WordsCase{{"beyond_ascii"}, {L"\u00c4rger\u20ac\u00df\U0001D11E"}, L"Words (02)", 2}),
                         RowName());

// --- Change Tex ---------------------------------------------------------------------------------------

TEST(ChangeTex, EachCommandRewritesThePhraseEverywhere)
{
    // Which command each item runs; what they do to every kind of text is the logic's tests' part.
    const struct
    {
        const wchar_t* command;
        const wchar_t* after;
    } table[] = {
        {L"Capital Letters", L"QUOTE QUOTE QUOTE"},  {L"Lower Case Letters", L"quote quote quote"},
        {L"Capital Letters First", L"QuOte QuOte QuOte"}, {L"Remove Spaces", L"quOtequOtequOte"},
        {L"Add -", L"quOte-quOte-quOte"},             {L"Add .", L"quOte.quOte.quOte"},
    };
    // A list of one item makes every phrase exact.
    Started run({L"quOte"});
    TestedProgram& program = run.program;
    for (const auto& row : table) {
        SCOPED_TRACE(toUtf8(row.command));
        EXPECT_EQ(program.generate(L"Words (03)"), L"quOte quOte quOte");
        program.choose(row.command);
        expectPhraseEverywhere(program, row.after);
    }
}

// --- Copy Text ----------------------------------------------------------------------------------------

TEST(CopyText, CopiesAgainAndSaysSoForASecond)
{
    Started run(FiveWords);
    TestedProgram& program = run.program;
    const std::wstring phrase = program.generate(L"Words (05)");
    putOnClipboard(L"pasted meanwhile");

    const auto chosen = Clock::now();
    program.choose(L"Copy Text");
    // The hook's question is queued behind the command, so it is answered inside the pause only
    // if the pause keeps handling the window's messages.
    bool greyed = false;
    EXPECT_EQ(program.barItem(2, &greyed), L"Text Copied") << "the caption during the pause";
    EXPECT_TRUE(greyed) << "Copy Text greyed during its pause";
    EXPECT_EQ(program.phrase(), phrase) << "WM_GETTEXT answered during the pause";
    EXPECT_EQ(readClipboard().text.value_or(L""), phrase);

    const std::wstring back = pollUntil<std::wstring>(
        [&] { return program.barItem(2, &greyed) + (greyed ? L" (greyed)" : L""); },
        [](const std::wstring& caption) { return caption == L"Copy Text"; });
    EXPECT_EQ(back, L"Copy Text");
    // A lower bound only: a loaded machine can make the pause longer, never shorter.
    EXPECT_GE(secondsSince(chosen), 0.95) << "the caption came back before a second had passed";
}

// --- Message boxes ------------------------------------------------------------------------------------

struct MessageCase : Row
{
    bool withList;
    const wchar_t* command; // nullptr: the box comes at start-up
    bool clipboardHeld;     // another program keeps the clipboard open meanwhile
    const wchar_t* title;
    const wchar_t* text;
    int exitStatus; // after OK; -1: the program goes on
};

class MessageBoxes : public testing::TestWithParam<MessageCase>
{
};

TEST_P(MessageBoxes, ShowTheirTextWithTheExclamationIconAndOneOkButton)
{
    const MessageCase& c = GetParam();
    ProgramFolder folder;
    if (c.withList)
        folder.writeWordList(FiveWords);
    TestedProgram program(folder.program());
    std::optional<ClipboardHold> hold;
    if (c.command) {
        program.waitForWindow();
        if (c.clipboardHeld)
            hold.emplace();
        program.choose(c.command);
    }
    const auto box = program.waitForMessageBox();
    hold.reset();
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_EQ(box->title, c.title);
    EXPECT_EQ(box->text, c.text);
    EXPECT_EQ(box->icon, L"exclamation");
    EXPECT_EQ(box->buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_EQ(box->owner, program.window()) << "owned by the main window, if there is one yet";
    TestedProgram::pressOk(*box);
    if (c.exitStatus >= 0) {
        EXPECT_EQ(program.waitForExit(), c.exitStatus);
    } else {
        EXPECT_FALSE(program.waitForMessageBox(0ms)) << "the box stays after OK";
        EXPECT_TRUE(program.running());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MessageBoxes,
    testing::Values(MessageCase{{"info"}, true, L"InFo", false, L"Lexitrove",
                                L"Lexitrove builds random pass phrases from the words of Words.TxT beside the program "
                                L"(as shipped, the EFF large word list) and puts them on the clipboard.\r\n \r\n ",
                                -1},
                    MessageCase{{"missing_list"}, false, nullptr, false, L"Quorbel_Words",
                                L"Error Words.TxT File Missing", 1},
                    MessageCase{{"clipboard_locked"}, true, L"Words (05)", true, L"Lexitrove",
                                L"Another program kept the clipboard locked, so the phrase could not be put on it.\r\n"
                                L"Choose Copy Text to put it there.",
                                -1}),
    RowName());

// --- Closing ------------------------------------------------------------------------------------------

// The end of the program must come within 2 s of the request; the margin is for Wine's own
// teardown of the process on a loaded machine, and is no part of the program's time.
constexpr double ClosingBound = 2.0;
constexpr double TeardownMargin = 1.5;

enum class Animation { Seen, None, Either };

struct ClosingCase : Row
{
    void (*before)(Started&); // what the user did before asking to close
    bool endSession;          // logging off instead of closing the window
    Animation animation;
};

class Closing : public testing::TestWithParam<ClosingCase>
{
};

void showAs(Started& run, WPARAM command, BOOL (*seen)(HWND))
{
    PostMessageW(run.program.window(), WM_SYSCOMMAND, command, 0);
    EXPECT_TRUE(pollUntil<bool>([&] { return seen(run.program.window()) != FALSE; }, [](bool is) { return is; }));
}

// Every outer frame the window goes through until the process ends, and for how long it changed.
struct FramesSeen
{
    std::vector<RECT> frames;
    double changing = 0; // seconds from the first change to the last
};

FramesSeen watchFrames(TestedProgram& program, Clock::time_point since)
{
    FramesSeen seen;
    Clock::time_point first{};
    while (program.running() && secondsSince(since) < 20) {
        RECT frame{};
        if (GetWindowRect(program.window(), &frame) && (seen.frames.empty() || !EqualRect(&frame, &seen.frames.back()))) {
            if (seen.frames.size() == 1)
                first = Clock::now();
            else if (seen.frames.size() > 1)
                seen.changing = secondsSince(first);
            seen.frames.push_back(frame);
        }
        pumpFor(2ms);
    }
    return seen;
}

// Waits for the end of the program and checks that it came in time, with status 0.
double expectEndInTime(TestedProgram& program, Clock::time_point asked)
{
    EXPECT_EQ(program.waitForExit(), 0) << "the exit status (-1: still running after 20 s)";
    if (program.running())
        return -1;
    const double took = std::chrono::duration<double>(program.endedAt() - asked).count();
    EXPECT_LE(took, ClosingBound + TeardownMargin) << "seconds from the request to the end of the process";
    return took;
}

TEST_P(Closing, EndsTheProgramWithStatusZeroLeavingThePhrase)
{
    const ClosingCase& c = GetParam();
    Started run(FiveWords);
    TestedProgram& program = run.program;
    const std::wstring phrase = program.generate(L"Words (04)");
    c.before(run);

    const auto asked = Clock::now();
    if (c.endSession) {
        DWORD_PTR mayEnd = 0;
        SendMessageTimeoutW(program.window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 20000, &mayEnd);
        EXPECT_TRUE(mayEnd) << "WM_QUERYENDSESSION";
        PostMessageW(program.window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    } else {
        PostMessageW(program.window(), WM_CLOSE, 0, 0);
    }
    const FramesSeen seen = watchFrames(program, asked);
    const double took = expectEndInTime(program, asked);
    if (c.animation == Animation::Seen) {
        EXPECT_GE(seen.frames.size(), 4u) << "frames seen while closing";
        for (std::size_t i = 1; i < seen.frames.size(); ++i) {
            const RECT &before = seen.frames[i - 1], &after = seen.frames[i];
            EXPECT_TRUE(after.left >= before.left && after.top >= before.top &&
                        after.right - after.left <= before.right - before.left)
                << "each step shrinks the window or moves it down and to the right";
        }
        // A lower bound only: a loaded machine makes the animation slower, never faster.
        EXPECT_GE(seen.changing, 0.5) << "seconds of animation: too fast to be seen";
    } else if (c.animation == Animation::None) {
        EXPECT_LE(seen.frames.size(), 1u) << "an animation where none was due";
    }
    // The driver keeps Wine's clipboard alive: what it reads is what the next paste gets.
    EXPECT_EQ(readClipboard().text.value_or(L"(no text)"), phrase) << "the clipboard after the end";
    if (const auto x = readXClipboard()) {
        EXPECT_EQ(*x, toUtf8(phrase)) << "xclip after the end";
    }
    std::cout << "  ended " << took << " s after the request, through " << seen.frames.size() << " frames in "
              << seen.changing << " s\n";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Closing,
    testing::Values(ClosingCase{{"window"}, [](Started&) {}, false, Animation::Seen},
                    ClosingCase{{"minimised"}, [](Started& run) { showAs(run, SC_MINIMIZE, IsIconic); }, false,
                                Animation::Either},
                    ClosingCase{{"maximised"}, [](Started& run) { showAs(run, SC_MAXIMIZE, IsZoomed); }, false,
                                Animation::Either},
                    ClosingCase{{"log_off"}, [](Started&) {}, true, Animation::None}),
    RowName());

TEST(ClosingDuringALongRead, StopsTheReadAndEndsWithoutAPhrase)
{
    Started run(FiveWords);
    TestedProgram& program = run.program;
    // A sparse terabyte of zeros: one item that takes minutes to read to its end.
    run.folder.writeHugeWordList(1LL << 40);
    program.pointAtWindow();
    program.choose(L"Words (10)");
    EXPECT_EQ(program.pointer(), L"wait") << "the pointer over the window while the command reads";
    const auto asked = Clock::now();
    PostMessageW(program.window(), WM_CLOSE, 0, 0);
    const double took = expectEndInTime(program, asked);
    // The command emptied the box first, and stopped before it had a phrase.
    EXPECT_EQ(readClipboard().text.value_or(L"(no text)"), L"") << "the clipboard after the stopped command";
    std::cout << "  ended " << took << " s after the close request\n";
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--hold-session")
        return holdSession();
    testing::InitGoogleTest(&argc, argv);
    SetProcessDPIAware();
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = fromUtf8(argv[i]);
        for (const auto& [flag, value] : {std::pair{L"--program=", &settings().program},
                                          std::pair{L"--installer=", &settings().installer},
                                          std::pair{L"--version=", &settings().version}}) {
            if (argument.starts_with(flag))
                *value = windowsPath(argument.substr(std::wcslen(flag)));
        }
    }
    return RUN_ALL_TESTS();
}
