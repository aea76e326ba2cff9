#include "platform/RunTimeError.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace kvl {
namespace {

struct ErrnoCase {
    int errnoValue;
    int number;
};

class ErrorFromErrno : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrorFromErrno, MapsOntoTheRunTimeNumbers) {
    test::TempFolder folder;
    RunTimeError error = errorFromErrno(GetParam().errnoValue, folder.file("x"));
    EXPECT_EQ(GetParam().number, error.number());
    EXPECT_NE(std::string::npos, error.description().find(std::strerror(GetParam().errnoValue)));
    EXPECT_NE(std::string::npos, error.description().find(folder.file("x")));
}

INSTANTIATE_TEST_SUITE_P(Cases, ErrorFromErrno,
                         ::testing::Values(ErrnoCase{ENOENT, 53}, ErrnoCase{ENOTDIR, 76},
                                           ErrnoCase{EACCES, 70}, ErrnoCase{EPERM, 70},
                                           ErrnoCase{EROFS, 70}, ErrnoCase{EBUSY, 75},
                                           ErrnoCase{ETXTBSY, 75}, ErrnoCase{EISDIR, 75},
                                           ErrnoCase{EIO, 75}, ErrnoCase{ENOSPC, 75},
                                           ErrnoCase{EMFILE, 75}, ErrnoCase{ELOOP, 75}));

TEST(ErrorFromErrnoPaths, MissingFolderIsPathNotFound) {
    test::TempFolder folder;
    EXPECT_EQ(ErrorNumber::PathNotFound,
              errorFromErrno(ENOENT, folder.file("missing/x.txt")).number());
    EXPECT_EQ(ErrorNumber::FileNotFound, errorFromErrno(ENOENT, "x.txt").number());
    EXPECT_EQ("Path/File access error (Input/output error)", errorFromErrno(EIO, "").description());
}

} // namespace
} // namespace kvl
