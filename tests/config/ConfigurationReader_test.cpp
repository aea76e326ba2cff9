#include "config/ConfigurationReader.h"

#include "platform/Text.h"
#include "support/ConfigFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kvl {
namespace {

using Texts = std::vector<std::string>;

// A program whose settings start recognisable, to tell a value left alone from one written.
struct Reader {
    Reader() {
        env.program.params.ConnectionType = 7; // neither
        env.program.records.ethInit.IpAddress.store("10.0.0.1");
        env.program.records.ethInit.Port.store("1");
        env.program.records.rs232Init.visit([](const char*, auto& field) { field.store("X"); });
        env.program.frmMain.txtIP.setText("before");
        env.program.frmMain.txtPorta.setText("before");
    }
    // Reads the bytes as the file; its name, given after blanks, returns trimmed and upper-cased.
    std::string read(const std::string& bytes) {
        env.writeFile("ConfigTlvPos.TXT", bytes);
        std::string path = "  " + env.path("ConfigTlvPos.TXT");
        const std::string answer = EstrazioneParametriComunicazione(env.program, path);
        EXPECT_EQ(path, text::upperCase(env.path("ConfigTlvPos.TXT")));
        return answer;
    }
    // Each key's setting as it stands; IPAD and PORT as record/console.
    std::map<std::string, std::string> settings() {
        const Program& p = env.program;
        const auto& rs = p.records.rs232Init;
        return {{"TIPO", std::to_string(p.params.ConnectionType)},
                {"IPAD", p.records.ethInit.IpAddress.text() + "/" + p.frmMain.txtIP.text()},
                {"PORT", p.records.ethInit.Port.text() + "/" + p.frmMain.txtPorta.text()},
                {"PCOM", rs.ComPort.text()},
                {"BAUD", rs.BaudCode.text()},
                {"STOP", rs.StopBitsCode.text()},
                {"BITS", rs.DataBitsCode.text()},
                {"PARI", rs.ParityCode.text()},
                {"ECRI", p.params.EcrIdRequired ? "S" : "N"},
                {"INPF", p.params.CommandFilePath},
                {"OUTF", p.params.ResultFilePath}};
    }

