// SPDX-License-Identifier: MIT
// Where every logic test starts: a fresh in-memory desktop and the window object on it, nothing
// loaded yet.
#pragma once

#include "app/form1.h"
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <memory>

class FormTest : public ::testing::Test
{
protected:
    FormState& state() { return m_form->state(); }

    std::unique_ptr<FakePlatform> m_fake = std::make_unique<FakePlatform>();
    std::unique_ptr<Form1> m_form = std::make_unique<Form1>(*m_fake);
};
