#pragma once

#include "terminal/TerminalContext.h"

#include <string>

namespace kvl {

// Which console amount field a request takes.
namespace AmountKind {
constexpr short None = 0;
constexpr short Payment = 1;
constexpr short Credit = 2;
constexpr short Preauthorization = 3; // with the contract text
} // namespace AmountKind

// The title of the boxes that tell the operator which console field is missing.
inline const std::string AttentionTitle = "Attenzione";

// Writes PosRequest from the console's input fields.
void PreparaRichiesta(TerminalContext& terminal, short amountKind);
// Puts the result code's text into txtEsito and, on success, POSDATA into the
// console's answer fields.
void MostraEsito(TerminalContext& terminal, short resultCode);
// Empties txtEsito and the sixteen answer fields.
void PulisciEsito(FrmMain& form);
// True when the console's connection and identity fields allow an operation;
// otherwise shows the "Attenzione" box for the first empty field.
bool ControllaCampi(FrmMain& form, MessageBoxes& messages);
// Disable, and enable again, every operation button but btnStatus, with the
// hourglass pointer in between.
void DisabilitaPulsanti(FrmMain& form);
void AbilitaPulsanti(FrmMain& form);

// The text MostraEsito shows for a result code; empty for an unlisted code.
std::string outcomeText(short resultCode);

} // namespace kvl
