#pragma once

#include <QTest>

#include <gtest/gtest.h>

// Qt's QTRY_* macros report through QtTest, which a GoogleTest run never reads: a condition
// that never holds would pass. These run the event loop the same way and fail the test.
#define TVS_WAIT_TRUE(expr, timeout_ms)                                                            \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(expr); }, timeout_ms))              \
        << "still false after " << (timeout_ms) << " ms: " #expr

#define TVS_WAIT_EQ(actual, expected, timeout_ms)                                                  \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, timeout_ms);                 \
        ASSERT_EQ(actual, expected) << "after " << (timeout_ms) << " ms";                          \
    } while (false)
