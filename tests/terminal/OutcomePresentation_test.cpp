#include "terminal/OutcomePresentation.h"

#include "terminal/TerminalFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace kvl {
namespace {

using test::TerminalFixture;

std::string blanks(std::size_t count) {
    return std::string(count, ' ');
}
std::string nuls(std::size_t count) {
    return std::string(count, '\0');
}

// ---- outcome texts ----------------------------------------------------------

struct OutcomeCase {
    short code;
    const char* text;
};

class OutcomeTextTest : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(OutcomeTextTest, GivesTheTextOfTheCode) {
    EXPECT_EQ(outcomeText(GetParam().code), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Codes, OutcomeTextTest,
                         ::testing::Values(OutcomeCase{0, "OK"}, OutcomeCase{1, "COM ERROR"},
                                           OutcomeCase{2, "PROTOCOL ERROR"},
                                           OutcomeCase{3, "TIMEOUT ERROR"},
                                           OutcomeCase{4, "FUNZIONE NON SUPPORTATA"},
                                           OutcomeCase{5, ""}, OutcomeCase{7, ""},
                                           OutcomeCase{-1, ""}, OutcomeCase{32767, ""}));

// ---- request fill -------------------------------------------------------------

class PreparaRichiestaTest : public TerminalFixture {
protected:
    PreparaRichiestaTest() {
        form().txtTerminale.setText("TERM0001");
        form().txtCassa.setText("CASSA01");
        form().txtImporto.setText("1500");
        form().txtImportoAccredito.setText("250");
        form().txtImportoPreAut.setText("9999");
        form().txtContratto.setText("contratto");
        form().txtCodicePreautorizzazione.setText("PRE42");
    }
    PosRequest& request() { return program.records.request; }
};

struct AmountCase {
    short kind;
    const char* amount;
};

class PreparaRichiestaAmountTest : public PreparaRichiestaTest,
                                   public ::testing::WithParamInterface<AmountCase> {};

TEST_P(PreparaRichiestaAmountTest, TakesTheAmountOfItsKind) {
    PreparaRichiesta(program, GetParam().kind);
    EXPECT_EQ(request().Amount.text(), GetParam().amount);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PreparaRichiestaAmountTest,
                         ::testing::Values(AmountCase{AmountKind::None, "         "},
                                           AmountCase{AmountKind::Payment, "1500     "},
                                           AmountCase{AmountKind::Credit, "250      "},
                                           AmountCase{AmountKind::Preauthorization, "9999     "},
                                           AmountCase{9, "         "},
                                           AmountCase{-1, "         "}));

TEST_F(PreparaRichiestaTest, FillsIdentityAndPreauthorizationCodeAtTheirWidths) {
    form().txtCassa.setText("1234567890ABC");
    PreparaRichiesta(program, AmountKind::Payment);
    EXPECT_EQ(request().TerminalId.text(), "TERM0001 ");
    EXPECT_EQ(request().CashRegisterId.text(), "123456789");
    EXPECT_EQ(request().PreauthorizationCode.text(), "PRE42     ");
}

TEST_F(PreparaRichiestaTest, ContractTextOnlyForPreauthorization) {
    request().ContractText.store("earlier");
    PreparaRichiesta(program, AmountKind::None);
    EXPECT_EQ(request().ContractText.text(), "earlier" + blanks(122));
    PreparaRichiesta(program, AmountKind::Payment);
    EXPECT_EQ(request().ContractText.text(), "earlier" + blanks(122));
    PreparaRichiesta(program, AmountKind::Preauthorization);
    EXPECT_EQ(request().ContractText.text(), "contratto" + blanks(120));
}

TEST_F(PreparaRichiestaTest, EmptyContractTextSendsBlanks) {
    form().txtContratto.setText("");
    PreparaRichiesta(program, AmountKind::Preauthorization);
    EXPECT_EQ(request().ContractText.text(), blanks(129));
}

TEST_F(PreparaRichiestaTest, NeverWritingStanOrTheExtras) {
    request().Stan.store("123");
    PreparaRichiesta(program, AmountKind::Payment);
    EXPECT_EQ(request().Stan.text(), "123    ");
    EXPECT_EQ(request().Extra1.text(), nuls(2));
    EXPECT_EQ(request().Extra8.text(), nuls(7));
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
                         ::testing::Values(PaymentTypeCase{-1, "  "}, PaymentTypeCase{0, "0 "},
                                           PaymentTypeCase{2, "2 "}, PaymentTypeCase{5, "5 "}));

// ---- outcome presentation -----------------------------------------------------------

// Every POSDATA field shown on the console, with the text the library wrote
// and the field that must show it.
struct AnswerField {
    TextBox FrmMain::*console;
    std::string shown;
};

class MostraEsitoTest : public TerminalFixture {
protected:
    MostraEsitoTest() {
        POSDATA& answer = program.records.posData;
        answer.TerminalId.store("T1");
        answer.AcquirerId.store("ACQ");
        answer.TransactionType.store("PAY");
        answer.TransactionResult.store("00");
        answer.KODescription.store("rifiutata");
        answer.CardType.store("C");
        answer.STAN.store("4711");
        answer.POSBalance.store("100");
        answer.BankBalance.store("200");
        answer.PAN.store("************1234");
        answer.AuthorizationCode.store("AUT1");
        answer.OperationNumber.store("55");
        answer.AmountAuth.store("900");
        answer.PreauthorizationCode.store("PRE9");
        answer.ActionCode.store("AC");
        answer.DataTrs.store("240115");
        answer.AmountEcho.store("1500");
    }

