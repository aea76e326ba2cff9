#pragma once

#include "terminal/FixedText.h"

#include <array>
#include <cstddef>

namespace kvl {

// The four records exchanged with the terminal library, fields in image order.
// Each has a visit(f) that calls f(name, field) in that order; packImage and
// unpackImage below use it to build and read the packed images.

struct EthInitRecord {
    static constexpr std::size_t size = 22;
    FixedText<16> IpAddress;
    FixedText<6> Port;

    template <class F> void visit(F&& f) {
        f("IpAddress", IpAddress);
        f("Port", Port);
    }
};

struct Rs232InitRecord {
    static constexpr std::size_t size = 14;
    FixedText<6> ComPort;
    FixedText<2> BaudCode;
    FixedText<2> DataBitsCode;
    FixedText<2> ParityCode;
    FixedText<2> StopBitsCode;

    template <class F> void visit(F&& f) {
        f("ComPort", ComPort);
        f("BaudCode", BaudCode);
        f("DataBitsCode", DataBitsCode);
        f("ParityCode", ParityCode);
        f("StopBitsCode", StopBitsCode);
    }
};

struct PosRequest {
    static constexpr std::size_t size = 219;
    FixedText<9> Amount;
    FixedText<9> CashRegisterId;
    FixedText<2> PaymentType;
    FixedText<9> TerminalId;
    FixedText<129> ContractText;
    FixedText<10> PreauthorizationCode;
    FixedText<7> Stan;
    FixedText<2> Extra1;
    FixedText<2> Extra2;
    FixedText<2> Extra3;
    FixedText<2> Extra4;
    FixedText<6> Extra5;
    FixedText<12> Extra6;
    FixedText<11> Extra7;
    FixedText<7> Extra8;

    template <class F> void visit(F&& f) {
        f("Amount", Amount);
        f("CashRegisterId", CashRegisterId);
        f("PaymentType", PaymentType);
        f("TerminalId", TerminalId);
        f("ContractText", ContractText);
        f("PreauthorizationCode", PreauthorizationCode);
        f("Stan", Stan);
        f("Extra1", Extra1);
        f("Extra2", Extra2);
        f("Extra3", Extra3);
        f("Extra4", Extra4);
        f("Extra5", Extra5);
        f("Extra6", Extra6);
        f("Extra7", Extra7);
        f("Extra8", Extra8);
    }
};

struct POSDATA {
    static constexpr std::size_t size = 4267;
    FixedText<9> TerminalId;
    FixedText<12> AcquirerId;
    FixedText<4> TransactionType;
    FixedText<3> TransactionResult;
    FixedText<25> KODescription;
    FixedText<2> CardType;
    FixedText<7> STAN;
    FixedText<17> POSBalance;
    FixedText<17> BankBalance;
    FixedText<20> PAN;
    FixedText<7> AuthorizationCode;
    FixedText<7> OperationNumber;
    FixedText<9> AmountAuth;
    FixedText<10> PreauthorizationCode;
    FixedText<4> ActionCode;
    FixedText<8> DataTrs;
    FixedText<9> AmountEcho;
    FixedText<4097> Ticket;

    template <class F> void visit(F&& f) {
        f("TerminalId", TerminalId);
        f("AcquirerId", AcquirerId);
        f("TransactionType", TransactionType);
        f("TransactionResult", TransactionResult);
        f("KODescription", KODescription);
        f("CardType", CardType);
        f("STAN", STAN);
        f("POSBalance", POSBalance);
        f("BankBalance", BankBalance);
        f("PAN", PAN);
        f("AuthorizationCode", AuthorizationCode);
        f("OperationNumber", OperationNumber);
        f("AmountAuth", AmountAuth);
        f("PreauthorizationCode", PreauthorizationCode);
        f("ActionCode", ActionCode);
        f("DataTrs", DataTrs);
        f("AmountEcho", AmountEcho);
        f("Ticket", Ticket);
    }
};

// The packed image of a record: its fields in order, one byte per character,
// no separators.
template <class Record> std::array<char, Record::size> packImage(Record& record) {
    std::array<char, Record::size> image{};
    std::size_t offset = 0;
    record.visit([&](const char*, auto& field) {
        field.copyTo(image.data() + offset);
        offset += field.width;
    });
    return image;
}

// Reads an image back into the record, field by field.
template <class Record>
void unpackImage(Record& record, const std::array<char, Record::size>& image) {
    std::size_t offset = 0;
    record.visit([&](const char*, auto& field) {
        field.copyFrom(image.data() + offset);
        offset += field.width;
    });
}

// The four records, one instance each for the whole process.
struct TerminalRecords {
    EthInitRecord ethInit;
    Rs232InitRecord rs232Init;
    PosRequest request;
    POSDATA posData;
};

} // namespace kvl
