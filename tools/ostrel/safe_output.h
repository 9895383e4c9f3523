// Writing a document so that a failure leaves the target file as it was.
#ifndef OSTREL_TOOL_SAFE_OUTPUT_H
#define OSTREL_TOOL_SAFE_OUTPUT_H

#include <ostrelbase/ostrel.h>

#include <string>

namespace ostrel_tool {

// Writes root with EmitXMLToFile (DOCTYPE naming dtd when it is not empty) to a new file
// beside target and renames it to target once it is written whole; a target that exists
// and is no regular file (a device, a pipe) is written in place. Returns the bytes
// written, -1 for a target written in place. Throws Ostrel::XException; a regular target
// is then neither created nor changed, and a target that cannot be written is refused.
long long writeDocumentSafely(Ostrel::XObject& root, const std::string& target,
                              const std::string& dtd);

} // namespace ostrel_tool

#endif
