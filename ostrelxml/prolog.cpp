// The prolog: encoding and XML declaration (prologue.cpp), DOCTYPE with its internal subset.
#include "ostrelxml/scanner_impl.h"

#include "ostrelxml/dtd_parser.h"
#include "ostrelxml/prologue.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

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

void Scanner::Impl::declareTypeEntities() {
    if (!typeEntities || standalone) return;
    for (const Ostrel::_TextEntity* e = typeEntities; e->name && e->text; ++e) {
        EntityDecl decl;
        decl.value = e->text;
        entities.declareGeneral(e->name, std::move(decl));
    }
    // The document type was read after all: an undefined entity is just that.
    if (dtd.unreadEntity.empty()) entities.setUndefinedNote(std::string());
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
        entities.setUndefinedNote(" (the external DTD is never read)");
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
        if (b < 0) {
            // A declaration error before the end says more than the end itself.
            if (state == Between) parseInternalSubset(subset, context);
            in.fail("the file ends inside the DOCTYPE's internal subset: expected ']'");
        }
        switch (state) {
        case Between:
            if (b == ']') {
                in.skip(1);
                dtd = parseInternalSubset(subset, context);
                if (!dtd.unreadEntity.empty()) {
                    const bool external = dtd.findEntity(dtd.unreadEntity, true) != nullptr;
                    entities.setUndefinedNote(
                        std::string(" (declarations after the reference to ") +
                        (external ? "external " : "") + "parameter entity '%" +
                        dtd.unreadEntity + ";' are not used: it is " +
                        (external ? "never read)" : "not declared)"));
                }
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
