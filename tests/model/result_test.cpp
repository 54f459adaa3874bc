// SPDX-License-Identifier: GPL-3.0-or-later
// Result: a value or the failure's words, nothing for "done", and a caller's own error type.
#include "model/result.h"

#include <gtest/gtest.h>

#include <memory>

namespace vestra7 {

namespace {

struct ExitFailure
{
    int code = 0;
    QString message;
};

Result<std::unique_ptr<int>> made(bool succeed)
{
    if (!succeed)
        return Error{QStringLiteral("no room")};
    return std::make_unique<int>(7);
}

} // namespace

TEST(Result, HoldsEitherTheValueOrTheError)
{
    Result<std::unique_ptr<int>> value = made(true);
    ASSERT_TRUE(value);
    EXPECT_EQ(**value, 7);
    EXPECT_TRUE(value.error().message.isEmpty());
    // A value that cannot be copied is handed on whole.
    const std::unique_ptr<int> taken = std::move(value).value();
    EXPECT_EQ(*taken, 7);

    const Result<std::unique_ptr<int>> failure = made(false);
    EXPECT_FALSE(failure);
    EXPECT_EQ(failure.error().message, QStringLiteral("no room"));
}

TEST(Result, VoidIsDoneUnlessGivenAnErrorAndCarriesTheCallersOwnType)
{
    const Result<void> done;
    EXPECT_TRUE(done);
    const Result<void> failed = Error{QStringLiteral("disk full")};
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().message, QStringLiteral("disk full"));

    const Result<void, ExitFailure> refused = ExitFailure{2, QStringLiteral("usage")};
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().code, 2);
    const Result<QString, ExitFailure> text = QStringLiteral("ok");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 2);
}

} // namespace vestra7
