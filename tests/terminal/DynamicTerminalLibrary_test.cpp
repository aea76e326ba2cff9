#include "terminal/DynamicTerminalLibrary.h"

#include "platform/DlLibraryLoader.h"
#include "platform/RunTimeError.h"
#include "support/TempFolder.h"
#include "terminal/testlib/TestLibraryControl.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace kvl {
namespace {

const std::string FullLibrary = std::string(KVL_BIN_DIR) + "/libiae17test.so";
const std::string LibraryWithoutRefund = std::string(KVL_BIN_DIR) + "/libiae17test_norefund.so";

// The platform's loader, counting how often it is asked to load.
class CountingLoader : public LibraryLoader {
public:
    std::unique_ptr<SharedLibrary> load(const std::string& path) override {
        ++loads;
        return real_.load(path);
    }
    int loads = 0;

private:
    DlLibraryLoader real_;
};

// The test library's own control functions, reached through a second handle
// on the same loaded object.
class TestLibrary {
public:
    explicit TestLibrary(const std::string& path)
        : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ == nullptr) {
            ADD_FAILURE() << "cannot open " << path << ": " << ::dlerror();
            return;
        }
        reset_ = bind<void (*)()>("IAE17TEST_Reset");
        setResult_ = bind<void (*)(short)>("IAE17TEST_SetResult");
        setWriting_ = bind<void (*)(int)>("IAE17TEST_SetWriting");
        callCount_ = bind<int (*)()>("IAE17TEST_CallCount");
        callName_ = bind<const char* (*)(int)>("IAE17TEST_CallName");
        received_ = bind<int (*)(int, int, char*, int)>("IAE17TEST_Received");
        reset_();
    }
    ~TestLibrary() {
        if (handle_ != nullptr) {
            ::dlclose(handle_);
        }
    }
    TestLibrary(const TestLibrary&) = delete;
    TestLibrary& operator=(const TestLibrary&) = delete;

    void setResult(short result) { setResult_(result); }
    void setWriting(bool on) { setWriting_(on ? 1 : 0); }
    int callCount() { return callCount_(); }
    std::string callName(int index) {
        const char* name = callName_(index);
        return name ? name : "";
    }
    std::optional<std::string> received(int index, int argument) {
        std::string bytes(5000, '\0');
        const int size = received_(index, argument, bytes.data(), static_cast<int>(bytes.size()));
        if (size < 0) {
            return std::nullopt;
        }
        bytes.resize(static_cast<std::size_t>(size));
        return bytes;
    }

private:
    template <class F> F bind(const char* name) {
        void* address = ::dlsym(handle_, name);
        EXPECT_NE(address, nullptr) << name;
        return reinterpret_cast<F>(address);
    }

    void* handle_;
    void (*reset_)() = nullptr;
    void (*setResult_)(short) = nullptr;
    void (*setWriting_)(int) = nullptr;
    int (*callCount_)() = nullptr;
    const char* (*callName_)(int) = nullptr;
    int (*received_)(int, int, char*, int) = nullptr;
};

// Sets IAE17_LIBRARY for one test and puts the previous value back.
class LibraryVariable {
public:
    LibraryVariable() {
        if (const char* value = std::getenv("IAE17_LIBRARY")) {
            saved_ = value;
        }
    }
    ~LibraryVariable() {
        if (saved_) {
            ::setenv("IAE17_LIBRARY", saved_->c_str(), 1);
        } else {
            ::unsetenv("IAE17_LIBRARY");
        }
    }
    void set(const std::string& value) { ::setenv("IAE17_LIBRARY", value.c_str(), 1); }
    void unset() { ::unsetenv("IAE17_LIBRARY"); }

private:
    std::optional<std::string> saved_;
};

template <class Record> std::string imageOf(Record& record) {
    const auto image = packImage(record);
    return std::string(image.begin(), image.end());
}

// The image a writing test library leaves in an argument of the entry point.
std::string writtenImage(std::size_t size, int argument, const std::string& entryPoint) {
    std::string image(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        image[i] = libraryByte(i, argument, entryPoint.size());
    }
    return image;
}

void copyFile(const std::string& from, const std::string& to) {
    test::writeFile(to, test::readFile(from));
}

class DynamicTerminalLibraryTest : public testing::Test {
protected:
    void SetUp() override { variable.set(FullLibrary); }

    LibraryVariable variable;
    CountingLoader loader;
    TestLibrary library{FullLibrary};
    test::TempFolder programFolder;
    DynamicTerminalLibrary binding{loader, programFolder.path()};
    TerminalRecords records;
};