    static std::vector<AnswerField> expectedAfterSuccess() {
        return {{&FrmMain::txtTermId, "T1       "},
                {&FrmMain::txtAcqId, "ACQ         "},
                {&FrmMain::txtTipoTrans, "PAY "},
                {&FrmMain::txtEsitoTrans, "00 "},
                {&FrmMain::txtDescrKO, "rifiutata" + blanks(16)},
                {&FrmMain::txtTipoCarta, "C "},
                {&FrmMain::txtSTAN, "4711   "},
                {&FrmMain::txtTotaliPOS, "100" + blanks(14)},
                {&FrmMain::txtTotaliBanca, "200" + blanks(14)},
                {&FrmMain::txtPAN, "************1234    "},
                {&FrmMain::txtCodAut, "AUT1   "},
                {&FrmMain::txtNumOp, "55     "},
                {&FrmMain::txtCodPreaut, "PRE9      "},
                {&FrmMain::txtImpPreaut, "900      "},
                {&FrmMain::txtAC, "AC  "},
                {&FrmMain::txtData, "240115  "}};
    }

    void fillAnswerFields(const std::string& text) {
        for (TextBox* field : form().answerFields())
            field->setText(text);
    }
};

TEST_F(MostraEsitoTest, SuccessShowsEveryAnswerFieldAtFullWidth) {
    MostraEsito(program, ResultCode::Ok);
    EXPECT_EQ(form().txtEsito.text(), "OK");
    for (const AnswerField& field : expectedAfterSuccess())
        EXPECT_EQ((form().*field.console).text(), field.shown) << (form().*field.console).name();
}

TEST_F(MostraEsitoTest, SuccessWritesTheFieldsInTableOrder) {
    std::vector<std::string> written;
    for (TextBox* field : form().answerFields())
        field->onChange([&written, field] { written.push_back(field->name()); });
    MostraEsito(program, ResultCode::Ok);
    const std::vector<std::string> expected = {
        "txtTermId",      "txtAcqId",     "txtTipoTrans", "txtEsitoTrans",
        "txtDescrKO",     "txtTipoCarta", "txtSTAN",      "txtTotaliPOS",
        "txtTotaliBanca", "txtPAN",       "txtCodAut",    "txtNumOp",
        "txtCodPreaut",   "txtImpPreaut", "txtAC",        "txtData"};
    EXPECT_EQ(written, expected);
}

TEST_F(MostraEsitoTest, AFieldTheLibraryNeverWroteShowsEmpty) {
    POSDATA fresh;
    program.records.posData = fresh;
    fillAnswerFields("old");
    MostraEsito(program, ResultCode::Ok);
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "") << field->name();
}

class MostraEsitoFailureTest : public MostraEsitoTest,
                               public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(MostraEsitoFailureTest, ShowsTheCodeAndKeepsTheEarlierAnswer) {
    form().txtEsito.setText("earlier");
    fillAnswerFields("earlier answer");
    MostraEsito(program, GetParam().code);
    const std::string expected = *GetParam().text ? GetParam().text : "earlier";
    EXPECT_EQ(form().txtEsito.text(), expected);
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "earlier answer") << field->name();
}

