// A document's internal subset, read by the DTD reader.
#include "ostrelxml/dtd_parser.h"

#include "ostrelxml/dtd_reader.h"
#include "ostrelxml/input.h"
#include "ostrelxml/xmlchars.h"

#include <cstdio>

namespace ostrel_xml {

namespace {

// The scanner hands over checked text; what reaches the reader otherwise is checked here,
// so that the reader sees only UTF-8 characters allowed in XML.
void checkCharacters(std::string_view text, const InternalSubsetContext& context) {
    long long line = context.line, column = context.column;
    for (size_t i = 0; i < text.size();) {
        int len = 0;
        const long c = decodeUtf8(reinterpret_cast<const unsigned char*>(text.data() + i),
                                  text.size() - i, len);
        if (c < 0) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(text[i]));
            throwScanError(context.file, line, column,
                           std::string("byte ") + byte + " does not begin a UTF-8 character");
        }
        if (!isXmlChar(c))
            throwScanError(context.file, line, column,
                           "character " + describeChar(c) + " is not allowed in XML");
        if (c == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
        i += static_cast<size_t>(len);
    }
}

} // namespace

Dtd parseInternalSubset(std::string_view text, const InternalSubsetContext& context) {
    checkCharacters(text, context);
    Dtd dtd;
    DtdSource source;
    source.pushTracked(std::string(text), source.fileName(context.file), context.line,
                       context.column, std::string(), true);
    DtdReader::Options options;
    options.hasExternalSubset = context.hasExternalSubset;
    options.standalone = context.standalone;
    options.inputBytes = static_cast<long long>(text.size());
    DtdReader(dtd, source, options).run();
    return dtd;
}

} // namespace ostrel_xml
