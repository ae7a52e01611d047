#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace plumwick {

// A reply that does not have the shape the job reads (wrong value kinds, missing members). The message
// is what the user sees.
class EJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The parsed collection reply. Numbers are kept as the text they were written with, so a numeric icon
// name reads back exactly as the service sent it.
class TJsonReply {
public:
    ~TJsonReply();
    TJsonReply(TJsonReply&&) noexcept;
    TJsonReply& operator=(TJsonReply&&) noexcept;

    // Parses UTF-8 text (invalid byte sequences read as U+FFFD). Returns null on a syntax error or an
    // empty text; never throws for bad input.
    static std::unique_ptr<TJsonReply> Parse(std::string_view text);

    // The number of elements of the `data.icons` array. Throws EJsonError "Invalid class typecast" when
    // the top-level value is not an object or `data.icons` is not an array, and "Value 'data.icons' not
    // found" when the path does not exist.
    int IconCount() const;

    // Reads member `member` of icon `index` as text: strings as they are, numbers as written, true/false
    // as "true"/"false", null as "". Throws EJsonError "Value '<member>' not found" for a missing member
    // or an element that is not an object, and "Conversion from <type> to string is not supported" for
    // objects and arrays.
    std::string IconMemberText(int index, std::string_view member) const;

private:
    struct TImpl;
    explicit TJsonReply(std::unique_ptr<TImpl> impl);
    std::unique_ptr<TImpl> FImpl;
};

// Replaces every byte sequence that is not valid UTF-8 by U+FFFD, as a UTF-8 text decoder does.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace plumwick
