// SPDX-License-Identifier: MIT
// Every kind of bad word list a user could leave as Words.TxT, on the real file system: what
// each one gives is written down here, nothing crashes or hangs, memory stays bounded and no
// file stays open.
#include "fixture.h"
#include "reference_reader.h"
#include "platform/text.h"
#include "words/item_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

#ifdef LEXITROVE_PROGRAM
constexpr std::string_view kProgram = LEXITROVE_PROGRAM;
#else
constexpr std::string_view kProgram; // no desktop was built
#endif

// What stands where the word list should be.
// clang-format off
enum class ListKind {
    Short, Shorter, Empty, Gone, Directory, Fifo, Unreadable, Dangling, Loop, LinkToDirectory,
    HugeLine, EmptyLines, Binary,
};
// clang-format on

constexpr std::int64_t MiB = 1024 * 1024;

int openDescriptors()
{
    return int(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

std::int64_t statusKiB(const std::string& field, const std::string& process = "self")
{
    std::ifstream status("/proc/" + process + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field))
            return std::stoll(line.substr(field.size()));
    }
    return -1;
}

// Starts a new peak of the resident set at the present size; false where the kernel does not
// offer that, and the memory checks are then left out.
bool restartPeakRss()
{
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    const bool restarted = fd >= 0 && ::write(fd, "5", 1) == 1;
    if (fd >= 0)
        ::close(fd);
    return restarted;
}

// `count` copies of `piece`, then `tail`, written a mebibyte at a time.
void writeList(const fs::path& path, const std::string& piece, std::int64_t count = 1, const std::string& tail = {})
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::int64_t perChunk = std::max<std::int64_t>(1, MiB / std::max<std::int64_t>(1, std::ssize(piece)));
    std::string chunk;
    for (std::int64_t i = 0; i < perChunk; ++i)
        chunk += piece;
    for (std::int64_t done = 0; done < count; done += perChunk)
        file.write(chunk.data(), std::streamsize(std::min(perChunk, count - done) * std::ssize(piece)));
    file << tail;
    EXPECT_TRUE(file.flush()) << path;
}

std::string numberedLines(int count)
{
    std::string bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "w" + std::to_string(i) + '\n';
    return bytes;
}

