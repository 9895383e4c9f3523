// Encodings: every document under data/encoding, and long generated ones, read as UTF-16
// (both byte orders, with a byte order mark and, where the declaration names UTF-16, without)
// give the events and positions of the UTF-8 original; bad encodings are refused where
// they stand.
#include "support/scan_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using ostrel_test::scanError;
using ostrel_test::scanEvents;

namespace {

// UTF-16 code units as bytes in the byte order asked for.
std::string utf16Bytes(const std::u16string& units, bool bigEndian) {
    std::string out;
    for (char16_t u : units) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
    return out;
}

std::string le(const std::u16string& units) { return utf16Bytes(units, false); }
std::string be(const std::u16string& units) { return utf16Bytes(units, true); }

// The UTF-16 code units of valid UTF-8 text.
std::u16string toUtf16(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned long c = len == 1 ? b : b & (0x3F >> (len - 1));
        for (int k = 1; k < len; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += static_cast<size_t>(len);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

// The document with the encoding its XML declaration names replaced by name; false when it
// names none. (Declarations stand on a line of their own, so no position moves.)
bool renameEncoding(std::string& xml, const std::string& name) {
    const size_t end = xml.compare(0, 5, "<?xml") == 0 ? xml.find("?>") : std::string::npos;
    const size_t at = xml.find("encoding=", 0);
    if (end == std::string::npos || at == std::string::npos || at > end) return false;
    const size_t open = at + 9;
    const size_t close = xml.find(xml[open], open + 1);
    xml.replace(open + 1, close - open - 1, name);
    return true;
}

struct Document {
    std::string name;
    std::string utf8;
};

std::vector<Document> documents() {
    std::vector<Document> docs;
    for (const auto& entry : std::filesystem::directory_iterator(OSTREL_ENCODING_DATA))
        docs.push_back({entry.path().filename().string(),
                        ostrel_test::readFile(entry.path().string())});
    // Characters outside the Basic Multilingual Plane are two code units: with each shift
    // one pair is split by the 64 KiB blocks of one of the byte order mark variants, and
    // the text runs across several blocks.
    for (int shift = 0; shift < 2; ++shift) {
        std::string text(static_cast<size_t>(30 + shift), 'p');
        for (int i = 0; i < 50000; ++i) text += i % 1000 == 999 ? "\n\xC3\xA4" : "\xF0\x9F\x98\x80";
        docs.push_back({"generated, shift " + std::to_string(shift),
                        "<?xml version='1.0' encoding='UTF-8'?>\n<a x='\xE2\x82\xAC'>" + text +
                            "<b/>\n</a>"});
    }
    return docs;
}

// The events with positions, or the error as the only one.
std::vector<std::string> eventsOf(const std::string& bytes, bool preprocess) {
    try {
        return scanEvents(bytes, preprocess, true);
    } catch (const Ostrel::XException& e) {
        return {e.GetMsg()};
    }
}

} // namespace

TEST(EncodingDocuments, Utf16ReadsLikeItsUtf8Twin) {
    struct Variant {
        bool bigEndian;
        bool byteOrderMark;
        const char* name;  // the encoding the twin's declaration names
    };
    const Variant variants[] = {{false, true, "UTF-16LE"},
                                {true, true, "utf-16"},
                                {false, false, "utf-16"},
                                {true, false, "UTF-16BE"}};
    const std::vector<Document> docs = documents();
    ASSERT_GE(docs.size(), 6u);
    for (const Document& doc : docs) {
        for (bool preprocess : {true, false}) {
            const std::vector<std::string> expected = eventsOf(doc.utf8, preprocess);
            for (const Variant& v : variants) {
                std::string twin = doc.utf8;
                if (!renameEncoding(twin, v.name) && !v.byteOrderMark) continue;
                const std::string bytes =
                    utf16Bytes((v.byteOrderMark ? u"\xFEFF" : u"") + toUtf16(twin), v.bigEndian);
                const std::vector<std::string> got = eventsOf(bytes, preprocess);
                size_t i = 0;
                while (i < got.size() && i < expected.size() && got[i] == expected[i]) ++i;
                // The events may be long: show where they part.
                EXPECT_TRUE(i == got.size() && i == expected.size())
                    << doc.name << ": " << v.name << (v.byteOrderMark ? " with" : " without")
                    << " byte order mark, preprocess " << preprocess << ": event " << i << " is "
                    << (i < got.size() ? got[i].substr(0, 200) : "missing") << ", expected "
                    << (i < expected.size() ? expected[i].substr(0, 200) : "none");
            }
        }
    }
}

TEST(EncodingErrors, BadEncodingsAreRefusedWhereTheyStand) {
    const std::string decl16 = "<?xml version='1.0' encoding='UTF-16'?>";
    struct Case {
        std::string bytes;
        std::string position;
        std::string message;  // a part of it
    } cases[] = {
        // Declarations contradicting the bytes; the position is the encoding name's.
        {le(u"\xFEFF<?xml version='1.0' encoding='UTF-8'?><a/>"), "1:30",
         "encoding 'UTF-8' contradicts the file's UTF-16 byte order mark (little-endian)"},
        {be(u"\xFEFF<?xml version='1.0' encoding='ISO-8859-1'?><a/>"), "1:30",
         "'ISO-8859-1' contradicts the file's UTF-16 byte order mark (big-endian)"},
        {le(u"\xFEFF<?xml version='1.0' encoding='UTF-16BE'?><a/>"), "1:30",
         "'UTF-16BE' contradicts the file's UTF-16 byte order mark (little-endian)"},
        {be(u"<?xml version='1.0' encoding='US-ASCII'?><a/>"), "1:30",
         "'US-ASCII' contradicts the file's UTF-16 bytes (big-endian)"},
        {"\xEF\xBB\xBF" + decl16 + "<a/>", "1:30",
         "'UTF-16' contradicts the file's UTF-8 byte order mark"},
        {decl16 + "\n<a/>", "1:30", "'UTF-16' contradicts the file's bytes, which are 8-bit"},
        {"<?xml version='1.0' encoding='UTF-32'?><a/>", "1:30", "'UTF-32' is not supported"},
        // UTF-16 without a byte order mark must say so in its declaration.
        {le(u"<?xml version='1.0'?><a/>"), "1:1", "must name encoding 'UTF-16'"},
        {le(u"<?xml-stylesheet href='s'?><a/>"), "1:1", "must name encoding 'UTF-16'"},
        {be(u"<a/>"), "1:1", "looks UTF-16 encoded but has no byte order mark"},
        // Surrogates not in pairs, in text, attribute values, names and at the end.
        {le(u"\xFEFF<a>\n x\xD800y</a>"), "2:3", "unpaired surrogate 0xD800"},
        {be(u"\xFEFF<a v='\xDC00'/>"), "1:7", "unpaired surrogate 0xDC00"},
        {le(u"\xFEFF<a\xDBFF\xDBFF\xDC00/>"), "1:3", "unpaired surrogate 0xDBFF"},
        {be(u"\xFEFF<a>\xD83D"), "1:4", "unpaired surrogate 0xD83D"},
        {be(u"\xFEFF<a/>\n\xD83D"), "2:1", "unpaired surrogate 0xD83D"},
        // An odd number of bytes: the file is cut off.
        {le(u"\xFEFF<a>xy") + "<", "1:6", "odd number of bytes"},
        {be(u"\xFEFF<a/>") + "\n", "1:5", "odd number of bytes"},
        {le(u"\xFEFF<a>\xD83D") + "\x3D", "1:4", "unpaired surrogate 0xD83D"},
        // Characters XML does not allow, checked as in UTF-8.
        {le(u"\xFEFF<a>\xFFFE</a>"), "1:4", "character U+FFFE is not allowed in XML"},
        {be(u"\xFEFF<a>\n\x0001</a>"), "2:1", "character U+0001 is not allowed in XML"},
        // UTF-32 in either byte order, with a byte order mark or without.
        {std::string("\0\0\xFE\xFF\0\0\0<", 8), "1:1", "UTF-32 (UCS-4) byte order mark"},
        {std::string("\xFF\xFE\0\0<\0\0\0", 8), "1:1", "UTF-32 (UCS-4) byte order mark"},
        {std::string("<\0\0\0?\0\0\0", 8), "1:1", "looks UTF-32 (UCS-4) encoded"},
        {std::string("\0\0\0<\0\0\0?", 8), "1:1", "looks UTF-32 (UCS-4) encoded"},
    };
    for (const Case& c : cases) {
        const std::string error = scanError(c.bytes);
        EXPECT_EQ(error.substr(0, c.position.size() + 2), c.position + ": ") << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}
