// The level between declarations: parameter-entity references, conditional sections,
// comments and processing instructions; and the lexical pieces declarations share.
#include "ostrelxml/dtd_reader.h"

#include "ostrelxml/entities.h"
#include "ostrelxml/input.h"
#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

namespace {

bool isQuote(int b) { return b == '"' || b == '\''; }

// The directory part of a path, separator included ("" for none).
std::string directoryOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A system identifier as a file name: "file:" URIs lose their scheme, relative ones are
// taken from the directory of the file that declares them.
std::string resolveSystemId(const std::string& systemId, const std::string& declaredIn) {
    std::string path = systemId;
    if (path.compare(0, 7, "file://") == 0)
        path.erase(0, 7);
    else if (path.compare(0, 5, "file:") == 0)
        path.erase(0, 5);
    const bool absolute = !path.empty() && (path[0] == '/' || path[0] == '\\' ||
                                            (path.size() > 1 && path[1] == ':'));
    return absolute ? path : directoryOf(declaredIn) + path;
}

// Whether a system identifier is a URI of a scheme other than "file" ("http:", "urn:"),
// which names no local file; a drive letter ("C:") is no scheme.
bool isRemote(const std::string& systemId) {
    const size_t colon = systemId.find(':');
    if (colon == std::string::npos || colon < 2 || systemId.compare(0, 5, "file:") == 0)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = systemId[i];
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alpha && (i == 0 || !((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

} // namespace

DtdReader::DtdReader(Dtd& dtd, DtdSource& source, const Options& options)
    : m_dtd(dtd), m_src(source), m_options(options) {
    m_limit = kExpansionAllowance + kExpansionFactor * options.inputBytes;
}

void DtdReader::run() {
    for (;;) {
        skipBlanks();
        if (m_src.atEnd()) {
            if (m_src.top().openSections > 0)
                failAt(m_sections.back(), "the conditional section that begins here is not "
                                          "closed: expected ']]>' before " + found());
            if (m_src.depth() == 1) return;
            m_src.pop();
            continue;
        }
        const int b = m_src.peek();
        if (b == '%') {
            parameterReference(true);
        } else if (m_src.lookingAt("<!ELEMENT")) {
            elementDeclaration();
        } else if (m_src.lookingAt("<!ATTLIST")) {
            attlistDeclaration();
        } else if (m_src.lookingAt("<!ENTITY")) {
            entityDeclaration();
        } else if (m_src.lookingAt("<!NOTATION")) {
            notationDeclaration();
        } else if (m_src.lookingAt("<!--")) {
            comment();
        } else if (m_src.lookingAt("<?")) {
            processingInstruction();
        } else if (m_src.lookingAt("<![")) {
            conditionalSection();
        } else if (m_src.lookingAt("]]>")) {
            closeSection();
        } else if (m_src.lookingAt("<!")) {
            std::string word;
            const DtdPlace at = m_src.here();
            m_src.advance(2);
            readName(word);
            std::string upper = word;
            for (char& c : upper)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            const bool miscased = upper != word && (upper == "ELEMENT" || upper == "ATTLIST" ||
                                                    upper == "ENTITY" || upper == "NOTATION");
            failAt(at, "expected '<!ELEMENT', '<!ATTLIST', '<!ENTITY', '<!NOTATION' or '<!--'"
                       ", found '<!" + word + "'" +
                           (miscased ? " (keywords are case-sensitive)" : ""));
        } else {
            fail(std::string("expected a markup declaration, a comment, a processing "
                             "instruction or a parameter-entity reference") +
                 (m_options.externalSubset ? "" : " in the internal subset") + ", found " +
                 found());
        }
    }
}

void DtdReader::parameterReference(bool betweenDeclarations) {
    const DtdPlace at = m_src.here();
    m_src.advance(1);
    std::string name;
    if (!readName(name) || m_src.peek() != ';')
        failAt(at, "'%' must begin a parameter-entity reference '%name;', found '%" + name +
                       "' followed by " + found());
    m_src.advance(1);
    const std::string ref = "'%" + name + ";'";
    if (!betweenDeclarations && !m_options.externalSubset)
        failAt(at, "parameter-entity reference " + ref + " inside a markup declaration: in "
                   "the internal subset they may stand only between declarations");
    auto declared = m_parameter.find(name);
    if (declared == m_parameter.end()) {
        // After an entity that was not read, any name may have been declared in it.
        if (m_unread) return;
        if (m_options.externalSubset)
            failAt(at, "parameter entity " + ref + " is not declared (a parameter entity must "
                       "be declared before it is referenced)");
        // In a document an undeclared parameter entity breaks validity only (XML 1.0
        // erratum E38): it is a reference that cannot be read, like an external one.
        skipUnread(name);
        return;
    }
    if (activeParameter(name)) failAt(at, "parameter entity " + ref + " refers to itself");
    int depth = 0;
    for (size_t i = 0; i < m_src.depth(); ++i)
        if (!m_src.frame(i).entity.empty()) ++depth;
    if (depth >= kMaxEntityDepth)
        failAt(at, "parameter entities nest more than " + std::to_string(kMaxEntityDepth) +
                       " levels deep (at " + ref + ")");
    const DtdEntity entity = m_dtd.entities[declared->second];
    if (entity.external) {
        if (!m_options.externalSubset) {
            // A document's external entities are never read (XML 1.0 section 5.1).
            skipUnread(name);
            return;
        }
        includeFile(entity, at, betweenDeclarations);
        return;
    }
    charge(entity.value.size(), at, name);
    if (betweenDeclarations)
        m_src.pushEntity(entity.value, name, true, at);
    else
        m_src.pushEntity(" " + entity.value + " ", name, false, at);  // XML 1.0 4.4.8
}

void DtdReader::skipUnread(const std::string& name) {
    if (!m_unread) m_dtd.unreadEntity = name;
    m_unread = true;
    if (!m_options.standalone) m_processing = false;
}

void DtdReader::includeFile(const DtdEntity& entity, const DtdPlace& at,
                            bool betweenDeclarations) {
    DtdText loaded = externalText(entity, at);
    const std::string* file =
        m_src.fileName(resolveSystemId(entity.systemId, entity.position.file));
    if (betweenDeclarations) {
        m_src.pushTracked(std::move(loaded.text), file, loaded.line, loaded.column,
                          entity.name, true);
        return;
    }
    // One space before and after, as for an internal entity's text.
    m_src.pushEntity(" ", std::string(), false, at);
    m_src.pushTracked(std::move(loaded.text), file, loaded.line, loaded.column, entity.name,
                      false);
    m_src.pushEntity(" ", std::string(), false, at);
}

DtdText DtdReader::externalText(const DtdEntity& entity, const DtdPlace& at) {
    if (isRemote(entity.systemId))
        failAt(at, "cannot read '" + entity.systemId + "' of external parameter entity '%" +
                       entity.name + ";': only local files are read (give it a local copy)");
    const std::string path = resolveSystemId(entity.systemId, entity.position.file);
    DtdText loaded;
    switch (loadDtdText(path, m_limit - m_expanded, loaded)) {
    case DtdLoad::CannotOpen:
        failAt(at, "cannot open file '" + path + "' of external parameter entity '%" +
                       entity.name + ";'");
    case DtdLoad::TooLarge:
        charge(static_cast<size_t>(m_limit - m_expanded) + 1, at, entity.name);
        break;
    case DtdLoad::Read:
        break;
    }
    bool listed = false;
    for (const std::string& file : m_dtd.files) listed = listed || file == path;
    if (!listed) m_dtd.files.push_back(path);
    charge(loaded.text.size(), at, entity.name);
    return loaded;
}

void DtdReader::conditionalSection() {
    const DtdPlace start = m_src.here();
    if (!m_options.externalSubset)
        fail("conditional sections ('<![INCLUDE[' and '<![IGNORE[') are allowed only in the "
             "external subset");
    m_src.advance(3);
    skipSpace();
    std::string keyword;
    readName(keyword);
    if (keyword != "INCLUDE" && keyword != "IGNORE")
        failAt(start, "expected 'INCLUDE' or 'IGNORE' after '<![', found " +
                          (keyword.empty() ? found() : "'" + keyword + "'"));
    skipSpace();
    if (m_src.peek() != '[')
        fail("expected '[' after '" + keyword + "' in a conditional section, found " + found());
    m_src.advance(1);
    if (keyword == "IGNORE") {
        skipIgnored(start);
        return;
    }
    ++m_src.top().openSections;
    m_sections.push_back(start);
}

void DtdReader::skipIgnored(const DtdPlace& start) {
    // Nothing is recognized in an ignored section but the section brackets.
    const std::string_view text = m_src.rest();
    int depth = 1;
    size_t i = 0;
    size_t open = text.find("<![");
    size_t close = text.find("]]>");
    while (depth > 0) {
        if (open != std::string_view::npos && open < i) open = text.find("<![", i);
        if (close < i) close = text.find("]]>", i);
        if (close == std::string_view::npos)
            failAt(start, "the IGNORE section that begins here is not closed: expected ']]>' "
                          "before " + std::string(m_src.depth() == 1 ? "the end of the file"
                                                                    : "the end of its entity"));
        if (open < close) {
            ++depth;
            i = open + 3;
        } else {
            --depth;
            i = close + 3;
        }
    }
    m_src.advance(i);
}

void DtdReader::closeSection() {
    if (m_src.top().openSections == 0)
        fail("']]>' closes no conditional section" +
             std::string(m_sections.empty() ? "" : " begun in the same entity"));
    --m_src.top().openSections;
    m_sections.pop_back();
    m_src.advance(3);
}

void DtdReader::comment() {
    const DtdPlace start = m_src.here();
    const std::string_view text = m_src.rest();
    const size_t dashes = text.find("--", 4);
    if (dashes == std::string_view::npos)
        failAt(start, "the comment that begins here is not closed: expected '-->' before " +
                          std::string(m_src.depth() == 1 && !m_options.externalSubset
                                          ? "the end of the internal subset"
                                          : "the end of its text"));
    if (dashes + 2 >= text.size() || text[dashes + 2] != '>') {
        m_src.advance(dashes);
        fail("'--' is not allowed inside a comment");
    }
    m_src.advance(dashes + 3);
}

void DtdReader::processingInstruction() {
    const DtdPlace start = m_src.here();
    m_src.advance(2);
    std::string target;
    if (!readName(target))
        fail("expected the target of a processing instruction after '<?', found " + found());
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
        (target[2] | 0x20) == 'l')
        failAt(start, target == "xml"
                          ? "an XML or text declaration is allowed only at the very start of "
                            "a file"
                          : "processing instruction target '" + target + "' is reserved");
    const std::string_view text = m_src.rest();
    const size_t end = text.find("?>");
    if (end == std::string_view::npos)
        failAt(start, "the processing instruction that begins here is not closed: expected "
                      "'?>'");
    if (end > 0 && !isSpace(static_cast<unsigned char>(text[0])))
        fail("expected white space or '?>' after the processing instruction target '" +
             target + "', found " + found());
    m_src.advance(end + 2);
}

bool DtdReader::skipBlanks() {
    bool any = false;
    while (isSpace(m_src.peek())) {
        m_src.advance(1);
        any = true;
    }
    return any;
}

bool DtdReader::skipSpace() {
    bool any = false;
    for (;;) {
        const int b = m_src.peek();
        if (isSpace(b)) {
            m_src.advance(1);
            any = true;
            continue;
        }
        if (b == '%' && atParameterReference()) {
            parameterReference(false);
            continue;
        }
        return any;
    }
}

bool DtdReader::atParameterReference() {
    const std::string_view rest = m_src.rest();
    size_t n = 1;
    bool first = true;
    while (n < rest.size()) {
        int len = 0;
        const long c = decodeUtf8(reinterpret_cast<const unsigned char*>(rest.data() + n),
                                  rest.size() - n, len);
        if (c == ';') return !first;
        if (c < 0 || !(first ? isNameStart(c) : isNameChar(c))) return false;
        first = false;
        n += static_cast<size_t>(len);
    }
    return false;
}

void DtdReader::requireSpace(const std::string& where) {
    if (!skipSpace()) fail("expected white space " + where + ", found " + found());
}

bool DtdReader::readName(std::string& out) {
    out.clear();
    int len = 0;
    long c = m_src.peekChar(len);
    if (len == 0 || !isNameStart(c)) return false;
    const std::string_view rest = m_src.rest();
    size_t n = 0;
    while (len > 0 && isNameChar(c)) {
        n += static_cast<size_t>(len);
        if (n >= rest.size()) break;
        c = decodeUtf8(reinterpret_cast<const unsigned char*>(rest.data() + n),
                       rest.size() - n, len);
        if (c < 0) break;
    }
    out.assign(rest.substr(0, n));
    m_src.advance(n);
    return true;
}

bool DtdReader::readNmtoken(std::string& out) {
    out.clear();
    const std::string_view rest = m_src.rest();
    size_t n = 0;
    while (n < rest.size()) {
        int len = 0;
        const long c = decodeUtf8(reinterpret_cast<const unsigned char*>(rest.data() + n),
                                  rest.size() - n, len);
        if (c < 0 || !isNameChar(c)) break;
        n += static_cast<size_t>(len);
    }
    out.assign(rest.substr(0, n));
    m_src.advance(n);
    return n > 0;
}

std::string DtdReader::requireName(const std::string& what) {
    std::string name;
    if (!readName(name)) fail("expected " + what + ", found " + found());
    return name;
}

void DtdReader::endDeclaration(const std::string& what) {
    skipSpace();
    const int b = m_src.peek();
    if (b == '>') {
        m_src.advance(1);
        return;
    }
    std::string hint;
    if (m_src.lookingAt("--"))
        hint = " (comments may not stand inside a declaration)";
    else if ((b == '+' || b == '-') && m_src.peek(1) == '(')
        hint = " (inclusion and exclusion exceptions '+(...)' and '-(...)' are SGML, not XML)";
    fail("expected '>' to end " + what + ", found " + found() + hint);
}

size_t DtdReader::literalLength(const std::string& what) {
    const int quote = m_src.peek();
    if (!isQuote(quote)) fail("expected " + what + " in quotes, found " + found());
    const std::string_view text = m_src.rest();
    const size_t end = text.find(static_cast<char>(quote), 1);
    if (end == std::string_view::npos)
        fail(what + " that begins here is not closed by " +
             (quote == '"' ? "'\"'" : "\"'\"") + " before " +
             (m_src.depth() == 1 ? std::string(m_options.externalSubset
                                                   ? "the end of the file"
                                                   : "the end of the internal subset")
                                 : "the end of its text"));
    return end + 1;
}

void DtdReader::charge(size_t bytes, const DtdPlace& at, const std::string& entity) {
    m_expanded += static_cast<long long>(bytes) + kExpansionOverhead;
    if (m_expanded > m_limit)
        failAt(at, "expanding entity '" + entity + "' passes the limit of " +
                       std::to_string(m_limit) +
                       " bytes of entity text for this DTD (entity expansion is bounded)");
}

bool DtdReader::activeParameter(const std::string& name) const {
    for (size_t i = 0; i < m_src.depth(); ++i)
        if (m_src.frame(i).entity == name) return true;
    for (const std::string& active : m_active)
        if (active == "%" + name) return true;
    return false;
}

std::string DtdReader::found() {
    if (!m_src.atEnd()) {
        int len = 0;
        const long c = m_src.peekChar(len);
        return describeChar(c);
    }
    const DtdFrame& f = m_src.top();
    if (!f.entity.empty()) return "the end of parameter entity '%" + f.entity + ";'";
    return m_options.externalSubset ? "the end of the file" : "the end of the internal subset";
}

DtdPosition DtdReader::position(const DtdPlace& place) const {
    DtdPosition p;
    p.file = place.file ? *place.file : std::string();
    p.line = clampPosition(place.line);
    p.column = clampPosition(place.column);
    return p;
}

void DtdReader::fail(const std::string& what) { failAt(m_src.here(), what); }

void DtdReader::failAt(const DtdPlace& place, const std::string& what) const {
    static const std::string none;
    throwScanError(place.file ? *place.file : none, place.line, place.column,
                   place.entity.empty() ? what
                                        : what + " (in parameter entity '%" + place.entity +
                                              ";')");
}

} // namespace ostrel_xml