std::string utf16(std::u16string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = char(unit >> 8), low = char(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// C0, DEL and C1: an item with one of them cannot be typed.
bool holdsControl(std::u16string_view item)
{
    return std::any_of(item.begin(), item.end(),
                       [](char16_t unit) { return unit < 0x20 || (unit >= 0x7F && unit < 0xA0); });
}

// Root reads any file, whatever its permission bits say, through two capabilities. While this
// lives, the thread runs without them, as every other user does, so that a list without read
// permission is unreadable here too (CI runs as root). Lowering the effective set takes no
// privilege, nor does raising it again within the permitted set.
class WithoutReadOverride
{
public:
    WithoutReadOverride()
    {
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
        std::copy(std::begin(m_saved), std::end(m_saved), lowered);
        lowered[0].effective &= ~(CAP_TO_MASK(CAP_DAC_OVERRIDE) | CAP_TO_MASK(CAP_DAC_READ_SEARCH));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
    }
    ~WithoutReadOverride()
    {
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutReadOverride(const WithoutReadOverride&) = delete;
    WithoutReadOverride& operator=(const WithoutReadOverride&) = delete;

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[_LINUX_CAPABILITY_U32S_3]{};
    bool m_lowered = false;
};

// Starts `program` with Qt's offscreen platform; its output goes where the test's goes.
pid_t startOffscreen(const std::string& program)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::string name = program;
    char* arguments[] = {name.data(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, arguments, environ) == 0 ? pid : -1;
}

// Waits until the process sleeps in its event loop: in poll() by the kernel's word, or, where
// the kernel does not say, asleep without using the processor for a few readings in a row.
bool waitUntilIdle(pid_t pid, std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string process = "/proc/" + std::to_string(pid);
    std::string lastCpu;
    for (int idleReadings = 0; std::chrono::steady_clock::now() < deadline;
         std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
        std::ifstream statFile(process + "/stat");
        std::string stat;
        std::getline(statFile, stat);
        // After the command name: the state, then user and system time as the 12th and 13th.
        std::istringstream after(stat.substr(std::min(stat.size(), stat.rfind(')') + 1)));
        const std::vector<std::string> fields{std::istream_iterator<std::string>(after), {}};
        if (fields.size() < 13 || fields[0] == "Z")
            return false; // it ended
        std::ifstream wchanFile(process + "/wchan");
        std::string wchan;
        std::getline(wchanFile, wchan);
        const std::string cpu = fields[11] + '+' + fields[12];
        const bool told = !wchan.empty() && wchan != "0";
        const bool idle = fields[0] == "S" && (told ? wchan.find("poll") != std::string::npos : cpu == lastCpu);
        lastCpu = cpu;
        idleReadings = idle ? idleReadings + 1 : 0;
        if (idleReadings >= 3)
            return true;
    }
    return false;
}

} // namespace

// Each test reads Words.TxT from a folder of its own on the real file system.
class BadList : public FormTest
{
protected:
    void SetUp() override
    {
        // A hang is a failure: the process is ended if one test takes longer than this.
        alarm(300);
        std::string folder = (fs::temp_directory_path() / "lexitrove-bad-list-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        m_dir = folder;
        m_fake->useRealFolder(fromSystemUtf8(folder));
        m_descriptors = openDescriptors();
    }
    void TearDown() override
    {
        m_asAnyUser.reset();
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
        alarm(0);
    }

    fs::path listPath() const { return m_dir / "Words.TxT"; }

    // Puts `kind` where the word list stands, in place of whatever stood there.
    void makeList(ListKind kind)
    {
        const std::string path = listPath();
        std::error_code ignored;
        fs::remove(path, ignored);
        switch (kind) {
        case ListKind::Short: return writeList(path, "alpha\nbeta\n");
        case ListKind::Shorter: return writeList(path, numberedLines(10));
        case ListKind::Empty: return writeList(path, "");
        case ListKind::Gone: return;
        case ListKind::Directory: EXPECT_TRUE(fs::create_directory(path)); return;
        case ListKind::Fifo: EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0); return;
        case ListKind::Unreadable: {
            writeList(path, "alpha\nbeta\n");
            EXPECT_EQ(::chmod(path.c_str(), 0), 0);
            m_asAnyUser.emplace();
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
                ADD_FAILURE() << "a file without read permission can still be read";
            }
            return;
        }
        case ListKind::Dangling: EXPECT_EQ(::symlink("gone.txt", path.c_str()), 0); return;
        case ListKind::Loop: EXPECT_EQ(::symlink("Words.TxT", path.c_str()), 0); return;
        case ListKind::LinkToDirectory:
            EXPECT_TRUE(fs::create_directory(m_dir / "lists"));
            EXPECT_EQ(::symlink("lists", path.c_str()), 0);
            return;
        case ListKind::HugeLine: return writeList(path, "abcdefgh", 100 * MiB / 8, "\n");
        case ListKind::EmptyLines: return writeList(path, "\n", 10000000);
        case ListKind::Binary: return writeList(path, "x\0\xFF\r\xC3(\x80\n\xE9"s, 4 * MiB / 9);
        }
    }

    // Start-up; then the memory it took above what the process held before, in KiB.
    std::int64_t startUp()
    {
        m_measuresRss = restartPeakRss();
        m_rssAtStart = statusKiB("VmRSS:");
        m_form->load();
        return peakGrowthKiB();
    }
    std::int64_t peakGrowthKiB() const { return m_measuresRss ? statusKiB("VmHWM:") - m_rssAtStart : 0; }

    void verifyNothingOpen()
    {
        EXPECT_EQ(m_fake->openFiles(), 0);
        EXPECT_EQ(openDescriptors(), m_descriptors);
    }
    void verifyStillRunning()
    {
        EXPECT_FALSE(m_fake->hasEnded());
        EXPECT_TRUE(m_fake->messages().empty()) << utf8(m_fake->messages().front().prompt);
    }
    // A command gave no phrase and said why, once, in a message that begins with `prompt`.
    void verifyNoPhrase(const std::u16string& prompt)
    {
        ASSERT_EQ(m_fake->messages().size(), 1u);
        const FakePlatform::Message& message = m_fake->messages().front();
        EXPECT_EQ(message.prompt.substr(0, prompt.size()), prompt);
        EXPECT_EQ(message.title, u"Quorbel_Words");
        EXPECT_EQ(m_fake->phraseText(), u"");
        EXPECT_EQ(m_fake->clipboard(), u"");
        EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  0");
        EXPECT_FALSE(m_fake->hasEnded());
    }
    void verifyMissingList()
    {
        ASSERT_EQ(m_fake->messages().size(), 1u);
        const FakePlatform::Message& message = m_fake->messages().front();
        EXPECT_EQ(message.prompt, u"Error Words.TxT File Missing");
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_EQ(message.title, u"Quorbel_Words");
        EXPECT_TRUE(m_fake->hasEnded());
        EXPECT_EQ(m_fake->exitStatus(), 1);
    }

    fs::path m_dir;
    int m_descriptors = 0;
    bool m_measuresRss = false;
    std::int64_t m_rssAtStart = 0;
    std::optional<WithoutReadOverride> m_asAnyUser;
};

struct OddContentRow
{
    const char* name;
    std::string file;
    std::vector<std::u16string> items;
};

// clang-format off
const OddContentRow kOddContent[] = {
    {"NUL bytes are counted, and refused when drawn", "a\0b\n\0\n\0\0"s, {u"a\0b"s, u"\0"s, u"\0\0"s}},
    {"control characters are counted, and refused when drawn", "tab\there\nbell\x07\nok\ndel\x7F\nc1\xC2\x85\n",
     {u"tab\there", u"bell\x07", u"ok", u"del\x7F", u"c1\x85"}},
    {"invalid UTF-8 is read as Windows-1252", "caf\xE9\n\xC0\xAF\n\xED\xA0\x80\n\xE2\x82\n",
     {u"caf\u00E9", u"\u00C0\u00AF", u"\u00ED\u00A0\u20AC", u"\u00E2\u201A"}},
    {"UTF-16LE with a mark", "\xFF\xFE" + utf16(u"alpha\r\nbeta\n", false), {u"alpha", u"beta"}},
    {"UTF-16BE with a mark", "\xFE\xFF" + utf16(u"alpha\rbeta", true), {u"alpha", u"beta"}},
    // Without a mark, the zero bytes on one side give UTF-16 away.
    {"UTF-16LE without a mark", utf16(u"alpha\nbeta\n", false), {u"alpha", u"beta"}},
    {"UTF-16BE without a mark", utf16(u"alpha\r\nbeta", true), {u"alpha", u"beta"}},
    {"UTF-16 with an odd last byte", "\xFF\xFE" "a\0b"s, {u"a"}},
    {"CR-only line ends", "alpha\rbeta\r\r\rgamma\r", {u"alpha", u"beta", u"gamma"}},
    {"nothing but CRs", "\r\r\r\r", {}},
};
// clang-format on

using OddContent = FormRowTest<OddContentRow, BadList>;

TEST_P(OddContent, GivesDefinedItems)
{
    const std::vector<std::u16string>& items = GetParam().items;
    writeList(listPath(), GetParam().file);
    startUp();
    EXPECT_EQ(std::size_t(state().Total), items.size());
    // An item with a control character (C0, DEL, C1) is no phrase: the command says so.
    std::size_t refused = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        m_fake->queueDraws({(double(i) + 0.5) / double(items.size())});
        m_fake->choose(Item::W1);
        refused += holdsControl(items[i]);
        const std::u16string phrase = holdsControl(items[i]) ? u"" : items[i];
        EXPECT_EQ(m_fake->phraseText(), phrase);
        EXPECT_EQ(m_fake->clipboard(), phrase);
        EXPECT_EQ(m_fake->messages().size(), refused);
    }
    EXPECT_FALSE(m_fake->hasEnded());
    verifyNothingOpen();
}

