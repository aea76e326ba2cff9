#include "ConfigFixture.h"
#include "config/ConfigurationReader.h"
#include "config/DataFolder.h"
#include "config/ParameterFile.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace kvl {
namespace {

using Texts = std::vector<std::string>;

// Settings that start recognisable, to tell a value left alone from one written.
struct Reader : test::ConfigFixture {
    Reader() {
        params.ConnectionType = 7; // neither
        records.ethInit.IpAddress.store("10.0.0.1");
        records.ethInit.Port.store("1");
        records.rs232Init.visit([](const char*, auto& field) { field.store("X"); });
        frmMain.txtIP.setText("before");
        frmMain.txtPorta.setText("before");
    }
    // The file's name, given after blanks, returns trimmed and upper-cased.
    std::string read(const std::string& bytes) {
        writeFile("ConfigTlvPos.TXT", bytes);
        std::string given = "  " + path("ConfigTlvPos.TXT");
        const std::string answer = EstrazioneParametriComunicazione(config, given);
        EXPECT_EQ(given, text::upperCase(path("ConfigTlvPos.TXT")));
        return answer;
    }
    // Each key's setting as it stands; IPAD and PORT as record/console.
    std::map<std::string, std::string> settings() {
        const auto& rs = records.rs232Init;
        return {{"TIPO", std::to_string(params.ConnectionType)},
                {"IPAD", records.ethInit.IpAddress.text() + "/" + frmMain.txtIP.text()},
                {"PORT", records.ethInit.Port.text() + "/" + frmMain.txtPorta.text()},
                {"PCOM", rs.ComPort.text()},
                {"BAUD", rs.BaudCode.text()},
                {"STOP", rs.StopBitsCode.text()},
                {"BITS", rs.DataBitsCode.text()},
                {"PARI", rs.ParityCode.text()},
                {"ECRI", params.EcrIdRequired ? "S" : "N"},
                {"INPF", params.CommandFilePath},
                {"OUTF", params.ResultFilePath}};
    }
};

TEST(ConfigurationReader, EachKeySetsItsValueOrLeavesTheOldOne) {
    // "line|setting;": a line alone in the file, then its key's setting; "@" is the program
    // folder. "+192.+168.+1.+113" is valid but longer than its field.
    std::istringstream rows(
        "TIPO: ethernet|0;TIPO: RS232|1;TIPO:|1;"
        "IPAD: 192.168.1.113|192.168.1.113   /192.168.1.113   ;"
        "ipad: 192.168.1|10.0.0.1        /before;IPAD: +192.+168.+1.+113|10.0.0.1        /before;"
        "PORT: 8080|8080  /8080  ;PORT: 80x|1     /before;PORT: 00008080|1     /before;"
        "PCOM: 20|20    ;pcom: 1|1     ;PCOM: COM1|X     ;PCOM: 0|X     ;PCOM: 21|X     ;"
        "BAUD: 300|0 ;BAUD: 19200|5 ;BAUD: 38400|4 ;BAUD: abc|4 ;STOP: 2|1 ;STOP: 1|0 ;"
        "BITS: 7|0 ;BITS: 8|1 ;PARI: E|2 ;PARI: o|1 ;PARI: EVEN|0 ;PARI:|X ;ECRI: s|S;ECRI: N|N;"
        "ECRI:|N;INPF:|@/SR_DATI.TXT;OUTF:  |@/SR_OUT.TXT;INPF: ecr.txt|@/ecr.txt;"
        "OUTF: \"my out.txt\"|@/my out.txt;INPF: \"/data/ecr in.txt\"|/data/ecr in.txt");
    for (std::string row; std::getline(rows, row, ';');) {
        const std::string line = row.substr(0, row.find('|'));
        std::string expected = row.substr(row.find('|') + 1);
        Reader reader;
        reader.params.EcrIdRequired = expected == "N"; // the other value
        ASSERT_EQ(reader.read(line + "\r\n"), "") << line;
        if (expected[0] == '@')
            expected.replace(0, 1, reader.folder());
        EXPECT_EQ(reader.settings()[text::upperCase(line.substr(0, 4))], expected) << line;
        EXPECT_EQ(reader.messageTexts(), Texts{}) << line;
    }
}

// Comments, blank lines, refused values, keys past the first word, NULs (ending no value),
// binary bytes and megabyte lines; the last valid value wins, the last line has no line end.
TEST(ConfigurationReader, LastValidValueWinsOnlyAFirstWordIsAKeyAnyBytesAreReadSafely) {
    using namespace std::string_literals;
    Reader reader;
    const std::string in = reader.folder() + "/E:\\ECR\\PORT:9\\SR_DATI.TXT";
    const std::string out = reader.folder() + "/F:\\ECR\\SR_OUT.TXT";
    const std::string mega(1 << 20, 'e'), blanks(1 << 20, ' ');
    ASSERT_EQ(reader.read("PCOM: 3\0\r\nTIPO: "s + mega + "th\r\nIPAD: 1" + mega +
                          "\r\n\x80\xff\r\x01:\"\\\r\nBAUD: 19200\0junk\r\n\0\0\0\r\n"
                          "; TIPO: RS232\r\n\r\n   ; PORT: 9\r\nPORT: 1000\nPORT: 2000"s +
                          blanks + "\r\nPORT: bad\r\nNOTE PORT: 7\r\nX TIPO: RS232\r\nINPF: " + in +
                          "\r\nOUTF: " + out + "\r\nSTOP: 2"),
              "");
    auto set = reader.settings();
    EXPECT_EQ(set["PCOM"] + set["TIPO"] + set["BAUD"] + set["STOP"] + set["PORT"] + set["IPAD"],
              "X     05 1 2000  /2000  10.0.0.1        /before");
    EXPECT_EQ(set["INPF"] + "|" + set["OUTF"], in + "|" + out);
    EXPECT_EQ(reader.messageTexts(), (Texts{"Directory del file di Input non presente !",
                                            "Directory del file di Output non presente !"}));
}

TEST(ConfigurationReader, AReadFailurePartWayIsReportedKeepingTheValuesReadBefore) {
    Reader reader;
    const std::string opened = text::upperCase(reader.path("ConfigTlvPos.TXT"));
    reader.fake.files.failReadingAfter(opened, 2, ErrorNumber::PathFileAccess);
    EXPECT_EQ(reader.read("PORT: 81\r\nBAUD: 300\r\nSTOP: 2\r\n"), "Error");
    auto settings = reader.settings();
    EXPECT_EQ(settings["PORT"] + settings["BAUD"] + settings["STOP"], "81    /81    0 X ");
    EXPECT_EQ(reader.messageTexts(),
              Texts{"Error 75 (Read failed (" + opened +
                    ")) in procedure EstrazioneParametriComunicazione of Modulo ModKvlIng"});
}

TEST(ParameterFile, OnlyExactly1SwitchesTheLogOnMissingPathsGiveTheDefaultsAndSavingWritesThem) {
    // File (nullptr: none), then log switch, configuration and log file after loading (nullptr:
    // the default in the program folder): the three lines that saving writes back.
    const char* const rows[][4] = {
        {nullptr, "0", nullptr, nullptr},
        {"1\r\n", "1", "old", "old"},
        {"1 \r\n /my conf \r\n\"/l\"\r\nmore\r\n", "0", " /my conf ", "\"/l\""},
        {"1\r\n\r\n\r\n", "1", nullptr, nullptr}};
    for (const auto& [file, log, config, logFile] : rows) {
        test::ConfigFixture env;
        FrmWpos1Type& form = env.frmWpos1Type;
        form.chkEnableLog.setValue(*log == '1' ? 0 : 1);
        form.txtConfFile.setText("old");
        form.txtLogFileName.setText("old");
        if (file)
            env.writeFile("ParamTlvPos.TXT", file);
        LoadParameters(env.config);
        const std::string conf = config ? config : env.path("ConfigTlvPos.TXT");
        const std::string logPath = logFile ? logFile : env.path("LogTlvPos.TXT");
        EXPECT_EQ(form.txtConfFile.text() + "|" + form.txtLogFileName.text(), conf + "|" + logPath);
        SaveParameters(env.config); // whole: the longer file's fourth line goes
        EXPECT_EQ(env.fake.files.content(env.path("ParamTlvPos.TXT")),
                  std::string(log) + "\r\n" + conf + "\r\n" + logPath + "\r\n");
    }
    test::ConfigFixture folder; // an unwritable file is skipped silently
    folder.fake.files.addDirectory(folder.path("ParamTlvPos.TXT"));
    LoadParameters(folder.config);
    EXPECT_NO_THROW(SaveParameters(folder.config));
    EXPECT_EQ(folder.messageTexts(), Texts{});
}

TEST(DataFolder, OnNtSixTheCommonAppDataFolderElseTheProgramFolderWhichMustExist) {
    // major, minor, platform id, whether a common folder is given, whether it is used
    const unsigned rows[][5] = {{6, 1, 2, 1, 1},  {6, 0, 2, 1, 1}, {5, 1, 2, 1, 0},
                                {10, 0, 2, 1, 0}, {6, 1, 1, 1, 0}, {6, 1, 2, 0, 0}};
    for (const auto& row : rows) {
        test::ConfigFixture env;
        env.fake.system.version = {row[0], row[1], 7601, row[2]};
        env.fake.system.appDataFolder = row[3] ? env.path("common") : "";
        env.fake.files.addDirectory(env.path("common/KvlTalvioPos"));
        EXPECT_EQ(SettleDataFolder(env.config) ? env.DataFolder : "failed",
                  row[4] ? env.path("common/KvlTalvioPos") : env.folder())
            << row[0] << "." << row[1] << "/" << row[2] << "/" << row[3];
        EXPECT_EQ(env.messageTexts(), Texts(!row[3], "Path non disponibile"));
    }
    test::ConfigFixture env; // the program folder, on NT 6 without a common folder, is gone
    env.fake.system.version = {6, 1, 7601, 2};
    env.fake.program.folder = "/nowhere/kvl";
    EXPECT_FALSE(SettleDataFolder(env.config));
    EXPECT_EQ(env.messageTexts(),
              (Texts{"Path non disponibile", "/nowhere/kvl : DIR NON ESISTENTE"}));
}

} // namespace
} // namespace kvl
