// Parses arbitrary text into every simple type, writes it both ways, checks that what is
// written reads back, and runs the operators over the parsed values.
//
// Input: text a, optionally a NUL and text b (the second operand of the operators).
#include "../support/plain_escape.h"

#include <ostrelbase/ostrel.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail) {
    std::fprintf(stderr, "fuzz oracle: %s\n%s\n", what, detail.c_str());
    __builtin_trap();
}

// The element and the attribute form; a copy must write the same.
template <class T>
std::string writeBoth(T& value) {
    std::ostringstream os[2];
    value.SetTag("v");
    T copy(value);
    for (T* v : {&value, &copy}) v->EmitXML(os[v == &copy], 2), v->EmitAsAttribute(os[v == &copy]);
    if (os[1].str() != os[0].str()) fault("a copy writes differently", os[0].str());
    return os[0].str();
}

// Text is written with each markup character and apostrophe as its reference, in all forms.
void checkString(const std::string& text) {
    Ostrel::string s;
    if (!s.SetValueFromString(text.c_str()) || std::string(s) != text) fault("text changed", text);
    const std::string escaped = ostrel_test::plainEscape(text);
    if (writeBoth(s) != "\t\t<v>" + escaped + "</v>\n v='" + escaped + "'") fault("escaping", text);
    std::ostringstream data;
    s.SetTag("#PCDATA");
    s.EmitXML(data, 3);
    if (data.str() != escaped) fault("escaping of character data", data.str());
}

// The element form "\t\t<v>N</v>\n" reads back as the same number.
template <class T, class V>
void integerOps(const std::string& a, const std::string& b) {
    T x, y;
    x.SetValueFromString(a.c_str()), y.SetValueFromString(b.c_str());
    const std::string written = writeBoth(x);
    const std::size_t open = written.find("<v>");
    if (open == std::string::npos) fault("no element form", written);
    T back;
    back.SetValueFromString(written.c_str() + open + 3);
    if (static_cast<V>(back) != static_cast<V>(x)) fault("a number does not read back", written);
    const V v = y;
    (void)(x + v), (void)(x - v), (void)(x * v), (void)(x << v), (void)(x >> v);
    (void)(x & v), (void)(x | v), (void)(x ^ v), (void)(x < v), (void)(x && v);
    try {
        (void)(x / v), (void)(x % v), x /= v, x %= v;
    } catch (Ostrel::XException& e) {
        if (v != 0 || e.GetMsg().compare(0, 7, "Error: ") != 0) fault("division", e.GetMsg());
    }
    x += v, x -= v, x *= v, x <<= v, x >>= v, ++x, x--;
}

template <class T>
void floatOps(const std::string& a, const std::string& b) {
    T x, y;
    x.SetValueFromString(a.c_str()), y.SetValueFromString(b.c_str());
    writeBoth(x);
    const double v = y;
    (void)(x + v), (void)(x / v), (void)(x == v), (void)(x && v), (void)!x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\0');
    // b up to its own NUL, if any
    const std::string a = all.substr(0, cut), text = cut == std::string::npos ? "" : all.c_str() + cut + 1;

    checkString(a);
    Ostrel::NMTOKENS tokens;
    tokens.SetValueFromString(a.c_str());
    writeBoth(tokens);
    Ostrel::IDREFS refs;
    refs = a.c_str();
    refs.SetValueFromString(text.c_str());
    writeBoth(refs);
    Ostrel::boolean flag(true);
    const bool accepted = flag.SetValueFromString(a.c_str());
    if (accepted != (a == "true" || a == "false")) fault("boolean accepts", a);
    if (accepted && static_cast<bool>(flag) != (a == "true")) fault("boolean value", a);
    writeBoth(flag);

    integerOps<Ostrel::integer, int>(a, text);
    integerOps<Ostrel::non_negative_integer, unsigned>(a, text);
    integerOps<Ostrel::positive_integer, unsigned>(a, text);
    integerOps<Ostrel::non_positive_integer, int>(a, text);
    integerOps<Ostrel::negative_integer, int>(a, text);
    floatOps<Ostrel::real>(a, text);
    floatOps<Ostrel::decimal>(a, text);
    return 0;
}
