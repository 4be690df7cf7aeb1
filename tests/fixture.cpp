// SPDX-License-Identifier: MIT
#include "fixture.h"

void FormTest::init()
{
    m_fake = std::make_unique<FakePlatform>();
    m_form = std::make_unique<Form1>(*m_fake);
}

void FormTest::cleanup()
{
    m_form.reset();
    m_fake.reset();
}
