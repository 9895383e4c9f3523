// The generic binding: importing any well-formed document, writing it back, copying,
// comparing, and what an import leaves after an error.
#include "generic/generic_importer.h"
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using generic::GenericElement;
using generic::GenericImporter;
using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::writeFile;

namespace {

struct Imported {
    GenericImporter importer;
    GenericElement* root = nullptr;
    ~Imported() { Ostrel::XMLImporterBase::DeleteImportedXObject(root); }
};

void importText(Imported& doc, const std::string& xml, bool preprocess = true) {
    TempFile file("generic.xml");
    writeFile(file.path(), xml);
    doc.importer.ImportFromFile(file.path(), preprocess);
    doc.root = dynamic_cast<GenericElement*>(doc.importer.GetXObject());
    ASSERT_NE(doc.root, nullptr);
}

std::string emit(GenericElement& root) {
    std::ostringstream out;
    root.EmitXML(out, 0);
    return out.str();
}

} // namespace

TEST(GenericImport, BuildsTheTreeWithAttributesTextAndMixedContent) {
    Imported doc;
    importText(doc, "<lib n='1'>\n  <book id='b' lang='en'>\n    <title>T &amp; U</title>\n"
                    "    <note>An <em>odd</em> one.</note>\n  </book>\n  <empty/>\n</lib>");
    GenericElement& root = *doc.root;
    EXPECT_EQ(root.GetTag(), "lib");
    ASSERT_EQ(root.childCount(), 2u);  // the formatting white space is gone
    auto& book = static_cast<GenericElement&>(root.child(0));
    EXPECT_EQ(std::string(*book.attributeValue("lang")), "en");
    EXPECT_EQ(book.attributeValue("missing"), nullptr);
    auto& note = static_cast<GenericElement&>(book.child(1));
    ASSERT_EQ(note.childCount(), 3u);
    EXPECT_TRUE(note.isText(0));
    EXPECT_EQ(static_cast<const std::string&>(dynamic_cast<Ostrel::string&>(note.child(0))), "An ");
    EXPECT_FALSE(note.isText(1));
    EXPECT_EQ(doc.importer.elementCount(), 6);
    EXPECT_EQ(doc.importer.attributeCount(), 3);
}

// Each document of data/generic written back: as its .out file says where there is one
// (formatting white space goes from element content only),
// and read again as the same tree (unprocessed.xml is read without preprocessing).
TEST(GenericEmit, DocumentsAreWrittenAsTheDataSaysAndReadBackAsTheSameTree) {
    for (const char* name : {"indented", "whitespace", "entities", "unprocessed"}) {
        SCOPED_TRACE(name);
        const std::string path = OSTREL_GENERIC_DATA "/" + std::string(name);
        const bool preprocess = std::string(name) != "unprocessed";
        Imported doc;
        importText(doc, readFile(path + ".xml"), preprocess);
        const std::string expected = readFile(path + ".out");
        if (!expected.empty()) { EXPECT_EQ(emit(*doc.root), expected); }
        if (!preprocess) continue;
        TempFile out("generic_out.xml");
        doc.root->EmitXMLToFile(out.path(), "");
        Imported again;
        importText(again, readFile(out.path()));
        EXPECT_TRUE(again.root->sameTree(*doc.root));
    }
}

TEST(GenericElementTest, CloneIsDeepAndIndependent) {
    Imported doc;
    importText(doc, "<a k='v'><b><c>t</c></b><b/></a>");
    std::unique_ptr<Ostrel::XObject> copy(doc.root->clone());
    auto* twin = dynamic_cast<GenericElement*>(copy.get());
    ASSERT_NE(twin, nullptr);
    EXPECT_TRUE(twin->sameTree(*doc.root));
    twin->RemoveElement("b");
    EXPECT_FALSE(twin->HasElement("b"));
    EXPECT_EQ(twin->childCount(), 0u);
    EXPECT_TRUE(doc.root->HasElement("b"));
    EXPECT_FALSE(twin->sameTree(*doc.root));
    twin->setAttributeText("k", "other");
    EXPECT_EQ(std::string(*doc.root->attributeValue("k")), "v");
    EXPECT_TRUE(doc.root->IsValid());
}

TEST(GenericElementTest, SameTreeSeesEveryKindOfDifference) {
    GenericElement a("a"), b("a");
    EXPECT_TRUE(a.sameTree(b));
    b.setAttributeText("x", "1");
    EXPECT_FALSE(a.sameTree(b));
    a.setAttributeText("x", "2");
    EXPECT_FALSE(a.sameTree(b));
    a.setAttributeText("x", "1");
    EXPECT_TRUE(a.sameTree(b));
    a.appendText("t");
    b.appendText("u");
    EXPECT_FALSE(a.sameTree(b));
    EXPECT_FALSE(GenericElement("a").sameTree(GenericElement("b")));
}

// (Nesting at and beyond the limit: reliability/test_deep_nesting.)
TEST(GenericImport, AFailedImportLeavesNoTreeAndTheImporterCanGoOn) {
    GenericImporter importer;
    TempFile good("good.xml"), bad("bad.xml");
    writeFile(good.path(), "<a><b/></a>");
    writeFile(bad.path(), "<a><b><c>text</c>");
    importer.ImportFromFile(good.path(), true);
    Ostrel::XObject* first = importer.GetXObject();
    ASSERT_NE(first, nullptr);
    Ostrel::XMLImporterBase::DeleteImportedXObject(first);
    EXPECT_THROW(importer.ImportFromFile(bad.path(), true), Ostrel::XException);
    EXPECT_EQ(importer.GetXObject(), nullptr);  // the partial tree was freed (ASan checks)
    EXPECT_EQ(importer.elementCount(), 2);      // the counts of the last good import
    importer.ImportFromFile(good.path(), true);
    EXPECT_NE(importer.GetXObject(), nullptr);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

TEST(GenericImport, ProgressIsReportedWhileALargeFileIsRead) {
    std::string doc = "<r>";
    while (doc.size() < 3 * 1024 * 1024) doc += "<item n='some value'>some text</item>\n";
    doc += "</r>";
    TempFile file("large.xml");
    writeFile(file.path(), doc);
    GenericImporter importer;
    std::vector<long long> reports;
    importer.setProgressCallback([&](long long bytes) { reports.push_back(bytes); });
    importer.ImportFromFile(file.path(), true);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    ASSERT_GE(reports.size(), 3u);
    for (size_t i = 1; i < reports.size(); ++i) EXPECT_GE(reports[i], reports[i - 1]);
    EXPECT_EQ(reports.back(), static_cast<long long>(doc.size()));
}
