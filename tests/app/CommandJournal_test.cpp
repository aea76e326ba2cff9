#include "app/CommandJournal.h"

#include "AppFixture.h"
#include "app/JournalRecord.h"

#include <random>

namespace kvl::test {
namespace {

CommandFileVersion version(std::uint64_t n) {
    return {{n * 10, static_cast<std::int64_t>(n) * 1'000'000'007}, n * 0x9E3779B97F4A7C15ull};
}

class CommandJournalTest : public AppTest {
protected:
    std::unique_ptr<CommandJournal> open() {
        auto journal = std::make_unique<CommandJournal>(fake.platform(), JournalFile);
        journal->load();
        return journal;
    }
    // Commands 1..count from byte n, answered; the last left open unless lastDone.
    void write(int count, bool lastDone = true) {
        auto journal = open();
        for (int n = 1; n <= count; ++n) {
            journal->start(version(n), n, "/io/SR_DATI.TXT");
            journal->addBlock(block(n));
            journal->answered();
            if (n < count || lastDone)
                journal->finish("deleted");
        }
    }
    static std::string block(int n) { return "POS_STATUS\t\\ " + std::to_string(n) + "\r\n"; }
    std::string file() { return fake.files.content(JournalFile); }
};

TEST(JournalRecord, FieldsRoundTripOnOneLineAndAnyChangeIsCaught) {
    std::string everyByte;
    for (int i = 0; i < 256; ++i)
        everyByte += static_cast<char>(i);
    const std::string line = encodeJournalRecord({"block", "7", everyByte, ""});
    const std::string body = line.substr(0, line.size() - 2);
    EXPECT_EQ(line.substr(body.size()), "\r\n");
    EXPECT_EQ(body.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(decodeJournalRecord(body), (std::vector<std::string>{"block", "7", everyByte, ""}));
    EXPECT_EQ(crc32("123456789"), 0xCBF43926u);
    for (std::size_t i = 0; i < body.size(); ++i) {
        std::string changed = body;
        changed[i] = static_cast<char>(changed[i] ^ 0x20);
        EXPECT_EQ(decodeJournalRecord(changed), std::nullopt) << i;
        EXPECT_EQ(decodeJournalRecord(body.substr(0, i) + body.substr(i + 1)), std::nullopt) << i;
    }
}

// A torn or bad last line was the write under way when the program ended.
TEST_F(CommandJournalTest, ACommandLeftOpenIsFoundAgainAndATornLastRecordIsDroppedSilently) {
    EXPECT_EQ(open()->pending(), nullptr);
    write(2, false);
    const std::string whole = file();
    {
        const auto journal = open();
        ASSERT_NE(journal->pending(), nullptr);
        const JournalledCommand& pending = *journal->pending();
        EXPECT_EQ(pending.id, 2u);
        EXPECT_EQ(pending.version, version(2));
        EXPECT_EQ(pending.from, 2u);
        EXPECT_EQ(pending.blockCount, 1u);
        EXPECT_EQ(pending.undelivered, std::deque<std::string>{block(2)});
        EXPECT_TRUE(pending.answered && !pending.complete);
        EXPECT_TRUE(journal->holds(version(1)) && !journal->holds(version(3)));
        journal->finish("deleted");
        EXPECT_EQ(open()->pending(), nullptr);
    }
    const std::size_t lastStart = whole.rfind("\r\n", whole.size() - 3) + 2;
    std::vector<std::string> torn = {whole};
    torn[0][lastStart + 2] ^= 1;
    for (std::size_t cut = lastStart + 1; cut < whole.size(); ++cut)
        torn.push_back(whole.substr(0, cut));
    for (const std::string& bytes : torn) {
        SCOPED_TRACE(bytes.substr(lastStart));
        fake.files.addFile(JournalFile, bytes);
        auto journal = open();
        EXPECT_TRUE(fake.messages.shown().empty());
        EXPECT_FALSE(journal->damaged());
        ASSERT_NE(journal->pending(), nullptr);
        EXPECT_FALSE(journal->pending()->answered) << "the torn record was the answer";
        EXPECT_EQ(file(), whole.substr(0, lastStart)) << "nothing is appended after a torn record";
    }
}

// Any bytes give a message and a copy at most, never a crash, and every
// command whose records were left alone is still known.
TEST_F(CommandJournalTest, DamageIsReportedTheOldFileKeptAndEveryUntouchedCommandKept) {
    write(4);
    const std::string good = file();
    std::string damaged = good;
    damaged[damaged.find("block\t2") + 2] = 'X';
    fake.files.addFile(JournalFile, damaged);
    fake.clock.setLocalTime({2026, 12, 6, 9, 30, 5});
    const std::string copy = JournalFile + ".20261206_093005.bad";
    EXPECT_TRUE(open()->damaged());
    EXPECT_EQ(fake.messages.texts(),
              std::vector<std::string>{"Registro dei comandi danneggiato (" + JournalFile +
                                       "): copia conservata in " + copy +
                                       ". Si riparte con un registro nuovo."});
    EXPECT_EQ(fake.files.content(copy), damaged);
    // The records of command 2 after its damaged block no longer fit and go.
    const std::size_t from = good.find("block\t2"), to = good.find("started\t3");
    EXPECT_EQ(file(), good.substr(0, from) + good.substr(to));

    std::mt19937 random(20261206);
    for (int round = 0; round < 60; ++round) {
        std::string bytes = good;
        const std::size_t at =
            std::uniform_int_distribution<std::size_t>(0, bytes.size() - 1)(random);
        if (round % 4 == 0)
            bytes[at] = static_cast<char>(random());
        else if (round % 4 == 1)
            bytes.erase(at, std::uniform_int_distribution<std::size_t>(1, 80)(random));
        else if (round % 4 == 2)
            bytes.insert(at, std::string(1 + round % 7, static_cast<char>(random())));
        else
            for (char& c : bytes)
                c = static_cast<char>(random());
        SCOPED_TRACE(round);
        fake.files.addFile(JournalFile, bytes);
        fake.messages.clear();
        const auto journal = open();
        EXPECT_LE(fake.messages.shown().size(), 1u);
        for (int n = 1; n <= 4; ++n) {
            const std::size_t start = good.find("started\t" + std::to_string(n) + "\t");
            const std::string line = good.substr(start, good.find('\n', start) + 1 - start);
            const bool intact = bytes.compare(0, line.size(), line) == 0 ||
                                bytes.find("\n" + line) != std::string::npos;
            EXPECT_TRUE(!intact || journal->holds(version(n))) << n;
        }
        fake.messages.clear();
        EXPECT_FALSE(open()->damaged());
        EXPECT_TRUE(fake.messages.shown().empty()) << "the fresh journal is sound";
    }
}

TEST_F(CommandJournalTest, TheHistoryRollsOverToTheLastThousandCommands) {
    const int total = CommandJournal::keptCommands + CommandJournal::compactionSlack;
    write(total - 1);
    const std::string bytes = file();
    auto journal = open();
    journal->start(version(total), 0, "/io/SR_DATI.TXT");
    journal->finish("deleted");
    EXPECT_EQ(file().rfind(bytes, 0), 0u);

    journal->start(version(total + 1), 0, "/io/SR_DATI.TXT");
    const std::string rolled = file();
    std::size_t started = 0;
    for (std::size_t at = 0; (at = rolled.find("started\t", at)) != std::string::npos; ++at)
        ++started;
    EXPECT_EQ(started, CommandJournal::keptCommands + 1);
    EXPECT_EQ(rolled.rfind("started\t" + std::to_string(total - 999) + "\t", 0), 0u);
    EXPECT_TRUE(fake.messages.shown().empty());

    journal->finish("deleted");
    EXPECT_EQ(open()->start(version(total + 2), 0, "/io/SR_DATI.TXT").id,
              static_cast<std::uint64_t>(total + 2));
}

} // namespace
} // namespace kvl::test
