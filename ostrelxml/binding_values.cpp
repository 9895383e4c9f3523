// The simple types of a binding: their value classes, the texts a document may write for
// them, and their written form.
#include "ostrelxml/binding_schema.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

namespace ostrel_xml {
namespace binding {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// text without the white space around it.
std::string trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool isDigits(const std::string& text, std::size_t from, std::size_t to) {
    if (from >= to) return false;
    for (std::size_t i = from; i < to; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// An optionally signed decimal integer within [low, high].
bool isIntegerIn(const std::string& raw, long long low, long long high) {
    const std::string text = trimmed(raw);
    const std::size_t digits = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (!isDigits(text, digits, text.size())) return false;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && value >= low && value <= high;
}

// sign? digits? ('.' digits?)? with at least one digit, then an exponent when allowed;
// or INF, -INF, NaN where exponents are.
bool isNumber(const std::string& raw, bool exponent) {
    const std::string text = trimmed(raw);
    if (exponent && (text == "INF" || text == "-INF" || text == "+INF" || text == "NaN"))
        return true;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at, ++digits;
    }
    if (digits == 0) return false;
    if (exponent && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        const std::size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
        if (at == start) return false;
    }
    return at == text.size();
}

template <class List>
std::string joined(const List& tokens) {
    std::string text;
    for (const auto& token : tokens) {
        if (!text.empty()) text += ' ';
        text += token;
    }
    return text;
}

// The number a value of class V holds, as the stream writes it.
template <class V, class Plain>
std::string number(const Ostrel::XObject& value) {
    std::ostringstream os;
    os << static_cast<Plain>(static_cast<const V&>(value));
    return os.str();
}

template <class V>
bool readAs(Ostrel::XObject& value, const char* text) {
    return static_cast<V&>(value).SetValueFromString(text);
}

} // namespace

std::unique_ptr<Ostrel::XObject> makeValue(ValueType type, const std::string& tag) {
    std::unique_ptr<Ostrel::XObject> value;
    switch (type) {
    case ValueType::String: value.reset(new Ostrel::string); break;
    case ValueType::NmTokens: value.reset(new Ostrel::NMTOKENS); break;
    case ValueType::IdRefs: value.reset(new Ostrel::IDREFS); break;
    case ValueType::Boolean: value.reset(new Ostrel::boolean); break;
    case ValueType::Integer: value.reset(new Ostrel::integer); break;
    case ValueType::NonNegativeInteger: value.reset(new Ostrel::non_negative_integer); break;
    case ValueType::PositiveInteger: value.reset(new Ostrel::positive_integer); break;
    case ValueType::NonPositiveInteger: value.reset(new Ostrel::non_positive_integer); break;
    case ValueType::NegativeInteger: value.reset(new Ostrel::negative_integer); break;
    case ValueType::Real: value.reset(new Ostrel::real); break;
    case ValueType::Decimal: value.reset(new Ostrel::decimal); break;
    }
    value->SetTag(tag);
    return value;
}

bool isValueOf(ValueType type, const Ostrel::XObject& object) {
    switch (type) {
    case ValueType::String: return dynamic_cast<const Ostrel::string*>(&object) != nullptr;
    case ValueType::NmTokens: return dynamic_cast<const Ostrel::NMTOKENS*>(&object) != nullptr;
    case ValueType::IdRefs: return dynamic_cast<const Ostrel::IDREFS*>(&object) != nullptr;
    case ValueType::Boolean: return dynamic_cast<const Ostrel::boolean*>(&object) != nullptr;
    case ValueType::Integer: return dynamic_cast<const Ostrel::integer*>(&object) != nullptr;
    case ValueType::NonNegativeInteger:
        return dynamic_cast<const Ostrel::non_negative_integer*>(&object) != nullptr;
    case ValueType::PositiveInteger:
        return dynamic_cast<const Ostrel::positive_integer*>(&object) != nullptr;
    case ValueType::NonPositiveInteger:
        return dynamic_cast<const Ostrel::non_positive_integer*>(&object) != nullptr;
    case ValueType::NegativeInteger:
        return dynamic_cast<const Ostrel::negative_integer*>(&object) != nullptr;
    case ValueType::Real: return dynamic_cast<const Ostrel::real*>(&object) != nullptr;
    case ValueType::Decimal: return dynamic_cast<const Ostrel::decimal*>(&object) != nullptr;
    }
    return false;
}

bool isLexical(ValueType type, const std::string& text) {
    constexpr long long kIntMin = std::numeric_limits<int>::min();
    constexpr long long kIntMax = std::numeric_limits<int>::max();
    constexpr long long kUnsignedMax = std::numeric_limits<unsigned int>::max();
    switch (type) {
    case ValueType::String:
    case ValueType::NmTokens:
    case ValueType::IdRefs: return true;
    case ValueType::Boolean: return text == "true" || text == "false";
    case ValueType::Integer: return isIntegerIn(text, kIntMin, kIntMax);
    case ValueType::NonNegativeInteger: return isIntegerIn(text, 0, kUnsignedMax);
    case ValueType::PositiveInteger: return isIntegerIn(text, 1, kUnsignedMax);
    case ValueType::NonPositiveInteger: return isIntegerIn(text, kIntMin, 0);
    case ValueType::NegativeInteger: return isIntegerIn(text, kIntMin, -1);
    case ValueType::Real: return isNumber(text, true);
    case ValueType::Decimal: return isNumber(text, false);
    }
    return false;
}

const char* describeValues(ValueType type) {
    switch (type) {
    case ValueType::String: return "text";
    case ValueType::NmTokens: return "name tokens";
    case ValueType::IdRefs: return "identifier references";
    case ValueType::Boolean: return "'true' or 'false'";
    case ValueType::Integer: return "an integer";
    case ValueType::NonNegativeInteger: return "a non-negative integer";
    case ValueType::PositiveInteger: return "a positive integer";
    case ValueType::NonPositiveInteger: return "a non-positive integer";
    case ValueType::NegativeInteger: return "a negative integer";
    case ValueType::Real: return "a number";
    case ValueType::Decimal: return "a decimal number";
    }
    return "";
}

std::string valueText(ValueType type, const Ostrel::XObject& value) {
    if (!isValueOf(type, value)) return std::string();
    switch (type) {
    case ValueType::String: return static_cast<const Ostrel::string&>(value);
    case ValueType::NmTokens: return joined(static_cast<const Ostrel::NMTOKENS&>(value));
    case ValueType::IdRefs: return joined(static_cast<const Ostrel::IDREFS&>(value));
    case ValueType::Boolean:
        return static_cast<bool>(static_cast<const Ostrel::boolean&>(value)) ? "true" : "false";
    case ValueType::Integer: return number<Ostrel::integer, int>(value);
    case ValueType::NonNegativeInteger: return number<Ostrel::non_negative_integer, unsigned>(value);
    case ValueType::PositiveInteger: return number<Ostrel::positive_integer, unsigned>(value);
    case ValueType::NonPositiveInteger: return number<Ostrel::non_positive_integer, int>(value);
    case ValueType::NegativeInteger: return number<Ostrel::negative_integer, int>(value);
    case ValueType::Real: return number<Ostrel::real, double>(value);
    case ValueType::Decimal: return number<Ostrel::decimal, double>(value);
    }
    return std::string();
}

bool setValueText(ValueType type, Ostrel::XObject& value, const std::string& text) {
    if (!isValueOf(type, value)) return false;
    const char* c = text.c_str();
    switch (type) {
    case ValueType::String: static_cast<Ostrel::string&>(value).assign(text); return true;
    case ValueType::NmTokens: return readAs<Ostrel::NMTOKENS>(value, c);
    case ValueType::IdRefs: return readAs<Ostrel::IDREFS>(value, c);
    case ValueType::Boolean: return readAs<Ostrel::boolean>(value, c);
    case ValueType::Integer: return readAs<Ostrel::integer>(value, c);
    case ValueType::NonNegativeInteger: return readAs<Ostrel::non_negative_integer>(value, c);
    case ValueType::PositiveInteger: return readAs<Ostrel::positive_integer>(value, c);
    case ValueType::NonPositiveInteger: return readAs<Ostrel::non_positive_integer>(value, c);
    case ValueType::NegativeInteger: return readAs<Ostrel::negative_integer>(value, c);
    case ValueType::Real: return readAs<Ostrel::real>(value, c);
    case ValueType::Decimal: return readAs<Ostrel::decimal>(value, c);
    }
    return false;
}

namespace {
// The written form of text read as a value of the type.
std::string canonical(ValueType type, const char* text) {
    std::unique_ptr<Ostrel::XObject> value = makeValue(type, "");
    setValueText(type, *value, text);
    return valueText(type, *value);
}
} // namespace

bool isAllowedValue(const AttributeType& attribute, const Ostrel::XObject& value) {
    if (!isValueOf(attribute.type, value)) return false;
    const std::string text = valueText(attribute.type, value);
    if (attribute.presence == Presence::Fixed &&
        text != canonical(attribute.type, attribute.defaultValue))
        return false;
    if (!attribute.allowed) return true;
    for (unsigned i = 0; i < attribute.allowedCount; ++i)
        if (text == canonical(attribute.type, attribute.allowed[i])) return true;
    return false;
}

bool isAllowedText(const AttributeType& attribute, const std::string& text) {
    if (!attribute.allowed) return true;
    for (unsigned i = 0; i < attribute.allowedCount; ++i)
        if (text == attribute.allowed[i]) return true;
    return false;
}

} // namespace binding
} // namespace ostrel_xml
