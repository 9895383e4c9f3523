// The prolog: byte order mark, XML declaration, DOCTYPE with its internal subset.
#include "ostrelxml/scanner_impl.h"

#include "ostrelxml/dtd_parser.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

#include <cctype>

namespace ostrel_xml {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool isPubidChar(long c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    static const std::string extra = " \r\n-'()+,./:=?;!*#@$_%";
    return c > 0 && c < 0x80 && extra.find(static_cast<char>(c)) != std::string::npos;
}

} // namespace

void Scanner::Impl::readProlog() {
    int b0 = in.peek(0), b1 = in.peek(1), b2 = in.peek(2), b3 = in.peek(3);
    if (b0 == 0xEF && b1 == 0xBB && b2 == 0xBF) {
        in.skipByteOrderMark();
        byteOrderMark = true;
    } else if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0xFF && b1 == 0xFE) ||
               (b0 == 0 && b1 == 0 && b2 == 0xFE && b3 == 0xFF)) {
        in.fail("the file begins with a UTF-16 or UTF-32 byte order mark; only UTF-8, "
                "US-ASCII and ISO-8859-1 documents are read");
    } else if ((b0 == '<' && b1 == 0) || (b0 == 0 && b1 == '<')) {
        in.fail("the file looks UTF-16 encoded; only UTF-8, US-ASCII and ISO-8859-1 "
                "documents are read");
    }
    if (in.peek() < 0) in.fail("the file is empty: expected an XML document");
    if (in.lookingAt("<?xml") && isSpace(in.peek(5))) readXmlDeclaration();

    bool doctype = false;
    for (;;) {
        skipSpace();
        int b = in.peek();
        if (b < 0) in.fail("the file ends before its root element: expected '<' and a name");
        if (b != '<')
            in.fail("expected '<' to begin the root element, found " + found() +
                    " (this does not look like an XML document)");
        if (in.peek(1) == '?') {
            readProcessingInstruction();
        } else if (in.lookingAt("<!--")) {
            readComment();
        } else if (in.lookingAt("<!DOCTYPE")) {
            if (doctype) in.fail("a second DOCTYPE declaration; a document has at most one");
            readDoctype();
            doctype = true;
        } else if (in.peek(1) == '!') {
            in.fail("expected a comment, a DOCTYPE declaration or the root element after '<!'");
        } else if (in.peek(1) == '/') {
            in.fail("an end tag before the root element: it has no start tag");
        } else {
            return;  // the root's start tag
        }
    }
}

void Scanner::Impl::readXmlDeclaration() {
    in.skip(5);
    skipSpace();
    auto readEq = [&](const char* what) {
        skipSpace();
        if (in.peek() != '=')
            in.fail(std::string("expected '=' after '") + what +
                    "' in the XML declaration, found " + found());
        in.skip(1);
        skipSpace();
    };
    if (!in.lookingAt("version"))
        in.fail("expected 'version' in the XML declaration, found " + found());
    in.skip(7);
    readEq("version");
    long long vl = in.line(), vc = in.column();
    std::string version = readLiteral("version number");
    bool good = version.size() > 2 && version.compare(0, 2, "1.") == 0;
    for (size_t i = 2; good && i < version.size(); ++i)
        good = version[i] >= '0' && version[i] <= '9';
    if (!good) failAt(vl, vc, "XML version '" + version + "' is not supported: expected '1.0'");

    bool space = skipSpace();
    std::string encoding;
    long long el = 0, ec = 0;
    if (space && in.lookingAt("encoding")) {
        in.skip(8);
        readEq("encoding");
        el = in.line();
        ec = in.column();
        encoding = readLiteral("encoding name");
        space = skipSpace();
    }
    if (space && in.lookingAt("standalone")) {
        in.skip(10);
        readEq("standalone");
        long long sl = in.line(), sc = in.column();
        std::string value = readLiteral("standalone value");
        if (value != "yes" && value != "no")
            failAt(sl, sc, "standalone must be 'yes' or 'no', not '" + value + "'");
        standalone = value == "yes";
        skipSpace();
    }
    if (!in.lookingAt("?>"))
        in.fail("expected '?>' to end the XML declaration, found " + found());
    in.skip(2);

    if (encoding.empty()) return;
    const std::string name = upper(encoding);
    if (name == "UTF-8" || name == "UTF8") return;
    if (name == "US-ASCII" || name == "ASCII") {
        in.setEncoding(Encoding::Ascii);
        return;
    }
    if (name == "ISO-8859-1" || name == "ISO8859-1" || name == "ISO_8859-1" ||
        name == "LATIN1" || name == "LATIN-1" || name == "L1" || name == "ISO-LATIN-1") {
        if (byteOrderMark)
            failAt(el, ec, "encoding '" + encoding +
                               "' contradicts the file's UTF-8 byte order mark");
        in.setEncoding(Encoding::Latin1);
        return;
    }
    failAt(el, ec, "encoding '" + encoding +
                       "' is not supported: only UTF-8, US-ASCII and ISO-8859-1 are read");
}

