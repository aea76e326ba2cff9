#include "commands/ResultWriter.h"

#include "config/ConfigurationReader.h"
#include "platform/MessageBoxes.h"
#include "platform/RunTimeError.h"

#include <cstdio>
#include <iostream>

namespace kvl {

namespace {

const char* const LineEnd = "\r\n";
const std::string GenericError = "ERRORE GENERICO, PROBABILI PARAMETRI NON CORRETTI";
const std::string MissingFolder = "Cartella per file di I/O non trovata. Creare cartella 2";
const std::string Separator(52, '-');
// Six result lines and the POSDATA dump, besides the command line itself.
constexpr std::size_t BlockRoom = 8 * 1024;
const std::string UnknownOutcome = "Esito sconosciuto: verificare sul terminale";

// The ECR's folder is looked up through the drive of the command file,
// whichever file is being written.
bool commandDrivePresent(CommandContext& commands) {
    try {
        return commands.platform.files.entryExists(
            DriveRoot(commands.terminal.params.CommandFilePath));
    } catch (const RunTimeError&) {
        return false;
    }
}

void reportMissingFolder(CommandContext& commands) {
    commands.platform.messages.show(MissingFolder, ProgramTitle, MessageButtons::Ok,
                                    MessageIcon::None);
}

void addLine(std::string& out, const char* label, const std::string& value) {
    out += label;
    out += value;
    out += LineEnd;
}

} // namespace

std::string CurrDateTime(CommandContext& commands) {
    const Clock::LocalTime now = commands.platform.clock.localTime();
    char text[96];
    std::snprintf(text, sizeof text, "%04d%02d%02d_%02d%02d%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

std::string composeCommunicationResult(CommandContext& commands, const std::string& funzione,
                                       const std::string& executionDescription) {
    FrmMain& form = commands.terminal.frmMain;
    const std::string esito = form.txtEsito.text();

    std::string out;
    // Room for the record dump that follows, so that a long command line is
    // not copied again when the dump is added.
    out.reserve(funzione.size() + executionDescription.size() + BlockRoom);
    addLine(out, "TIPO_COMANDO  = ", funzione);
    addLine(out, "ESITO_COMANDO = ", esito.empty() ? std::string("KO") : esito);

    // Anything but a plain "OK" carries a description, so that the console
    // and the ECR both see why the command did not succeed.
    const std::string generic = esito == "OK" ? std::string() : GenericError;
    if (!generic.empty() && form.txtDescrKO.text().empty())
        form.txtDescrKO.setText(generic);

    const std::string esitoTrans = form.txtEsitoTrans.text();
    const std::string descrKO = form.txtDescrKO.text();
    if (!esitoTrans.empty())
        addLine(out, "ESITO_TRANSAZ = ", esitoTrans);
    else
        addLine(out, "ESITO_TRANSAZ = ", descrKO.empty() ? "00" : "01");
    addLine(out, "DATAORA_TRANS = ", CurrDateTime(commands));
    addLine(out, "ERROR_DESCRIZ = ", descrKO.empty() ? generic : descrKO);
    addLine(out, "EXERR_DESCRIZ = ", executionDescription);
    return out;
}

std::string composePosData(const POSDATA& posData) {
    std::string out = Separator + LineEnd;
    POSDATA fields = posData;
    fields.visit([&](const char* name, const auto& field) {
        out += "POSDATA.";
        out += name;
        out += " = ";
        for (char c : field.text())
            if (c != '\0')
                out += c;
        out += LineEnd;
    });
    out += Separator + LineEnd;
    out += Separator + LineEnd;
    return out;
}

std::string composeResultBlock(CommandContext& commands, const std::string& funzione,
                               const std::string& executionDescription) {
    std::string block;
    if (commandDrivePresent(commands))
        block = composeCommunicationResult(commands, funzione, executionDescription);
    else
        reportMissingFolder(commands);
    block += composePosData(commands.terminal.records.posData);
    return block;
}

std::string composeUnknownOutcome(CommandContext& commands, const std::string& funzione) {
    std::string out;
    addLine(out, "TIPO_COMANDO  = ", funzione);
    addLine(out, "ESITO_COMANDO = ", "KO");
    addLine(out, "ESITO_TRANSAZ = ", "01");
    addLine(out, "DATAORA_TRANS = ", CurrDateTime(commands));
    addLine(out, "ERROR_DESCRIZ = ", UnknownOutcome);
    addLine(out, "EXERR_DESCRIZ = ", UnknownOutcome);
    // Nothing of the terminal's answer is known: the record is shown empty.
    return out + composePosData(POSDATA{});
}

bool appendResultBlock(CommandContext& commands, const std::string& outFile,
                       const std::string& block) {
    try {
        commands.platform.files.append(outFile, block);
        return true;
    } catch (const RunTimeError& error) {
        std::cerr << ProgramTitle << ": cannot write " << outFile << ": " << error.description()
                  << std::endl;
        return false;
    }
}

void WriteResultBlock(CommandContext& commands, const std::string& outFile,
                      const std::string& funzione, const std::string& executionDescription) {
    appendResultBlock(commands, outFile,
                      composeResultBlock(commands, funzione, executionDescription));
}

} // namespace kvl
