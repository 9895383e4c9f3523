// Writing documents: header lines, attributes in name order, indentation, and files that hold, as text
// (CR LF line ends on Windows), what the same tree writes to a string stream.
#include "support/file_util.h"
#include "support/test_element.h"

#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

using ostrel_test::Element;
using ostrel_test::messageOf;
using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::textOnDisk;

namespace {

Ostrel::string* textElement(const char* tag, const std::string& text) {
    auto* value = new Ostrel::string(text);
    value->SetTag(tag);
    return value;
}

// An importer whose parser keeps the whole input, read as a text-mode stream.
struct TextReader : Ostrel::XMLImporterBase {
    std::string text;
    void ParseXMLFile() override {
        for (int c; (c = std::fgetc(GetCurrentXMLFileStream())) != EOF;) text += static_cast<char>(c);
    }
};

} // namespace

TEST(EmitXMLToFile, WritesWhatTheStreamGetsAndTheImporterReadsItBack) {
    Element order("order"), small("r"), child("v");
    Ostrel::string id("7"), less("<2>"), bare("bare\ntext");  // character data writes no line end
    for (const char* name : {"zeta", "Alpha", "mid"}) order.setAttribute(name, name[0] == 'A' ? &less : &id);
    order.setAttribute("child", &child);  // the base writes nothing as an attribute
    auto* item = new Element("item");
    item->add(textElement("title", "Tom & Jerry"));
    item->add(textElement("note", "first\nsecond\r\nthird"));
    order.add(item);
    order.add(new Element("empty"));
    std::ostringstream os;
    order.EmitXMLHeader(os, "order.dtd");
    order.EmitXML(os, 0);
    EXPECT_EQ(os.str(), "<?xml version='1.0'?>\n<!DOCTYPE order SYSTEM \"order.dtd\">\n"
                        "<!-- created with Ostrel version 1.2 -->\n<order Alpha='&lt;2&gt;' mid='7' zeta='7'>\n\t<item>\n"
                        "\t\t<title>Tom &amp; Jerry</title>\n\t\t<note>first\nsecond\r\nthird</note>\n"
                        "\t</item>\n\t<empty/>\n</order>\n");
    // (Output of many buffers, and an exception while writing: xkb/test_xkb_write.)
    const std::tuple<Element*, Ostrel::XObject*, const char*> cases[] = {
        {&order, &order, "order.dtd"}, {&small, &small, nullptr}, {&small, &bare, ""}};
    for (const auto& [element, object, dtd] : cases) {
        std::ostringstream expected;
        element->EmitXMLHeader(expected, dtd ? dtd : "");
        object->EmitXML(expected, 0);
        TempFile file("doc.xml");
        ostrel_test::writeFile(file.path(), std::string(100000, 'x'));  // truncated
        if (dtd) EXPECT_TRUE(object->EmitXMLToFile(file.path(), std::string(dtd)));
        else EXPECT_TRUE(object->EmitXMLToFile(file.path().c_str(), nullptr));
        EXPECT_EQ(readFile(file.path()), textOnDisk(expected.str()));
        TextReader reader;
        reader.ImportFromFile(file.path(), false);
        EXPECT_EQ(reader.text, expected.str());
    }
    EXPECT_EQ(order.doIndent(3) + order.doIndent(-2), "\t\t\t");
    // (Unwritable paths: reliability/test_io_faults.)
    EXPECT_EQ(messageOf([&] { order.EmitXMLToFile(nullptr, ""); }),
              "Error: Unable to open file '' for XML output.");
}
