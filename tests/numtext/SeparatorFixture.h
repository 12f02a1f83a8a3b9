#pragma once
// Fixture of the number-text tests: each test starts under the separator ','
// and puts the previous separator back when it ends.
#include "numtext/NumberText.h"

#include <gtest/gtest.h>

class CommaSeparatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = DecimalSeparator();
        SetDecimalSeparator(',');
    }
    void TearDown() override { SetDecimalSeparator(saved_); }

private:
    char saved_ = ',';
};
