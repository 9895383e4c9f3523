#include "ostrelxml/prologue.h"

#include "ostrelxml/charsets.h"
#include "ostrelxml/xmlchars.h"

#include <cctype>
#include <cstdio>

namespace ostrel_xml {

namespace {

const std::string kRead = std::string("only ") + kEncodingsRead + " are read";

// How the first bytes say the text is encoded.
struct Detected {
    Encoding encoding = Encoding::Utf8;
    bool byteOrderMark = false;
};

bool isUtf16(Encoding e) { return e == Encoding::Utf16LE || e == Encoding::Utf16BE; }

// XML 1.0 Appendix F: a byte order mark, or '<?xml' in the encoding families it tells apart.
Detected detect(Input& in) {
    const int b0 = in.peek(0), b1 = in.peek(1), b2 = in.peek(2), b3 = in.peek(3);
    auto is = [&](int c0, int c1, int c2, int c3) {
        return b0 == c0 && b1 == c1 && b2 == c2 && b3 == c3;
    };
    if (is(0, 0, 0xFE, 0xFF) || is(0xFF, 0xFE, 0, 0) || is(0, 0, 0xFF, 0xFE) ||
        is(0xFE, 0xFF, 0, 0))
        in.fail(std::string("the file begins with a UTF-32 (UCS-4) byte order mark; that "
                            "encoding is not supported: ") + kRead);
    if (is(0, 0, 0, '<') || is('<', 0, 0, 0) || is(0, 0, '<', 0) || is(0, '<', 0, 0))
        in.fail(std::string("the file looks UTF-32 (UCS-4) encoded; that encoding is not "
                            "supported: ") + kRead);
    if (is(0x4C, 0x6F, 0xA7, 0x94))
        in.fail(std::string("the file looks EBCDIC encoded; that encoding is not supported: ") +
                kRead);
    if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) return {Encoding::Utf8, true};
    if (b0 == 0xFF && b1 == 0xFE) return {Encoding::Utf16LE, true};
    if (b0 == 0xFE && b1 == 0xFF) return {Encoding::Utf16BE, true};
    if (is('<', 0, '?', 0)) return {Encoding::Utf16LE, false};
    if (is(0, '<', 0, '?')) return {Encoding::Utf16BE, false};
    if ((b0 > 0 && b1 == 0 && b2 > 0 && b3 == 0) || (b0 == 0 && b1 > 0 && b2 == 0 && b3 > 0))
        in.fail("the file looks UTF-16 encoded but has no byte order mark; without one it "
                "must begin with an XML declaration naming encoding 'UTF-16'");
    return {};
}

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The encodings read, by the names a declaration may give them (upper case); false for
// any other name. An 8-bit set other than Latin-1 is Latin1 with its highHalf.
bool encodingNamed(const std::string& name, Encoding& encoding, bool& eitherEndian,
                   const char16_t*& highHalf) {
    eitherEndian = false;
    highHalf = nullptr;
    if (name == "UTF-8" || name == "UTF8") {
        encoding = Encoding::Utf8;
    } else if (name == "US-ASCII" || name == "ASCII") {
        encoding = Encoding::Ascii;
    } else if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "ISO_8859-1" ||
               name == "LATIN1" || name == "LATIN-1" || name == "L1" || name == "ISO-LATIN-1") {
        encoding = Encoding::Latin1;
    } else if (name == "UTF-16" || name == "UTF16") {
        encoding = Encoding::Utf16LE;
        eitherEndian = true;
    } else if (name == "UTF-16LE" || name == "UTF16LE") {
        encoding = Encoding::Utf16LE;
    } else if (name == "UTF-16BE" || name == "UTF16BE") {
        encoding = Encoding::Utf16BE;
    } else if ((highHalf = charsetNamed(name))) {
        encoding = Encoding::Latin1;
    } else {
        return false;
    }
    return true;
}

std::string describeDetected(const Detected& d) {
    if (d.encoding == Encoding::Utf8) return d.byteOrderMark ? "UTF-8 byte order mark" : "";
    const char* order = d.encoding == Encoding::Utf16LE ? "little-endian" : "big-endian";
    return std::string(d.byteOrderMark ? "UTF-16 byte order mark (" : "UTF-16 bytes (") +
           order + ")";
}

// Checks the name a declaration gives (at line, column) against the bytes and sets the
// encoding it names.
void applyEncoding(Input& in, const Detected& detected, const std::string& name, long long line,
                   long long column) {
    Encoding named = Encoding::Utf8;
    bool eitherEndian = false;
    const char16_t* highHalf = nullptr;
    if (!encodingNamed(upper(name), named, eitherEndian, highHalf))
        throwScanError(in.fileName(), line, column,
                       "encoding '" + name + "' is not supported: " + kRead);
    const bool agrees =
        isUtf16(detected.encoding)
            ? isUtf16(named) && (eitherEndian || named == detected.encoding)
            : !isUtf16(named) && !(detected.byteOrderMark && named == Encoding::Latin1);
    if (!agrees) {
        if (!isUtf16(detected.encoding) && !detected.byteOrderMark)
            throwScanError(in.fileName(), line, column,
                           "encoding '" + name + "' contradicts the file's bytes, which are "
                           "8-bit: a UTF-16 file begins with a byte order mark or '<?xml' in "
                           "UTF-16");
        throwScanError(in.fileName(), line, column,
                       "encoding '" + name + "' contradicts the file's " +
                           describeDetected(detected));
    }
    if (!isUtf16(named)) in.setEncoding(named, highHalf);
}

