// SPDX-License-Identifier: MIT
// Every kind of bad word list a user could leave as Words.TxT, on the real file system: what
// each one gives is written down here, nothing crashes or hangs, memory stays bounded and no
// file stays open.
#include "fixture.h"
#include "words/item_reader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <linux/capability.h>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What a "Words (nn)" command makes of a list that cannot be read.
enum class Outcome {
    NoPhrase, // a message says why; the phrase box and the clipboard are empty; the window goes on
    MissingList // "Error Words.TxT File Missing", then the process ends with status 1
};

constexpr qint64 MiB = 1024 * 1024;

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

qint64 statusKiB(const char* field, const QString& process = QStringLiteral("self"))
{
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Starts a new peak of the resident set at the present size; false where the kernel does not
// offer that, and the memory checks are then left out.
bool restartPeakRss()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// `count` copies of `piece`, written a mebibyte at a time.
void writeRepeated(const QString& path, const QByteArray& piece, qint64 count, const QByteArray& tail = {})
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const qint64 perChunk = std::max<qint64>(1, MiB / piece.size());
    const QByteArray chunk = piece.repeated(perChunk);
    for (qint64 done = 0; done < count; done += perChunk)
        QVERIFY(file.write(done + perChunk <= count ? chunk : piece.repeated(count - done)) > 0);
    QCOMPARE(file.write(tail), tail.size());
}

QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar ch : text) {
        const char high = char(ch.unicode() >> 8), low = char(ch.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

// Items of an 8-bit file without a byte-order mark: the runs of bytes between CR and LF.
qint64 byteRuns(const QByteArray& bytes)
{
    qint64 runs = 0;
    bool inRun = false;
    for (const char byte : bytes) {
        const bool end = byte == '\n' || byte == '\r';
        runs += !end && !inRun;
        inRun = !end;
    }
    return runs;
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

// Waits until the process sleeps in its event loop: in poll() by the kernel's word, or, where
// the kernel does not say, asleep without using the processor for a few readings in a row.
bool waitUntilIdle(qint64 pid, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray lastCpu;
    for (int idleReadings = 0; timer.elapsed() < timeoutMs; QThread::msleep(100)) {
        QFile statFile(QStringLiteral("/proc/%1/stat").arg(pid));
        QFile wchanFile(QStringLiteral("/proc/%1/wchan").arg(pid));
        if (!statFile.open(QIODevice::ReadOnly))
            return false; // it ended
        const QList<QByteArray> fields = statFile.readAll().split(')').last().trimmed().split(' ');
        const QByteArray wchan = wchanFile.open(QIODevice::ReadOnly) ? wchanFile.readAll() : QByteArray();
        const QByteArray cpu = fields.value(11) + '+' + fields.value(12);
        const bool told = !wchan.isEmpty() && wchan != "0";
        const bool idle = fields.value(0) == "S" && (told ? wchan.contains("poll") : cpu == lastCpu);
        lastCpu = cpu;
        idleReadings = idle ? idleReadings + 1 : 0;
        if (idleReadings >= 3)
            return true;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Outcome)

class BadInputTest : public FormTest
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_descriptors = 0;
    bool m_measuresRss = false;
    qint64 m_rssAtStart = 0;
    qint64 m_shortListPeakKiB = 0;

    QString listPath() const { return m_dir->filePath(QStringLiteral("Words.TxT")); }

    // Start-up; then the memory it took above what the process held before, in KiB.
    qint64 startUp()
    {
        m_measuresRss = restartPeakRss();
        m_rssAtStart = statusKiB("VmRSS:");
        m_form->load();
        return m_measuresRss ? statusKiB("VmHWM:") - m_rssAtStart : 0;
    }
    qint64 peakGrowthKiB() const { return m_measuresRss ? statusKiB("VmHWM:") - m_rssAtStart : 0; }

    void verifyNothingOpen()
    {
        QCOMPARE(m_fake->openFiles(), 0);
        QCOMPARE(openDescriptors(), m_descriptors);
    }
    void verifyStillRunning()
    {
        QVERIFY(!m_fake->hasEnded());
        QVERIFY2(m_fake->messages().isEmpty(), qPrintable(m_fake->messages().value(0).prompt));
    }
    // A command gave no phrase and said why, once, in a message that begins with `prompt`.
    void verifyNoPhrase(const QString& prompt)
    {
        QCOMPARE(m_fake->messages().size(), 1);
        QVERIFY2(m_fake->messages().first().prompt.startsWith(prompt), qPrintable(m_fake->messages().first().prompt));
        QCOMPARE(m_fake->messages().first().title, QStringLiteral("Quorbel_Words"));
        QCOMPARE(m_fake->phraseText(), QString());
        QCOMPARE(m_fake->clipboard(), QString());
        QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Charaters  0"));
        QVERIFY(!m_fake->hasEnded());
    }
    void verifyMissingList()
    {
        QCOMPARE(m_fake->messages().size(), 1);
        QCOMPARE(m_fake->messages().first().prompt, QStringLiteral("Error Words.TxT File Missing"));
        QCOMPARE(m_fake->messages().first().icon, MessageIcon::Exclamation);
        QCOMPARE(m_fake->messages().first().title, QStringLiteral("Quorbel_Words"));
        QVERIFY(m_fake->hasEnded());
        QCOMPARE(m_fake->exitStatus(), 1);
    }

private Q_SLOTS:
    void init()
    {
        // A hang is a failure: the process is ended if one test takes longer than this.
        alarm(300);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        FormTest::init();
        m_fake->useRealFolder(m_dir->path());
        m_descriptors = openDescriptors();
    }
    void cleanup()
    {
        FormTest::cleanup();
        m_dir.reset();
        alarm(0);
    }

    void oddContent_givesDefinedItems_data();
    void oddContent_givesDefinedItems();
    void randomBinary_countsRunsAndRefusesThem();
    void hugeLine_isCutAndNeverHeldWhole();
    void tenMillionEmptyLines_countNothing_data();
    void tenMillionEmptyLines_countNothing();
    void notAReadableFile_data();
    void notAReadableFile();
    void listChangesAfterStartUp_data();
    void listChangesAfterStartUp();
    void realProgram_reachesItsWindow_data();
    void realProgram_reachesItsWindow();
};

void BadInputTest::oddContent_givesDefinedItems_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");
    const auto nul = [](const char16_t* text) { return QString::fromUtf16(text).replace(u'0', QChar(0)); };
    QTest::addRow("NUL bytes are counted, and refused when drawn")
        << QByteArray("a\0b\n\0\n\0\0", 8) << QStringList{nul(u"a0b"), nul(u"0"), nul(u"00")};
    QTest::addRow("control characters are counted, and refused when drawn")
        << QByteArray("tab\there\nbell\x07\nok\ndel\x7F\n") + QString(u"c1\u0085\n"_s).toUtf8()
        << QStringList{u"tab\there"_s, u"bell\u0007"_s, u"ok"_s, u"del\u007F"_s, u"c1\u0085"_s};
    QTest::addRow("invalid UTF-8 is read as Windows-1252")
        << QByteArray("caf\xE9\n\xC0\xAF\n\xED\xA0\x80\n\xE2\x82\n")
        << QStringList{QStringLiteral("caf\u00E9"), QStringLiteral("\u00C0\u00AF"),
                       QStringLiteral("\u00ED\u00A0\u20AC"), QStringLiteral("\u00E2\u201A")};
    QTest::addRow("UTF-16LE with a mark") << QByteArray("\xFF\xFE", 2) + utf16(QStringLiteral("alpha\r\nbeta\n"), false)
                                          << QStringList{QStringLiteral("alpha"), QStringLiteral("beta")};
    QTest::addRow("UTF-16BE with a mark") << QByteArray("\xFE\xFF", 2) + utf16(QStringLiteral("alpha\rbeta"), true)
                                          << QStringList{QStringLiteral("alpha"), QStringLiteral("beta")};
    // Without a mark, the zero bytes on one side give UTF-16 away.
    QTest::addRow("UTF-16LE without a mark") << utf16(QStringLiteral("alpha\nbeta\n"), false)
                                             << QStringList{QStringLiteral("alpha"), QStringLiteral("beta")};
    QTest::addRow("UTF-16BE without a mark") << utf16(QStringLiteral("alpha\r\nbeta"), true)
                                             << QStringList{QStringLiteral("alpha"), QStringLiteral("beta")};
    QTest::addRow("UTF-16 with an odd last byte")
        << QByteArray("\xFF\xFE" "a\0b", 5) << QStringList{QStringLiteral("a")};
    QTest::addRow("CR-only line ends")
        << QByteArray("alpha\rbeta\r\r\rgamma\r")
        << QStringList{QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
    QTest::addRow("nothing but CRs") << QByteArray("\r\r\r\r") << QStringList{};
}

void BadInputTest::oddContent_givesDefinedItems()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    writeFile(listPath(), file);
    startUp();
    QCOMPARE(qsizetype(state().Total), items.size());
    // An item with a control character (C0, DEL, C1) is no phrase: the command says so.
    static const QRegularExpression control(QStringLiteral("[\\x{0}-\\x{1F}\\x{7F}-\\x{9F}]"));
    qsizetype refused = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        m_fake->queueDraws({float((double(i) + 0.5) / double(items.size()))});
        m_fake->choose(Item::W1);
        refused += items.at(i).contains(control);
        const QString phrase = items.at(i).contains(control) ? QString() : items.at(i);
        QCOMPARE(m_fake->phraseText(), phrase);
        QCOMPARE(m_fake->clipboard(), phrase);
        QCOMPARE(m_fake->messages().size(), refused);
    }
    QVERIFY(!m_fake->hasEnded());
    verifyNothingOpen();
}

void BadInputTest::randomBinary_countsRunsAndRefusesThem()
{
    QByteArray bytes(4 * MiB, Qt::Uninitialized);
    QRandomGenerator random(20261207);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    bytes[0] = 'x'; // no byte-order mark: the file is 8-bit text
    writeFile(listPath(), bytes);
    startUp();
    QCOMPARE(qint64(state().Total), byteRuns(bytes));
    // Nearly every run holds a control character: a command stops at the first it draws, and
    // names a line of the file.
    static const QRegularExpression untypeable(
        QStringLiteral("^Line ([0-9]+) of Words.TxT holds a control character \\(U\\+00([0189][0-9A-F]|7F)\\)"));
    for (int round = 0; round < 3; ++round) {
        m_fake->choose(Item::W10);
        QCOMPARE(m_fake->phraseText(), QString());
        QCOMPARE(m_fake->caption(Item::CH), QStringLiteral("Charaters  0"));
        QCOMPARE(m_fake->messages().size(), round + 1);
        const QRegularExpressionMatch match = untypeable.match(m_fake->messages().last().prompt);
        QVERIFY2(match.hasMatch(), qPrintable(m_fake->messages().last().prompt));
        QVERIFY(match.captured(1).toLongLong() <= bytes.count('\n') + bytes.count('\r') + 1);
    }
    QVERIFY(!m_fake->hasEnded());
    verifyNothingOpen();
}

void BadInputTest::hugeLine_isCutAndNeverHeldWhole()
{
    // One line of 100 MiB, then a short one. The long item becomes its first 4,096 bytes.
    writeRepeated(listPath(), QByteArray("abcdefgh"), 100 * MiB / 8, "\ntail\n");
    const qint64 grownKiB = startUp();
    QCOMPARE(state().Total, 2);
    QCOMPARE(state().Word, QStringLiteral("tail"));
    QVERIFY2(grownKiB < 16 * 1024, qPrintable(QStringLiteral("counting took %1 KiB").arg(grownKiB)));

    const QString cut = QStringLiteral("abcdefgh").repeated(ItemReader::MaxItemUnits / 8);
    m_fake->queueDraws({0.25f, 0.75f, 0.25f});
    m_fake->choose(Item::W3);
    QCOMPARE(m_fake->phraseText(), cut + u' ' + QStringLiteral("tail") + u' ' + cut);
    // The window stays usable: the phrase can be edited and copied like any other.
    m_fake->choose(Item::CL);
    QCOMPARE(m_fake->clipboard(), m_fake->phraseText());
    QVERIFY(m_fake->phraseText().startsWith(QStringLiteral("ABCDEFGH")));
    QVERIFY2(peakGrowthKiB() < 16 * 1024, qPrintable(QStringLiteral("fetching took %1 KiB").arg(peakGrowthKiB())));
    verifyStillRunning();
    verifyNothingOpen();
}

void BadInputTest::tenMillionEmptyLines_countNothing_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<QString>("phrase");
    // With no items there is no phrase: "Words (02)" says that the list holds no words.
    QTest::addRow("LF") << QByteArray("\n") << QByteArray() << QString();
    QTest::addRow("CRLF") << QByteArray("\r\n") << QByteArray() << QString();
    QTest::addRow("LF, then one word") << QByteArray("\n") << QByteArray("last") << QStringLiteral("last last");
}

