// Documents nested far deeper than any real one: the importers refuse them with a clear
// error instead of running out of stack, and the deepest nesting they accept is built,
// written, copied, compared and freed (all of which walk the tree recursively).
#include "support/file_util.h"

#include "generic/generic_importer.h"
#include "xkb/xkb_importer.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace {

std::string nested(const std::string& name, int levels) {
    std::string open, close;
    for (int i = 0; i < levels; ++i) {
        open += "<" + name + ">";
        close += "</" + name + ">";
    }
    return open + "deep" + close;
}

template <class Importer>
std::string importError(const std::string& document, bool preprocess) {
    ostrel_test::TempFile file("deep.xml");
    ostrel_test::writeFile(file.path(), document);
    Importer importer;
    try {
        importer.ImportFromFile(file.path(), preprocess);
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(importer.GetXObject(), nullptr);
        return e.GetMsg();
    }
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    return "";
}

} // namespace

TEST(DeepNesting, AHundredThousandLevelsAreRefusedWithTheLimit) {
    const std::string document = nested("a", 100000);
    for (bool preprocess : {true, false}) {
        const std::string message = importError<generic::GenericImporter>(document, preprocess);
        EXPECT_NE(message.find(":1:6145: element 'a' is nested 2049 levels deep; at most 2048 "
                               "levels are read"),
                  std::string::npos)
            << message;
    }
    xkb::RegisterCreateFunctions();
    const std::string message =
        importError<xkb::XkbImporter>(nested("xkbConfigRegistry", 100000), true);
    EXPECT_EQ(message.rfind("Error: ", 0), 0u) << message;
}

TEST(DeepNesting, TheDeepestAcceptedTreeIsWrittenCopiedAndFreed) {
    ostrel_test::TempFile file("deepest.xml");
    ostrel_test::writeFile(file.path(), nested("a", 2048));
    generic::GenericImporter importer;
    importer.ImportFromFile(file.path(), true);
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(importer.elementCount(), 2048);

    std::unique_ptr<Ostrel::XObject> copy(root->clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(static_cast<generic::GenericElement&>(*copy).sameTree(
        static_cast<generic::GenericElement&>(*root)));
    EXPECT_TRUE(root->IsValid());

    ostrel_test::TempFile out("deepest.out.xml");
    root->EmitXMLToFile(out.path(), "");
    generic::GenericImporter again;
    again.ImportFromFile(out.path(), true);
    std::unique_ptr<Ostrel::XObject> reread(again.GetXObject());
    ASSERT_NE(reread, nullptr);
    EXPECT_TRUE(static_cast<generic::GenericElement&>(*reread).sameTree(
        static_cast<generic::GenericElement&>(*root)));
}
