// Parses arbitrary text into every simple type, writes it both ways, and runs the
// operators over the parsed values.
#include <ostrelbase/ostrel.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

template <class T>
void writeBoth(T& value) {
    std::ostringstream os;
    value.SetTag("v");
    value.EmitXML(os, 2);
    value.EmitAsAttribute(os);
}

template <class T, class V>
void integerOps(const std::string& a, const std::string& b) {
    T x, y;
    x.SetValueFromString(a.c_str());
    y.SetValueFromString(b.c_str());
    writeBoth(x);
    const V v = y;
    (void)(x + v), (void)(x - v), (void)(x * v), (void)(x << v), (void)(x >> v);
    (void)(x & v), (void)(x | v), (void)(x ^ v), (void)(x < v), (void)(x && v);
    try {
        (void)(x / v);
        (void)(x % v);
        x /= v;
        x %= v;
    } catch (Ostrel::XException&) {
    }
    x += v, x -= v, x *= v, x <<= v, x >>= v, ++x, x--;
}

template <class T>
void floatOps(const std::string& a, const std::string& b) {
    T x, y;
    x.SetValueFromString(a.c_str());
    y.SetValueFromString(b.c_str());
    writeBoth(x);
    const double v = y;
    (void)(x + v), (void)(x / v), (void)(x == v), (void)(x && v), (void)!x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\0');
    const std::string a = all.substr(0, cut);
    const std::string b = cut == std::string::npos ? std::string() : all.substr(cut + 1);
    const std::string text = a.c_str();  // what a C string of the input holds

    Ostrel::string s;
    s.SetValueFromString(text.c_str());
    writeBoth(s);
    Ostrel::NMTOKENS tokens;
    tokens.SetValueFromString(text.c_str());
    writeBoth(tokens);
    Ostrel::IDREFS refs;
    refs = text.c_str();
    writeBoth(refs);
    Ostrel::boolean flag;
    flag.SetValueFromString(text.c_str());
    writeBoth(flag);

    integerOps<Ostrel::integer, int>(a, b);
    integerOps<Ostrel::non_negative_integer, unsigned>(a, b);
    integerOps<Ostrel::positive_integer, unsigned>(a, b);
    integerOps<Ostrel::non_positive_integer, int>(a, b);
    integerOps<Ostrel::negative_integer, int>(a, b);
    floatOps<Ostrel::real>(a, b);
    floatOps<Ostrel::decimal>(a, b);
    return 0;
}
