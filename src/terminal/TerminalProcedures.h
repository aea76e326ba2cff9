#pragma once

#include "terminal/TerminalContext.h"

#include <string>

namespace kvl {

class RunTimeError;

// The box of a run-time failure of the library: the procedure's label (for
// example "KVL_EseguiPagamento:"), the failure's description, "," and its
// number.
void showLibraryFailure(TerminalContext& terminal, const std::string& label,
                        const RunTimeError& failure);

// The terminal operation procedures. Each returns empty text when the library
// was called (whatever its result code), otherwise the message of the check
// that stopped it.
std::string KVL_EseguiPagamento(TerminalContext& terminal);
std::string KVL_EseguiPagamentoEsteso(TerminalContext& terminal);
// Run-time failures are not caught here: they reach the caller.
std::string KVL_Accredito(TerminalContext& terminal);
std::string KVL_Storno(TerminalContext& terminal);
std::string KVL_Totali(TerminalContext& terminal);
std::string KVL_Chiusura(TerminalContext& terminal);
// Empty text when the terminal can be reached, else txtEsito's text.
std::string KVL_Status(TerminalContext& terminal);

} // namespace kvl
