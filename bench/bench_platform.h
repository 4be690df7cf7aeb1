// SPDX-License-Identifier: MIT
// The desktop the benchmarks run the logic on. It does per event what every desktop must (a
// copy of each text written into its control, a copy of the phrase onto the clipboard, the
// word list from the real file system) and keeps no record, so that a figure is the logic's own
// and not the test double's bookkeeping, whose copies of every phrase cost more than the
// editing commands themselves.
#pragma once

#include "app/form1.h"
#include "bench_support.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "system/file_input.h"
#include "system/system_random.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class BenchPlatform : public Platform
{
public:
    // The word list is read from `folder` on the real file system.
    explicit BenchPlatform(std::u16string folder = u"")
        : m_folder(std::move(folder))
    {}

    // Chooses a menu item, as the user does.
    void choose(Item item) { eventSink()->choose(item); }
    // Puts `text` in the phrase box without raising its change event.
    void setPhrase(const std::u16string& text)
    {
        EventSink* const sink = eventSink();
        setEventSink(nullptr);
        setText(Box::Text1, text);
        setEventSink(sink);
    }
    const std::u16string& phrase() const { return text(Box::Text1); }
    const std::u16string& clipboard() const { return m_clipboard; }
    // From here on the random bits come from a fixed sequence that starts at `seed`, so that two
    // builds set against each other draw the same ordinals and do the same work.
    void drawFromSeed(std::uint64_t seed)
    {
        m_seeded = true;
        m_seed = seed;
    }

    void showWindow() override {}
    int runEventLoop() override { return 0; }
    void leaveClipboard() override {}
    std::u16string applicationFolder() override { return m_folder; }
    std::unique_ptr<InputFile> openForInput(const std::u16string& path) override { return openFileForInput(path); }
    // The benchmarks make no command fail: a message box means the figure measures something else.
    void messageBox(const std::u16string& prompt, MessageIcon, const std::u16string&) override
    {
        benchFailed("the program showed a message: %s", toSystemUtf8(prompt).c_str());
    }
    [[noreturn]] void endProcess(int exitStatus) override
    {
        benchFailed("the program ended with status %d", exitStatus);
    }
    bool hasEnded() const override { return false; }
    int exitStatus() const override { return 0; }
    float timeOfDay() override { return 0.0f; }
    std::uint64_t randomBits() override { return m_seeded ? splitMix64(m_seed) : systemRandomBits(); }
    void pumpEvents() override {}
    void serveWhileReading() override {}
    void setCaption(Item, const std::u16string&) override {}
    void setEnabled(Item, bool) override {}
    void replaceClipboard(const std::u16string& text) override { m_clipboard = text; }
    float geometry(Geometry) override { return 0.0f; }
    void setGeometry(Geometry, float) override {}
    float screenWidth() override { return 0.0f; }
    void waitForNextFrame() override {}

protected:
    void showText(Box box, const std::u16string& text) override { m_controls[std::size_t(box)] = text; }

private:
    // SplitMix64: the same sequence from the same seed on every system and compiler.
    static std::uint64_t splitMix64(std::uint64_t& state)
    {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
    }

    std::u16string m_folder;
    bool m_seeded = false;
    std::uint64_t m_seed = 0;
    std::array<std::u16string, 3> m_controls; // by Box: what the desktop's controls show
    std::u16string m_clipboard;
};

// "Words (10)" as the user meets it, the start-up count and then ten random fetches, on the
// Words.TxT in `folder`: its milliseconds. With a seed, the draws are those of drawFromSeed.
inline double timeWords10(const std::u16string& folder, std::optional<std::uint64_t> seed = {})
{
    BenchPlatform program(folder);
    if (seed)
        program.drawFromSeed(*seed);
    Form1 form(program);
    const double ms = timeMs([&] {
        form.load();
        program.choose(Item::W10);
    });
    if (std::count(program.phrase().begin(), program.phrase().end(), u' ') != 9)
        benchFailed("\"Words (10)\" made no phrase of ten words");
    return ms;
}
