#include "commands/Dispatcher.h"

#include "CommandsFixture.h"

#include <array>
#include <random>

namespace kvl::test {
namespace {

class DispatcherTest : public CommandsFixture {
protected:
    std::string run(const std::string& commandFile, bool ecrIdRequired = false) {
        fake.files.addFile(params.CommandFilePath, commandFile);
        return ElaboraFileComandi(commands, params.CommandFilePath, ecrIdRequired);
    }
};

// Each command gets its own block, byte for byte, one write each; a refusal
// after a success reports its own outcome.
TEST_F(DispatcherTest, EachCommandGetsItsOwnBlockByteForByte) {
    const std::array<std::string, 3> fields[] = {
        {"TerminalId", "12345678", "12345678 "},
        {"TransactionResult", "00", "00 "},
        {"KODescription", "", std::string(25, ' ')},
        {"Ticket", "SCONTRINO\r\nTOTALE 12,50",
         "SCONTRINO\r\nTOTALE 12,50" + std::string(4097 - 23, ' ')}};
    LibraryReply reply;
    std::map<std::string, std::string> dumped;
    for (const auto& [name, answered, shown] : fields) {
        reply.answerFields.emplace_back(name, answered);
        dumped[name] = shown;
    }
    library.queueReply("IAE17AX_Payment", reply);

    EXPECT_EQ(run("POS_PAGAME,T00000001,E00000001,A000001250,P00\r\nPOS_CHPREA\r\n"),
              "Funzione non disponibile");

    const std::string dump = posDataDump(dumped);
    EXPECT_EQ(fake.files.content(ResultFile),
              sixLines("POS_PAGAME,T00000001,E00000001,A000001250,P00", "OK", "00 ",
                       std::string(25, ' '), "") +
                  dump + sixLines("POS_CHPREA", "KO", "01", Generic, "Funzione non disponibile") +
                  dump);
    EXPECT_EQ(fake.files.appends.size(), 2u);
}

// Lines lose one trailing ';'. A line without a known code (a blank before one
// is enough) keeps the previous handler's text. A read failing ends the file.
TEST_F(DispatcherTest, LinesAreUpperCasedAndUnknownCodesKeepThePreviousText) {
    EXPECT_EQ(run("HELLO\r\npos_pagame,a1234567890;\r\n pos_status\r\nPOS_CHPREA;;"),
              "Funzione non disponibile");
    std::string blocks;
    for (const auto& [line, exerr] : {std::pair{"HELLO", ""},
                                      {"POS_PAGAME,A1234567890", "Valore importo non valido"},
                                      {" POS_STATUS", "Valore importo non valido"},
                                      {"POS_CHPREA;", "Funzione non disponibile"}})
        blocks += sixLines(line, "KO", "01", Generic, exerr) + posDataDump();
    EXPECT_EQ(fake.files.content(ResultFile), blocks);

    fake.files.failReadingAfter(params.CommandFilePath, 1, ErrorNumber::PathFileAccess);
    fake.files.appends.clear();
    EXPECT_EQ(run("POS_PAGAME,A100\r\nPOS_STATUS\r\n", true), "Parametri mancanti");
    EXPECT_EQ(fake.files.appends.size(), 1u);
    EXPECT_TRUE(library.calls().empty());
}

// Whatever the file holds, each command line (not empty, not a ';' or ':'
// comment; lines end at CR LF, a lone CR or a lone LF) gets one whole block.
TEST_F(DispatcherTest, AnyBytesGiveOneWholeBlockPerCommandLine) {
    const auto oneWholeBlockPerLine = [&](const std::string& bytes) {
        std::size_t commandLines = 0;
        for (std::size_t start = 0; start < bytes.size();) {
            const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
            commandLines += end > start && bytes[start] != ';' && bytes[start] != ':';
            start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
        fake.files.appends.clear();
        run(bytes);
        EXPECT_EQ(fake.files.appends.size(), commandLines);
        for (const auto& append : fake.files.appends) {
            EXPECT_EQ(append.bytes.compare(0, 16, "TIPO_COMANDO  = "), 0);
            EXPECT_EQ(append.bytes.substr(append.bytes.size() - 2 * Separator.size()),
                      Separator + Separator);
        }
    };
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    oneWholeBlockPerLine(everyByte);
    EXPECT_EQ(fake.files.appends.size(), 3u);
    // Ten million empty fields: a field count must not wrap in 16 bits.
    oneWholeBlockPerLine("POS_PAGAME" + std::string(10'000'000, ','));
    EXPECT_NE(fake.files.appends.at(0).bytes.find("EXERR_DESCRIZ = Parametri mancanti\r\n"),
              std::string::npos);

    using namespace std::string_literals;
    const std::string pieces[] = {
        "POS_PAGAME", "POS_STORNO", "POS_ACCRED", "POS_STATUS", "POS_TOTTER", ",A",      ",S",
        ",E",         ",P",         ",T",         ";",          ":",          "\r\n",    "\n",
        "\r",         "0000000000", "123",        " ",          "\0"s,        "\xff\xe0"};
    std::mt19937 random(20250314);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 60);
    for (int file = 0; file < 150; ++file) {
        std::string bytes;
        for (int n = length(random); n > 0; --n)
            bytes += pieces[piece(random)];
        SCOPED_TRACE(bytes);
        oneWholeBlockPerLine(bytes);
    }
}

} // namespace
} // namespace kvl::test
