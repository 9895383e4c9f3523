// Lines written in one piece: the same bytes and stream state as inserting each piece, a
// pending field width padding the first piece of each written form, failed streams, and
// escaping that finds every special character wherever it stands.
#include "support/case_file.h"
#include "support/file_util.h"
#include "support/plain_escape.h"
#include "support/test_element.h"

#include <ostrelbase/xmlline.h>

#include <fstream>
#include <iomanip>
#include <sstream>

using Ostrel::XMLLineWriter;

namespace {

// A line of data/linewriter/lines.txt (what it is for, the tabs, then texts) written both
// ways: by the writer into byLine, by inserting into byInsertion.
void writeBothWays(std::ostream& byLine, std::ostream& byInsertion,
                   const std::vector<ostrel_test::Field>& f) {
    XMLLineWriter line(byLine);
    const int level = std::stoi(f[1].text);
    line.indent(level);
    byInsertion << std::string(level > 0 ? static_cast<std::size_t>(level) : 0, '\t');
    for (std::size_t i = 2; i < f.size();) {
        const std::string text = ostrel_test::textAt(f, i);
        if (text.size() == 1) line.append(text[0]), byInsertion << text[0];
        else line.append(text), byInsertion << text;
    }
    line.commit();
}

} // namespace

TEST(XMLLineWriter, WritesTheBytesOfInsertingEachPiece) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(OSTREL_LINEWRITER_DATA "/lines.txt")) {
        const auto& pieces = c.fields;
        const std::string use = pieces[0].text;
        SCOPED_TRACE(c.where);
        // Plain, then under a pending width, right and left aligned.
        for (int setting = 0; setting < (use == "width" ? 3 : 1); ++setting) {
            std::ostringstream byLine, byInsertion;
            for (std::ostringstream* os : {&byLine, &byInsertion}) {
                if (setting == 2) *os << std::left;
                if (setting > 0) *os << std::setfill('.') << std::setw(6);
            }
            writeBothWays(byLine, byInsertion, pieces);
            EXPECT_EQ(byLine.str(), byInsertion.str());
            EXPECT_EQ(byLine.rdstate(), byInsertion.rdstate());
            EXPECT_EQ(byLine.width(), 0);
        }
        // A failed stream takes nothing.
        if (use != "fail" && use != "long") continue;
        for (auto state : {std::ios::failbit, std::ios::badbit, std::ios::eofbit}) {
            std::ostringstream byLine, byInsertion;
            byLine.setstate(state);
            byInsertion.setstate(state);
            writeBothWays(byLine, byInsertion, pieces);
            EXPECT_EQ(byLine.str(), "");
            EXPECT_EQ(byLine.rdstate(), byInsertion.rdstate());
        }
    }
}

// Only what is committed is written, padded by a width set between. Character data written
// bare pads the whole escaped text. (A refused write on a document file: test_io_faults.)
TEST(XMLLineWriter, WritesOnlyWhatIsCommittedAndPadsAfterAWidthSetBetween) {
    std::ostringstream os;
    {
        XMLLineWriter line(os);
        line.append("first", 5);
        EXPECT_EQ(os.str(), "");
        line.commit();
        line.append("<a", 2);
        line.commit();
        line.commit();
        os << std::setw(4);
        line.append('>');
        line.append("\n", 1);
        line.commit();
        line.append("dropped", 7);
    }
    EXPECT_EQ(os.str(), "first<a   >\n");
    for (auto [text, indent, expected] : {std::tuple<const char*, int, const char*>{"<>", 3, "&lt;&gt;"},
                                          {"a", 3, "....a"}, {"", 0, "....."}}) {
        std::ostringstream padded;
        padded << std::setfill('.') << std::setw(5);
        Ostrel::string(text).EmitXML(padded, indent);
        EXPECT_EQ(padded.str() + std::to_string(padded.width()), expected + std::string("0"));
    }
    // An element's line ends as std::endl ends it: flushed, so the file holds it at once.
    ostrel_test::TempFile file("line_end.xml");
    std::ofstream out(file.path());
    Ostrel::integer(7).EmitXML(out, 0);
    EXPECT_EQ(ostrel_test::readFile(file.path()), ostrel_test::textOnDisk("<>7</>\n"));
}

// Texts are scanned several bytes at a time: each byte value at each position of texts of
// a few such blocks, among plain letters. (Written escaped in both forms: data/values.)
TEST(Escaping, FindsEveryByteValueAtEveryPosition) {
    ostrel_test::Element helper;
    for (std::size_t length = 1; length <= 26; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (int value = 0; value < 256; ++value) {
                std::string text(length, 'm');
                text[at] = static_cast<char>(value);
                ASSERT_EQ(helper.ConvertToStdEntities(text), ostrel_test::plainEscape(text))
                    << length << "/" << at << "/" << value;
            }
        }
    }
}
