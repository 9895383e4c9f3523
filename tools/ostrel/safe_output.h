// Writing a document so that a failure leaves the target file as it was.
#ifndef OSTREL_TOOL_SAFE_OUTPUT_H
#define OSTREL_TOOL_SAFE_OUTPUT_H

#include <ostrelbase/ostrel.h>

#include <string>

namespace ostrel_tool {

// Writes root with EmitXMLToFile (DOCTYPE naming dtd when it is not empty) to a new file
// beside target and renames it to target once it is written whole. Returns the
// bytes written. Throws Ostrel::XException; target is then neither created nor changed.
long long writeDocumentSafely(Ostrel::XObject& root, const std::string& target,
                              const std::string& dtd);

} // namespace ostrel_tool

#endif
