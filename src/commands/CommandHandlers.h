#pragma once

#include "Program.h"

#include <string>

namespace kvl {

// One handler per command code; each takes the whole upper-cased command line
// and returns empty text or a message.
std::string ComandoPagamento(Program& program, const std::string& line);
std::string ComandoPagamentoEsteso(Program& program, const std::string& line);
std::string ComandoAccredito(Program& program, const std::string& line);
std::string ComandoStorno(Program& program, const std::string& line);
std::string ComandoChiusura(Program& program, const std::string& line);
std::string ComandoTotali(Program& program, const std::string& line);
std::string ComandoPreautorizzazione(Program& program, const std::string& line);
std::string ComandoPreautIntegrativa(Program& program, const std::string& line);
std::string ComandoPreautChiusura(Program& program, const std::string& line);
std::string ComandoStatus(Program& program, const std::string& line);

short Massimo(short a, short b);

} // namespace kvl
