#include "platform/DlLibraryLoader.h"

#include "platform/RunTimeError.h"

#include <gtest/gtest.h>

namespace kvl {
namespace {

TEST(DlLibraryLoader, FindsSymbolsOfALoadedLibrary) {
    DlLibraryLoader loader;
    std::unique_ptr<SharedLibrary> library = loader.load("libm.so.6");
    EXPECT_NE(nullptr, library->symbol("cos"));
    EXPECT_EQ(nullptr, library->symbol("IAE17AX_NoSuchEntry"));
}

TEST(DlLibraryLoader, MissingLibraryIsFileNotFoundWithTheLoadersReason) {
    DlLibraryLoader loader;
    try {
        loader.load("/nonexistent/libiae17.so");
        FAIL() << "loaded a missing library";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(ErrorNumber::FileNotFound, error.number());
        EXPECT_NE(std::string::npos, error.description().find("/nonexistent/libiae17.so"));
    }
}

} // namespace
} // namespace kvl
