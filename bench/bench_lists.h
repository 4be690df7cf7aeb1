// SPDX-License-Identifier: MIT
// The word lists the benchmarks read: written once per size, in a scratch folder that is
// removed again when the benchmark ends.
#pragma once

#include "bench_support.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdlib.h>
#include <string>

// A list of `lines` short words, cycling through a handful of lengths like a real list's.
inline void writeList(const std::filesystem::path& path, std::int64_t lines)
{
    static const char* const words[] = {"abacus", "dove", "kettle", "aorta", "lunchbox", "oak", "quintuple", "zen"};
    std::ofstream file(path, std::ios::binary);
    std::string block;
    for (std::int64_t i = 0; i < lines; ++i) {
        block += words[i % 8];
        block += '\n';
        if (block.size() > (1 << 20)) {
            file << block;
            block.clear();
        }
    }
    file << block;
    if (!file.flush())
        benchFailed("cannot write %s", path.string().c_str());
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder
{
public:
    ScratchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "lexitrove-bench-XXXXXX").string();
        if (!mkdtemp(name.data()))
            benchFailed("cannot make a scratch folder in %s", name.c_str());
        m_path = name;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