std::string Scanner::Impl::readLiteral(const std::string& what) {
    int quote = in.peek();
    if (quote != '"' && quote != '\'')
        in.fail("expected the " + what + " in quotes, found " + found());
    long long ql = in.line(), qc = in.column();
    in.skip(1);
    std::string value;
    for (;;) {
        int b = in.peek();
        if (b < 0)
            failAt(ql, qc, "the file ends inside the " + what + " that begins here: expected " +
                               std::string(1, static_cast<char>(quote)));
        if (b == quote) break;
        in.take(&value);
    }
    in.skip(1);
    return value;
}

void Scanner::Impl::readDoctype() {
    in.skip(9);
    if (!skipSpace()) in.fail("expected white space after '<!DOCTYPE', found " + found());
    if (!readName(doctypeName))
        in.fail("expected the root element's name after '<!DOCTYPE', found " + found());
    bool space = skipSpace();
    if (space && (in.lookingAt("SYSTEM") || in.lookingAt("PUBLIC"))) {
        readExternalId(publicId, systemId);
        entities.setHasExternalSubset(true);
        skipSpace();
    }
    if (in.peek() == '[') {
        in.skip(1);
        readInternalSubset();
        skipSpace();
    }
    if (in.peek() != '>')
        in.fail("expected '>' to end the DOCTYPE declaration, found " + found());
    in.skip(1);
}

void Scanner::Impl::readExternalId(std::string& pub, std::string& sys) {
    bool isPublic = in.lookingAt("PUBLIC");
    in.skip(6);
    if (!skipSpace())
        in.fail(std::string("expected white space after '") + (isPublic ? "PUBLIC" : "SYSTEM") +
                "', found " + found());
    if (isPublic) {
        long long pl = in.line(), pc = in.column();
        pub = readLiteral("public identifier");
        for (char c : pub)
            if (!isPubidChar(static_cast<unsigned char>(c)))
                failAt(pl, pc, "the public identifier holds " +
                                   describeChar(static_cast<unsigned char>(c)) +
                                   ", which public identifiers may not contain");
        if (!skipSpace())
            in.fail("expected white space and the system identifier after the public "
                    "identifier, found " + found());
    }
    sys = readLiteral("system identifier");
}

void Scanner::Impl::readInternalSubset() {
    // The subset is gathered as text (decoded and checked like the rest of the document)
    // up to the ']' that ends it, then read whole by the DTD reader. A ']' ends it only
    // outside literals, comments and processing instructions.
    InternalSubsetContext context;
    context.file = in.fileName();
    context.line = in.line();
    context.column = in.column();
    context.hasExternalSubset = !systemId.empty();
    context.standalone = standalone;
    std::string subset;
    enum { Between, Declaration, Literal, Comment, Instruction } state = Between;
    int quote = 0;
    for (;;) {
        const int b = in.peek();
        if (b < 0) in.fail("the file ends inside the DOCTYPE's internal subset: expected ']'");
        switch (state) {
        case Between:
            if (b == ']') {
                in.skip(1);
                dtd = parseInternalSubset(subset, context);
                for (const DtdEntity& entity : dtd.entities) {
                    EntityDecl decl;
                    decl.value = entity.value;
                    decl.external = entity.external;
                    decl.unparsed = !entity.notation.empty();
                    if (entity.parameter)
                        entities.declareParameter(entity.name, std::move(decl));
                    else
                        entities.declareGeneral(entity.name, std::move(decl));
                }
                return;
            }
            if (in.lookingAt("<!--")) {
                state = Comment;
                subset += "<!--";
                in.skip(4);
                continue;
            }
            if (in.lookingAt("<?")) state = Instruction;
            else if (in.lookingAt("<!")) state = Declaration;
            break;
        case Declaration:
            if (b == '"' || b == '\'') {
                state = Literal;
                quote = b;
            } else if (b == '>') {
                state = Between;
            }
            break;
        case Literal:
            if (b == quote) state = Declaration;
            break;
        case Comment:
            if (in.lookingAt("-->")) {
                state = Between;
                subset += "-->";
                in.skip(3);
                continue;
            }
            break;
        case Instruction:
            if (in.lookingAt("?>")) {
                state = Between;
                subset += "?>";
                in.skip(2);
                continue;
            }
            break;
        }
        in.take(&subset);
    }
}

void Scanner::Impl::useDtd() {
    for (const DtdAttribute& a : dtd.attributes) {
        const bool tokenized = a.type != DtdAttribute::Type::CData;
        const bool hasDefault = a.defaultKind == DtdAttribute::Default::Fixed ||
                                a.defaultKind == DtdAttribute::Default::Value;
        // References stay as written without preprocessing, so defaults (whose references
        // are replaced) are supplied only with it.
        const std::string* value = preprocess && hasDefault ? &a.defaultValue : nullptr;
        if (!tokenized && !value) continue;
        declared[names.intern(a.element)].push_back({names.intern(a.name), tokenized, value});
    }
}

} // namespace ostrel_xml
