#pragma once

#include "Program.h"

#include <string>

namespace kvl {

// The terminal operation procedures. Each returns empty text when the library
// was called (whatever its result code), otherwise the message of the check
// that stopped it.
std::string KVL_EseguiPagamento(Program& program);
std::string KVL_EseguiPagamentoEsteso(Program& program);
// Run-time failures are not caught here: they reach the caller.
std::string KVL_Accredito(Program& program);
std::string KVL_Storno(Program& program);
std::string KVL_Totali(Program& program);
std::string KVL_Chiusura(Program& program);
// Empty text when the terminal can be reached, else txtEsito's text.
std::string KVL_Status(Program& program);

} // namespace kvl