INSTANTIATE_TEST_SUITE_P(Rows, OddContent, ::testing::ValuesIn(kOddContent), RowName());

TEST_F(BadList, RandomBinaryCountsRunsAndRefusesThem)
{
    std::string bytes(4 * MiB, '\0');
    std::mt19937 random(20261207);
    for (char& byte : bytes)
        byte = char(random() & 0xFF);
    bytes[0] = 'x'; // no byte-order mark: the file is 8-bit text
    writeList(listPath(), bytes);
    startUp();
    EXPECT_EQ(std::size_t(state().Total), referenceItems(bytes).size());
    // Nearly every run holds a control character: a command stops at the first it draws, and
    // names a line of the file.
    const auto lines = std::count(bytes.begin(), bytes.end(), '\n') + std::count(bytes.begin(), bytes.end(), '\r') + 1;
    for (std::size_t round = 1; round <= 3; ++round) {
        m_fake->choose(Item::W10);
        EXPECT_EQ(m_fake->phraseText(), u"");
        EXPECT_EQ(m_fake->caption(Item::CH), u"Charaters  0");
        ASSERT_EQ(m_fake->messages().size(), round);
        const std::string prompt = utf8(m_fake->messages().back().prompt);
        long long line = 0;
        char code[3] = {};
        char close = 0;
        const int read = std::sscanf(
            prompt.c_str(), "Line %lld of Words.TxT holds a control character (U+00%2[0-9A-F]%c", &line, code, &close);
        const std::string_view unit = code;
        const bool control = unit.size() == 2 && (unit == "7F" || std::string_view("0189").find(unit[0]) != unit.npos);
        ASSERT_TRUE(read == 3 && close == ')' && control) << prompt;
        EXPECT_LE(line, lines);
    }
    EXPECT_FALSE(m_fake->hasEnded());
    verifyNothingOpen();
}