bool isEncodingName(const std::string& s) {
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0]))) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_' && c != '-')
            return false;
    return true;
}

class DeclarationReader {
public:
    DeclarationReader(Input& in, DeclarationKind kind)
        : in(in), what(kind == DeclarationKind::Document ? "XML declaration" : "text declaration"),
          document(kind == DeclarationKind::Document) {}

    // Reads from '<?xml' to '?>'; the encoding's position goes to encodingLine/Column.
    Declaration read() {
        Declaration d;
        d.present = true;
        in.skip(5);
        // '<?xml' is followed by white space or '?' (else it would be a processing instruction).
        bool space = skipSpace(in);
        if (document || in.lookingAt("version")) {
            if (!in.lookingAt("version"))
                in.fail("expected 'version' in the " + what + ", found " + describeNext(in));
            in.skip(7);
            readEq("version");
            const long long line = in.line(), column = in.column();
            d.version = readLiteral(in, "version number");
            bool good = d.version.size() > 2 && d.version.compare(0, 2, "1.") == 0;
            for (size_t i = 2; good && i < d.version.size(); ++i)
                good = d.version[i] >= '0' && d.version[i] <= '9';
            if (!good)
                throwScanError(in.fileName(), line, column,
                               "XML version '" + d.version + "' is not supported: expected '1.0'");
            space = skipSpace(in);
        }
        if (space && in.lookingAt("encoding")) {
            in.skip(8);
            readEq("encoding");
            encodingLine = in.line();
            encodingColumn = in.column();
            d.encoding = readLiteral(in, "encoding name");
            if (!isEncodingName(d.encoding))
                throwScanError(in.fileName(), encodingLine, encodingColumn,
                               "'" + d.encoding + "' is no encoding name: expected a letter, "
                               "then letters, digits, '.', '_' or '-'");
            space = skipSpace(in);
        } else if (!document) {
            in.fail("expected white space and 'encoding' in the text declaration, found " +
                    describeNext(in));
        }
        if (document && space && in.lookingAt("standalone")) {
            in.skip(10);
            readEq("standalone");
            const long long line = in.line(), column = in.column();
            const std::string value = readLiteral(in, "standalone value");
            if (value != "yes" && value != "no")
                throwScanError(in.fileName(), line, column,
                               "standalone must be 'yes' or 'no', not '" + value + "'");
            d.standalone = value == "yes";
            skipSpace(in);
        }
        if (!in.lookingAt("?>"))
            in.fail("expected '?>' to end the " + what + ", found " + describeNext(in));
        in.skip(2);
        return d;
    }

    long long encodingLine = 1;
    long long encodingColumn = 1;

private:
    void readEq(const char* name) {
        skipSpace(in);
        if (in.peek() != '=')
            in.fail(std::string("expected '=' after '") + name + "' in the " + what +
                    ", found " + describeNext(in));
        in.skip(1);
        skipSpace(in);
    }

    Input& in;
    const std::string what;
    const bool document;
};

} // namespace

Declaration readDeclaration(Input& in, DeclarationKind kind) {
    const Detected detected = detect(in);
    if (detected.encoding != Encoding::Utf8) in.setEncoding(detected.encoding);
    if (detected.byteOrderMark) in.skipByteOrderMark();

    DeclarationReader reader(in, kind);
    Declaration d;
    const int after = in.peek(5);
    if (in.lookingAt("<?xml") && (isSpace(after) || after == '?')) d = reader.read();
    if (!d.encoding.empty()) {
        applyEncoding(in, detected, d.encoding, reader.encodingLine, reader.encodingColumn);
    } else if (isUtf16(detected.encoding) && !detected.byteOrderMark) {
        throwScanError(in.fileName(), 1, 1,
                       "the file is UTF-16 without a byte order mark; it must name encoding "
                       "'UTF-16' in its XML declaration");
    }
    return d;
}

bool skipSpace(Input& in) {
    if (!isSpace(in.peek())) return false;
    in.scan(kSpaceRun);
    // What the run leaves: a carriage return, or the end of the buffer.
    while (isSpace(in.peek())) {
        in.take(nullptr);
        in.scan(kSpaceRun);
    }
    return true;
}

std::string readLiteral(Input& in, const std::string& what) {
    const int quote = in.peek();
    if (quote != '"' && quote != '\'')
        in.fail("expected the " + what + " in quotes, found " + describeNext(in));
    const long long line = in.line(), column = in.column();
    in.skip(1);
    std::string value;
    for (;;) {
        const int b = in.peek();
        if (b < 0)
            throwScanError(in.fileName(), line, column,
                           "the file ends inside the " + what + " that begins here: expected " +
                               std::string(1, static_cast<char>(quote)));
        if (b == quote) break;
        in.take(&value);
    }
    in.skip(1);
    return value;
}

std::string describeNext(Input& in) {
    const long c = in.peekChar();
    if (c != -2) return describeChar(c);
    // What UTF-16 conversion marks there, take() names; other bytes may be anything.
    if (isUtf16(in.encoding())) in.take(nullptr);
    char buf[16];
    std::snprintf(buf, sizeof buf, "byte 0x%02X", in.peek());
    return buf;
}

} // namespace ostrel_xml