const Operation AllOperations[] = {Operation::Payment,
                                   Operation::PaymentExt,
                                   Operation::Refund,
                                   Operation::Void,
                                   Operation::TerminalBalance,
                                   Operation::Closure,
                                   Operation::Status,
                                   Operation::Preauthorization,
                                   Operation::PreauthorizationInt,
                                   Operation::PreauthorizationClose};

class EveryOperation : public DynamicTerminalLibraryTest,
                       public testing::WithParamInterface<Operation> {};

TEST_P(EveryOperation, SendsBothImagesAndReturnsTheResult) {
    records.request.Amount.store("1234");
    records.request.CashRegisterId.store("CASSA1");
    records.request.ContractText.store("contratto");
    records.posData.STAN.store("000042");
    records.posData.Ticket.store("previous ticket");
    const std::string request = imageOf(records.request);
    const std::string answer = imageOf(records.posData);
    library.setResult(3);

    EXPECT_EQ(binding.call(GetParam(), records.request, records.posData), 3);

    ASSERT_EQ(library.callCount(), 1);
    EXPECT_EQ(library.callName(0), entryPointName(GetParam()));
    EXPECT_EQ(library.received(0, 0), request);
    EXPECT_EQ(library.received(0, 1), answer);
    // A quiet library leaves the records as they were.
    EXPECT_EQ(imageOf(records.request), request);
    EXPECT_EQ(imageOf(records.posData), answer);
}

TEST_P(EveryOperation, WhatTheLibraryWritesReachesBothRecords) {
    library.setWriting(true);
    library.setResult(1); // written records come back whatever the result

    EXPECT_EQ(binding.call(GetParam(), records.request, records.posData), 1);

    const std::string name = entryPointName(GetParam());
    EXPECT_EQ(imageOf(records.request), writtenImage(PosRequest::size, 0, name));
    EXPECT_EQ(imageOf(records.posData), writtenImage(POSDATA::size, 1, name));
}

INSTANTIATE_TEST_SUITE_P(All, EveryOperation, testing::ValuesIn(AllOperations),
                         [](const testing::TestParamInfo<Operation>& info) {
                             return std::string(entryPointName(info.param)).substr(8);
                         });

TEST_F(DynamicTerminalLibraryTest, EntryPointNamesAreTheExportedOnes) {
    for (Operation operation : AllOperations) {
        binding.call(operation, records.request, records.posData);
    }
    ASSERT_EQ(library.callCount(), 10);
    const char* expected[] = {"IAE17AX_Payment",
                              "IAE17AX_PaymentExt",
                              "IAE17AX_Refund",
                              "IAE17AX_Void",
                              "IAE17AX_TerminalBalance",
                              "IAE17AX_Closure",
                              "IAE17AX_Status",
                              "IAE17AX_Preauthorization",
                              "IAE17AX_PreauthorizationInt",
                              "IAE17AX_PreauthorizationClose"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(library.callName(i), expected[i]);
    }
}

TEST_F(DynamicTerminalLibraryTest, InitEthSendsAndReadsBackItsRecord) {
    records.ethInit.IpAddress.store("192.168.1.113");
    records.ethInit.Port.store("123");
    library.setResult(2);

    EXPECT_EQ(binding.IAE17AX_InitEth(records.ethInit), 2);
    EXPECT_EQ(library.received(0, 0), std::string("192.168.1.113   123   "));

    library.setWriting(true);
    binding.IAE17AX_InitEth(records.ethInit);
    EXPECT_EQ(imageOf(records.ethInit), writtenImage(22, 0, "IAE17AX_InitEth"));
}

TEST_F(DynamicTerminalLibraryTest, InitRS232SendsAndReadsBackItsRecord) {
    records.rs232Init.ComPort.store("COM10");
    records.rs232Init.BaudCode.store("4");
    records.rs232Init.DataBitsCode.store("1");
    records.rs232Init.ParityCode.store("0");
    records.rs232Init.StopBitsCode.store("0");

    EXPECT_EQ(binding.IAE17AX_InitRS232(records.rs232Init), 0);
    EXPECT_EQ(library.received(0, 0), std::string("COM10 4 1 0 0 "));

    library.setWriting(true);
    binding.IAE17AX_InitRS232(records.rs232Init);
    EXPECT_EQ(imageOf(records.rs232Init), writtenImage(14, 0, "IAE17AX_InitRS232"));
}

TEST_F(DynamicTerminalLibraryTest, VersionIsTheTenCharactersTheLibraryWrote) {
    library.setWriting(true);
    VersionBuffer version;
    version.fill(' ');
    binding.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), version.size()), TestLibraryVersion);
}

