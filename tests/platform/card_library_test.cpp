#include "platform/card_library.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(CardLibraryBinding, LoadsTheRealLibraryByName)
{
    DynamicCardLibrary library;
    EXPECT_EQ(library.errorString(2), "No ZUL detected");
    EXPECT_EQ(library.errorString(19), "Could not claim the memory needed in function");
    EXPECT_EQ(library.errorString(21), "Unknown error");
    EXPECT_EQ(library.errorString(-1), "Unknown error");
}

TEST(CardLibraryBinding, MissingLibraryIsARunTimeFailure)
{
    DynamicCardLibrary library(QStringLiteral("/no/such/folder/libZUL_Tools_VB.so.1"));
    EXPECT_THROW(library.init(), CardLibraryUnavailable);
}