    test::ConfigFixture env;
};

TEST(ConfigurationReader, EachKeySetsItsValueOrLeavesTheOldOne) {
    // "line|setting;": a line alone in the file, then its key's setting; "@" is the program
    // folder. "+192.+168.+1.+113" is valid but longer than its field.
    std::istringstream rows(
        "TIPO: ETH|0;TIPO: ethernet|0;TIPO: RS232|1;TIPO:|1;"
        "IPAD: 192.168.1.113|192.168.1.113   /192.168.1.113   ;"
        "ipad: 192.168.1|10.0.0.1        /before;IPAD: 192.168.1.256|10.0.0.1        /before;"
        "IPAD: +192.+168.+1.+113|10.0.0.1        /before;PORT: 8080|8080  /8080  ;"
        "PORT: 80x|1     /before;PORT:|1     /before;PORT: 00008080|1     /before;"
        "PCOM: 20|20    ;pcom: 1|1     ;PCOM: COM1|X     ;PCOM: 0|X     ;PCOM: 21|X     ;"
        "BAUD: 300|0 ;BAUD: 19200|5 ;BAUD: 38400|4 ;BAUD: 115200|4 ;BAUD: abc|4 ;"
        "STOP: 2|1 ;STOP: 1|0 ;BITS: 7|0 ;BITS: 8|1 ;PARI: E|2 ;PARI: o|1 ;PARI: EVEN|0 ;PARI:|X ;"
        "ECRI: s|S;ECRI: N|N;ECRI: 1|N;ECRI:|N;INPF:|@/SR_DATI.TXT;OUTF:  |@/SR_OUT.TXT;"
        "INPF: ecr.txt|@/ecr.txt;OUTF: \"my out.txt\"|@/my out.txt;"
        "INPF: \"/data/ecr files/in.txt\"|/data/ecr files/in.txt;");
    for (std::string row; std::getline(rows, row, ';');) {
        const std::string line = row.substr(0, row.find('|'));
        std::string expected = row.substr(row.find('|') + 1);
        Reader reader;
        reader.env.program.params.EcrIdRequired = expected == "N"; // the other value
        ASSERT_EQ(reader.read(line + "\r\n"), "") << line;
        if (expected[0] == '@')
            expected.replace(0, 1, reader.env.folder());
        EXPECT_EQ(reader.settings()[text::upperCase(line.substr(0, 4))], expected) << line;
        EXPECT_EQ(reader.env.messageTexts(), Texts{}) << line;
    }
}

TEST(ConfigurationReader, LastValidValueWinsOnlyAFirstWordIsAKeyMissingDrivesAreReported) {
    Reader reader;
    const std::string in = reader.env.folder() + "/E:\\ECR\\PORT:9\\SR_DATI.TXT";
    const std::string out = reader.env.folder() + "/F:\\ECR\\SR_OUT.TXT";
    ASSERT_EQ(reader.read("; TIPO: RS232\r\n\r\n   ; PORT: 9\r\nPORT: 1000\nPORT: 2000\r\n"
                          "PORT: bad\r\nNOTE PORT: 7\r\nX TIPO: RS232\r\nINPF: " +
                          in + "\r\nOUTF: " + out + "\r\nBAUD: 300"),
              "");
    auto settings = reader.settings();
    EXPECT_EQ(settings["TIPO"] + settings["PORT"] + settings["BAUD"], "72000  /2000  0 ");
    EXPECT_EQ(settings["INPF"] + "|" + settings["OUTF"], in + "|" + out);
    EXPECT_EQ(reader.env.messageTexts(), (Texts{"Directory del file di Input non presente !",
                                                "Directory del file di Output non presente !"}));
}

TEST(ConfigurationReader, AFolderInItsPlaceIsNotFoundAndTouchesNothing) {
    Reader reader;
    reader.env.makeDirectory("ConfigTlvPos.TXT");
    std::string path = reader.env.path("ConfigTlvPos.TXT");
    EXPECT_EQ(EstrazioneParametriComunicazione(reader.env.program, path),
              "File di configurazione non trovato");
    EXPECT_EQ(reader.settings()["PORT"], "1     /before");
}

TEST(ConfigurationReader, AReadFailurePartWayIsReportedKeepingTheValuesReadBefore) {
    Reader reader;
    const std::string opened = text::upperCase(reader.env.path("ConfigTlvPos.TXT"));
    reader.env.fake.files.failReadingAfter(opened, 2, ErrorNumber::PathFileAccess);
    EXPECT_EQ(reader.read("PORT: 81\r\nBAUD: 300\r\nSTOP: 2\r\n"), "Error");
    auto settings = reader.settings();
    EXPECT_EQ(settings["PORT"] + settings["BAUD"] + settings["STOP"], "81    /81    0 X ");
    EXPECT_EQ(reader.env.messageTexts(),
              Texts{"Error 75 (Read failed (" + opened +
                    ")) in procedure EstrazioneParametriComunicazione of Modulo ModKvlIng"});
}

TEST(ConfigurationReader, NulsBinaryBytesAndLongLinesAreReadSafely) {
    using namespace std::string_literals;
    Reader reader;
    const std::string mega(1 << 20, 'e');
    ASSERT_EQ(reader.read("PCOM: 3\0\r\nTIPO: "s + mega + "th\r\nIPAD: 1" + mega +
                          "\r\n\x80\xff\r\x01:\"\\\r\nBAUD: 300\0junk\r\n\0\0\0\r\nPORT: 82"s +
                          std::string(1 << 20, ' ')),
              "");
    auto settings = reader.settings();
    EXPECT_EQ(settings["PCOM"] + settings["TIPO"] + settings["BAUD"], "X     00 ");
    EXPECT_EQ(settings["PORT"] + settings["IPAD"], "82    /82    10.0.0.1        /before");
}

} // namespace
} // namespace kvl