TEST_F(DynamicTerminalLibraryTest, ShortVersionKeepsItsTerminatorAndTheRestOfTheBuffer) {
    VersionBuffer version;
    version.fill(' ');
    binding.IAE17AX_GetVersion(version);
    EXPECT_EQ(std::string(version.data(), version.size()), std::string("1.0\0      ", 10));
}

TEST_F(DynamicTerminalLibraryTest, FreeKeepsTheLibraryForLaterCalls) {
    binding.IAE17AX_Free();
    binding.IAE17AX_Status(records.request, records.posData);
    binding.IAE17AX_Free();
    ASSERT_EQ(library.callCount(), 3);
    EXPECT_EQ(library.callName(0), "IAE17AX_Free");
    EXPECT_EQ(library.callName(1), "IAE17AX_Status");
    EXPECT_EQ(loader.loads, 1);
}

TEST_F(DynamicTerminalLibraryTest, LoadsNothingBeforeTheFirstCall) {
    EXPECT_EQ(loader.loads, 0);
    binding.IAE17AX_Status(records.request, records.posData);
    binding.IAE17AX_Payment(records.request, records.posData);
    EXPECT_EQ(loader.loads, 1);
}

TEST_F(DynamicTerminalLibraryTest, MissingLibraryIsFileNotFound) {
    const std::string missing = programFolder.file("nothing.so");
    variable.set(missing);
    records.request.Amount.store("100");
    const std::string request = imageOf(records.request);
    try {
        binding.IAE17AX_Payment(records.request, records.posData);
        FAIL() << "no error";
    } catch (const RunTimeError& error) {
        EXPECT_EQ(error.number(), 53);
        EXPECT_EQ(error.description().rfind("File not found: " + missing + ": ", 0), 0u)
            << error.description();
    }
    EXPECT_EQ(imageOf(records.request), request);

    // A later call tries again and finds the library once it is there.
    copyFile(FullLibrary, missing);
    EXPECT_EQ(binding.IAE17AX_Status(records.request, records.posData), 0);
}

TEST_F(DynamicTerminalLibraryTest, MissingEntryPointFailsOnlyThatEntryPoint) {
    variable.set(LibraryWithoutRefund);
    TestLibrary partial(LibraryWithoutRefund);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            binding.IAE17AX_Refund(records.request, records.posData);
            FAIL() << "no error";
        } catch (const RunTimeError& error) {
            EXPECT_EQ(error.number(), 453);
            EXPECT_EQ(error.description(),
                      "Can't find DLL entry point IAE17AX_Refund in " + LibraryWithoutRefund);
        }
    }
    partial.setResult(4);
    EXPECT_EQ(binding.IAE17AX_Payment(records.request, records.posData), 4);
    EXPECT_EQ(binding.IAE17AX_Void(records.request, records.posData), 4);
    ASSERT_EQ(partial.callCount(), 2);
    EXPECT_EQ(partial.callName(0), "IAE17AX_Payment");
}

TEST_F(DynamicTerminalLibraryTest, LibraryInTheProgramFolderIsFoundWithoutTheVariable) {
    copyFile(LibraryWithoutRefund, programFolder.file("libiae17.so"));
    variable.unset();
    EXPECT_EQ(binding.libraryPath(), programFolder.file("libiae17.so"));

    EXPECT_THROW(binding.IAE17AX_Refund(records.request, records.posData), RunTimeError);
    EXPECT_EQ(binding.IAE17AX_Payment(records.request, records.posData), 0);
}

TEST_F(DynamicTerminalLibraryTest, VariableBeatsTheProgramFolder) {
    copyFile(LibraryWithoutRefund, programFolder.file("libiae17.so"));
    EXPECT_EQ(binding.libraryPath(), FullLibrary);

    EXPECT_EQ(binding.IAE17AX_Refund(records.request, records.posData), 0);
    EXPECT_EQ(library.callName(0), "IAE17AX_Refund");
}

TEST_F(DynamicTerminalLibraryTest, EmptyVariableCountsAsUnset) {
    variable.set("");
    EXPECT_EQ(binding.libraryPath(), "libiae17.so");
    copyFile(FullLibrary, programFolder.file("libiae17.so"));
    EXPECT_EQ(binding.libraryPath(), programFolder.file("libiae17.so"));
}

TEST_F(DynamicTerminalLibraryTest, WithoutVariableOrFileTheBareNameGoesToTheSearchPath) {
    variable.unset();
    EXPECT_EQ(binding.libraryPath(), "libiae17.so");
}

} // namespace
} // namespace kvl
