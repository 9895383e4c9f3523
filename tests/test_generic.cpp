// The generic binding: importing any well-formed document, writing it back, copying,
// comparing. (Round trips against libxml2: test_conformance; progress: the XKB importer's.)
#include "generic/generic_importer.h"
#include "support/case_file.h"
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

using generic::GenericElement;
using generic::GenericImporter;

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

// The documents of data/generic/documents.txt written back as it says, white space
// included. (The counts the tool reports: test_tool.)
TEST(GenericImport, DocumentsAreReadAndWrittenAsTheDataSays) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(OSTREL_GENERIC_DATA "/documents.txt")) {
        std::size_t i = 0;
        const ostrel_test::TempFile file("generic.xml", ostrel_test::textAt(c.fields, i));
        const std::string written = ostrel_test::textAt(c.fields, i);
        GenericImporter importer;
        auto root = import(importer, file.path(), !c.fields.back().is("raw"));
        std::ostringstream out;
        root->EmitXML(out, 0);
        EXPECT_EQ(out.str(), written) << c.where;
    }
}

// A clone is deep and independent (and loses only the named elements to RemoveElement);
// sameTree sees every kind of difference in the pairs of data/generic/same.txt.
TEST(GenericElementTest, CloneAndSameTree) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(OSTREL_GENERIC_DATA "/same.txt")) {
        SCOPED_TRACE(c.where);
        std::unique_ptr<GenericElement> roots[2];
        for (int i : {0, 1}) {
            const ostrel_test::TempFile file("generic.xml", c.fields[i].text);
            GenericImporter importer;
            roots[i] = import(importer, file.path());
        }
        const bool same = c.fields[2].is("same");
        EXPECT_EQ(roots[0]->sameTree(*roots[1]) + roots[1]->sameTree(*roots[0]), same * 2);
        std::unique_ptr<Ostrel::XObject> copy(roots[1]->clone());
        auto& twin = dynamic_cast<GenericElement&>(*copy);
        EXPECT_TRUE(twin.sameTree(*roots[1]));
        std::size_t kept = 0;  // the children that are no element "b"
        for (std::size_t i = 0; i < twin.childCount(); ++i)
            kept += twin.isText(i) || twin.child(i).GetTag() != "b";
        twin.RemoveElement("b");
        EXPECT_FALSE(twin.HasElement("b"));
        EXPECT_EQ(twin.childCount(), kept);
        twin.setAttributeText("k", "other");
        EXPECT_EQ(roots[0]->sameTree(*roots[1]), same);  // the clone shares nothing
    }
}
