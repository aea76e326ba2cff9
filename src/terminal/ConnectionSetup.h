#pragma once

#include "terminal/TerminalContext.h"

#include <string>
#include <string_view>

namespace kvl {

// True when the text is an acceptable dotted IPv4 address.
bool IndirizzoIPValido(std::string_view text);
// Checks EthInitRecord as it stands: empty text, "Indirizzo IP non valido" or
// "Porta Eth non valida". Nothing is checked for RS-232.
std::string VerificaIndirizzoEth(const TerminalContext& terminal);
// Fills the Ethernet or RS-232 initialisation record from the console and
// hands it to the library; the library's result is not looked at.
void InizializzaConnessione(TerminalContext& terminal, bool ethernet);

} // namespace kvl
