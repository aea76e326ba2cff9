#include "terminal/OutcomePresentation.h"

#include "terminal/TerminalFixture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kvl {
namespace {

using test::TerminalFixture;

std::string blanks(std::size_t count) {
    return std::string(count, ' ');
}

class PreparaRichiestaTest : public TerminalFixture {
protected:
    PreparaRichiestaTest() {
        form().txtTerminale.setText("TERM0001");
        form().txtCassa.setText("1234567890ABC");
        form().txtImporto.setText("1500");
        form().txtImportoAccredito.setText("250");
        form().txtImportoPreAut.setText("9999");
        form().txtContratto.setText("contratto");
        form().txtCodicePreautorizzazione.setText("PRE42");
        request().ContractText.store("earlier");
    }
    PosRequest& request() { return program.records.request; }
};

struct KindCase {
    short kind;
    const char* amount;
    std::string contractText;
};

class PreparaRichiestaKindTest : public PreparaRichiestaTest,
                                 public ::testing::WithParamInterface<KindCase> {};

TEST_P(PreparaRichiestaKindTest, TakesTheAmountOfItsKindAndContractTextOnlyFor3) {
    PreparaRichiesta(program, GetParam().kind);
    EXPECT_EQ(request().Amount.text(), GetParam().amount);
    EXPECT_EQ(request().ContractText.text(), GetParam().contractText);
    EXPECT_EQ(request().TerminalId.text(), "TERM0001 ");
    EXPECT_EQ(request().CashRegisterId.text(), "123456789");
    EXPECT_EQ(request().PreauthorizationCode.text(), "PRE42     ");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PreparaRichiestaKindTest,
    ::testing::Values(KindCase{AmountKind::None, "         ", "earlier" + blanks(122)},
                      KindCase{AmountKind::Payment, "1500     ", "earlier" + blanks(122)},
                      KindCase{AmountKind::Credit, "250      ", "earlier" + blanks(122)},
                      KindCase{AmountKind::Preauthorization, "9999     ",
                               "contratto" + blanks(120)},
                      KindCase{9, "         ", "earlier" + blanks(122)}));

TEST_F(PreparaRichiestaTest, EmptyContractTextSendsBlanks) {
    form().txtContratto.setText("");
    PreparaRichiesta(program, AmountKind::Preauthorization);
    EXPECT_EQ(request().ContractText.text(), blanks(129));
}

struct PaymentTypeCase {
    int listIndex;
    const char* paymentType;
};

class PreparaRichiestaPaymentTypeTest : public PreparaRichiestaTest,
                                        public ::testing::WithParamInterface<PaymentTypeCase> {};

TEST_P(PreparaRichiestaPaymentTypeTest, SendsTheSelectedIndex) {
    form().cmbPagamento.setListIndex(GetParam().listIndex);
    PreparaRichiesta(program, AmountKind::Payment);
    EXPECT_EQ(request().PaymentType.text(), GetParam().paymentType);
}

INSTANTIATE_TEST_SUITE_P(Selections, PreparaRichiestaPaymentTypeTest,
                         ::testing::Values(PaymentTypeCase{-1, "  "}, PaymentTypeCase{2, "2 "},
                                           PaymentTypeCase{5, "5 "}));

class MostraEsitoTest : public TerminalFixture {
protected:
    void fillAnswerFields(const std::string& text) {
        for (TextBox* field : form().answerFields())
            field->setText(text);
    }
};

TEST_F(MostraEsitoTest, SuccessShowsEachAnswerFieldInItsBoxAtFullWidth) {
    struct Shown {
        const char* field;
        TextBox FrmMain::*box;
        std::string text;
    };
    const std::vector<Shown> table = {
        {"TerminalId", &FrmMain::txtTermId, "T1       "},
        {"AcquirerId", &FrmMain::txtAcqId, "ACQ         "},
        {"TransactionType", &FrmMain::txtTipoTrans, "PAY "},
        {"TransactionResult", &FrmMain::txtEsitoTrans, "00 "},
        {"KODescription", &FrmMain::txtDescrKO, "rifiutata" + blanks(16)},
        {"CardType", &FrmMain::txtTipoCarta, "C "},
        {"STAN", &FrmMain::txtSTAN, "4711   "},
        {"POSBalance", &FrmMain::txtTotaliPOS, "100" + blanks(14)},
        {"BankBalance", &FrmMain::txtTotaliBanca, "200" + blanks(14)},
        {"PAN", &FrmMain::txtPAN, "****1234" + blanks(12)},
        {"AuthorizationCode", &FrmMain::txtCodAut, "AUT1   "},
        {"OperationNumber", &FrmMain::txtNumOp, "55     "},
        {"AmountAuth", &FrmMain::txtImpPreaut, "900      "},
        {"PreauthorizationCode", &FrmMain::txtCodPreaut, "PRE9      "},
        {"ActionCode", &FrmMain::txtAC, "AC  "},
        {"DataTrs", &FrmMain::txtData, "240115  "}};
    for (const Shown& row : table)
        ASSERT_TRUE(test::storeAnswerField(program.records.posData, row.field, row.text));

    MostraEsito(program, ResultCode::Ok);

    EXPECT_EQ(form().txtEsito.text(), "OK");
    for (const Shown& row : table)
        EXPECT_EQ((form().*row.box).text(), row.text) << row.field;
}

TEST_F(MostraEsitoTest, AFieldTheLibraryNeverWroteShowsEmpty) {
    fillAnswerFields("old");
    MostraEsito(program, ResultCode::Ok);
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "") << field->name();
}

