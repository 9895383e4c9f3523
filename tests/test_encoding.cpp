// Encodings: every document under data/encoding, and long generated ones, read as UTF-16
// (both byte orders, with a byte order mark and, where the declaration names UTF-16, without)
// give the events and positions of the UTF-8 original; bad encodings are refused where
// they stand.
#include "support/case_file.h"
#include "support/scan_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

using ostrel_test::scan;

namespace {

// UTF-8 text (surrogates allowed, as three-byte sequences) as UTF-16 in the byte order
// asked for, behind a byte order mark if asked.
std::string utf16(const std::string& utf8, bool bigEndian, bool byteOrderMark) {
    std::string out;
    auto unit = [&](unsigned long u) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        (out += bigEndian ? high : low) += bigEndian ? low : high;
    };
    if (byteOrderMark) unit(0xFEFF);
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned long c = len == 1 ? b : b & (0x3F >> (len - 1));
        for (int k = 1; k < len; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += static_cast<size_t>(len);
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

// The document with the encoding its XML declaration names replaced by name; false when it
// names none. (Declarations stand on a line of their own, so no position moves.)
bool renameEncoding(std::string& xml, const std::string& name) {
    static const std::regex encoding("^(<\\?xml[^?]*encoding=(['\"]))[^'\"]*");
    if (!std::regex_search(xml, encoding)) return false;
    xml = std::regex_replace(xml, encoding, "$1" + name, std::regex_constants::format_first_only);
    return true;
}

} // namespace

TEST(EncodingDocuments, Utf16ReadsLikeItsUtf8Twin) {
    std::vector<std::pair<std::string, std::string>> docs;  // name, UTF-8 text
    for (const auto& entry : std::filesystem::directory_iterator(OSTREL_ENCODING_DATA))
        docs.emplace_back(entry.path().filename().string(),
                          ostrel_test::readFile(entry.path().string()));
    // Characters outside the Basic Multilingual Plane are two code units: with each shift
    // one pair is split by the 64 KiB blocks of one of the byte order mark variants, and
    // the text runs across several blocks.
    for (int shift = 0; shift < 2; ++shift) {
        std::string text(static_cast<size_t>(30 + shift), 'p');
        for (int i = 0; i < 50000; ++i) text += i % 1000 == 999 ? "\n\xC3\xA4" : "\xF0\x9F\x98\x80";
        docs.emplace_back("generated, shift " + std::to_string(shift),
                          "<?xml version='1.0' encoding='UTF-8'?>\n<a x='\xE2\x82\xAC'>" + text +
                              "<b/>\n</a>");
    }
    ASSERT_GE(docs.size(), 6u);
    // The twins, little- and big-endian, with a byte order mark and without, and the encoding
    // each names in its declaration.
    const char* const names[] = {"UTF-16LE", "utf-16", "utf-16", "UTF-16BE"};
    for (const auto& doc : docs) {
        for (bool preprocess : {true, false}) {
            const std::vector<std::string> expected = scan(doc.second, preprocess, true);
            for (int v = 0; v < 4; ++v) {
                const bool bigEndian = v % 2, byteOrderMark = v < 2;
                std::string twin = doc.second;
                if (!renameEncoding(twin, names[v]) && !byteOrderMark) continue;
                // (The events may be long: only the case is named.)
                EXPECT_TRUE(scan(utf16(twin, bigEndian, byteOrderMark), preprocess, true) == expected)
                    << doc.first << ": " << names[v] << (byteOrderMark ? " with" : " without")
                    << " byte order mark, preprocess " << preprocess;
            }
        }
    }
}

TEST(EncodingErrors, BadEncodingsAreRefusedWhereTheyStand) {
    const auto cases = ostrel_test::readCases(OSTREL_SCANNER_DATA "/encoding_errors.txt");
    EXPECT_GE(cases.size(), 24u);
    for (const auto& c : cases) {
        const std::string& form = c.fields[0].text;
        const std::string& text = c.fields[1].text;
        const std::string bytes =
            (form == "bytes" ? text : utf16(text, form[0] == 'b', form.size() == 5)) +
            (c.fields.size() > 3 ? c.fields[3].text : "");
        EXPECT_EQ(scan(bytes), std::vector<std::string>{c.fields[2].text}) << c.where;
    }
}

#if __has_include(<iconv.h>) && !defined(_WIN32)
#include <iconv.h>

namespace {

// The UTF-8 of byte b in iconv's character set cd; empty when it stands for none there.
std::string iconvByte(iconv_t cd, unsigned char b) {
    char in[1] = {static_cast<char>(b)}, out[8];
    char* from = in;
    char* to = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &from, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) return "";
    return std::string(out, static_cast<size_t>(to - out));
}

} // namespace

TEST(EncodingCharsets, EachByteReadsAsIconvDecodesItAndUndefinedOnesAreRefused) {
    const auto cases = ostrel_test::readCases(OSTREL_SCANNER_DATA "/charsets.txt");
    EXPECT_GE(cases.size(), 26u);
    for (const auto& c : cases) {
        const std::string& name = c.fields[0].text;
        const iconv_t cd = iconv_open("UTF-8", c.fields.back().text.c_str());
        ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << c.where;
        std::string bytes, expected;
        int undefined = -1;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const std::string utf8 = iconvByte(cd, static_cast<unsigned char>(b));
            if (utf8.empty() && undefined < 0) undefined = b;
            if (!utf8.empty()) bytes += static_cast<char>(b);
            expected += utf8;
        }
        iconv_close(cd);
        const std::string head = "<?xml version='1.0' encoding='" + name + "'?>\n<a>";
        EXPECT_EQ(scan(head + bytes + "</a>"),
                  (std::vector<std::string>{"<a>", "'" + expected + "'", "</a>"}))
            << c.where;
        if (name == "windows-1252") {
            // Three bytes of UTF-8 for each byte read, across the input's blocks.
            const std::string euros(200000, '\x80');
            std::string text;
            for (size_t i = 0; i < euros.size(); ++i) text += "\xE2\x82\xAC";
            EXPECT_EQ(scan(head + euros + "</a>"),
                      (std::vector<std::string>{"<a>", "'" + text + "'", "</a>"}));
        }
        if (undefined >= 0) {
            EXPECT_EQ(scan(head + "x" + static_cast<char>(undefined) + "</a>"),
                      std::vector<std::string>{"ERROR 2:5: this byte stands for no character in "
                                               "the encoding the XML declaration names"})
                << c.where << " byte " << undefined;
        }
    }
}
#endif
