// Lines written in one piece: the same bytes and stream state as inserting each piece, a
// pending field width padding the first piece of each written form, failing streams, and
// escaping that finds every special character wherever it stands.
#include "support/plain_escape.h"
#include "support/test_element.h"

#include <ostrelbase/ostrel.h>
#include <ostrelbase/xmlline.h>

#include <gtest/gtest.h>

#include <iomanip>
#include <ios>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

using Ostrel::XMLLineWriter;

namespace {

// Takes the first limit characters one at a time, then refuses every further one.
class LimitedSink : public std::streambuf {
public:
    explicit LimitedSink(std::size_t limit) : m_limit(limit) {}
    const std::string& taken() const { return m_taken; }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (m_taken.size() >= m_limit) return traits_type::eof();
        m_taken += traits_type::to_char_type(c);
        return c;
    }

private:
    std::size_t m_limit;
    std::string m_taken;
};

// The pieces of one line: tabs, then texts; written both ways below.
struct Pieces {
    int level;
    std::vector<std::string> texts;
};

void writeByLine(std::ostream& os, const Pieces& pieces) {
    XMLLineWriter line(os);
    line.indent(pieces.level);
    for (const std::string& text : pieces.texts) {
        if (text.size() == 1)
            line.append(text[0]);
        else
            line.append(text);
    }
    line.commit();
}

void writeByInsertion(std::ostream& os, const Pieces& pieces) {
    os << std::string(pieces.level > 0 ? static_cast<std::size_t>(pieces.level) : 0, '\t');
    for (const std::string& text : pieces.texts) {
        if (text.size() == 1)
            os << text[0];
        else
            os << text;
    }
}

std::vector<Pieces> sampleLines() {
    return {
        {0, {}},
        {0, {"<", "name", ">"}},
        {3, {"<", "description", ">", "some text", "</", "description", ">\n"}},
        {40, {"<", "deep", "/>"}},                          // more tabs than one chunk
        {-2, {"", "x", ""}},                                // empty pieces, negative level
        {1, {std::string(255, 'a'), "b", "cd"}},            // fills the buffer exactly
        {2, {std::string(254, 'a'), "bcd", "e"}},           // crosses it
        {0, {"<", std::string(256, 'n'), ">", std::string(1000, 't'), "\n"}},  // longer than it
        {1, {std::string(100, 'x'), std::string(100, 'y'), std::string(100, 'z')}},
    };
}

} // namespace

TEST(XMLLineWriter, WritesTheBytesOfInsertingEachPiece) {
    for (const Pieces& pieces : sampleLines()) {
        std::ostringstream byLine, byInsertion;
        writeByLine(byLine, pieces);
        writeByInsertion(byInsertion, pieces);
        EXPECT_EQ(byLine.str(), byInsertion.str());
        EXPECT_EQ(byLine.rdstate(), byInsertion.rdstate());
    }
}

TEST(XMLLineWriter, WritesOnlyWhatIsCommitted) {
    std::ostringstream os;
    {
        XMLLineWriter line(os);
        line.append("first", 5);
        EXPECT_EQ(os.str(), "");
        line.commit();
        EXPECT_EQ(os.str(), "first");
        line.append("second", 6);
        line.commit();
        line.commit();
        line.append("dropped", 7);
    }
    EXPECT_EQ(os.str(), "firstsecond");
}

TEST(XMLLineWriter, PendingWidthPadsTheFirstPieceAsInsertionDoes) {
    // Each line is written both ways with the same field settings.
    const std::vector<Pieces> lines = {
        {2, {"<", "a", ">"}},
        {0, {"<", "a", ">"}},   // the empty indentation is the padded piece
        {0, {"x", "yz"}},
        {0, {"", "after"}},
        {-1, {"abc", "def"}},
    };
    for (bool left : {false, true}) {
        for (const Pieces& pieces : lines) {
            std::ostringstream byLine, byInsertion;
            for (std::ostringstream* os : {&byLine, &byInsertion}) {
                if (left) *os << std::left;
                *os << std::setfill('.') << std::setw(6);
            }
            writeByLine(byLine, pieces);
            writeByInsertion(byInsertion, pieces);
            EXPECT_EQ(byLine.str(), byInsertion.str());
            EXPECT_EQ(byLine.width(), 0);
        }
    }
}

