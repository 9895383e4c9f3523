// The declaration reader that documents and external entities share: what it returns, the
// encoding it leaves the input in, where it leaves it, and what it refuses, for XML
// declarations and text declarations alike.
#include "ostrelxml/prologue.h"
#include "support/file_util.h"

#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using ostrel_xml::DeclarationKind;
using ostrel_xml::Encoding;

namespace {

// The declaration of bytes as "present version encoding standalone", the encoding set,
// and the next three characters; or the error as "line:column: message".
std::string readDeclaration(const std::string& bytes, DeclarationKind kind) {
    ostrel_test::TempFile file("declaration.xml");
    ostrel_test::writeFile(file.path(), bytes);
    std::FILE* stream = std::fopen(file.path().c_str(), "rb");
    ostrel_xml::Input in(stream, "f");
    std::string result;
    try {
        const ostrel_xml::Declaration d = ostrel_xml::readDeclaration(in, kind);
        static const char* const names[] = {"utf8", "ascii", "latin1", "utf16le", "utf16be"};
        result = (d.present ? "yes '" : "no '") + d.version + "' '" + d.encoding + "' " +
                 (d.standalone ? "standalone " : "") + names[static_cast<int>(in.encoding())] +
                 " ";
        for (int i = 0; i < 3; ++i) in.take(&result);
    } catch (const Ostrel::XException& e) {
        result = e.GetMsg().substr(std::string("Error: f:").size());
    }
    std::fclose(stream);
    return result;
}

// Latin-1 text as UTF-16 code units, little-endian unless asked otherwise.
std::string utf16(const std::string& latin1, bool bigEndian = false) {
    std::string out;
    for (char c : latin1) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

} // namespace

TEST(Declarations, DocumentsAndExternalEntitiesAlike) {
    const auto doc = DeclarationKind::Document;
    const auto text = DeclarationKind::TextDeclaration;
    const std::string bomLe = "\xFF\xFE", bomBe = "\xFE\xFF";
    struct Case {
        DeclarationKind kind;
        std::string bytes;
        std::string expected;  // the whole result, or the start of an error
    } cases[] = {
        // XML declarations: version required, encoding and standalone optional.
        {doc, "<?xml version=\"1.0\" encoding='latin1' standalone=\"yes\"?><\xE9>",
         "yes '1.0' 'latin1' standalone latin1 <\xC3\xA9>"},
        {doc, "<?xml\r\n version = '1.1'\tstandalone='no' ?>\r\n<a", "yes '1.1' '' utf8 \n<a"},
        {doc, "<?xml version='1.0'?><a/>", "yes '1.0' '' utf8 <a/"},
        {doc, "<?xml-model href='m'?>", "no '' '' utf8 <?x"},
        {doc, "\xEF\xBB\xBF<a>", "no '' '' utf8 <a>"},
        {doc, "", "no '' '' utf8 "},
        {doc, "<?xml encoding='UTF-8'?>", "1:7: expected 'version' in the XML declaration"},
        {doc, "<?xml?>", "1:6: expected 'version' in the XML declaration, found '?'"},
        {doc, "<?xml version='2.0'?>", "1:15: XML version '2.0' is not supported"},
        {doc, "<?xml version='1.0' standalone='maybe'?>", "1:32: standalone must be 'yes'"},
        {doc, "<?xml version='1.0' encoding='8bit'?>", "1:30: '8bit' is no encoding name"},
        {doc, "<?xml version='1.0' encoding='UTF-8'", "1:37: expected '?>' to end the XML"},
        {doc, "<?xml version='1.0", "1:15: the file ends inside the version number"},
        // Text declarations: encoding required, version optional, no standalone.
        {text, "<?xml encoding=\"UTF-8\"?><!ENTITY", "yes '' 'UTF-8' utf8 <!E"},
        {text, "<?xml version='1.0' encoding='us-ascii' ?>\n%p", "yes '1.0' 'us-ascii' ascii \n%p"},
        {text, "<!ENTITY a 'b'>", "no '' '' utf8 <!E"},
        {text, bomBe + utf16("<!-", true), "no '' '' utf16be <!-"},
        {text, bomLe + utf16("<?xml encoding='UTF-16'?>a\xE9") + std::string("\x3D\xD8\0\xDE", 4),
         "yes '' 'UTF-16' utf16le a\xC3\xA9\xF0\x9F\x98\x80"},
        {text, "<?xml version='1.0'?>", "1:20: expected white space and 'encoding' in the text"},
        {text, "<?xml encoding='UTF-8' standalone='yes'?>",
         "1:24: expected '?>' to end the text declaration, found 's'"},
        {text, utf16("<?xml encoding='UTF-8'?>"),
         "1:16: encoding 'UTF-8' contradicts the file's UTF-16 bytes (little-endian)"},
    };
    for (const Case& c : cases) {
        const std::string result = readDeclaration(c.bytes, c.kind);
        EXPECT_EQ(result.substr(0, c.expected.size()), c.expected);
        if (c.expected.find(": ") == std::string::npos) {
            EXPECT_EQ(result, c.expected);
        }
    }
}
