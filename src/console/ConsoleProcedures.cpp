#include "console/ConsoleProcedures.h"

#include "console/ConsoleOperations.h"
#include "platform/StepGuard.h"

#include <utility>

namespace kvl {

namespace {
constexpr int ProgramEnded = 0;
}

void frmMain_Unload(ConsoleContext& console) {
    skipOnFailure([&] { console.terminal.library.IAE17AX_Free(); });
    console.events.quit(ProgramEnded);
}

void attachConsoleProcedures(ConsoleContext& console) {
    FrmMain& form = console.terminal.frmMain;
    form.onUnload([&console] { frmMain_Unload(console); });
    const std::pair<Button*, void (*)(ConsoleContext&)> buttons[] = {
        {&form.btnPagamento, btnPagamento_Click},
        {&form.btnStorno, btnStorno_Click},
        {&form.btnAccredito, btnAccredito_Click},
        {&form.btnPreautorizzazione, btnPreautorizzazione_Click},
        {&form.btnIntegrativa, btnIntegrativa_Click},
        {&form.btnPreautChiusura, btnPreautChiusura_Click},
        {&form.btnTotali, btnTotali_Click},
        {&form.btnChiusura, btnChiusura_Click},
        {&form.btnStatus, btnStatus_Click},
        {&form.btnStornoPreautorizzazione, btnStornoPreautorizzazione_Click}};
    for (const auto& [button, procedure] : buttons)
        button->onClick([&console, procedure = procedure] { procedure(console); });
}

} // namespace kvl
