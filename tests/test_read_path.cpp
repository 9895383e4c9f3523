// The read path: the scanner takes runs of text, names and tags straight from its input
// blocks, so every construct is read here across a block's end at every offset, and
// must give what it gives anywhere else; and blank text skipped only where an importer asks.
#include "generic/generic_importer.h"
#include "ostrelxml/input.h"
#include "support/case_file.h"
#include "support/file_util.h"
#include "support/scan_util.h"
#include "xkb/xkb_importer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using ostrel_test::scan;

namespace {

constexpr size_t kBlock = ostrel_xml::Input::kBlockSize;

// head, a comment that makes body's first byte stand `offset` bytes into the file, and
// body; the comment ends with a line break, so body's positions do not depend on the
// padding. The comment is read as content, which looks no further ahead than the body
// needs, so the first block ends where body stands.
std::string placedAt(size_t offset, const std::string& head, const std::string& body) {
    const std::string open = head + "<!--", close = "\n-->";
    return open + std::string(offset - open.size() - close.size(), 'x') + close + body;
}

// xml read by importer and written back.
template <class Importer>
std::string imported(const std::string& xml, Importer&& importer = Importer()) {
    const ostrel_test::TempFile file("read_path.xml", xml);
    importer.ImportFromFile(file.path(), true);
    std::ostringstream out;
    importer.GetXObject()->EmitXML(out, 0);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    return out.str();
}

} // namespace

TEST(ReadAcrossBlocks, EventsErrorsAndPositionsDoNotDependOnWhereABlockEnds) {
    const std::string head =
        "<!DOCTYPE r [<!ENTITY e 'entity &#38;amp; text'><!ENTITY m '<i>&e;</i>'>]><r>";
    const auto cases = ostrel_test::readCases(OSTREL_SCANNER_DATA "/blocks.txt");
    EXPECT_GE(cases.size(), 31u);
    for (const auto& c : cases) {
        const std::string body = c.fields[2].text + "</r>";
        const size_t from = kBlock + std::stoi(c.fields[0].text);
        const size_t to = kBlock + std::stoi(c.fields[1].text);
        for (bool preprocess : {true, false}) {
            const auto expected = scan(placedAt(100, head, body), preprocess, true);
            if (preprocess && c.fields.size() > 3) {
                EXPECT_EQ(expected[0].rfind("ERROR 2:", 0), 0u) << c.where;
            }
            for (size_t at = from; at <= to; ++at)
                EXPECT_EQ(scan(placedAt(at, head, body), preprocess, true), expected)
                    << c.where << " at " << at << ", preprocess " << preprocess;
        }
    }
}

TEST(ReadAcrossBlocks, XkbLeavesAndTagsReadTheSame) {
    xkb::RegisterCreateFunctions();
    const std::string item = "<model><configItem popularity='exotic'><name>pc105</name>"
                             "<description>Generic &amp; \xc3\xa9 \r\n 105</description>"
                             "<vendor>   </vendor></configItem></model>\n  ";
    std::string models;
    for (int i = 0; i < 8; ++i) models += item;
    const std::string root = "<xkbConfigRegistry>", body = "\n <modelList>\n  " + models +
                             "</modelList><layoutList/><optionList/></xkbConfigRegistry>";
    const std::string expected = imported<xkb::XkbImporter>(placedAt(100, root, body));
    for (size_t at = kBlock - 296; at <= kBlock + 4; ++at)
        EXPECT_EQ(imported<xkb::XkbImporter>(placedAt(at, root, body)), expected) << at;
}

TEST(ReadWhiteSpace, ScannerSkipsBlankTextOnlyWhereAskedAndReportsTheRest) {
    // An importer that asks the scanner to skip blank text inside every element.
    struct Skipping : ostrel_xml::ScanningImporter {
        std::vector<std::string> texts;
        std::unique_ptr<Ostrel::XObject> createElement(ostrel_xml::Scanner& scanner,
                                                       Ostrel::XObject*) override {
            if (std::string(scanner.name()) != "keep") scanner.skipBlankText();
            return std::make_unique<generic::GenericElement>(scanner.name());
        }
        void addText(ostrel_xml::Scanner& scanner, Ostrel::XObject&) override {
            EXPECT_EQ(scanner.textView(), scanner.text());
            texts.push_back("'" + scanner.text() + "'" + (scanner.isWhitespace() ? "w" : ""));
        }
        void addChild(ostrel_xml::Scanner&, Ostrel::XObject& parent,
                      std::unique_ptr<Ostrel::XObject> child) override {
            static_cast<generic::GenericElement&>(parent).appendChild(std::move(child));
        }
    };
    Skipping importer;
    EXPECT_EQ(imported("<a>\n <b> </b>\n <keep> \n </keep> x <b>&#32;</b><b><!--c--> \r\n</b></a>", importer),
              "<a>\n\t<b/>\n\t<keep/>\n\t<b/>\n\t<b/>\n</a>\n");
    EXPECT_EQ(importer.texts, (std::vector<std::string>{"' \n 'w", "' x '"}));
}
