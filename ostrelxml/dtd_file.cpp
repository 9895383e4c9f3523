// DTD files: the external subset and external parameter entities, read whole through
// Input (which decodes them and checks every character) after their text declaration.
#include "ostrelxml/dtd_reader.h"

#include "ostrelxml/input.h"
#include "ostrelxml/xmlchars.h"

#include <cstdio>

namespace ostrel_xml {

namespace {

const RunTable kEverything = runUntil("", true);

void skipBlank(Input& in) {
    while (isSpace(in.peek())) in.take(nullptr);
}

std::string quotedValue(Input& in, const char* what) {
    const int quote = in.peek();
    if (quote != '"' && quote != '\'')
        in.fail(std::string("expected the ") + what + " in quotes in the text declaration, "
                "found " + describeChar(in.peekChar()));
    in.skip(1);
    std::string value;
    while (in.peek() != quote) {
        if (in.peek() < 0 || in.peek() == '?' || in.peek() == '>')
            in.fail(std::string("the ") + what + " in the text declaration is not closed");
        in.take(&value);
    }
    in.skip(1);
    return value;
}

// name = "value": the value, and in line and column where its quote stands.
std::string readPseudoAttribute(Input& in, const char* name, long long& line,
                                long long& column) {
    in.skip(std::char_traits<char>::length(name));
    skipBlank(in);
    if (in.peek() != '=')
        in.fail(std::string("expected '=' after '") + name + "' in the text declaration, found " +
                describeChar(in.peekChar()));
    in.skip(1);
    skipBlank(in);
    line = in.line();
    column = in.column();
    return quotedValue(in, name);
}

// <?xml version="1.0"? encoding="..."?>: the encoding is required, standalone is not
// allowed.
void readTextDeclaration(Input& in) {
    in.skip(5);
    skipBlank(in);
    long long line = 0, column = 0;
    if (in.lookingAt("version")) {
        const std::string version = readPseudoAttribute(in, "version", line, column);
        bool good = version.size() > 2 && version.compare(0, 2, "1.") == 0;
        for (size_t i = 2; good && i < version.size(); ++i)
            good = version[i] >= '0' && version[i] <= '9';
        if (!good)
            throwScanError(in.fileName(), line, column,
                           "XML version '" + version + "' is not supported: expected '1.0'");
        if (!isSpace(in.peek()))
            in.fail("expected white space and 'encoding' after the version in the text "
                    "declaration, found " + describeChar(in.peekChar()));
        skipBlank(in);
    }
    if (!in.lookingAt("encoding"))
        in.fail("expected 'encoding' in the text declaration (a text declaration names its "
                "encoding), found " + describeChar(in.peekChar()));
    const std::string encoding = readPseudoAttribute(in, "encoding", line, column);
    skipBlank(in);
    if (in.lookingAt("standalone"))
        in.fail("a text declaration may not say 'standalone'");
    if (!in.lookingAt("?>"))
        in.fail("expected '?>' to end the text declaration, found " +
                describeChar(in.peekChar()));
    in.skip(2);
    std::string name = encoding;
    for (char& c : name)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (name == "UTF-8" || name == "UTF8") return;
    if (name == "US-ASCII" || name == "ASCII") {
        in.setEncoding(Encoding::Ascii);
    } else if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "LATIN1" ||
               name == "ISO_8859-1" || name == "LATIN-1" || name == "L1") {
        in.setEncoding(Encoding::Latin1);
    } else {
        throwScanError(in.fileName(), line, column,
                       "encoding '" + encoding +
                           "' is not supported: only UTF-8, US-ASCII and ISO-8859-1 are read");
    }
}

} // namespace

bool loadDtdText(const std::string& path, DtdText& out) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return false;
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{stream};
    Input in(stream, path);
    const int b0 = in.peek(0), b1 = in.peek(1), b2 = in.peek(2);
    if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) {
        in.skipByteOrderMark();
    } else if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0xFF && b1 == 0xFE) || (b0 == '<' && b1 == 0) ||
               (b0 == 0 && b1 == '<')) {
        in.fail("the file looks UTF-16 encoded; only UTF-8, US-ASCII and ISO-8859-1 are read");
    }
    if (in.lookingAt("<?xml") && isSpace(in.peek(5))) readTextDeclaration(in);
    out.line = in.line();
    out.column = in.column();
    out.text.clear();
    for (;;) {
        const char* run = in.data();
        const size_t n = in.scan(kEverything);
        out.text.append(run, n);
        if (in.peek() < 0) return true;
        in.take(&out.text);
    }
}

Dtd readDtdFile(const std::string& path) {
    DtdText loaded;
    if (!loadDtdText(path, loaded)) throwScanError(path, 1, 1, "cannot open the DTD file");
    Dtd dtd;
    dtd.files.push_back(path);
    DtdSource source;
    DtdReader::Options options;
    options.externalSubset = true;
    options.inputBytes = static_cast<long long>(loaded.text.size());
    source.pushTracked(std::move(loaded.text), source.fileName(path), loaded.line,
                       loaded.column, std::string(), true);
    DtdReader(dtd, source, options).run();
    return dtd;
}

} // namespace ostrel_xml