void BadInputTest::tenMillionEmptyLines_countNothing()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, tail);
    QFETCH(QString, phrase);
    writeRepeated(listPath(), line, 10000000, tail);
    const qint64 grownKiB = startUp();
    QCOMPARE(state().Total, tail.isEmpty() ? 0 : 1);
    QVERIFY2(grownKiB < 16 * 1024, qPrintable(QStringLiteral("counting took %1 KiB").arg(grownKiB)));
    m_fake->choose(Item::W2);
    if (phrase.isEmpty()) {
        verifyNoPhrase(QStringLiteral("Words.TxT holds no words"));
    } else {
        QCOMPARE(m_fake->phraseText(), phrase);
        verifyStillRunning();
    }
    verifyNothingOpen();
}

void BadInputTest::notAReadableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("reason");
    QTest::addRow("a directory") << "directory" << Outcome::NoPhrase << "Is a directory";
    QTest::addRow("a FIFO without a writer") << "fifo" << Outcome::NoPhrase << "Is a FIFO, not a file";
    QTest::addRow("a file without read permission") << "unreadable" << Outcome::NoPhrase << "Permission denied";
    QTest::addRow("a dangling symbolic link") << "dangling" << Outcome::MissingList << "";
    QTest::addRow("a symbolic link to itself") << "loop" << Outcome::NoPhrase << "Too many levels of symbolic links";
    QTest::addRow("a link to a directory") << "link to directory" << Outcome::NoPhrase << "Is a directory";
}

