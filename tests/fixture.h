// SPDX-License-Identifier: MIT
// Where every logic test starts: a fresh in-memory desktop and the window object on it, nothing
// loaded yet.
#pragma once

#include "app/form1.h"
#include "fake_platform.h"
#include "rows.h"

#include <gtest/gtest.h>

#include <memory>

class FormTest : public ::testing::Test
{
protected:
    FormState& state() { return m_form->state(); }

    std::unique_ptr<FakePlatform> m_fake = std::make_unique<FakePlatform>();
    std::unique_ptr<Form1> m_form = std::make_unique<Form1>(*m_fake);
};

// A table of cases, one test a row, each on a fresh desktop (set up as `Base` does): TEST_P over
// an alias of this, then INSTANTIATE_TEST_SUITE_P(Rows, Alias, ::testing::ValuesIn(table), RowName()).
template <typename Row, typename Base = FormTest>
class FormRowTest : public Base, public ::testing::WithParamInterface<Row>
{
};
