#pragma once

// The layouts of the two records a request and its answer carry, as the
// library's caller hands them over: fixed-width text fields packed with no
// separator. The library and the terminal both read them from here.

#include <array>
#include <cstddef>
#include <string_view>

namespace iae17::protocol {

struct FieldSpec {
    const char* name;
    std::size_t width;
};

enum class RequestField {
    Amount,
    CashRegisterId,
    PaymentType,
    TerminalId,
    ContractText,
    PreauthorizationCode,
    Stan,
    Extra1,
    Extra2,
    Extra3,
    Extra4,
    Extra5,
    Extra6,
    Extra7,
    Extra8,
};

enum class AnswerField {
    TerminalId,
    AcquirerId,
    TransactionType,
    TransactionResult,
    KODescription,
    CardType,
    STAN,
    POSBalance,
    BankBalance,
    PAN,
    AuthorizationCode,
    OperationNumber,
    AmountAuth,
    PreauthorizationCode,
    ActionCode,
    DataTrs,
    AmountEcho,
    Ticket,
};

// A record's fields in their order in the image.
class RecordLayout {
public:
    template <std::size_t N>
    constexpr explicit RecordLayout(const std::array<FieldSpec, N>& fields)
        : fields_(fields.data()), count_(N) {}

    constexpr std::size_t count() const { return count_; }
    constexpr const FieldSpec& field(std::size_t index) const { return fields_[index]; }
    std::size_t offset(std::size_t index) const;
    std::size_t size() const { return offset(count_); }
    // The field's bytes within an image of this layout.
    std::string_view slice(std::string_view image, std::size_t index) const {
        return image.substr(offset(index), fields_[index].width);
    }

private:
    const FieldSpec* fields_;
    std::size_t count_;
};

// PosRequest, 219 bytes.
const RecordLayout& posRequestLayout();
// POSDATA, 4267 bytes.
const RecordLayout& posDataLayout();

constexpr std::size_t PosRequestSize = 219;
constexpr std::size_t PosDataSize = 4267;

constexpr std::size_t indexOf(RequestField field) {
    return static_cast<std::size_t>(field);
}
constexpr std::size_t indexOf(AnswerField field) {
    return static_cast<std::size_t>(field);
}

} // namespace iae17::protocol
