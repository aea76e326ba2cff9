#include "commands/Dispatcher.h"

#include "commands/CommandHandlers.h"
#include "commands/ResultWriter.h"
#include "platform/RunTimeError.h"
#include "platform/Text.h"
#include "terminal/OutcomePresentation.h"

#include <memory>
#include <optional>
#include <string>

namespace kvl {

namespace {

using Handler = std::string (*)(CommandContext&, const std::string&);

struct CommandCode {
    const char* code;
    Handler handler;
};

// Tested in this order; a line is recognised by the code it begins with.
const CommandCode CommandCodes[] = {
    {"POS_PAGAME", ComandoPagamento},
    {"POS_PAGEXT", ComandoPagamentoEsteso},
    {"POS_ACCRED", ComandoAccredito},
    {"POS_CHCASS", ComandoChiusura},
    {"POS_TOTTER", ComandoTotali},
    {"POS_STORNO", ComandoStorno},
    {"POS_PREAUT", ComandoPreautorizzazione},
    {"POS_PREINT", ComandoPreautIntegrativa},
    {"POS_CHPREA", ComandoPreautChiusura},
    {"POS_STATUS", ComandoStatus},
};

Handler handlerFor(const std::string& line) {
    for (const CommandCode& entry : CommandCodes)
        if (line.compare(0, std::char_traits<char>::length(entry.code), entry.code) == 0)
            return entry.handler;
    return nullptr;
}

std::string failureText(const RunTimeError& error) {
    return error.description() + "," + std::to_string(error.number());
}

} // namespace

bool toCommandLine(std::string& line) {
    text::upperCaseInPlace(line);
    if (line.empty() || line.front() == ';' || line.front() == ':')
        return false;
    if (line.back() == ';')
        line.pop_back();
    return true;
}

bool logSwitchedOn(const FrmWpos1Type& window) {
    return window.chkEnableLog.value() == 1 && !window.txtLogFileName.text().empty();
}

std::string ElaboraFileComandi(CommandContext& commands, const std::string& path,
                               bool ecrIdRequired) {
    if (!commands.platform.files.fileExists(path))
        return "File comandi non trovato";

    // A file that cannot be opened (the ECR may still hold it) gets no block.
    std::unique_ptr<LineReader> reader;
    try {
        reader = commands.platform.files.openForReading(path);
    } catch (const RunTimeError&) {
        return {};
    }
    if (!reader)
        return {};
    return dispatchCommandLines(commands, *reader, ecrIdRequired, [&](std::string block) {
        appendResultBlock(commands, commands.terminal.params.ResultFilePath, block);
        if (logSwitchedOn(commands.frmWpos1Type))
            appendResultBlock(commands, commands.frmWpos1Type.txtLogFileName.text(), block);
    });
}

std::string dispatchCommandLines(CommandContext& commands, LineReader& lines, bool ecrIdRequired,
                                 const ResultBlockSink& deliver) {
    commands.handlersEcrIdRequired = ecrIdRequired;
    std::string result;
    commands.frmWpos1Type.lblValTerminalId.setCaption(
        text::upToNul(commands.terminal.records.posData.TerminalId.text()));

    for (;;) {
        std::optional<std::string> line;
        // A read that fails part-way ends the file: what could not be read
        // gets no block.
        try {
            line = lines.readLine();
        } catch (const RunTimeError&) {
            break;
        }
        if (!line)
            break;
        if (!toCommandLine(*line))
            continue;

        // Each command reports its own outcome: without this, a command
        // refused before any terminal exchange would report the previous one.
        PulisciEsito(commands.terminal.frmMain);
        if (const Handler handler = handlerFor(*line)) {
            try {
                result = handler(commands, *line);
            } catch (const RunTimeError& error) {
                result = failureText(error);
            }
        }
        std::string block = composeResultBlock(commands, *line, result);
        line.reset();
        deliver(std::move(block));
    }
    return result;
}

} // namespace kvl
