// The XML scanner: events, positions, text and attribute normalization, encodings, and
// the errors of bad input.
#include "support/scan_util.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ostrel_test::scanError;
using ostrel_test::scanEvents;
using Events = std::vector<std::string>;

TEST(ScannerEvents, ElementsAttributesAndTextInOrderWithPositions) {
    EXPECT_EQ(scanEvents("<a x=\"1\" y='2'>hi<b/>\n <c>t</c></a>", true, true),
              (Events{"<a x='1' y='2'>@1:1", "'hi'@1:16", "<b>@1:18", "</b>@1:18",
                      "'\n '@1:22", "<c>@2:2", "'t'@2:5", "</c>@2:6", "</a>@2:10"}));
}

TEST(ScannerEvents, EndTagMayCarryWhiteSpaceAndStartTagsNewlines) {
    EXPECT_EQ(scanEvents("<a\n  x='1'\n></a  >"), (Events{"<a x='1'>", "</a>"}));
}

TEST(ScannerEvents, CommentsAndProcessingInstructionsAreSkippedAndTextAroundThemMerged) {
    EXPECT_EQ(scanEvents("<?pi data?><!-- c --><a>x<!-- y -->z<?t d?>w</a><!-- end --><?e?>"),
              (Events{"<a>", "'xzw'", "</a>"}));
}

TEST(ScannerEvents, CDataIsTextTakenLiterallyAndMergedWithItsNeighbours) {
    EXPECT_EQ(scanEvents("<a>x<![CDATA[<b>&amp;]]]]><![CDATA[>]]>y</a>"),
              (Events{"<a>", "'x<b>&amp;]]>y'", "</a>"}));
}

TEST(ScannerEvents, LineEndsBecomeLineFeedsInTextAndCData) {
    EXPECT_EQ(scanEvents("<a>1\r\n2\r3\n4<![CDATA[5\r\n6]]></a>"),
              (Events{"<a>", "'1\n2\n3\n45\n6'", "</a>"}));
}

TEST(ScannerEvents, CrLfCountsAsOneLineForPositions) {
    EXPECT_EQ(scanEvents("<a>\r\n<b/>\r\r<c/></a>", true, true),
              (Events{"<a>@1:1", "'\n'@1:4", "<b>@2:1", "</b>@2:1", "'\n\n'@2:5", "<c>@4:1",
                      "</c>@4:1", "</a>@4:5"}));
}

TEST(ScannerAttributes, WhiteSpaceIsNormalizedButCharacterReferencesKeepTheirs) {
    EXPECT_EQ(scanEvents("<a v='x\ty\nz\r\nw' r='1&#9;2&#10;3&#13;4' s=\"&#32; \"/>"),
              (Events{"<a v='x y z w' r='1\t2\n3\r4' s='  '>", "</a>"}));
}

TEST(ScannerAttributes, QuotesOfTheOtherKindAndPredefinedEntitiesStandInValues) {
    EXPECT_EQ(scanEvents("<a q=\"it's\" d='say \"hi\"' e='&lt;&gt;&amp;&apos;&quot;'/>"),
              (Events{"<a q='it's' d='say \"hi\"' e='<>&'\"'>", "</a>"}));
}

TEST(ScannerAttributes, TokenizedTypesDeclaredInTheInternalSubsetCollapseBlanks) {
    EXPECT_EQ(scanEvents("<!DOCTYPE a [<!ATTLIST a t NMTOKENS #IMPLIED c CDATA #IMPLIED "
                         "e (x|y) 'x'>]><a t='  p   q ' c='  p   q ' e=' y '/>"),
              (Events{"<a t='p q' c='  p   q ' e='y'>", "</a>"}));
}

TEST(ScannerReferences, CharacterReferencesBecomeUtf8) {
    EXPECT_EQ(scanEvents("<a>&#65;&#x42;&#233;&#x20AC;&#x1F600;</a>"),
              (Events{"<a>", "'AB\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80'", "</a>"}));
}

TEST(ScannerReferences, WithoutPreprocessingReferencesStayAsWritten) {
    EXPECT_EQ(scanEvents("<!DOCTYPE a [<!ENTITY e 'x'>]><a v='&e;&#65;'>&e;&#65;&lt;&undefined;</a>",
                         false),
              (Events{"<a v='&e;&#65;'>", "'&e;&#65;&lt;&undefined;'", "</a>"}));
    EXPECT_EQ(scanError("<a>&</a>", false).substr(5),
              "'&' must begin a reference such as '&amp;' or '&#38;' (write '&amp;' for a "
              "literal '&')");
}

TEST(ScannerDoctype, NameAndSystemIdentifierAreReported) {
    ostrel_test::TempFile file("doctype.xml");
    ostrel_test::writeFile(file.path(),
                           "<!DOCTYPE reg PUBLIC '-//X//DTD reg//EN' \"reg.dtd\" [\n"
                           "<!ELEMENT reg (#PCDATA)>\n<!NOTATION n SYSTEM 'n>'>\n"
                           "<!-- ] > --><?pi ]>?>\n]>\n<reg/>");
    ostrel_test::EventRecorder recorder;
    recorder.ImportFromFile(file.path(), true);
    EXPECT_EQ(recorder.doctypeName, "reg");
    EXPECT_EQ(recorder.systemId, "reg.dtd");
    EXPECT_EQ(recorder.events, (Events{"<reg>", "</reg>"}));
}

TEST(ScannerEncodings, Utf8ByteOrderMarkIsSkippedAndTakesNoColumn) {
    EXPECT_EQ(scanEvents("\xEF\xBB\xBF<a>\xC3\xA9</a>", true, true),
              (Events{"<a>@1:1", "'\xC3\xA9'@1:4", "</a>@1:5"}));
}

