// The element and attribute forms shared by the simple values, for the library's sources.
#ifndef OSTREL_VALUEFORM_H
#define OSTREL_VALUEFORM_H

#include <ostream>
#include <string>

namespace Ostrel {
namespace detail {

// Writes indentation, <tag>, the value through the stream's own formatted insertion (its
// settings untouched), </tag> and std::endl. Always true.
template <class V>
bool writeValueElement(std::ostream& os, const std::string& indentation, const std::string& tag,
                       const V& value) {
    os << indentation << '<' << tag << '>' << value << "</" << tag << '>' << std::endl;
    return true;
}

// Writes " tag='value'" with no line end; the value must be escaped already where it needs
// it. Always true.
template <class V>
bool writeValueAttribute(std::ostream& os, const std::string& tag, const V& value) {
    os << ' ' << tag << "='" << value << '\'';
    return true;
}

} // namespace detail
} // namespace Ostrel

#endif
