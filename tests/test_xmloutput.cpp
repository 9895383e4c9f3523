// Writing documents: header lines, attributes, indentation, text-mode files (CR LF line
// ends on Windows) that the importer reads back, and file errors.
#include "support/file_util.h"
#include "support/test_element.h"

#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>
#include <tuple>
#include <utility>

using ostrel_test::Element;
using ostrel_test::messageOf;
using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::textOnDisk;

namespace {

const std::string kDeclaration = "<?xml version='1.0'?>\n";
const std::string kBanner = "<!-- created with Ostrel version 1.2 -->\n";

Ostrel::string* textElement(const char* tag, const std::string& text) {
    auto* value = new Ostrel::string(text);
    value->SetTag(tag);
    return value;
}

// An importer whose parser keeps the whole input as a text-mode stream reads it.
class TextReader : public Ostrel::XMLImporterBase {
public:
    std::string text;

protected:
    void ParseXMLFile() override {
        for (int c; (c = std::fgetc(GetCurrentXMLFileStream())) != EOF;) text += static_cast<char>(c);
    }
};

} // namespace

TEST(EmitXMLToFile, WritesTheDocumentAsTextAndTheImporterReadsItBack) {
    Element order("order");
    Ostrel::string id("7");
    order.setAttribute("id", &id);
    auto* item = new Element("item");
    item->add(textElement("title", "Tom & Jerry"));
    item->add(textElement("note", "first\nsecond\r\nthird"));
    order.add(item);
    order.add(new Element("empty"));
    const std::string expected = kDeclaration + "<!DOCTYPE order SYSTEM \"order.dtd\">\n" + kBanner +
                                 "<order id='7'>\n\t<item>\n\t\t<title>Tom &amp; Jerry</title>\n"
                                 "\t\t<note>first\nsecond\r\nthird</note>\n\t</item>\n\t<empty/>\n</order>\n";
    std::ostringstream os;
    order.EmitXMLHeader(os, "order.dtd");
    order.EmitXML(os, 0);
    EXPECT_EQ(os.str(), expected);
    TempFile file("doc.xml");
    ostrel_test::writeFile(file.path(), std::string(100000, 'x'));  // truncated
    EXPECT_TRUE(order.EmitXMLToFile(file.path().c_str(), "order.dtd"));
    EXPECT_EQ(readFile(file.path()), textOnDisk(expected));
    TextReader reader;
    reader.ImportFromFile(file.path(), false);
    EXPECT_EQ(reader.text, expected);
}

TEST(EmitXMLToFile, HeaderWithoutDtdAndNothingAfterTheRoot) {
    Element root("r"), nameless;
    Ostrel::string bare("bare\ntext");  // character data writes no line end
    const std::string plain = kDeclaration + kBanner;
    const std::tuple<Ostrel::XObject*, const char*, std::string> cases[] = {
        {&root, nullptr, plain + "<r/>\n"},
        {&root, "", plain + "<r/>\n"},
        {&nameless, "x.dtd", kDeclaration + "<!DOCTYPE  SYSTEM \"x.dtd\">\n" + kBanner + "</>\n"},
        {&bare, "", plain + "bare\ntext"}};
    for (const auto& [object, dtd, expected] : cases) {
        TempFile file("header.xml");
        if (dtd) object->EmitXMLToFile(file.path(), std::string(dtd));
        else object->EmitXMLToFile(file.path().c_str(), nullptr);
        EXPECT_EQ(readFile(file.path()), textOnDisk(expected));
    }
}

TEST(EmitXMLToFile, LargeDocumentIsWrittenWhole) {
    // Far more than one buffer of output, each line ended by a flushing line end.
    Element root("root");
    for (int i = 0; i < 20000; ++i) root.add(textElement("item", "item & " + std::to_string(i)));
    std::ostringstream expected;
    root.EmitXMLHeader(expected, "");
    root.EmitXML(expected, 0);
    TempFile file("large.xml");
    root.EmitXMLToFile(file.path(), "");
    EXPECT_EQ(readFile(file.path()), textOnDisk(expected.str()));
}

TEST(EmitXMLToFile, FileErrorsAreReported) {
    Element root("r");
    struct stat st;
    const std::pair<const char*, const char*> cases[] = {
        {"/nonexistent-dir/x.xml", "open"}, {"/tmp", "open"}, {nullptr, "open"}, {"/dev/full", "write"}};
    for (const auto& [name, verb] : cases) {
        const char* path = name;  // a lambda may not capture a structured binding
        if (std::string(verb) == "write" && stat(path, &st) != 0) continue;  // no /dev/full here
        EXPECT_EQ(messageOf([&] { root.EmitXMLToFile(path, ""); }),
                  std::string("Error: Unable to ") + verb + " file '" + (path ? path : "") +
                      "' for XML output.");
    }
}

TEST(EmitXMLToFile, ExceptionFromRootKeepsWhatWasWritten) {
    struct Throwing : Element {
        Throwing() : Element("t") {}
        bool EmitXML(std::ostream& os, int) override {
            os << "<t>partial";
            OSTREL_THROW(std::string("Error: Boom in 't'"));
        }
    } root;
    TempFile file("partial.xml");
    EXPECT_EQ(messageOf([&] { root.EmitXMLToFile(file.path().c_str(), ""); }), "Error: Boom in 't'");
    EXPECT_EQ(readFile(file.path()), textOnDisk(kDeclaration + kBanner + "<t>partial"));
}

TEST(EmitAttributes, WritesValuesInNameOrder) {
    Element e("e"), child("v");
    std::ostringstream os;
    e.EmitAttributes(os);
    Ostrel::string one("1"), two("<2>");
    e.setAttribute("b", &one);
    e.RemoveAttribute("b");
    e.EmitAttributes(os);  // an empty map writes nothing either
    EXPECT_EQ(os.str(), "");
    e.setAttribute("zeta", &one);
    e.setAttribute("Alpha", &two);
    e.setAttribute("mid", &one);
    e.setAttribute("child", &child);  // the base writes nothing as an attribute
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " Alpha='&lt;2&gt;' mid='1' zeta='1'");
    EXPECT_FALSE(child.EmitAsAttribute(os));
}

// (ConvertToStdEntities: test_line_writer, for every byte value.)
TEST(TextHelpers, DoIndent) {
    Element e;
    EXPECT_EQ(e.doIndent(0), "");
    EXPECT_EQ(e.doIndent(3), "\t\t\t");
    EXPECT_EQ(e.doIndent(-2), "");
}
