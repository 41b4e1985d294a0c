#include "Exceptions.h"
#include "TestPrinters.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Exceptions, WhatGivesTheItalianMessageAsUtf8)
{
    const platform::EConvertError e(QStringLiteral("Impossibile convertire 'però' in numero intero"));
    EXPECT_EQ(e.message(), QStringLiteral("Impossibile convertire 'però' in numero intero"));
    EXPECT_STREQ(e.what(), "Impossibile convertire 'per\xc3\xb2' in numero intero");
    // what() stays valid while the exception lives, also after a copy.
    const platform::EConvertError copy = e;
    EXPECT_STREQ(copy.what(), e.what());
}

TEST(Exceptions, EveryPlatformErrorIsCaughtAsTheBase)
{
    auto caughtAsBase = [](auto thrower) {
        try {
            thrower();
        } catch (const platform::Exception &) {
            return true;
        } catch (...) {
        }
        return false;
    };
    EXPECT_TRUE(caughtAsBase([] { throw platform::EConvertError(QStringLiteral("x")); }));
    EXPECT_TRUE(caughtAsBase([] { throw platform::EOverflowError(QStringLiteral("x")); }));
    EXPECT_TRUE(caughtAsBase([] { throw platform::EDatabaseError(QStringLiteral("x")); }));
    EXPECT_TRUE(caughtAsBase([] { throw platform::EAbort(); }));
    EXPECT_TRUE(caughtAsBase([] { throw EUqWarning(QStringLiteral("x")); }));
    EXPECT_TRUE(caughtAsBase([] { throw EUqException(QStringLiteral("x"), EUqException::Severity::Warning, 3); }));
}

TEST(Exceptions, UqExceptionKeepsSeverityAndCode)
{
    try {
        throw EUqException(QStringLiteral("Codice errato"), EUqException::Severity::Error, 42);
    } catch (const EUqException &e) {
        EXPECT_EQ(e.severity(), EUqException::Severity::Error);
        EXPECT_EQ(e.code(), 42);
        EXPECT_EQ(e.message(), QStringLiteral("Codice errato"));
    }
}

TEST(Exceptions, AssertionThrowsInEveryBuildWithTheCallersMessage)
{
    int evaluated = 0;
    auto check = [&](bool ok) {
        ++evaluated;
        return ok;
    };
    EXPECT_NO_THROW(ZEP_ASSERT(check(true), QStringLiteral("non usato")));
    try {
        ZEP_ASSERT(check(false), QStringLiteral("Query: ") + QStringLiteral("QRY_X"));
        ADD_FAILURE() << "ZEP_ASSERT did not throw";
    } catch (const platform::EAssertionFailed &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Query: QRY_X"));
    }
    EXPECT_EQ(evaluated, 2); // the condition is evaluated once per check
}

} // namespace