TEST_F(BadList, HugeLineIsCutAndNeverHeldWhole)
{
    // One line of 100 MiB, then a short one. The long item becomes its first 4,096 bytes.
    writeList(listPath(), "abcdefgh", 100 * MiB / 8, "\ntail\n");
    const std::int64_t grownKiB = startUp();
    EXPECT_EQ(state().Total, 2);
    EXPECT_EQ(state().Word, u"tail");
    EXPECT_LT(grownKiB, 16 * 1024) << "counting took " << grownKiB << " KiB";

    std::u16string cut;
    while (std::ssize(cut) < ItemReader::MaxItemUnits)
        cut += u"abcdefgh";
    m_fake->queueDraws({0.25, 0.75, 0.25});
    m_fake->choose(Item::W3);
    EXPECT_EQ(m_fake->phraseText(), cut + u" tail " + cut);
    // The window stays usable: the phrase can be edited and copied like any other.
    m_fake->choose(Item::CL);
    EXPECT_EQ(m_fake->clipboard(), m_fake->phraseText());
    EXPECT_EQ(m_fake->phraseText().substr(0, 8), u"ABCDEFGH");
    EXPECT_LT(peakGrowthKiB(), 16 * 1024) << "fetching took " << peakGrowthKiB() << " KiB";
    verifyStillRunning();
    verifyNothingOpen();
}

struct EmptyLinesRow
{
    const char* name;
    std::string line;
    std::string tail;
    std::u16string phrase;
};

// With no items there is no phrase: "Words (02)" says that the list holds no words.
const EmptyLinesRow kEmptyLines[] = {
    {"LF", "\n", "", u""},
    {"CRLF", "\r\n", "", u""},
    {"LF, then one word", "\n", "last", u"last last"},
};

using TenMillionEmptyLines = FormRowTest<EmptyLinesRow, BadList>;

TEST_P(TenMillionEmptyLines, CountNothing)
{
    const EmptyLinesRow& row = GetParam();
    writeList(listPath(), row.line, 10000000, row.tail);
    const std::int64_t grownKiB = startUp();
    EXPECT_EQ(state().Total, row.tail.empty() ? 0 : 1);
    EXPECT_LT(grownKiB, 16 * 1024) << "counting took " << grownKiB << " KiB";
    m_fake->choose(Item::W2);
    if (row.phrase.empty()) {
        verifyNoPhrase(u"Words.TxT holds no words");
    } else {
        EXPECT_EQ(m_fake->phraseText(), row.phrase);
        verifyStillRunning();
    }
    verifyNothingOpen();
}

INSTANTIATE_TEST_SUITE_P(Rows, TenMillionEmptyLines, ::testing::ValuesIn(kEmptyLines), RowName());

struct BadListRow
{
    const char* name;
    ListKind kind;
    // What a "Words (nn)" command then says. Empty: "Error Words.TxT File Missing", and the
    // process ends with status 1. Otherwise the message begins with this and the window goes on,
    // with nothing in the phrase box or on the clipboard.
    std::u16string prompt;
};

