// Generated bindings at work: the library catalogue (every shape of content model, typed
// texts and attributes), the names binding (the identifier rule, accessors that meet) and
// the wide binding (an automaton of more transitions than 16 bits count).
// Documents and expected outputs are in tests/data/gen/.
#include "support/case_file.h"
#include "support/edits.h"
#include "support/file_util.h"

#include "library.h"
#include "names.h"
#include "wide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

using ostrel_test::elementOf;
using ostrel_test::readFile;

const std::string kData = GEN_TEST_DATA;

TEST(GenElements, DocumentsAndTreesFollowTheirEdits) {
    library::RegisterCreateFunctions();
    library::Importer library;
    ostrel_test::runEdits(kData + "/library/edits.txt", kData, library);
    names::Importer names;
    ostrel_test::runEdits(kData + "/names/edits.txt", kData, names);
    wide::Importer wide;
    ostrel_test::runEdits(kData + "/wide/edits.txt", kData, wide);
}

TEST(GenElements, TypedTextsAreCheckedByTheirType) {
    using ostrel_xml::binding::ValueType;
    const char* const names[] = {"String", "NmTokens", "IdRefs", "Boolean", "Integer",
        "NonNegativeInteger", "PositiveInteger", "NonPositiveInteger", "NegativeInteger", "Real",
        "Decimal"};
    for (const auto& c : ostrel_test::readCases(kData + "/lexical.txt")) {
        const auto type = std::find(std::begin(names), std::end(names), c.fields.at(0).text);
        ASSERT_NE(type, std::end(names)) << c.where;
        EXPECT_EQ(ostrel_xml::binding::isLexical(ValueType(type - names), c.fields.at(1).text),
                  c.fields.at(2).is("yes")) << c.where;
    }
}

TEST(GenElements, NewChildrenGoWhereTheModelPutsThem) {
    library::library lib;
    lib.GetShelfs().Add(std::make_unique<library::shelf>());
    lib.GetBooks().Add(std::make_unique<library::book>());
    lib.SetTitle("t");
    lib.GetJournals().Add(std::make_unique<library::journal>());
    lib.GetBooks().Add(std::make_unique<library::book>());
    std::string order;
    for (std::size_t i = 0; i < lib.GetChildCount(); ++i) order += lib.GetChild(i).GetTag() + " ";
    EXPECT_EQ(order, "title book journal book shelf ");
    ASSERT_EQ(lib.GetBooks().size(), 2u);
    EXPECT_EQ(&lib.GetBooks()[1], &lib.GetChild(3));
    lib.SetTitle(std::make_unique<Ostrel::string>("new"));  // replaced in place
    EXPECT_EQ(lib.GetChild(0).GetTag(), "title");
    EXPECT_EQ(*lib.GetTitle(), "new");
    lib.RemoveElement("book");
    EXPECT_TRUE(lib.GetBooks().empty());
}

TEST(GenElements, MixedContentAndNamesFollowingTheIdentifierRule) {
    library::summary summary;
    summary.AddText("a < b, ");
    summary.GetEms().Add(std::make_unique<Ostrel::string>("so"));
    summary.AddText(" ");
    summary.AddText("there");
    EXPECT_EQ(elementOf(summary), "<summary>a &lt; b, <em>so</em> there</summary>\n");
    EXPECT_TRUE(summary.IsValid());
    EXPECT_EQ(summary.GetChildCount(), 3u);

    names::config config;
    config.AddInt(42);
    config.GetRemap_dirs().Add(std::make_unique<names::remap_dir>());
    config.GetRemap_dirs()[0].SetAs_path("/y");
    config.GetClasses().Add(std::make_unique<names::class_>());
    config.GetPrices().Add(std::make_unique<names::price>());
    config.GetPrices()[0].SetValue(2.5);
    config.GetPrices()[0].SetValueAttribute("v");
    config.SetDefault("d");
    config.AddValue("v");
    EXPECT_TRUE(config.IsValid());
    EXPECT_EQ(elementOf(config), readFile(kData + "/names/built.xml"));
}
