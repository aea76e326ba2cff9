#pragma once

#include "commands/CommandContext.h"

#include <string>

namespace kvl {

// One handler per command code; each takes the whole upper-cased command line
// and returns empty text or a message.
std::string ComandoPagamento(CommandContext& commands, const std::string& line);
std::string ComandoPagamentoEsteso(CommandContext& commands, const std::string& line);
std::string ComandoAccredito(CommandContext& commands, const std::string& line);
std::string ComandoStorno(CommandContext& commands, const std::string& line);
std::string ComandoChiusura(CommandContext& commands, const std::string& line);
std::string ComandoTotali(CommandContext& commands, const std::string& line);
std::string ComandoPreautorizzazione(CommandContext& commands, const std::string& line);
std::string ComandoPreautIntegrativa(CommandContext& commands, const std::string& line);
std::string ComandoPreautChiusura(CommandContext& commands, const std::string& line);
std::string ComandoStatus(CommandContext& commands, const std::string& line);

short Massimo(short a, short b);

} // namespace kvl