struct OutcomeCase {
    short code;
    const char* text; // empty: txtEsito keeps its text
};

class MostraEsitoFailureTest : public MostraEsitoTest,
                               public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(MostraEsitoFailureTest, ShowsTheCodeAndKeepsTheEarlierAnswer) {
    form().txtEsito.setText("earlier");
    fillAnswerFields("earlier answer");
    MostraEsito(program, GetParam().code);
    EXPECT_EQ(form().txtEsito.text(), *GetParam().text ? GetParam().text : "earlier");
    EXPECT_EQ(outcomeText(GetParam().code), GetParam().text);
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "earlier answer") << field->name();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MostraEsitoFailureTest,
    ::testing::Values(OutcomeCase{1, "COM ERROR"}, OutcomeCase{2, "PROTOCOL ERROR"},
                      OutcomeCase{3, "TIMEOUT ERROR"}, OutcomeCase{4, "FUNZIONE NON SUPPORTATA"},
                      OutcomeCase{5, ""}, OutcomeCase{7, ""}, OutcomeCase{-1, ""}));

TEST_F(MostraEsitoTest, PulisciEsitoEmptiesTheOutcomeAndAnswerFields) {
    form().txtEsito.setText("OK");
    fillAnswerFields("answer");
    PulisciEsito(program);
    EXPECT_EQ(form().txtEsito.text(), "");
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "") << field->name();
}

struct FieldsCase {
    const char* name;
    int connection;
    const char* ip;
    const char* port;
    const char* terminal;
    const char* cashDesk;
    const char* message; // empty: the check passes
};

void PrintTo(const FieldsCase& c, std::ostream* out) {
    *out << c.name;
}

class ControllaCampiTest : public TerminalFixture,
                           public ::testing::WithParamInterface<FieldsCase> {};

TEST_P(ControllaCampiTest, StopsAtTheFirstEmptyField) {
    const FieldsCase& c = GetParam();
    form().cmbConnessione.setListIndex(c.connection);
    form().txtIP.setText(c.ip);
    form().txtPorta.setText(c.port);
    form().txtTerminale.setText(c.terminal);
    form().txtCassa.setText(c.cashDesk);

    const bool passed = ControllaCampi(program);

    const auto& shown = platform.messages.shown();
    EXPECT_EQ(passed, *c.message == '\0');
    if (passed) {
        EXPECT_TRUE(shown.empty());
        return;
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, c.message);
    EXPECT_EQ(shown[0].title, "Attenzione");
    EXPECT_EQ(shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(shown[0].icon, MessageIcon::Critical);
}

const char* const IpMissing = "Attenzione il campo indirizzo IP deve essere compilato";
const char* const PortMissing = "Attenzione il campo Porta deve essere compilato";
const char* const TerminalMissing = "Attenzione il campo Id Terminale deve essere compilato";
const char* const CashDeskMissing = "Attenzione il campo Id Cassa deve essere compilato";

INSTANTIATE_TEST_SUITE_P(
    Fields, ControllaCampiTest,
    ::testing::Values(FieldsCase{"BlanksCountAsFilled", 0, " ", " ", " ", " ", ""},
                      FieldsCase{"IpBeforePort", 0, "", "", "", "", IpMissing},
                      FieldsCase{"PortBeforeTerminal", 0, "10.0.0.1", "", "", "", PortMissing},
                      FieldsCase{"TerminalBeforeCashDesk", 0, "10.0.0.1", "8080", "", "",
                                 TerminalMissing},
                      FieldsCase{"CashDesk", 0, "10.0.0.1", "8080", "T1", "", CashDeskMissing},
                      FieldsCase{"Rs232SkipsAddress", 1, "", "", "T1", "C1", ""},
                      FieldsCase{"Rs232StopsAtCashDesk", 1, "", "", "T1", "", CashDeskMissing},
                      FieldsCase{"NothingSelectedIsRs232", -1, "", "", "T1", "C1", ""}),
    [](const ::testing::TestParamInfo<FieldsCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalFixture, ButtonsAreLockedAndUnlockedInOrderExceptStatus) {
    FrmMain& f = form();
    const std::vector<Button*> locked = {&f.btnChiusura,
                                         &f.btnAccredito,
                                         &f.btnIntegrativa,
                                         &f.btnPagamento,
                                         &f.btnPreautorizzazione,
                                         &f.btnPreautChiusura,
                                         &f.btnStorno,
                                         &f.btnStornoPreautorizzazione,
                                         &f.btnTotali};
    std::vector<std::string> expected, changed;
    for (Button* button : locked) {
        expected.push_back(button->name());
        button->onChange([&changed, button] { changed.push_back(button->name()); });
    }
    f.btnStatus.onChange([&changed] { changed.push_back("btnStatus"); });

    DisabilitaPulsanti(program);
    EXPECT_EQ(changed, expected);
    for (Button* button : locked)
        EXPECT_FALSE(button->enabled()) << button->name();
    EXPECT_TRUE(f.btnStatus.enabled());
    EXPECT_TRUE(f.busyPointer);

    changed.clear();
    AbilitaPulsanti(program);
    EXPECT_EQ(changed, expected);
    for (Button* button : locked)
        EXPECT_TRUE(button->enabled()) << button->name();
    EXPECT_FALSE(f.busyPointer);
}

} // namespace
} // namespace kvl
