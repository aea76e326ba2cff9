#pragma once

#include "config/ConfigContext.h"

#include <string>
#include <string_view>

namespace kvl {

// Module ModKvlIng: reads the communication configuration file into
// CommunicationParameters, the initialisation records and the console's
// txtIP / txtPorta. The path is trimmed on the left and upper-cased, and the
// caller's copy takes that form. Returns empty text on success,
// "File di configurazione non trovato" or "Error".
std::string EstrazioneParametriComunicazione(ConfigContext& config, std::string& path);

// The part of a path up to and including the colon of its last ":\";
// empty when there is none.
std::string DriveRoot(std::string_view path);

} // namespace kvl
