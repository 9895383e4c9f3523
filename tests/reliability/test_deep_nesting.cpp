// Documents nested far deeper than any real one: the importers refuse them with a clear
// error instead of running out of stack, and the deepest nesting they accept is built,
// written, copied, compared and freed (all of which walk the tree recursively).
#include "reliability/importing.h"

#include <gtest/gtest.h>

using namespace ostrel_test;

namespace {

// A file of levels elements name nested, removed with the object.
TempFile nested(const std::string& name, int levels) {
    std::string open, close;
    for (int i = 0; i < levels; ++i) open += "<" + name + ">", close += "</" + name + ">";
    return TempFile(name + std::to_string(levels) + ".xml", open + "deep" + close);
}

} // namespace

TEST(DeepNesting, TheLimitIsRefusedAndTheDeepestAcceptedTreeWrittenCopiedAndFreed) {
    const TempFile over = nested("a", 100000), deepest = nested("a", 2048);
    for (bool preprocess : {true, false})
        EXPECT_EQ(importError<generic::GenericImporter>(over.path(), preprocess),
                  "Error: " + over.path() +
                      ":1:6145: element 'a' is nested 2049 levels deep; at most 2048 levels are read");
    xkb::RegisterCreateFunctions();
    const TempFile registry = nested("xkbConfigRegistry", 100000);
    const std::string message = importError<xkb::XkbImporter>(registry.path(), true);
    EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;

    // Cloned, written and read back, the deepest tree stays the same.
    generic::GenericImporter importer;
    importer.ImportFromFile(deepest.path(), true);
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject()), copy(root->clone());
    EXPECT_EQ(importer.elementCount(), 2048);
    EXPECT_TRUE(root->IsValid());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(emitted(*copy), emitted(*root));
    TempFile written("deepest.out.xml");
    root->EmitXMLToFile(written.path(), "");
    std::string again;
    EXPECT_EQ(importError<generic::GenericImporter>(written.path(), true, &again), "");
    EXPECT_EQ(again, emitted(*root));
}
