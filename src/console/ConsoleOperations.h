#pragma once

#include "console/ConsoleContext.h"

namespace kvl {

// The console's operation buttons. Each runs one terminal operation by hand
// with the fields as they stand: outcome cleared, fields checked, buttons
// locked with the hourglass, the line set up as cmbConnessione selects (no
// address check), the request filled, the library called, the outcome shown
// and the buttons unlocked. The outcome stays in the console's fields: no
// result file is written. A click while another exchange holds the terminal
// does nothing; a run-time failure of the library is shown in a box labelled
// with the procedure's name and the buttons are unlocked all the same.
void btnPagamento_Click(ConsoleContext& console);
// Sends txtImporto as the amount; STAN goes as the last operation left it.
void btnStorno_Click(ConsoleContext& console);
void btnAccredito_Click(ConsoleContext& console);
void btnPreautorizzazione_Click(ConsoleContext& console);
void btnIntegrativa_Click(ConsoleContext& console);
void btnPreautChiusura_Click(ConsoleContext& console);
void btnTotali_Click(ConsoleContext& console);
void btnChiusura_Click(ConsoleContext& console);
// Sends the request the last operation built, without filling it again.
void btnStatus_Click(ConsoleContext& console);
// Does nothing: the preauthorisation void is not offered.
void btnStornoPreautorizzazione_Click(ConsoleContext& console);

} // namespace kvl
