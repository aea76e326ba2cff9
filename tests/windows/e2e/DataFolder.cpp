// The program's data folder, which it requires on the systems it takes for
// Vista, 7 and 8 (wine reports one of them): the common application-data
// folder's KvlTalvioPos, made once for every test, as the installer makes it.

#include <gtest/gtest.h>

#include <string>
#include <windows.h>

#include <shlobj.h>

namespace {

class DataFolder : public ::testing::Environment {
public:
    void SetUp() override {
        char common[MAX_PATH] = {};
        ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, common, CSIDL_COMMON_APPDATA, TRUE));
        const std::string folder = std::string(common) + "\\KvlTalvioPos";
        ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS)
            << folder;
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new DataFolder);

} // namespace
