#include "platform/XdgDocumentOpener.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <thread>

namespace kvl {
namespace {

// The opener runs detached; give it a generous while to leave its mark.
bool appears(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (test::fileExists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(XdgDocumentOpener, HandsThePathToTheOpener) {
    test::TempFolder folder;
    std::string script = folder.file("opener.sh");
    std::string mark = folder.file("opened");
    test::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + mark + ".tmp\" && mv \"" + mark +
                                ".tmp\" \"" + mark + "\"\n");
    ::chmod(script.c_str(), 0755);
    XdgDocumentOpener opener(script);

    opener.open("-manual.pdf");
    ASSERT_TRUE(appears(mark));
    EXPECT_EQ("./-manual.pdf", test::readFile(mark));
}

TEST(XdgDocumentOpener, MissingOpenerIsNoError) {
    test::TempFolder folder;
    XdgDocumentOpener opener(folder.file("no-such-opener"));
    EXPECT_NO_THROW(opener.open("/tmp/Manuale_TalvioPosIngenico.pdf"));
}

} // namespace
} // namespace kvl
