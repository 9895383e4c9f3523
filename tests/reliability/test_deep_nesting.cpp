// Documents nested far deeper than any real one: the importers refuse them with a clear
// error instead of running out of stack, and the deepest nesting they accept is built,
// written, copied, compared and freed (all of which walk the tree recursively).
#include "reliability/importing.h"

#include <gtest/gtest.h>

using namespace ostrel_test;

namespace {

// A file of levels elements name nested, removed with the object.
struct Nested : TempFile {
    Nested(const std::string& name, int levels) : TempFile(name + ".xml") {
        std::string open, close;
        for (int i = 0; i < levels; ++i) {
            open += "<" + name + ">";
            close += "</" + name + ">";
        }
        writeFile(path(), open + "deep" + close);
    }
};

} // namespace

TEST(DeepNesting, AHundredThousandLevelsAreRefusedWithTheLimit) {
    const Nested document("a", 100000);
    for (bool preprocess : {true, false})
        EXPECT_EQ(importError<generic::GenericImporter>(document.path(), preprocess),
                  "Error: " + document.path() +
                      ":1:6145: element 'a' is nested 2049 levels deep; at most 2048 levels are read");
    xkb::RegisterCreateFunctions();
    const std::string message =
        importError<xkb::XkbImporter>(Nested("xkbConfigRegistry", 100000).path(), true);
    EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;
}

TEST(DeepNesting, TheDeepestAcceptedTreeIsWrittenCopiedAndFreed) {
    const Nested document("a", 2048);
    generic::GenericImporter importer;
    importer.ImportFromFile(document.path(), true);
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(importer.elementCount(), 2048);
    EXPECT_TRUE(root->IsValid());
    auto& tree = static_cast<generic::GenericElement&>(*root);
    std::unique_ptr<Ostrel::XObject> copy(root->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(static_cast<generic::GenericElement&>(*copy).sameTree(tree));

    TempFile out("deepest.out.xml");
    root->EmitXMLToFile(out.path(), "");
    generic::GenericImporter again;
    again.ImportFromFile(out.path(), true);
    std::unique_ptr<Ostrel::XObject> reread(again.GetXObject());
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(static_cast<generic::GenericElement&>(*reread).sameTree(tree));
}