const BadListRow kAtStartUp[] = {
    {"a directory", ListKind::Directory, u"Words.TxT cannot be read (Is a directory)"},
    {"a FIFO without a writer", ListKind::Fifo, u"Words.TxT cannot be read (Is a FIFO, not a file)"},
    {"a file without read permission", ListKind::Unreadable, u"Words.TxT cannot be read (Permission denied)"},
    {"a dangling symbolic link", ListKind::Dangling, u""},
    {"a symbolic link to itself", ListKind::Loop, u"Words.TxT cannot be read (Too many levels of symbolic links)"},
    {"a link to a directory", ListKind::LinkToDirectory, u"Words.TxT cannot be read (Is a directory)"},
};

using NotAReadableFile = FormRowTest<BadListRow, BadList>;

TEST_P(NotAReadableFile, AtStartUp)
{
    const BadListRow& row = GetParam();
    makeList(row.kind);
    startUp();
    if (row.prompt.empty()) {
        verifyMissingList();
    } else {
        // Start-up stays quiet, so the window opens; the first command says what is wrong.
        EXPECT_EQ(state().Total, 0);
        verifyStillRunning();
        m_fake->choose(Item::W3);
        verifyNoPhrase(row.prompt);
    }
    verifyNothingOpen();
}

INSTANTIATE_TEST_SUITE_P(Rows, NotAReadableFile, ::testing::ValuesIn(kAtStartUp), RowName());

// 100 items at start-up; the draw asks for item 50.
const BadListRow kAfterStartUp[] = {
    {"shrinks to 10 items", ListKind::Shorter, u"Words.TxT got shorter since Lexitrove started"},
    {"is emptied", ListKind::Empty, u"Words.TxT holds no words"},
    {"becomes a directory", ListKind::Directory, u"Words.TxT cannot be read (Is a directory)"},
    {"loses its read permission", ListKind::Unreadable, u"Words.TxT cannot be read (Permission denied)"},
    {"vanishes", ListKind::Gone, u""},
    {"becomes a dangling link", ListKind::Dangling, u""},
};

using ListChangedAfterStartUp = FormRowTest<BadListRow, BadList>;

TEST_P(ListChangedAfterStartUp, NextCommandSaysSo)
{
    const BadListRow& row = GetParam();
    writeList(listPath(), numberedLines(100));
    startUp();
    ASSERT_EQ(state().Total, 100);
    makeList(row.kind);
    m_fake->queueDraws({0.495});
    m_fake->choose(Item::W1);
    if (row.prompt.empty()) {
        verifyMissingList();
        // The command ended half way: its first write had emptied the phrase box.
        EXPECT_EQ(m_fake->phraseText(), u"");
    } else {
        verifyNoPhrase(row.prompt);
        EXPECT_EQ(state().Total, 100); // never counted again
    }
    verifyNothingOpen();
}

INSTANTIATE_TEST_SUITE_P(Rows, ListChangedAfterStartUp, ::testing::ValuesIn(kAfterStartUp), RowName());

// The real program, started offscreen from a folder of its own, gets through start-up on each
// list and waits for the user with its window up, holding no more memory than on a short list.
TEST_F(BadList, RealProgramReachesItsWindow)
{
    if (kProgram.empty())
        GTEST_SKIP() << "no desktop program is built beside the tests";
    const fs::path program = m_dir / "lexitrove";
    ASSERT_TRUE(fs::copy_file(kProgram, program));
    const std::pair<const char*, ListKind> lists[] = {
        {"a short list", ListKind::Short},
        {"a single 100 MiB line", ListKind::HugeLine},
        {"10,000,000 empty lines", ListKind::EmptyLines},
        {"random binary", ListKind::Binary},
        {"a FIFO", ListKind::Fifo},
        {"a directory", ListKind::Directory},
    };
    std::int64_t shortListPeakKiB = 0;
    for (const auto& [name, kind] : lists) {
        SCOPED_TRACE(name);
        makeList(kind);
        const pid_t pid = startOffscreen(program);
        ASSERT_GT(pid, 0);
        const bool idle = waitUntilIdle(pid, std::chrono::seconds(60));
        const std::int64_t peakKiB = statusKiB("VmHWM:", std::to_string(pid));
        const bool running = ::waitpid(pid, nullptr, WNOHANG) == 0;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        EXPECT_TRUE(running && idle) << "the program ended or never got to wait for the user";
        if (kind == ListKind::Short) {
            shortListPeakKiB = peakKiB;
        } else {
            EXPECT_LT(peakKiB, shortListPeakKiB + 32 * 1024)
                << "against " << shortListPeakKiB << " KiB on a short list";
        }
    }
}
