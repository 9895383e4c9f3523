// NMTOKENS and IDREFS: the two token lists, one implementation.
#include <ostrelbase/ostrel.h>
#include <ostrelbase/valueform_impl.h>
#include <ostrelbase/xmlline.h>

#include <new>

namespace Ostrel {

namespace {

const char* const kSeparators = " \r\f\t";

// The tokens of text; built aside so that a failure leaves the caller's list as it was.
bool parseTokens(std::list<string>& tokens, const char* text) {
    if (text == nullptr) return false;
    const std::string work(text);
    std::list<string> parsed;
    std::string::size_type start = work.find_first_not_of(kSeparators);
    while (start != std::string::npos) {
        std::string::size_type end = work.find_first_of(kSeparators, start);
        if (end == std::string::npos) end = work.size();
        parsed.emplace_back(work.substr(start, end - start));
        start = work.find_first_not_of(kSeparators, end);
    }
    tokens.swap(parsed);
    return true;
}

// One blank between two tokens, so the written list splits back into the same tokens.
bool emitTokenElement(std::list<string>& tokens, std::ostream& os, const std::string& tag,
                      int indent) {
    if (tokens.empty()) return true;
    XMLLineWriter line(os);
    line.indent(indent);
    line.startTag(tag);
    std::size_t blank = 0;  // none before the first token
    for (string& token : tokens) {
        line.append(" ", blank);
        blank = 1;
        line.commit();
        token.EmitXML(os, indent + 1);
    }
    line.endTag(tag);
    line.endLine();
    return true;
}

// The tokens' texts parted by one blank, not yet escaped.
std::string joinTokens(const std::list<string>& tokens) {
    std::string joined;
    for (auto it = tokens.begin(); it != tokens.end(); ++it) {
        if (it != tokens.begin()) joined += ' ';
        joined += static_cast<const std::string&>(*it);
    }
    return joined;
}

} // namespace

NMTOKENS::NMTOKENS() : std::list<string>(), XObject() {}
NMTOKENS::NMTOKENS(const NMTOKENS& other) : std::list<string>(other), XObject(other) {}
NMTOKENS::~NMTOKENS() = default;

NMTOKENS& NMTOKENS::operator=(const NMTOKENS& other) {
    if (this != &other) {
        std::list<string>::operator=(other);
        XObject::operator=(other);
    }
    return *this;
}

NMTOKENS& NMTOKENS::operator=(const char* text) {
    SetValueFromString(text);
    return *this;
}

bool NMTOKENS::EmitXML(std::ostream& os, int indent) {
    return emitTokenElement(*this, os, m_tag, indent);
}

bool NMTOKENS::EmitAsAttribute(std::ostream& os) {
    if (empty()) return false;
    std::string joined = joinTokens(*this);
    return detail::writeValueAttribute(os, m_tag, ConvertToStdEntities(joined));
}

XObject* NMTOKENS::clone() const { return new (std::nothrow) NMTOKENS(*this); }

bool NMTOKENS::SetValueFromString(const char* text) { return parseTokens(*this, text); }

IDREFS::IDREFS() : std::list<string>(), XObject() {}
IDREFS::IDREFS(const IDREFS& other) : std::list<string>(other), XObject(other) {}
IDREFS::~IDREFS() = default;

IDREFS& IDREFS::operator=(const IDREFS& other) {
    if (this != &other) {
        std::list<string>::operator=(other);
        XObject::operator=(other);
    }
    return *this;
}

IDREFS& IDREFS::operator=(const char* text) {
    SetValueFromString(text);
    return *this;
}

bool IDREFS::EmitXML(std::ostream& os, int indent) {
    return emitTokenElement(*this, os, m_tag, indent);
}

bool IDREFS::EmitAsAttribute(std::ostream& os) {
    if (empty()) return false;
    std::string joined = joinTokens(*this);
    return detail::writeValueAttribute(os, m_tag, ConvertToStdEntities(joined));
}

XObject* IDREFS::clone() const { return new (std::nothrow) IDREFS(*this); }

bool IDREFS::SetValueFromString(const char* text) { return parseTokens(*this, text); }

} // namespace Ostrel
