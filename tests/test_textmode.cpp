// Documents are text-mode files: the platform's line ends on disk (CR LF on Windows),
// and a text-mode reader, as the importer opens its input, gets the same text back.
#include "support/file_util.h"
#include "support/test_element.h"

#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using ostrel_test::Element;
using ostrel_test::readFile;
using ostrel_test::TempFile;

namespace {

#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

// An importer whose parser keeps the whole input as the stream reads it.
class TextReader : public Ostrel::XMLImporterBase {
public:
    std::string text;

protected:
    void ParseXMLFile() override {
        text.clear();
        int c;
        while ((c = std::fgetc(GetCurrentXMLFileStream())) != EOF) text += static_cast<char>(c);
    }
};

Ostrel::string* textElement(const char* tag, const std::string& text) {
    auto* value = new Ostrel::string(text);
    value->SetTag(tag);
    return value;
}

// order > item(title, note): three levels, an attribute, a value holding line ends.
Element makeOrder() {
    Element order("order");
    Ostrel::string id("7");
    order.setAttribute("id", &id);
    auto* item = new Element("item");
    item->add(textElement("title", "Tom & Jerry"));
    item->add(textElement("note", "first\nsecond\r\nthird"));
    order.add(item);
    return order;
}

// What the document holds as text: the header and the tree, as a stream gets them.
std::string documentText(Ostrel::XObject& root, const std::string& dtd) {
    std::ostringstream os;
    root.EmitXMLHeader(os, dtd);
    root.EmitXML(os, 0);
    return os.str();
}

} // namespace

TEST(TextModeFile, EveryLineEndsWithThePlatformsLineEnd) {
    Element order = makeOrder();
    TempFile file("textmode.xml");
    ASSERT_TRUE(order.EmitXMLToFile(file.path(), "order.dtd"));
    // A line end inside a value is a line end of the file too; a CR of the value is kept.
    const std::string expected =
        "<?xml version='1.0'?>" + kLineEnd + "<!DOCTYPE order SYSTEM \"order.dtd\">" + kLineEnd +
        "<!-- created with Ostrel version 1.2 -->" + kLineEnd + "<order id='7'>" + kLineEnd +
        "\t<item>" + kLineEnd + "\t\t<title>Tom &amp; Jerry</title>" + kLineEnd +
        "\t\t<note>first" + kLineEnd + "second\r" + kLineEnd + "third</note>" + kLineEnd +
        "\t</item>" + kLineEnd + "</order>" + kLineEnd;
    EXPECT_EQ(readFile(file.path()), expected);
}

TEST(TextModeFile, ImporterReadsBackWhatWasWritten) {
    Element order = makeOrder();
    TempFile file("readback.xml");
    order.EmitXMLToFile(file.path(), "order.dtd");
    TextReader reader;
    reader.ImportFromFile(file.path(), false);
    EXPECT_EQ(reader.text, documentText(order, "order.dtd"));
}

TEST(TextModeFile, TextWithoutFinalLineEndReadsBack) {
    Ostrel::string root("bare\ntext");  // character data: no line end of its own
    TempFile file("bare.xml");
    root.EmitXMLToFile(file.path(), "");
    EXPECT_EQ(readFile(file.path()), "<?xml version='1.0'?>" + kLineEnd +
                                         "<!-- created with Ostrel version 1.2 -->" + kLineEnd +
                                         "bare" + kLineEnd + "text");
    TextReader reader;
    reader.ImportFromFile(file.path(), false);
    EXPECT_EQ(reader.text, documentText(root, ""));
}
