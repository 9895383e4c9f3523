// The declaration reader that documents and external entities share: what it returns, the
// encoding it leaves the input in, where it leaves it, and what it refuses, for XML
// declarations and text declarations alike; the cases are under data/declaration.
#include "ostrelxml/prologue.h"
#include "support/case_file.h"
#include "support/file_util.h"

#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The declaration of bytes as "present 'version' 'encoding' [standalone] encoding-set", and
// the next three characters; or the error as "line:column: message".
std::string readDeclaration(const std::string& bytes, ostrel_xml::DeclarationKind kind) {
    const ostrel_test::TempFile file("declaration.xml", bytes);
    std::FILE* stream = std::fopen(file.path().c_str(), "rb");
    ostrel_xml::Input in(stream, "f");
    std::string result;
    try {
        const ostrel_xml::Declaration d = ostrel_xml::readDeclaration(in, kind);
        static const char* const names[] = {"utf8", "ascii", "latin1", "utf16le", "utf16be"};
        result = (d.present ? "yes '" : "no '") + d.version + "' '" + d.encoding + "' " +
                 (d.standalone ? "standalone " : "") + names[static_cast<int>(in.encoding())] + " ";
        for (int i = 0; i < 3; ++i) in.take(&result);
    } catch (const Ostrel::XException& e) {
        result = e.GetMsg().substr(std::string("Error: f:").size());
    }
    std::fclose(stream);
    return result;
}

} // namespace

TEST(Declarations, DocumentsAndExternalEntitiesAlike) {
    const auto cases = ostrel_test::readCases(OSTREL_DECLARATION_DATA "/declarations.txt");
    EXPECT_GE(cases.size(), 21u);
    for (const auto& c : cases) {
        const auto kind = c.fields[0].is("text") ? ostrel_xml::DeclarationKind::TextDeclaration
                                                 : ostrel_xml::DeclarationKind::Document;
        EXPECT_EQ(readDeclaration(c.fields[1].text, kind), c.fields[2].text) << c.where;
    }
}
