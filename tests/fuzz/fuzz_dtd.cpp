// The DTD reader over arbitrary bytes: as an internal subset (plain and standalone) and as
// a DTD file. A refusal must be an XException beginning "Error: "; a model read must read
// the same when written back as declarations.
#include "fuzz_importers.h"

#include "ostrelxml/dtd_parser.h"
#include "support/dtd_dump.h"

#include <string>

namespace {

void checkRefusal(const Ostrel::XException& e, const std::string& prefix) {
    if (e.GetMsg().compare(0, prefix.size(), prefix) != 0)
        ostrel_fuzz::fault("a refusal without 'Error: <file>:'", e.GetMsg());
}

void subset(const std::string& text, bool standalone) {
    ostrel_xml::InternalSubsetContext context;
    context.file = "doc.xml";
    context.standalone = standalone;
    std::string written;
    try {
        written = ostrel_test::writeDtd(ostrel_xml::parseInternalSubset(text, context));
    } catch (const Ostrel::XException& e) {
        return checkRefusal(e, "Error: doc.xml:");
    }
    try {
        if (ostrel_test::writeDtd(ostrel_xml::parseInternalSubset(written, context)) != written)
            ostrel_fuzz::fault("the model written back reads differently", written);
    } catch (const Ostrel::XException& e) {
        ostrel_fuzz::fault("the model written back is refused", e.GetMsg() + "\n" + written);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    subset(text, false);
    subset(text, true);
    // As a file its external entities are read: keep them off devices and system files
    // that do not end.
    for (const char* special : {"/dev", "/proc", "/sys"})
        if (text.find(special) != std::string::npos) return 0;
    const std::string& path = ostrel_fuzz::scratch().input;
    ostrel_fuzz::writeScratch(path, data, size);
    try {
        ostrel_xml::readDtdFile(path);
    } catch (const Ostrel::XException& e) {
        checkRefusal(e, "Error: ");
    }
    return 0;
}
