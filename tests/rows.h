// SPDX-License-Identifier: MIT
// Tables of cases, each row a test of its own: rows are structs whose `name` says what the row is.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <concepts>
#include <ostream>
#include <string>

// Names a row's test after its `name` ("1,200 on a screen" becomes 1_200_on_a_screen), so that a
// failure says which row it was and a single row can be run with --gtest_filter.
struct RowName
{
    template <typename Row>
    std::string operator()(const ::testing::TestParamInfo<Row>& info) const
    {
        std::string name;
        for (const char* c = info.param.name; *c; ++c) {
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
            else if (!name.empty() && name.back() != '_')
                name += '_';
        }
        while (!name.empty() && name.back() == '_')
            name.pop_back();
        return name;
    }
};

// A row is printed by its name where GoogleTest reports the parameter of a failed test. GoogleTest
// finds this by argument-dependent lookup, so only for rows of the global namespace or derived
// from a struct there (the Windows tests' Row); other rows print as bytes, and their test's name
// (RowName) says which row it was.
template <typename Row>
    requires std::convertible_to<decltype(Row::name), const char*>
void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}
