#include "app/JsonReply.h"

#include <rapidjson/document.h>

#include <cstdint>

namespace plumwick {

namespace {

// Iterative parsing keeps deeply nested input off the call stack.
constexpr unsigned kParseFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseNumbersAsStringsFlag;

// The class names the original JSON library reports in its conversion errors.
const char* ContainerTypeName(const rapidjson::Value& value)
{
    return value.IsObject() ? "TJSONObject" : "TJSONArray";
}

[[noreturn]] void ThrowNotFound(std::string_view name)
{
    throw EJsonError("Value '" + std::string(name) + "' not found");
}

[[noreturn]] void ThrowInvalidTypecast()
{
    throw EJsonError("Invalid class typecast");
}

// Length of the valid UTF-8 sequence at text[0], or 0 when it is not one.
std::size_t ValidSequenceLength(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t low = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, low = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, low = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, low = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

struct TJsonReply::TImpl {
    rapidjson::Document Document;
    const rapidjson::Value* Icons = nullptr;  // resolved by IconCount
};

TJsonReply::TJsonReply(std::unique_ptr<TImpl> impl) : FImpl(std::move(impl)) {}
TJsonReply::~TJsonReply() = default;
TJsonReply::TJsonReply(TJsonReply&&) noexcept = default;
TJsonReply& TJsonReply::operator=(TJsonReply&&) noexcept = default;

std::unique_ptr<TJsonReply> TJsonReply::Parse(std::string_view text)
{
    const std::string clean = SanitizeUtf8(text);
    auto impl = std::make_unique<TImpl>();
    impl->Document.Parse<kParseFlags>(clean.data(), clean.size());
    if (impl->Document.HasParseError()) return nullptr;
    return std::unique_ptr<TJsonReply>(new TJsonReply(std::move(impl)));
}

int TJsonReply::IconCount() const
{
    const rapidjson::Value& root = FImpl->Document;
    if (!root.IsObject()) ThrowInvalidTypecast();
    const auto data = root.FindMember("data");
    if (data == root.MemberEnd() || !data->value.IsObject()) ThrowNotFound("data.icons");
    const auto icons = data->value.FindMember("icons");
    if (icons == data->value.MemberEnd()) ThrowNotFound("data.icons");
    if (!icons->value.IsArray()) ThrowInvalidTypecast();
    FImpl->Icons = &icons->value;
    return static_cast<int>(icons->value.Size());
}

std::string TJsonReply::IconMemberText(int index, std::string_view member) const
{
    if (!FImpl->Icons) IconCount();
    const rapidjson::Value& icons = *FImpl->Icons;
    if (index < 0 || static_cast<rapidjson::SizeType>(index) >= icons.Size()) ThrowNotFound(member);
    const rapidjson::Value& icon = icons[static_cast<rapidjson::SizeType>(index)];
    if (!icon.IsObject()) ThrowNotFound(member);
    const rapidjson::Value name(rapidjson::StringRef(member.data(), static_cast<rapidjson::SizeType>(member.size())));
    const auto found = icon.FindMember(name);
    if (found == icon.MemberEnd()) ThrowNotFound(member);
    const rapidjson::Value& value = found->value;
    // Numbers arrive as strings too: the parser keeps their literal text.
    if (value.IsString()) return std::string(value.GetString(), value.GetStringLength());
    if (value.IsBool()) return value.GetBool() ? "true" : "false";
    if (value.IsNull()) return {};
    throw EJsonError(std::string("Conversion from ") + ContainerTypeName(value) + " to string is not supported");
}

std::string SanitizeUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = ValidSequenceLength(bytes);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace plumwick
