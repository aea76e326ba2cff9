#include "config/ConfigurationReader.h"

#include "platform/Text.h"
#include "support/ConfigFixture.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <random>
#include <string>

namespace kvl {
namespace {

using test::ConfigFixture;

const std::string ConfigName = "ConfigTlvPos.TXT";

std::string crlfLines(std::initializer_list<std::string> lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// A program whose records and console hold recognisable values before the
// file is read, so that a value left alone can be told from one written.
class ReaderTest {
public:
    ReaderTest() {
        auto& records = env.program.records;
        records.ethInit.IpAddress.store("10.0.0.1");
        records.ethInit.Port.store("1");
        records.rs232Init.ComPort.store("X");
        records.rs232Init.BaudCode.store("X");
        records.rs232Init.DataBitsCode.store("X");
        records.rs232Init.ParityCode.store("X");
        records.rs232Init.StopBitsCode.store("X");
        env.program.frmMain.txtIP.setText("before");
        env.program.frmMain.txtPorta.setText("before");
        env.program.params.CommandFilePath = "before-in";
        env.program.params.ResultFilePath = "before-out";
    }

    std::string read(const std::string& bytes) {
        env.writeFile(ConfigName, bytes);
        std::string path = env.path(ConfigName);
        return EstrazioneParametriComunicazione(env.program, path);
    }

    ConfigFixture env;
};

class ConfigurationReaderTest : public ::testing::Test, public ReaderTest {};

// ---- the nine value keys, one line each

enum class Field { ComPort, Baud, DataBits, Parity, StopBits, IpAddress, Port, TxtIP, TxtPorta };

std::string fieldText(Program& program, Field field) {
    auto& eth = program.records.ethInit;
    auto& rs = program.records.rs232Init;
    switch (field) {
    case Field::ComPort:
        return rs.ComPort.text();
    case Field::Baud:
        return rs.BaudCode.text();
    case Field::DataBits:
        return rs.DataBitsCode.text();
    case Field::Parity:
        return rs.ParityCode.text();
    case Field::StopBits:
        return rs.StopBitsCode.text();
    case Field::IpAddress:
        return eth.IpAddress.text();
    case Field::Port:
        return eth.Port.text();
    case Field::TxtIP:
        return program.frmMain.txtIP.text();
    case Field::TxtPorta:
        return program.frmMain.txtPorta.text();
    }
    return {};
}

struct FieldCase {
    std::string line;
    Field field;
    std::string expected; // the field's whole text afterwards
};

class KeyValueTest : public ::testing::TestWithParam<FieldCase>, public ReaderTest {};

TEST_P(KeyValueTest, LineSetsOrLeavesTheField) {
    ASSERT_EQ(read(crlfLines({GetParam().line})), "");
    EXPECT_EQ(fieldText(env.program, GetParam().field), GetParam().expected) << GetParam().line;
    EXPECT_TRUE(env.messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    SerialLine, KeyValueTest,
    ::testing::Values(
        FieldCase{"PCOM: 1", Field::ComPort, "1     "},
        FieldCase{"PCOM: 20", Field::ComPort, "20    "},
        FieldCase{"pcom:  3  ", Field::ComPort, "3     "},
        FieldCase{"PCOM: COM1", Field::ComPort, "X     "},
        FieldCase{"PCOM: 0", Field::ComPort, "X     "},
        FieldCase{"PCOM: 21", Field::ComPort, "X     "},
        FieldCase{"PCOM:", Field::ComPort, "X     "},
        // seven characters would be cut to "000000"
        FieldCase{"PCOM: 0000020", Field::ComPort, "X     "},
        FieldCase{"BAUD: 300", Field::Baud, "0 "}, FieldCase{"BAUD: 1200", Field::Baud, "1 "},
        FieldCase{"BAUD: 2400", Field::Baud, "2 "}, FieldCase{"BAUD: 4800", Field::Baud, "3 "},
        FieldCase{"BAUD: 9600", Field::Baud, "4 "}, FieldCase{"BAUD: 19200", Field::Baud, "5 "},
        FieldCase{"BAUD: 38400", Field::Baud, "4 "}, FieldCase{"BAUD: 115200", Field::Baud, "4 "},
        FieldCase{"BAUD: abc", Field::Baud, "4 "}, FieldCase{"baud:", Field::Baud, "4 "},
        FieldCase{"STOP: 2", Field::StopBits, "1 "}, FieldCase{"STOP: 1", Field::StopBits, "0 "},
        FieldCase{"BITS: 7", Field::DataBits, "0 "}, FieldCase{"BITS: 8", Field::DataBits, "1 "},
        FieldCase{"PARI: E", Field::Parity, "2 "}, FieldCase{"PARI: o", Field::Parity, "1 "},
        FieldCase{"PARI: N", Field::Parity, "0 "}, FieldCase{"PARI: EVEN", Field::Parity, "0 "},
        FieldCase{"PARI:", Field::Parity, "X "}, FieldCase{"PARI:    ", Field::Parity, "X "}));

INSTANTIATE_TEST_SUITE_P(
    Network, KeyValueTest,
    ::testing::Values(FieldCase{"IPAD: 192.168.1.113", Field::IpAddress, "192.168.1.113   "},
                      FieldCase{"IPAD: 192.168.1.113", Field::TxtIP, "192.168.1.113   "},
                      FieldCase{"ipad:192.168.1.255", Field::IpAddress, "192.168.1.255   "},
                      FieldCase{"IPAD: 192.168.1", Field::IpAddress, "10.0.0.1        "},
                      FieldCase{"IPAD: 192.168.1", Field::TxtIP, "before"},
                      FieldCase{"IPAD: 192.168.1.256", Field::IpAddress, "10.0.0.1        "},
                      FieldCase{"IPAD: a.b.c.d", Field::TxtIP, "before"},
                      FieldCase{"IPAD:", Field::IpAddress, "10.0.0.1        "},
                      // passes the address check but would be cut to a different address
                      FieldCase{"IPAD: +192.+168.+1.+113", Field::IpAddress, "10.0.0.1        "},
                      FieldCase{"IPAD: +192.+168.+1.+113", Field::TxtIP, "before"},
                      FieldCase{"PORT: 8080", Field::Port, "8080  "},
                      FieldCase{"PORT: 8080", Field::TxtPorta, "8080  "},
                      FieldCase{"PORT: 123456", Field::Port, "123456"},
                      FieldCase{"PORT: 80x", Field::Port, "1     "},
                      FieldCase{"PORT: 80x", Field::TxtPorta, "before"},
                      FieldCase{"PORT:", Field::Port, "1     "},
                      // would be cut to "000080", port 80
                      FieldCase{"PORT: 00008080", Field::Port, "1     "},
                      FieldCase{"PORT: 00008080", Field::TxtPorta, "before"}));

struct TipoCase {
    std::string value;
    short expected;
};

class TipoTest : public ::testing::TestWithParam<TipoCase>, public ReaderTest {};

TEST_P(TipoTest, EthAnywhereSelectsEthernet) {
    const short other = GetParam().expected == CommunicationParameters::Ethernet
                            ? CommunicationParameters::Rs232
                            : CommunicationParameters::Ethernet;
    env.program.params.ConnectionType = other;
    ASSERT_EQ(read(crlfLines({"TIPO: " + GetParam().value})), "");
    EXPECT_EQ(env.program.params.ConnectionType, GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, TipoTest,
                         ::testing::Values(TipoCase{"ETH", 0}, TipoCase{"ethernet", 0},
                                           TipoCase{"NETH", 0}, TipoCase{"RS232", 1},
                                           TipoCase{"COM", 1}, TipoCase{"", 1}));

struct EcriCase {
    std::string value;
    bool expected;
};

class EcriTest : public ::testing::TestWithParam<EcriCase>, public ReaderTest {};

TEST_P(EcriTest, OnlyTheLetterSRequiresTheEcrId) {
    env.program.params.EcrIdRequired = !GetParam().expected;
    ASSERT_EQ(read(crlfLines({"ECRI: " + GetParam().value})), "");
    EXPECT_EQ(env.program.params.EcrIdRequired, GetParam().expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, EcriTest,
                         ::testing::Values(EcriCase{"S", true}, EcriCase{"s", true},
                                           EcriCase{"N", false}, EcriCase{"1", false},
                                           EcriCase{"", false}, EcriCase{"SI", false}));

// ---- command and result file paths

struct PathCase {
    std::string value;    // after the key and its colon
    std::string inFolder; // expected name in the program folder, or
    std::string full;     // expected full path; both empty: the default name
};

class FilePathTest : public ::testing::TestWithParam<PathCase>, public ReaderTest {
protected:
    std::string expected(const std::string& defaultName) {
        if (!GetParam().full.empty())
            return GetParam().full;
        return env.path(GetParam().inFolder.empty() ? defaultName : GetParam().inFolder);
    }
};

TEST_P(FilePathTest, CommandFilePath) {
    ASSERT_EQ(read(crlfLines({"INPF:" + GetParam().value})), "");
    EXPECT_EQ(env.program.params.CommandFilePath, expected("SR_DATI.TXT"));
    EXPECT_EQ(env.program.params.ResultFilePath, "before-out");
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_P(FilePathTest, ResultFilePath) {
    ASSERT_EQ(read(crlfLines({"outf:" + GetParam().value})), "");
    EXPECT_EQ(env.program.params.ResultFilePath, expected("SR_OUT.TXT"));
    EXPECT_EQ(env.program.params.CommandFilePath, "before-in");
    EXPECT_TRUE(env.messageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FilePathTest,
    ::testing::Values(PathCase{"", "", ""}, PathCase{"    ", "", ""}, PathCase{" \"\"", "", ""},
                      PathCase{" ecr.txt", "ecr.txt", ""},
                      PathCase{"\"my file.txt\"", "my file.txt", ""},
                      PathCase{" \"/data/ecr files/in.txt\"", "", "/data/ecr files/in.txt"},
                      PathCase{" /data/a:b/in.txt", "", "/data/a:b/in.txt"}));

TEST_F(ConfigurationReaderTest, MissingDriveIsReportedAndThePathKept) {
    const std::string input = env.folder() + "/E:\\ECR\\SR_DATI.TXT";
    const std::string output = env.folder() + "/F:\\ECR\\SR_OUT.TXT";
    ASSERT_EQ(read(crlfLines({"INPF: " + input, "OUTF: " + output, "PORT: 81"})), "");

    EXPECT_EQ(env.program.params.CommandFilePath, input);
    EXPECT_EQ(env.program.params.ResultFilePath, output);
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "81    ");
    ASSERT_EQ(env.fake.messages.shown().size(), 2u);
    EXPECT_EQ(env.fake.messages.shown()[0].text, "Directory del file di Input non presente !");
    EXPECT_EQ(env.fake.messages.shown()[0].title, ProgramTitle);
    EXPECT_EQ(env.fake.messages.shown()[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(env.fake.messages.shown()[1].text, "Directory del file di Output non presente !");
}

TEST_F(ConfigurationReaderTest, PresentDriveIsNotReported) {
    env.makeDirectory("E:");
    const std::string input = env.folder() + "/E:\\ECR\\SR_DATI.TXT";
    ASSERT_EQ(read(crlfLines({"INPF: " + input})), "");
    EXPECT_EQ(env.program.params.CommandFilePath, input);
    EXPECT_TRUE(env.messageTexts().empty());
}

// ---- the file as a whole

TEST_F(ConfigurationReaderTest, MissingFileTouchesNothing) {
    env.program.frmMain.txtEsito.setText("OK");
    std::string path = "   " + env.path("NoSuchFile.TXT");
    EXPECT_EQ(EstrazioneParametriComunicazione(env.program, path),
              "File di configurazione non trovato");
    EXPECT_EQ(env.program.frmMain.txtEsito.text(), "OK");
    EXPECT_EQ(env.program.params.CommandFilePath, "before-in");
    EXPECT_TRUE(env.messageTexts().empty());
}

TEST_F(ConfigurationReaderTest, PathIsTrimmedOnTheLeftAndUpperCasedForTheCaller) {
    env.writeFile("cfg.txt", "PORT: 4000\r\n");
    std::string path = "  " + env.path("cfg.txt");
    ASSERT_EQ(EstrazioneParametriComunicazione(env.program, path), "");
    EXPECT_EQ(path, text::upperCase(env.path("cfg.txt")));
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "4000  ");
}

TEST_F(ConfigurationReaderTest, EmptyOrCommentOnlyFileChangesNothingButTheOutcome) {
    env.program.frmMain.txtEsito.setText("OK");
    env.program.frmMain.txtDescrKO.setText("refused");
    ASSERT_EQ(read(crlfLines({"", "; TIPO: RS232", "   ; PORT: 9", ";"})), "");
    EXPECT_EQ(env.program.frmMain.txtEsito.text(), "");
    EXPECT_EQ(env.program.frmMain.txtDescrKO.text(), "");
    EXPECT_EQ(env.program.params.ConnectionType, CommunicationParameters::Ethernet);
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "1     ");
    EXPECT_EQ(env.program.records.rs232Init.BaudCode.text(), "X ");
}

TEST_F(ConfigurationReaderTest, WholeExampleFile) {
    ASSERT_EQ(
        read(crlfLines({"; terminal over the network", "TIPO: ETH", "IPAD: 192.168.1.113",
                        "PORT: 8080", "PCOM: 1", "BAUD: 9600", "BITS: 8", "PARI: N", "STOP: 1",
                        "ECRI: N", "INPF: /ecr/SR_DATI.TXT", "OUTF: /ecr/SR_OUT.TXT"})),
        "");
    const Program& program = env.program;
    EXPECT_EQ(program.params.ConnectionType, CommunicationParameters::Ethernet);
    EXPECT_EQ(program.records.ethInit.IpAddress.text(), "192.168.1.113   ");
    EXPECT_EQ(program.records.ethInit.Port.text(), "8080  ");
    EXPECT_EQ(program.records.rs232Init.ComPort.text(), "1     ");
    EXPECT_EQ(program.records.rs232Init.BaudCode.text(), "4 ");
    EXPECT_EQ(program.records.rs232Init.DataBitsCode.text(), "1 ");
    EXPECT_EQ(program.records.rs232Init.ParityCode.text(), "0 ");
    EXPECT_EQ(program.records.rs232Init.StopBitsCode.text(), "0 ");
    EXPECT_FALSE(program.params.EcrIdRequired);
    EXPECT_EQ(program.params.CommandFilePath, "/ecr/SR_DATI.TXT");
    EXPECT_EQ(program.params.ResultFilePath, "/ecr/SR_OUT.TXT");
}

TEST_F(ConfigurationReaderTest, KeyGivenTwiceKeepsItsLastValidValue) {
    ASSERT_EQ(read(crlfLines({"PORT: 1000", "IPAD: 1.1.1.1", "PORT: 2000", "IPAD: 2.2.2.2",
                              "PORT: bad", "IPAD: 3.3.3"})),
              "");
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "2000  ");
    EXPECT_EQ(env.program.frmMain.txtPorta.text(), "2000  ");
    EXPECT_EQ(env.program.records.ethInit.IpAddress.text(), "2.2.2.2         ");
    EXPECT_EQ(env.program.frmMain.txtIP.text(), "2.2.2.2         ");
}

TEST_F(ConfigurationReaderTest, KeyWordInsideAValueSelectsNothing) {
    env.program.params.ConnectionType = CommunicationParameters::Rs232;
    ASSERT_EQ(
        read(crlfLines({"INPF: /srv/PORT:9/ETH/TIPO:ETH/in.txt", "NOTE PORT: 7", "X TIPO: ETH"})),
        "");
    EXPECT_EQ(env.program.params.CommandFilePath, "/srv/PORT:9/ETH/TIPO:ETH/in.txt");
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "1     ");
    EXPECT_EQ(env.program.params.ConnectionType, CommunicationParameters::Rs232);
}

TEST_F(ConfigurationReaderTest, LinesWithoutCarriageReturnOrFinalLineEnd) {
    ASSERT_EQ(read("PORT: 81\nBAUD: 300\r\nSTOP: 2"), "");
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "81    ");
    EXPECT_EQ(env.program.records.rs232Init.BaudCode.text(), "0 ");
    EXPECT_EQ(env.program.records.rs232Init.StopBitsCode.text(), "1 ");
}

// ---- failures and hostile content

TEST(ConfigurationReaderFailure, ReadFailurePartWayKeepsEarlierValuesAndReportsError) {
    ConfigFixture env(ConfigFixture::Files::Fake);
    env.program.records.rs232Init.StopBitsCode.store("X");
    env.writeFile(ConfigName, crlfLines({"PORT: 81", "BAUD: 300", "STOP: 2", "BITS: 7"}));
    std::string path = env.path(ConfigName);
    const std::string opened = text::upperCase(path);
    env.fake.files.failReadingAfter(opened, 2, ErrorNumber::PathFileAccess);

    EXPECT_EQ(EstrazioneParametriComunicazione(env.program, path), "Error");

    EXPECT_EQ(env.program.records.ethInit.Port.text(), "81    ");
    EXPECT_EQ(env.program.records.rs232Init.BaudCode.text(), "0 ");
    EXPECT_EQ(env.program.records.rs232Init.StopBitsCode.text(), "X ");
    ASSERT_EQ(env.fake.messages.shown().size(), 1u);
    EXPECT_EQ(env.fake.messages.shown()[0].text,
              "Error 75 (Read failed (" + opened +
                  ")) in procedure EstrazioneParametriComunicazione of Modulo ModKvlIng");
    EXPECT_EQ(env.fake.messages.shown()[0].title, ProgramTitle);
    EXPECT_EQ(env.fake.messages.shown()[0].buttons, MessageButtons::Ok);
}

TEST(ConfigurationReaderFailure, FileThatCannotBeOpenedReportsError) {
    ConfigFixture env(ConfigFixture::Files::Fake);
    env.program.records.ethInit.Port.store("1");
    env.writeFile(ConfigName, "PORT: 81\r\n");
    std::string path = env.path(ConfigName);
    env.fake.files.failOperation(test::FakeFileSystem::Operation::Open, path,
                                 ErrorNumber::PermissionDenied);

    EXPECT_EQ(EstrazioneParametriComunicazione(env.program, path), "Error");
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "1     ");
    ASSERT_EQ(env.messageTexts().size(), 1u);
    EXPECT_EQ(env.messageTexts()[0].rfind("Error 70 (", 0), 0u) << env.messageTexts()[0];
}

TEST(ConfigurationReaderFailure, FolderInThePlaceOfTheFileIsNotFound) {
    ConfigFixture env;
    env.makeDirectory("ConfigTlvPos.TXT");
    std::string path = env.path(ConfigName);
    EXPECT_EQ(EstrazioneParametriComunicazione(env.program, path),
              "File di configurazione non trovato");
}

TEST_F(ConfigurationReaderTest, NulBytesLongLinesAndNoFinalLineEndAreReadSafely) {
    const std::string longLine = "TIPO: " + std::string(1 << 20, 'e') + "th";
    const std::string hugeAddress = "IPAD: " + std::string(1 << 20, '1');
    ASSERT_EQ(read(crlfLines({std::string("PCOM: 3\0", 8), longLine, hugeAddress,
                              std::string("BAUD: 300\0junk", 14), std::string("\0\0\0", 3)}) +
                   "PORT: 82" + std::string(1 << 20, ' ')),
              "");
    EXPECT_EQ(env.program.records.ethInit.Port.text(), "82    ");
    EXPECT_EQ(env.program.params.ConnectionType, CommunicationParameters::Ethernet);
    EXPECT_EQ(env.program.records.ethInit.IpAddress.text(), "10.0.0.1        ");
    EXPECT_EQ(env.program.records.rs232Init.BaudCode.text(), "0 ");
    EXPECT_EQ(env.program.records.rs232Init.ComPort.text(), "X     ");
}

TEST_F(ConfigurationReaderTest, RandomBytesNeverCrash) {
    const char raw[] = "TIPOADRCMBUSEFN:;\"\\/ .0123456789\r\n\0\x80\xff";
    const std::string alphabet(raw, sizeof raw - 1);
    std::mt19937 generator(1234);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int file = 0; file < 200; ++file) {
        std::string bytes;
        for (int i = 0; i < 400; ++i)
            bytes += alphabet[pick(generator)];
        EXPECT_EQ(read(bytes), "");
    }
}

// ---- DriveRoot

struct DriveCase {
    std::string path;
    std::string root;
};

class DriveRootTest : public ::testing::TestWithParam<DriveCase> {};

TEST_P(DriveRootTest, UpToTheColonOfTheLastColonBackslash) {
    EXPECT_EQ(DriveRoot(GetParam().path), GetParam().root) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DriveRootTest,
    ::testing::Values(DriveCase{"C:\\ECR\\SR_DATI.TXT", "C:"}, DriveCase{"", ""},
                      DriveCase{"/data/ecr/SR_DATI.TXT", ""}, DriveCase{"C:", ""},
                      DriveCase{"C:\\a\\D:\\b", "C:\\a\\D:"}, DriveCase{":\\", ":"},
                      DriveCase{"/mnt/x:/y", ""}, DriveCase{"\\\\server\\share\\f", ""}));

} // namespace
} // namespace kvl