INSTANTIATE_TEST_SUITE_P(Codes, MostraEsitoFailureTest,
                         ::testing::Values(OutcomeCase{1, "COM ERROR"},
                                           OutcomeCase{2, "PROTOCOL ERROR"},
                                           OutcomeCase{3, "TIMEOUT ERROR"},
                                           OutcomeCase{4, "FUNZIONE NON SUPPORTATA"},
                                           OutcomeCase{7, ""}, OutcomeCase{-1, ""}));

TEST_F(MostraEsitoTest, PulisciEsitoEmptiesTheOutcomeAndAnswerFields) {
    MostraEsito(program, ResultCode::Ok);
    PulisciEsito(program);
    EXPECT_EQ(form().txtEsito.text(), "");
    for (TextBox* field : form().answerFields())
        EXPECT_EQ(field->text(), "") << field->name();
}

// ---- console field check -------------------------------------------------------

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
    if (*c.message == '\0') {
        EXPECT_TRUE(passed);
        EXPECT_TRUE(shown.empty());
        return;
    }
    EXPECT_FALSE(passed);
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
    ::testing::Values(FieldsCase{"AllFilled", 0, "10.0.0.1", "8080", "T1", "C1", ""},
                      FieldsCase{"BlanksCountAsFilled", 0, " ", " ", " ", " ", ""},
                      FieldsCase{"IpBeforePort", 0, "", "", "", "", IpMissing},
                      FieldsCase{"PortBeforeTerminal", 0, "10.0.0.1", "", "", "", PortMissing},
                      FieldsCase{"TerminalBeforeCashDesk", 0, "10.0.0.1", "8080", "", "",
                                 TerminalMissing},
                      FieldsCase{"CashDesk", 0, "10.0.0.1", "8080", "T1", "", CashDeskMissing},
                      FieldsCase{"Rs232SkipsAddress", 1, "", "", "T1", "C1", ""},
                      FieldsCase{"Rs232StopsAtCashDesk", 1, "", "", "T1", "", CashDeskMissing},
                      FieldsCase{"Rs232StopsAtTerminal", 1, "", "", "", "C1", TerminalMissing},
                      FieldsCase{"NothingSelectedIsRs232", -1, "", "", "T1", "C1", ""}),
    [](const ::testing::TestParamInfo<FieldsCase>& info) { return std::string(info.param.name); });

// ---- button locking ------------------------------------------------------------

class ButtonLockTest : public TerminalFixture {
protected:
    std::vector<Button*> operationButtons() {
        FrmMain& f = form();
        return {&f.btnChiusura,
                &f.btnAccredito,
                &f.btnIntegrativa,
                &f.btnPagamento,
                &f.btnPreautorizzazione,
                &f.btnPreautChiusura,
                &f.btnStorno,
                &f.btnStornoPreautorizzazione,
                &f.btnTotali};
    }
    void recordChanges() {
        auto names = std::make_shared<std::vector<std::string>>();
        changes_ = names;
        for (Button* button : operationButtons())
            button->onChange([names, button] { names->push_back(button->name()); });
        form().btnStatus.onChange([names] { names->push_back("btnStatus"); });
    }
    std::vector<std::string> changes() const { return *changes_; }
    std::vector<std::string> buttonNames() {
        std::vector<std::string> names;
        for (Button* button : operationButtons())
            names.push_back(button->name());
        return names;
    }

private:
    std::shared_ptr<std::vector<std::string>> changes_;
};

TEST_F(ButtonLockTest, DisablingLocksTheNineButtonsInOrderButNotStatus) {
    recordChanges();
    DisabilitaPulsanti(program);
    EXPECT_EQ(changes(), buttonNames());
    for (Button* button : operationButtons())
        EXPECT_FALSE(button->enabled()) << button->name();
    EXPECT_TRUE(form().btnStatus.enabled());
    EXPECT_TRUE(form().busyPointer);
}

TEST_F(ButtonLockTest, EnablingUnlocksTheSameButtonsAndRestoresThePointer) {
    DisabilitaPulsanti(program);
    recordChanges();
    AbilitaPulsanti(program);
    EXPECT_EQ(changes(), buttonNames());
    for (Button* button : operationButtons())
        EXPECT_TRUE(button->enabled()) << button->name();
    EXPECT_FALSE(form().busyPointer);
}

} // namespace
} // namespace kvl
