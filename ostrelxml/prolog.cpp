// The prolog: encoding and XML declaration (prologue.cpp), DOCTYPE with its internal subset.
#include "ostrelxml/scanner_impl.h"

#include "ostrelxml/prologue.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

namespace {

bool isPubidChar(long c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    static const std::string extra = " \r\n-'()+,./:=?;!*#@$_%";
    return c > 0 && c < 0x80 && extra.find(static_cast<char>(c)) != std::string::npos;
}

} // namespace

void Scanner::Impl::readProlog() {
    const Declaration declaration = readDeclaration(in, DeclarationKind::Document);
    standalone = declaration.standalone;
    if (!declaration.present && in.peek() < 0)
        in.fail("the file is empty: expected an XML document");

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

std::string Scanner::Impl::readLiteral(const std::string& what) {
    return ostrel_xml::readLiteral(in, what);
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
    for (;;) {
        skipSpace();
        int b = in.peek();
        if (b < 0) in.fail("the file ends inside the DOCTYPE's internal subset: expected ']'");
        if (b == ']') {
            in.skip(1);
            return;
        }
        if (b == '%') {
            readParameterReference();
        } else if (in.lookingAt("<!ENTITY")) {
            readEntityDeclaration();
        } else if (in.lookingAt("<!ATTLIST")) {
            readAttlistDeclaration();
        } else if (in.lookingAt("<!ELEMENT")) {
            skipDeclaration(9);
        } else if (in.lookingAt("<!NOTATION")) {
            skipDeclaration(10);
        } else if (in.lookingAt("<!--")) {
            readComment();
        } else if (in.lookingAt("<?")) {
            readProcessingInstruction();
        } else if (in.lookingAt("<![")) {
            in.fail("conditional sections are not allowed in the internal subset");
        } else {
            in.fail("expected a declaration, a comment or ']' in the internal subset, found " +
                    found());
        }
    }
}

void Scanner::Impl::readParameterReference() {
    long long rl = in.line(), rc = in.column();
    in.skip(1);
    std::string pe;
    if (!readName(pe) || in.peek() != ';')
        failAt(rl, rc, "'%' must begin a parameter entity reference '%name;'");
    in.skip(1);
    const EntityDecl* decl = entities.parameter(pe);
    if (!decl) failAt(rl, rc, "parameter entity '%" + pe + ";' is not defined");
    if (decl->external)
        failAt(rl, rc, "parameter entity '%" + pe +
                           ";' is external; external entities are never read");
    failAt(rl, rc, "parameter entity references between declarations ('%" + pe +
                       ";') are not supported");
}

void Scanner::Impl::readEntityDeclaration() {
    in.skip(8);
    if (!skipSpace()) in.fail("expected white space after '<!ENTITY', found " + found());
    bool parameter = false;
    if (in.peek() == '%') {
        in.skip(1);
        if (!skipSpace())
            in.fail("expected white space after '%' in an entity declaration, found " + found());
        parameter = true;
    }
    std::string entity;
    if (!readName(entity)) in.fail("expected the entity's name, found " + found());
    if (!skipSpace())
        in.fail("expected white space after the entity name '" + entity + "', found " + found());
    EntityDecl decl;
    int b = in.peek();
    if (b == '"' || b == '\'') {
        readEntityValue(entity, decl.value);
    } else if (in.lookingAt("SYSTEM") || in.lookingAt("PUBLIC")) {
        std::string pub, sys;
        readExternalId(pub, sys);
        decl.external = true;
        if (skipSpace() && in.lookingAt("NDATA")) {
            if (parameter) in.fail("a parameter entity cannot be unparsed (NDATA)");
            in.skip(5);
            std::string notation;
            if (!skipSpace() || !readName(notation))
                in.fail("expected white space and a notation name after 'NDATA', found " +
                        found());
            decl.unparsed = true;
        }
    } else {
        in.fail("expected the value of entity '" + entity +
                "' in quotes, or SYSTEM or PUBLIC, found " + found());
    }
    skipSpace();
    if (in.peek() != '>')
        in.fail("expected '>' to end the declaration of entity '" + entity + "', found " +
                found());
    in.skip(1);
    if (parameter)
        entities.declareParameter(entity, std::move(decl));
    else
        entities.declareGeneral(entity, std::move(decl));
}

void Scanner::Impl::readEntityValue(const std::string& entity, std::string& out) {
    int quote = in.peek();
    long long ql = in.line(), qc = in.column();
    in.skip(1);
    for (;;) {
        int b = in.peek();
        if (b < 0)
            failAt(ql, qc, "the file ends inside the value of entity '" + entity + "'");
        if (b == quote) break;
        if (b == '%')
            in.fail("parameter entity references are not allowed inside declarations in "
                    "the internal subset");
        if (b == '&') {
            long long rl = in.line(), rc = in.column();
            readRawReference(raw);
            Reference ref;
            std::string problem = parseReference(raw, 0, ref);
            if (!problem.empty()) failAt(rl, rc, problem);
            // Character references take effect now; entity references when used.
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else
                out += raw;
            continue;
        }
        in.take(&out);
    }
    in.skip(1);
}

void Scanner::Impl::readAttlistDeclaration() {
    in.skip(9);
    std::string element;
    if (!skipSpace() || !readName(element))
        in.fail("expected white space and an element name after '<!ATTLIST', found " + found());
    for (;;) {
        bool space = skipSpace();
        int b = in.peek();
        if (b == '>') {
            in.skip(1);
            return;
        }
        if (b < 0) in.fail("the file ends inside the attribute-list declaration of '" +
                           element + "'");
        std::string attribute;
        if (!space || !readName(attribute))
            in.fail("expected white space and an attribute name, or '>', in the "
                    "attribute-list declaration of '" + element + "', found " + found());
        if (!skipSpace())
            in.fail("expected white space after attribute '" + attribute + "', found " + found());
        std::string type;
        if (in.peek() != '(' && !readName(type))
            in.fail("expected the type of attribute '" + attribute + "', found " + found());
        static const std::set<std::string> types = {"CDATA",   "ID",       "IDREF",
                                                    "IDREFS",  "ENTITY",   "ENTITIES",
                                                    "NMTOKEN", "NMTOKENS", "NOTATION"};
        if (!type.empty() && !types.count(type))
            in.fail("unknown type '" + type + "' of attribute '" + attribute + "'");
        if (type == "NOTATION" && !skipSpace())
            in.fail("expected white space after 'NOTATION', found " + found());
        if (type.empty() || type == "NOTATION") {
            if (in.peek() != '(')
                in.fail("expected '(' to begin the values of attribute '" + attribute +
                        "', found " + found());
            long long ol = in.line(), oc = in.column();
            while (in.peek() != ')') {
                if (in.peek() < 0 || in.peek() == '>')
                    failAt(ol, oc, "the list of values of attribute '" + attribute +
                                       "' is not closed by ')'");
                in.take(nullptr);
            }
            in.skip(1);
        }
        if (!skipSpace())
            in.fail("expected white space before the default of attribute '" + attribute +
                    "', found " + found());
        if (in.peek() == '#') {
            in.skip(1);
            std::string keyword;
            readName(keyword);
            if (keyword == "FIXED") {
                if (!skipSpace())
                    in.fail("expected white space after '#FIXED', found " + found());
                readLiteral("default value of attribute '" + attribute + "'");
            } else if (keyword != "REQUIRED" && keyword != "IMPLIED") {
                in.fail("expected '#REQUIRED', '#IMPLIED' or '#FIXED' for attribute '" +
                        attribute + "'");
            }
        } else {
            long long dl = in.line(), dc = in.column();
            std::string value = readLiteral("default value of attribute '" + attribute + "'");
            if (value.find('<') != std::string::npos)
                failAt(dl, dc, "'<' is not allowed in attribute values");
        }
        auto key = std::make_pair(element, attribute);
        // The first declaration of an attribute binds.
        if (declaredAttributes.insert(key).second && type != "CDATA")
            tokenizedAttributes.insert(key);
    }
}

void Scanner::Impl::skipDeclaration(size_t keywordLength) {
    long long dl = in.line(), dc = in.column();
    in.skip(keywordLength);
    if (!skipSpace()) in.fail("expected white space after the declaration's keyword, found " +
                              found());
    for (;;) {
        int b = in.peek();
        if (b < 0) failAt(dl, dc, "the file ends inside the declaration that begins here");
        if (b == '>') {
            in.skip(1);
            return;
        }
        if (b == '%')
            in.fail("parameter entity references are not allowed inside declarations in "
                    "the internal subset");
        if (b == '"' || b == '\'')
            readLiteral("literal");
        else
            in.take(nullptr);
    }
}

} // namespace ostrel_xml
