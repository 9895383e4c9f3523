// The generic binding: importing any well-formed document, writing it back, copying,
// comparing. (Round trips against libxml2: test_conformance; progress: the XKB importer's.)
#include "generic/generic_importer.h"
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

using generic::GenericElement;
using generic::GenericImporter;
using ostrel_test::readFile;

namespace {

// The tree of file, owned.
std::unique_ptr<GenericElement> import(GenericImporter& importer, const std::string& file,
                                       bool preprocess = true) {
    importer.ImportFromFile(file, preprocess);
    auto* root = dynamic_cast<GenericElement*>(importer.GetXObject());
    EXPECT_NE(root, nullptr);
    return std::unique_ptr<GenericElement>(root);
}

} // namespace

// Each document of data/generic written back as its .out file says (formatting white space
// goes from element content only; unprocessed.xml is read without preprocessing). The
// counts the tool reports: test_tool.
TEST(GenericImport, DocumentsAreReadAndWrittenAsTheDataSays) {
    for (const char* name : {"indented", "whitespace", "entities", "unprocessed"}) {
        SCOPED_TRACE(name);
        const std::string path = OSTREL_GENERIC_DATA "/" + std::string(name);
        GenericImporter importer;
        auto root = import(importer, path + ".xml", std::string(name) != "unprocessed");
        const std::string expected = readFile(path + ".out");
        std::ostringstream out;
        root->EmitXML(out, 0);
        if (!expected.empty()) { EXPECT_EQ(out.str(), expected); }
    }
}

// A clone is deep and independent; sameTree sees every kind of difference.
TEST(GenericElementTest, CloneAndSameTree) {
    ostrel_test::TempFile file("generic.xml");
    ostrel_test::writeFile(file.path(), "<a k='v'><b><c>t</c></b><b/></a>");
    GenericImporter importer;
    auto root = import(importer, file.path());
    std::unique_ptr<Ostrel::XObject> copy(root->clone());
    auto& twin = dynamic_cast<GenericElement&>(*copy);
    EXPECT_TRUE(twin.sameTree(*root));
    twin.RemoveElement("b");
    EXPECT_EQ(twin.HasElement("b") + twin.childCount() * 2 + root->HasElement("b") * 4, 4u);
    EXPECT_FALSE(twin.sameTree(*root));
    twin.setAttributeText("k", "other");
    EXPECT_EQ(std::string(*root->attributeValue("k")), "v");
    GenericElement a("a"), b("a");
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { b.setAttributeText("x", "1"); }, false}, {[&] { a.setAttributeText("x", "2"); }, false},
        {[&] { a.setAttributeText("x", "1"); }, true},
        {[&] { a.appendText("t"); b.appendText("u"); }, false}};
    for (const auto& [step, same] : steps) {
        step();
        EXPECT_EQ(a.sameTree(b), same);
    }
    EXPECT_FALSE(GenericElement("a").sameTree(GenericElement("b")));
}