void BadInputTest::notAReadableFile()
{
    QFETCH(QString, kind);
    QFETCH(Outcome, outcome);
    QFETCH(QString, reason);
    const QByteArray path = QFile::encodeName(listPath());
    std::optional<WithoutReadOverride> asAnyUser;
    if (kind == u"directory") {
        QVERIFY(QDir().mkdir(listPath()));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    } else if (kind == u"unreadable") {
        writeFile(listPath(), "alpha\nbeta\n");
        QCOMPARE(::chmod(path.constData(), 0), 0);
        asAnyUser.emplace();
        QVERIFY2(!QFile(listPath()).open(QIODevice::ReadOnly), "a file without read permission can still be read");
    } else if (kind == u"dangling") {
        QCOMPARE(::symlink("gone.txt", path.constData()), 0);
    } else if (kind == u"loop") {
        QCOMPARE(::symlink("Words.TxT", path.constData()), 0);
    } else {
        QVERIFY(QDir().mkdir(m_dir->filePath(QStringLiteral("lists"))));
        QCOMPARE(::symlink("lists", path.constData()), 0);
    }

    startUp();
    if (outcome == Outcome::MissingList) {
        verifyMissingList();
    } else {
        // Start-up stays quiet, so the window opens; the first command says what is wrong.
        QCOMPARE(state().Total, 0);
        verifyStillRunning();
        m_fake->choose(Item::W3);
        verifyNoPhrase(QStringLiteral("Words.TxT cannot be read (%1)").arg(reason));
    }
    verifyNothingOpen();
}

void BadInputTest::listChangesAfterStartUp_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("prompt");
    // 100 items at start-up; the draw asks for item 50.
    QTest::addRow("shrinks to 10 items") << "shrink" << Outcome::NoPhrase
                                         << "Words.TxT got shorter since Lexitrove started";
    QTest::addRow("is emptied") << "empty" << Outcome::NoPhrase << "Words.TxT holds no words";
    QTest::addRow("becomes a directory") << "directory" << Outcome::NoPhrase
                                         << "Words.TxT cannot be read (Is a directory)";
    QTest::addRow("loses its read permission")
        << "unreadable" << Outcome::NoPhrase << "Words.TxT cannot be read (Permission denied)";
    QTest::addRow("vanishes") << "remove" << Outcome::MissingList << "";
    QTest::addRow("becomes a dangling link") << "dangling" << Outcome::MissingList << "";
}

