#pragma once

#include "JetTestDatabase.h"

#include "platform/Clock.h"

#include <gtest/gtest.h>

// A small shop database: customers, contacts, jobs and their items, with
// names the engine's keywords would clash with (No, Group, When, Desc).
class JetShopTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override { platform::Clock::reset(); }

    JetTestDatabase db;
};
