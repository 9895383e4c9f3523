// Parses arbitrary text into every simple type, writes it both ways and checks that what is
// written reads back.
//
// Input: text a, optionally a NUL and text b (a token list's text after a's).
#include "../support/plain_escape.h"
#include "fuzz_importers.h"

namespace {

using ostrel_fuzz::fault;

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

// The element form "\t\t<v>N</v>\n" of an integer reads back as the same number. (The
// operators over every pair of boundary operands: test_value_operations, also under the
// sanitizers.)
template <class T, class V>
void readsBack(const std::string& a) {
    T x;
    x.SetValueFromString(a.c_str());
    const std::string written = writeBoth(x);
    const std::size_t open = written.find("<v>");
    if (open == std::string::npos) fault("no element form", written);
    T back;
    back.SetValueFromString(written.c_str() + open + 3);
    if (static_cast<V>(back) != static_cast<V>(x)) fault("a number does not read back", written);
}

template <class T>
void writes(const std::string& a) {
    T x;
    x.SetValueFromString(a.c_str());
    writeBoth(x);
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

    readsBack<Ostrel::integer, int>(a);
    readsBack<Ostrel::non_negative_integer, unsigned>(a);
    readsBack<Ostrel::positive_integer, unsigned>(a);
    readsBack<Ostrel::non_positive_integer, int>(a);
    readsBack<Ostrel::negative_integer, int>(a);
    writes<Ostrel::real>(a);
    writes<Ostrel::decimal>(a);
    return 0;
}
