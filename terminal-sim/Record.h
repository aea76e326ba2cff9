#pragma once

#include "protocol/Records.h"

#include <string>
#include <string_view>

namespace sim {

// A record image as the frames carry it, read and written field by field
// through the layout the protocol describes.
template <class Field, const iae17::protocol::RecordLayout& (*Layout)()> class Record {
public:
    // Every field filled with the byte given: NUL for a record never written.
    explicit Record(char fill = '\0') : image_(Layout().size(), fill) {}
    // An image of the record's exact size; anything else gives an empty one.
    static Record fromImage(std::string image) {
        Record record;
        if (image.size() == record.image_.size())
            record.image_ = std::move(image);
        return record;
    }

    std::string_view text(Field field) const {
        return Layout().slice(image_, static_cast<std::size_t>(field));
    }
    // Left-aligned, padded with blanks and cut to the field's width.
    void store(Field field, std::string_view value) {
        const std::size_t index = static_cast<std::size_t>(field);
        const std::size_t width = Layout().field(index).width;
        std::string text(value.substr(0, width));
        text.resize(width, ' ');
        image_.replace(Layout().offset(index), width, text);
    }
    const std::string& image() const { return image_; }

private:
    std::string image_;
};

using PosRequest = Record<iae17::protocol::RequestField, iae17::protocol::posRequestLayout>;
using PosData = Record<iae17::protocol::AnswerField, iae17::protocol::posDataLayout>;

} // namespace sim