TEST(XMLLineWriter, WidthSetBetweenCommitsPadsTheNextPiece) {
    std::ostringstream os;
    XMLLineWriter line(os);
    line.append("<a", 2);
    line.commit();
    os << std::setw(4);
    line.append('>');
    line.append("\n", 1);
    line.commit();
    EXPECT_EQ(os.str(), "<a   >\n");
}

TEST(XMLLineWriter, FailedStreamTakesNothing) {
    for (auto state : {std::ios::failbit, std::ios::badbit, std::ios::eofbit}) {
        std::ostringstream byLine, byInsertion;
        byLine.setstate(state);
        byInsertion.setstate(state);
        writeByLine(byLine, sampleLines()[2]);
        writeByInsertion(byInsertion, sampleLines()[2]);
        EXPECT_EQ(byLine.str(), "");
        EXPECT_EQ(byLine.rdstate(), byInsertion.rdstate());
    }
}

TEST(XMLLineWriter, RefusedWriteSetsBadbitAfterTheSameBytes) {
    for (std::size_t limit : {0u, 5u, 9u, 300u}) {
        LimitedSink lineSink(limit), insertionSink(limit);
        std::ostream byLine(&lineSink), byInsertion(&insertionSink);
        writeByLine(byLine, sampleLines()[7]);
        writeByInsertion(byInsertion, sampleLines()[7]);
        EXPECT_EQ(lineSink.taken(), insertionSink.taken()) << "limit " << limit;
        EXPECT_EQ(byLine.rdstate(), byInsertion.rdstate()) << "limit " << limit;
        EXPECT_TRUE(byLine.bad());
    }
}

TEST(XMLLineWriter, RefusedWriteThrowsWhenTheStreamAsksForIt) {
    LimitedSink sink(3);
    std::ostream os(&sink);
    os.exceptions(std::ios::badbit);
    XMLLineWriter line(os);
    line.append("more than three", 15);
    EXPECT_THROW(line.commit(), std::ios_base::failure);
    EXPECT_EQ(sink.taken(), "mor");
}

// --- text written bare with a field width pending on the stream (the other written forms:
// test_values) ---------------------------------------------------------------------------

namespace {

// What os holds after form wrote to it with a width of 5 and '.' as the fill.
template <class Form>
std::string padded(Form form) {
    std::ostringstream os;
    os << std::setfill('.') << std::setw(5);
    form(os);
    EXPECT_EQ(os.width(), 0);
    return os.str();
}

} // namespace

TEST(PendingWidth, PadsTheWholeEscapedCharacterData) {
    Ostrel::string data("<>");  // escaped, it is longer than the width
    EXPECT_EQ(padded([&](std::ostream& os) { data.EmitXML(os, 3); }), "&lt;&gt;");
    Ostrel::string a("a");
    EXPECT_EQ(padded([&](std::ostream& os) { a.EmitXML(os, 3); }), "....a");
    Ostrel::string empty;
    EXPECT_EQ(padded([&](std::ostream& os) { empty.EmitXML(os, 0); }), ".....");
}

// --- escaping ------------------------------------------------------------------------

TEST(Escaping, FindsEveryByteValueAtEveryPosition) {
    // Texts are scanned several bytes at a time: put each byte value at each position of
    // texts of a few such blocks, among plain letters.
    ostrel_test::Element helper;
    for (std::size_t length = 1; length <= 26; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            for (int value = 0; value < 256; ++value) {
                std::string text(length, 'm');
                text[at] = static_cast<char>(value);
                const std::string expected = ostrel_test::plainEscape(text);
                ASSERT_EQ(helper.ConvertToStdEntities(text), expected) << length << "/" << at << "/" << value;
                Ostrel::string data(text);
                std::ostringstream os;
                data.EmitXML(os, 0);
                ASSERT_EQ(os.str(), expected) << length << "/" << at << "/" << value;
            }
        }
    }
}

TEST(Escaping, LongTextsWithManyEntities) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "ab&<>\"'\xC3\xA9 cdefghij"[i % 17];
    Ostrel::string value(text);
    value.SetTag("v");
    std::ostringstream element, attribute;
    value.EmitXML(element, 1);
    value.EmitAsAttribute(attribute);
    EXPECT_EQ(element.str(), "\t<v>" + ostrel_test::plainEscape(text) + "</v>\n");
    EXPECT_EQ(attribute.str(), " v='" + ostrel_test::plainEscape(text) + "'");
}