TEST(ScannerEncodings, Latin1IsConvertedToUtf8) {
    EXPECT_EQ(scanEvents("<?xml version='1.0' encoding='ISO-8859-1'?><a n='\xE9'>\xC4rger \xFF</a>"),
              (Events{"<a n='\xC3\xA9'>", "'\xC3\x84rger \xC3\xBF'", "</a>"}));
}

TEST(ScannerEncodings, Latin1ConversionHoldsAcrossBlocks) {
    std::string text(200000, '\xE9');
    std::vector<std::string> events =
        scanEvents("<?xml version=\"1.0\" encoding=\"latin1\"?><a>" + text + "</a>");
    ASSERT_EQ(events.size(), 3u);
    std::string expected;
    for (size_t i = 0; i < text.size(); ++i) expected += "\xC3\xA9";
    EXPECT_EQ(events[1], "'" + expected + "'");
}

TEST(ScannerEncodings, AsciiAndUtf8DeclarationsAreRead) {
    EXPECT_EQ(scanEvents("<?xml version='1.0' encoding='us-ascii' standalone='yes'?><a/>"),
              (Events{"<a>", "</a>"}));
    EXPECT_EQ(scanEvents("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<a/>"),
              (Events{"<a>", "</a>"}));
}

TEST(ScannerEncodings, OtherEncodingsAndBytesBeyondAsciiAreRefused) {
    EXPECT_EQ(scanError("<?xml version='1.0' encoding='Shift_JIS'?><a/>"),
              "1:30: encoding 'Shift_JIS' is not supported: only UTF-8, UTF-16, US-ASCII and "
              "ISO-8859-1 are read");
    EXPECT_EQ(scanError("<?xml version='1.0' encoding='US-ASCII'?>\n<a>caf\xC3\xA9</a>"),
              "2:7: byte 0xC3 is not US-ASCII, the encoding the XML declaration names");
}

TEST(ScannerEncodings, BadUtf8AndForbiddenCharactersAreRefusedWhereTheyStand) {
    EXPECT_EQ(scanError("<a>ok\n  \xC3\x28</a>"),
              "2:3: byte 0xC3 does not begin a UTF-8 character (declare "
              "encoding='ISO-8859-1' for Latin-1 text)");
    EXPECT_EQ(scanError("<a>\xED\xA0\x80</a>").substr(0, 16), "1:4: byte 0xED d");
    EXPECT_EQ(scanError("<a>\xEF\xBF\xBE</a>"), "1:4: character U+FFFE is not allowed in XML");
    EXPECT_EQ(scanError("<a x='\x01'/>"), "1:7: character U+0001 is not allowed in XML");
}

TEST(ScannerBlocks, TokensSplitByBlockBoundariesAreReadWhole) {
    // Put each kind of token across the 64 KiB boundary of the input's blocks.
    const std::vector<std::string> tails = {"\xE2\x82\xAC", "]]>", "&amp;", "-->", "</b>",
                                            "\r\n"};
    for (const std::string& tail : tails) {
        for (size_t shift = 0; shift < 6; ++shift) {
            std::string head = "<a><b>";
            std::string pad(65536 - head.size() - shift - 2, 'p');
            std::string doc = head + pad;
            std::string expected = pad;
            if (tail == "]]>") {
                doc += "<![CDATA[x]]>";
                expected += "x";
            } else if (tail == "-->") {
                doc += "<!-- c -->";
            } else if (tail == "&amp;") {
                doc += "&amp;";
                expected += "&";
            } else if (tail == "\r\n") {
                doc += "\r\n";
                expected += "\n";
            } else if (tail != "</b>") {
                doc += tail;
                expected += tail;
            }
            doc += "</b></a>";
            Events events = scanEvents(doc);
            ASSERT_EQ(events.size(), 5u) << tail << shift;
            EXPECT_EQ(events[2], "'" + expected + "'") << tail << shift;
        }
    }
}

TEST(ScannerDepth, NestingBeyondTheLimitIsAnErrorAtTheStartTag) {
    EXPECT_EQ(scanError("<a><b><c/></b></a>", true, 3), "");
    EXPECT_EQ(scanError("<a><b>\n <c><d/></c></b></a>", true, 3),
              "2:5: element 'd' is nested 4 levels deep; at most 3 levels are read");
}

TEST(ScannerErrors, MessagesNameFileLineColumnAndWhatWasExpected) {
    EXPECT_EQ(scanError("<a>\n  <b>\n</a>"),
              "3:1: end tag '</a>' does not match the start tag '<b>' at line 2, column 3: "
              "expected '</b>'");
    EXPECT_EQ(scanError("<a x='1' x='2'/>"),
              "1:10: attribute 'x' is repeated in the start tag of 'a' (first at line 1, column 4)");
    EXPECT_EQ(scanError("<a>\n<b>"),
              "2:4: the file ends inside element 'b' (opened at line 2, column 1): expected '</b>'");
    EXPECT_EQ(scanError("<a/>\n<b/>"),
              "2:1: a second root element after the first has closed; a document has exactly "
              "one root element");
}

TEST(ScannerErrors, RepeatedAttributesAreFoundAmongMany) {
    std::string tag = "<a";
    for (int i = 0; i < 40; ++i) tag += " n" + std::to_string(i) + "='v'";
    EXPECT_EQ(scanError(tag + "/>"), "");
    EXPECT_EQ(scanError(tag + " n7='w'/>"),
              "1:" + std::to_string(tag.size() + 2) +
                  ": attribute 'n7' is repeated in the start tag of 'a' (first at line 1, "
                  "column 53)");
}
