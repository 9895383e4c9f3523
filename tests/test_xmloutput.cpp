// Writing documents: header lines, attributes, escaping, indentation, file errors.
#include "support/file_util.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

using Ostrel::XException;
using ostrel_test::Element;
using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::textOnDisk;

namespace {

const char* const kDeclaration = "<?xml version='1.0'?>\n";
const char* const kBanner = "<!-- created with Ostrel version 1.2 -->\n";

std::string errorOf(Ostrel::XObject& root, const char* file, const char* dtd) {
    try {
        root.EmitXMLToFile(file, dtd);
    } catch (XException& e) {
        return e.GetMsg();
    }
    return "";
}

} // namespace

TEST(EmitXMLToFile, WritesHeaderDoctypeAndRoot) {
    TempFile file("doc.xml");
    Element root("order");
    EXPECT_TRUE(root.EmitXMLToFile(file.path().c_str(), "order.dtd"));
    EXPECT_EQ(readFile(file.path()), textOnDisk(std::string(kDeclaration) +
                                                "<!DOCTYPE order SYSTEM \"order.dtd\">\n" +
                                                kBanner + "<order/>\n"));
}

TEST(EmitXMLToFile, NullAndEmptyDtdAreTheSame) {
    TempFile a("a.xml"), b("b.xml"), c("c.xml");
    Element root("r");
    root.EmitXMLToFile(a.path().c_str(), nullptr);
    root.EmitXMLToFile(b.path().c_str(), "");
    root.EmitXMLToFile(c.path(), std::string());
    const std::string expected = textOnDisk(std::string(kDeclaration) + kBanner + "<r/>\n");
    EXPECT_EQ(readFile(a.path()), expected);
    EXPECT_EQ(readFile(b.path()), expected);
    EXPECT_EQ(readFile(c.path()), expected);
}

TEST(EmitXMLToFile, EmptyTagGivesTwoBlanksInDoctype) {
    TempFile file("empty.xml");
    Element root;
    root.EmitXMLToFile(file.path(), "x.dtd");
    EXPECT_NE(readFile(file.path()).find(textOnDisk("<!DOCTYPE  SYSTEM \"x.dtd\">\n")),
              std::string::npos);
}

TEST(EmitXMLToFile, TruncatesAnExistingFile) {
    TempFile file("trunc.xml");
    ostrel_test::writeFile(file.path(), std::string(10000, 'x'));
    Element root("r");
    root.EmitXMLToFile(file.path(), "");
    EXPECT_EQ(readFile(file.path()), textOnDisk(std::string(kDeclaration) + kBanner + "<r/>\n"));
}

TEST(EmitXMLToFile, NothingFollowsTheRootsOwnOutput) {
    TempFile file("pcdata.xml");
    Ostrel::string root("bare text");  // character data writes no line end
    root.EmitXMLToFile(file.path(), "");
    EXPECT_EQ(readFile(file.path()), textOnDisk(std::string(kDeclaration) + kBanner + "bare text"));
}

TEST(EmitXMLToFile, UnopenableFileThrows) {
    Element root("r");
    EXPECT_EQ(errorOf(root, "/nonexistent-dir/x.xml", ""),
              "Error: Unable to open file '/nonexistent-dir/x.xml' for XML output.");
    EXPECT_EQ(errorOf(root, "/tmp", ""), "Error: Unable to open file '/tmp' for XML output.");
    EXPECT_EQ(errorOf(root, nullptr, ""), "Error: Unable to open file '' for XML output.");
}

TEST(EmitXMLToFile, FailedWriteIsReported) {
    struct stat st;
    if (stat("/dev/full", &st) != 0) GTEST_SKIP() << "no /dev/full on this system";
    Element root("r");
    EXPECT_EQ(errorOf(root, "/dev/full", ""),
              "Error: Unable to write file '/dev/full' for XML output.");
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
    EXPECT_EQ(errorOf(root, file.path().c_str(), ""), "Error: Boom in 't'");
    EXPECT_EQ(readFile(file.path()),
              textOnDisk(std::string(kDeclaration) + kBanner + "<t>partial"));
}

TEST(EmitAttributes, WritesValuesInNameOrder) {
    Element e("e");
    std::ostringstream none;
    e.EmitAttributes(none);
    EXPECT_EQ(none.str(), "");
    Ostrel::string v("x");
    e.setAttribute("b", &v);
    e.RemoveAttribute("b");
    e.EmitAttributes(none);  // an empty map writes nothing either
    EXPECT_EQ(none.str(), "");

    Ostrel::string one("1"), two("<2>");
    e.setAttribute("zeta", &one);
    e.setAttribute("Alpha", &two);
    e.setAttribute("mid", &one);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " Alpha='&lt;2&gt;' mid='1' zeta='1'");
}

TEST(EmitAttributes, BaseValuesWriteNothing) {
    Element e("e"), value("v");
    e.setAttribute("child", &value);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), "");
    EXPECT_FALSE(value.EmitAsAttribute(os));
}

TEST(TextHelpers, ConvertToStdEntities) {
    Element e;
    std::string all = "a&b<c>d\"e'f";
    EXPECT_EQ(e.ConvertToStdEntities(all), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    EXPECT_EQ(all, "a&b<c>d\"e'f");
    std::string empty;
    EXPECT_EQ(e.ConvertToStdEntities(empty), "");
    std::string entity = "&amp;";
    EXPECT_EQ(e.ConvertToStdEntities(entity), "&amp;amp;");
    std::string raw("\x01\xC3\xA9\n", 4);
    EXPECT_EQ(e.ConvertToStdEntities(raw), raw);
}

TEST(TextHelpers, DoIndent) {
    Element e;
    EXPECT_EQ(e.doIndent(0), "");
    EXPECT_EQ(e.doIndent(3), "\t\t\t");
    EXPECT_EQ(e.doIndent(-2), "");
}

TEST(EmitXMLToFile, NestedTreeIsTabIndented) {
    Element root("root");
    auto* child = new Element("child");
    auto* title = new Ostrel::string("A & B");
    title->SetTag("title");
    child->add(title);
    root.add(child);
    std::ostringstream os;
    root.EmitXMLHeader(os, "r.dtd");
    root.EmitXML(os, 0);
    EXPECT_EQ(os.str(), std::string(kDeclaration) + "<!DOCTYPE root SYSTEM \"r.dtd\">\n" + kBanner +
                            "<root>\n\t<child>\n\t\t<title>A &amp; B</title>\n\t</child>\n</root>\n");
}

TEST(EmitXMLToFile, LargeDocumentIsWrittenWhole) {
    // Far more than one buffer of output, each line ended by a flushing line end.
    Element root("root");
    for (int i = 0; i < 20000; ++i) {
        auto* item = new Ostrel::string("item & " + std::to_string(i));
        item->SetTag("item");
        root.add(item);
    }
    std::ostringstream expected;
    root.EmitXMLHeader(expected, "");
    root.EmitXML(expected, 0);
    TempFile file("large.xml");
    root.EmitXMLToFile(file.path(), "");
    EXPECT_EQ(readFile(file.path()), textOnDisk(expected.str()));
}
