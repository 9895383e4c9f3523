// string: the text value.
#include <ostrelbase/xmlescape_impl.h>
#include <ostrelbase/ostrel.h>

#include <new>

namespace Ostrel {

namespace {
constexpr char kCharacterData[] = "#PCDATA";
constexpr std::size_t kTagLength = sizeof(kCharacterData) - 1;
// What the non-const operator[] hands out past the end of the text.
char g_sharedNul = '\0';
} // namespace

string::string() : std::string(), XObject(kCharacterData, kTagLength) {}

string::string(const string& other) : std::string(other), XObject(other) {}

string::string(const std::string& s) : std::string(s), XObject(kCharacterData, kTagLength) {}

string::string(const char* s) : std::string(s), XObject(kCharacterData, kTagLength) {}

string::~string() = default;

const string& string::operator=(const string& other) {
    if (this != &other) {
        XObject::operator=(other);
        std::string::operator=(other);
    }
    return *this;
}

const string& string::operator=(const char* s) {
    std::string::operator=(s);
    return *this;
}

const string& string::operator=(char c) {
    std::string::operator=(c);
    return *this;
}

const string& string::operator+=(const string& other) {
    std::string::append(other);
    return *this;
}

const string& string::operator+=(const char* s) {
    std::string::append(s);
    return *this;
}

const string& string::operator+=(char c) {
    std::string::push_back(c);
    return *this;
}

const char& string::operator[](unsigned int i) const { return std::string::at(i); }

char& string::operator[](unsigned int i) {
    if (i < size()) return std::string::operator[](i);
    // The slot behind the text is its terminating NUL; anything further is the shared one.
    if (i == size()) return *(data() + size());
    g_sharedNul = '\0';
    return g_sharedNul;
}

string::operator const char*() { return c_str(); }

bool string::EmitXML(std::ostream& os, int indent) {
    const bool element = m_tag.empty() || m_tag[0] != '#';
    XMLLineWriter line(os);
    if (element) {
        line.indent(indent);
        line.startTag(m_tag);
    }
    detail::appendEscaped(line, *this);
    if (!element) {
        line.commit();
        return true;
    }
    line.endTag(m_tag);
    line.endLine();
    return true;
}

bool string::EmitAsAttribute(std::ostream& os) {
    XMLLineWriter line(os);
    line.attributeStart(m_tag);
    detail::appendEscaped(line, *this);
    line.append('\'');
    line.commit();
    return true;
}

XObject* string::clone() const { return new (std::nothrow) string(*this); }

bool string::SetValueFromString(const char* text) {
    if (text == nullptr) return false;
    std::string::assign(text);
    return true;
}

} // namespace Ostrel
