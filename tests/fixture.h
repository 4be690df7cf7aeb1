// SPDX-License-Identifier: MIT
// Where every logic test starts: a fresh in-memory desktop and the window object on it, nothing
// loaded yet.
#pragma once

#include "app/form1.h"
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>

class FormTest : public ::testing::Test
{
protected:
    FormState& state() { return m_form->state(); }

    std::unique_ptr<FakePlatform> m_fake = std::make_unique<FakePlatform>();
    std::unique_ptr<Form1> m_form = std::make_unique<Form1>(*m_fake);
};

// A table of cases, one test a row, each on a fresh desktop: TEST_P over an alias of this, then
// INSTANTIATE_TEST_SUITE_P(Rows, Alias, ::testing::ValuesIn(table), RowName()).
template <typename Row>
class FormRowTest : public FormTest, public ::testing::WithParamInterface<Row>
{
};

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