void BadInputTest::listChangesAfterStartUp()
{
    QFETCH(QString, change);
    QFETCH(Outcome, outcome);
    QFETCH(QString, prompt);
    const auto lines = [](int count) {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i)
            bytes += "w" + QByteArray::number(i) + '\n';
        return bytes;
    };
    writeFile(listPath(), lines(100));
    startUp();
    QCOMPARE(state().Total, 100);

    std::optional<WithoutReadOverride> asAnyUser;
    if (change == u"shrink") {
        writeFile(listPath(), lines(10));
    } else if (change == u"empty") {
        writeFile(listPath(), QByteArray());
    } else if (change == u"unreadable") {
        QCOMPARE(::chmod(QFile::encodeName(listPath()).constData(), 0), 0);
        asAnyUser.emplace();
    } else {
        QVERIFY(QFile::remove(listPath()));
        if (change == u"directory")
            QVERIFY(QDir().mkdir(listPath()));
        if (change == u"dangling")
            QCOMPARE(::symlink("gone.txt", QFile::encodeName(listPath()).constData()), 0);
    }
    m_fake->queueDraws({0.495});
    m_fake->choose(Item::W1);
    if (outcome == Outcome::NoPhrase) {
        verifyNoPhrase(prompt);
        QCOMPARE(state().Total, 100); // never counted again
    } else {
        verifyMissingList();
        // The command ended half way: its first write had emptied the phrase box.
        QCOMPARE(m_fake->phraseText(), QString());
    }
    verifyNothingOpen();
}

// The real program, started offscreen from a folder of its own, gets through start-up on each
// list and waits for the user with its window up, holding no more memory than on a short list.
void BadInputTest::realProgram_reachesItsWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addRow("a short list") << "short";
    QTest::addRow("a single 100 MiB line") << "huge line";
    QTest::addRow("10,000,000 empty lines") << "empty lines";
    QTest::addRow("random binary") << "binary";
    QTest::addRow("a FIFO") << "fifo";
    QTest::addRow("a directory") << "directory";
}

void BadInputTest::realProgram_reachesItsWindow()
{
    QFETCH(QString, kind);
    const QString built = QCoreApplication::applicationDirPath() + QStringLiteral("/../lexitrove");
    if (!QFile::exists(built))
        QSKIP("the program is not built beside the tests");
    const QString program = m_dir->filePath(QStringLiteral("lexitrove"));
    QVERIFY(QFile::copy(built, program));
    const QByteArray path = QFile::encodeName(listPath());
    if (kind == u"short")
        writeFile(listPath(), "alpha\nbeta\n");
    else if (kind == u"huge line")
        writeRepeated(listPath(), QByteArray("abcdefgh"), 100 * MiB / 8, "\n");
    else if (kind == u"empty lines")
        writeRepeated(listPath(), QByteArray("\n"), 10000000);
    else if (kind == u"binary")
        writeRepeated(listPath(), QByteArray("x\0\xFF\r\xC3(\x80\n\xE9", 9), 4 * MiB / 9);
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(path.constData(), 0644), 0);
    else
        QVERIFY(QDir().mkdir(listPath()));

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, {});
    QVERIFY(process.waitForStarted());
    const bool idle = waitUntilIdle(process.processId(), 60000);
    const qint64 peakKiB = statusKiB("VmHWM:", QString::number(process.processId()));
    const bool running = process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished();
    QVERIFY2(running && idle, "the program ended or never got to wait for the user");
    if (kind == u"short")
        m_shortListPeakKiB = peakKiB;
    else if (m_shortListPeakKiB > 0)
        QVERIFY2(peakKiB < m_shortListPeakKiB + 32 * 1024,
                 qPrintable(QStringLiteral("%1 KiB against %2 on a short list").arg(peakKiB).arg(m_shortListPeakKiB)));
}

QTEST_GUILESS_MAIN(BadInputTest)
#include "bad_input_test.moc"
