#include "Verdict.h"

namespace sim {

VerdictCodes verdictCodes(Verdict verdict) {
    switch (verdict) {
    case Verdict::Approved:
        return {"00", "000", ""};
    case Verdict::InvalidAmount:
        return {"13", "113", "IMPORTO NON VALIDO"};
    case Verdict::InsufficientFunds:
        return {"51", "151", "FONDI INSUFFICIENTI"};
    case Verdict::StanNotFound:
        return {"25", "125", "STAN NON TROVATO"};
    case Verdict::AlreadyVoided:
        return {"94", "194", "OPERAZIONE GIA' STORNATA"};
    case Verdict::PreauthorizationNotFound:
        return {"25", "125", "PREAUTORIZZ. NON TROVATA"};
    case Verdict::WrongTerminal:
        return {"58", "158", "TERMINALE NON ABILITATO"};
    }
    return {"05", "105", "OPERAZIONE NEGATA"};
}

} // namespace sim
