// The element and attribute forms shared by the simple values, for the library's sources.
#ifndef OSTREL_VALUEFORM_H
#define OSTREL_VALUEFORM_H

#include <ostrelbase/xmlline.h>

#include <cstring>
#include <ostream>
#include <string>

namespace Ostrel {
namespace detail {

// Text values join the line as they are.
inline void appendValue(XMLLineWriter& line, std::ostream&, const char* text) {
    line.append(text, std::strlen(text));
}
inline void appendValue(XMLLineWriter& line, std::ostream&, const std::string& text) {
    line.append(text);
}
// Numbers go through the stream's own formatted insertion, its settings untouched.
template <class V>
void appendValue(XMLLineWriter& line, std::ostream& os, const V& value) {
    line.commit();
    os << value;
}

// Writes indentation, <tag>, the value, </tag> and std::endl. Always true.
template <class V>
bool writeValueElement(std::ostream& os, int indent, const std::string& tag, const V& value) {
    XMLLineWriter line(os);
    line.indent(indent);
    line.startTag(tag);
    appendValue(line, os, value);
    line.endTag(tag);
    line.endLine();
    return true;
}

// Writes " tag='value'" with no line end; the value must be escaped already where it needs
// it. Always true.
template <class V>
bool writeValueAttribute(std::ostream& os, const std::string& tag, const V& value) {
    XMLLineWriter line(os);
    line.attributeStart(tag);
    appendValue(line, os, value);
    line.append('\'');
    line.commit();
    return true;
}

} // namespace detail
} // namespace Ostrel

#endif
