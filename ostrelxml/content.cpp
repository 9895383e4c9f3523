// Content: tags, attributes, text, CDATA sections and references.
#include "ostrelxml/scanner_impl.h"

#include "ostrelxml/bytes.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

#include <algorithm>
#include <cstring>

namespace ostrel_xml {

namespace {

const RunTable kTextRun = runUntil("<&]", true);
const RunTable kCDataRun = runUntil("]", true);
// Literal white space in attribute values becomes a blank, so it ends the run too.
const RunTable kDoubleQuoteRun = runUntil("<&\"\t\n", false);
const RunTable kSingleQuoteRun = runUntil("<&'\t\n", false);

// Lookahead that keeps a text's bytes where they are: peek, lookingAt and skip read
// nothing while this many bytes are buffered.
constexpr size_t kLookahead = 16;

std::string where(long long line, long long column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

Event Scanner::Impl::next() {
    if (!blankBefore.empty()) blankBefore = std::string_view();
    if (phase == Phase::Content && !pendingEnd) return readContent();
    if (phase == Phase::Done) return event = Event::End;
    if (pendingEnd) {
        pendingEnd = false;
        const Open closed = open.back();
        open.pop_back();
        name = closed.name;
        nameLength = closed.length;
        line = closed.line;
        column = closed.column;
        attributes.clear();
        if (open.empty()) phase = Phase::Epilog;
        return event = Event::EndElement;
    }
    if (phase == Phase::Prolog) {
        readProlog();
        declareTypeEntities();
        entities.seed(seeder, preprocess);
        useDtd();
        phase = Phase::Content;
    }
    return readContent();
}

// Beside Impl::next, so that the call of every event is one.
Event Scanner::next() { return m_impl->next(); }

Event Scanner::Impl::readContent() {
    if (!text.empty()) text.clear();
    textData = text.data();
    textSize = 0;
    blank = false;
    if (phase == Phase::Content && in.available() >= kLookahead) {
        if (readUsualContent()) return event;  // else it has filled gathered
    } else {
        gathered = Gathered();
    }
    return gatherContent(gathered);
}

bool Scanner::Impl::readUsualContent() {
    // White space or plain text standing whole in the buffer, then a tag: the usual
    // content. Anything else is left to gatherContent, with what was read in gathered.
    const char* start = in.data();
    const long long textLine = in.line(), textColumn = in.column();
    // A text or an end tag that follows its tag directly has no blank run to take.
    if (static_cast<unsigned char>(*start) <= ' ') in.scanBlank();
    const char* blankEnd = in.data();
    if (*blankEnd != '<') in.scan(kTextRun);
    const char* stop = in.data();
    // The NUL behind the buffered bytes is no '<'; what follows a '<' must be buffered too.
    if (*stop != '<' || in.available() < 2 || stop[1] == '!' || stop[1] == '?') {
        gathered = Gathered();
        if (stop != start) {
            gathered.mode = Gathered::View;
            gathered.viewStart = start;
            gathered.blankEnd = blankEnd;
            gathered.started = true;
            gathered.line = textLine;
            gathered.column = textColumn;
        }
        return false;
    }
    if (stop != start) {
        if (stop != blankEnd || open.empty() || !(open.back().skipBlank || attachBlanks)) {
            textData = start;
            textSize = static_cast<size_t>(stop - start);
            blank = stop == blankEnd;
            line = textLine;
            column = textColumn;
            event = Event::Text;
            return true;
        }
        // White space before the tag: dropped, or handed over with it.
        if (!open.back().skipBlank)
            blankBefore = std::string_view(start, static_cast<size_t>(stop - start));
    }
    if (stop[1] == '/') {
        // The usual end tag: "</name>" of the innermost element, whole in the buffer.
        const Open& o = open.back();
        const char* p = stop + 2;
        if (o.ascii && in.available() > o.length + 2 && p[o.length] == '>' &&
            sameBytes(p, o.name, o.length)) {
            const long long tagLine = stop == start ? textLine : in.line();
            const long long tagColumn = stop == start ? textColumn : in.column();
            in.skip(o.length + 3);
            closeElement(tagLine, tagColumn);
            return true;
        }
        keepBlankBefore();
        readEndTag();
        return true;
    }
    // The usual start tag: "<name>". The NUL behind the buffered bytes ends every name
    // and is no '>'.
    const char* name = stop + 1;
    const bool* nameChar = kAsciiNames.name;
    if (kAsciiNames.start[static_cast<unsigned char>(*name)]) {
        const char* end = name + 1;
        while (nameChar[static_cast<unsigned char>(end[0])] &&
               nameChar[static_cast<unsigned char>(end[1])])
            end += 2;
        if (nameChar[static_cast<unsigned char>(*end)]) ++end;
        if (*end == '>') {
            const long long tagLine = stop == start ? textLine : in.line();
            const long long tagColumn = stop == start ? textColumn : in.column();
            const std::string_view element(name, static_cast<size_t>(end - name));
            // The eight bytes read from name on are buffered or lie in the slack behind.
            const char* interned = names.internInPlace(name, element.size());
            in.skip(element.size() + 2);
            attributes.clear();
            openElement(interned, element.size(), true, tagLine, tagColumn);
            return true;
        }
    }
    keepBlankBefore();
    readStartTag();
    return true;
}

Event Scanner::Impl::gatherContent(Gathered& g) {
    // The text is gathered without a copy while it stands unchanged in the buffer (View,
    // from viewStart on); a reference, a line end to normalize, a comment inside it or the
    // end of the buffer turns it into a copy in text (Copy).
    auto copy = [&]() {
        if (g.mode == Gathered::View) text.append(g.viewStart, in.data());
        g.mode = Gathered::Copy;
    };
    auto begin = [&]() {
        if (!g.started) {
            g.started = true;
            g.line = in.line();
            g.column = in.column();
        }
    };
    for (;;) {
        if (g.mode == Gathered::View && in.available() < kLookahead) copy();
        int b = in.peek();
        if (b < 0) {
            if (in.textDepth() > 0) {
                leaveEntity();
                continue;
            }
            if (phase == Phase::Epilog) {
                phase = Phase::Done;
                line = in.line();
                column = in.column();
                return event = Event::End;
            }
            const Open& o = open.back();
            in.fail("the file ends inside element '" + std::string(o.name) + "' (opened at " +
                    where(o.line, o.column) + "): expected '</" + o.name + ">'");
        }
        if (b == '<') {
            int b1 = in.peek(1);
            if (b1 == '!') {
                if (in.lookingAt("<!--")) {
                    if (g.started) copy();
                    readComment();
                    continue;
                }
                if (in.lookingAt("<![CDATA[")) {
                    if (phase == Phase::Epilog)
                        in.fail("a CDATA section after the root element; only comments, "
                                "processing instructions and white space may follow it");
                    begin();
                    copy();
                    readCData();
                    continue;
                }
                in.fail("expected a comment or a CDATA section after '<!'");
            }
            if (b1 == '?') {
                if (g.started) copy();
                readProcessingInstruction();
                continue;
            }
            if (g.mode == Gathered::View) {
                textData = g.viewStart;
                textSize = static_cast<size_t>(in.data() - g.viewStart);
                blank = in.data() == g.blankEnd;
            } else {
                textData = text.data();
                textSize = text.size();
            }
            if (textSize != 0) {
                if (open.empty() || !open.back().skipBlank || !isBlank(textData, textSize)) {
                    line = g.line;
                    column = g.column;
                    return event = Event::Text;
                }
                text.clear();
                textData = text.data();
                textSize = 0;
                blank = false;
            }
            if (phase == Phase::Epilog) {
                if (b1 == '/')
                    in.fail("end tag after the root element has closed: it has no start tag");
                in.fail("a second root element after the first has closed; a document has "
                        "exactly one root element");
            }
            if (b1 == '/')
                readEndTag();
            else
                readStartTag();
            return event;
        }
        if (phase == Phase::Epilog) {
            if (isSpace(b)) {
                in.take(nullptr);
                continue;
            }
            in.fail("text after the root element, found " + found() +
                    "; only comments, processing instructions and white space may follow it");
        }
        begin();
        if (b == '&') {
            copy();
            readReference(text, RefContext::Content);
            continue;
        }
        if (g.mode == Gathered::None) {
            // A view needs the lookahead in the buffer (see the loop's first line).
            if (in.available() < kLookahead) {
                g.mode = Gathered::Copy;
                continue;
            }
            g.mode = Gathered::View;
            g.viewStart = in.data();
            if (isSpace(b)) {
                in.scan(kSpaceRun);
                g.blankEnd = in.data();
                continue;
            }
        }
        if (b == ']') {
            if (in.lookingAt("]]>")) in.fail("']]>' is not allowed in text (write ']]&gt;')");
            if (g.mode == Gathered::Copy) text += ']';
            in.skip(1);
            continue;
        }
        const char* run = in.data();
        const size_t n = in.scan(kTextRun);
        if (g.mode == Gathered::Copy) text.append(run, n);
        if (n == 0) {
            copy();
            in.take(&text);
        }
    }
}

void Scanner::Impl::readStartTag() {
    const long long tagLine = in.line(), tagColumn = in.column();
    in.skip(1);
    std::string_view elementName;
    if (!readName(elementName))
        in.fail("expected an element name after '<', found " + found());
    const char* element = names.intern(elementName);
    const size_t elementLength = elementName.size();
    const bool elementAscii = nameAscii;
    attributes.clear();
    if (!seenAttributes.empty()) seenAttributes.clear();
    for (;;) {
        const bool space = skipSpace();
        const int b = in.peek();
        if (b == '>') {
            in.skip(1);
            break;
        }
        if (b == '/') {
            in.skip(1);
            if (in.peek() != '>')
                in.fail("expected '>' after '/' in the start tag of '" + std::string(element) +
                        "', found " + found());
            in.skip(1);
            pendingEnd = true;
            break;
        }
        if (b < 0)
            in.fail("the file ends inside the start tag of '" + std::string(element) +
                    "' (at " + where(tagLine, tagColumn) + "): expected '>'");
        if (!space)
            in.fail("expected white space, '>' or '/>' after " +
                    (attributes.empty() ? "the element name '" + std::string(element) + "'"
                                        : "the value of attribute '" +
                                              std::string(attributes.back().name) + "'") +
                    ", found " + found());
        const long long attrLine = in.line(), attrColumn = in.column();
        std::string_view attributeName;
        if (!readName(attributeName))
            in.fail("expected an attribute name, '>' or '/>' in the start tag of '" +
                    std::string(element) + "', found " + found());
        const char* attribute = names.intern(attributeName);
        // Names are interned, so equal names are equal pointers.
        bool repeated = false;
        if (attributes.size() < 16) {
            for (const Attribute& a : attributes) repeated = repeated || a.name == attribute;
        } else {
            if (seenAttributes.empty())
                for (const Attribute& a : attributes) seenAttributes.insert(a.name);
            repeated = !seenAttributes.insert(attribute).second;
        }
        if (repeated) {
            auto first = std::find_if(attributes.begin(), attributes.end(),
                                      [&](const Attribute& a) { return a.name == attribute; });
            failAt(attrLine, attrColumn,
                   "attribute '" + std::string(attribute) + "' is repeated in the start tag of '" +
                       element + "' (first at " + where(first->line, first->column) + ")");
        }
        skipSpace();
        if (in.peek() != '=')
            in.fail("expected '=' after attribute name '" + std::string(attribute) +
                    "', found " + found());
        in.skip(1);
        skipSpace();
        const int quote = in.peek();
        if (quote != '"' && quote != '\'')
            in.fail("expected the value of attribute '" + std::string(attribute) +
                    "' in quotes (\" or '), found " + found());
        in.skip(1);
        Attribute attr{attribute, std::string(), clampPosition(attrLine),
                       clampPosition(attrColumn)};
        readAttributeValue(quote, attr.value, attribute);
        attributes.push_back(std::move(attr));
    }
    openElement(element, elementLength, elementAscii, tagLine, tagColumn);
}

void Scanner::Impl::failTooDeep(const char* element, long long tagLine,
                                long long tagColumn) const {
    failAt(tagLine, tagColumn, "element '" + std::string(element) + "' is nested " +
                                   std::to_string(open.size() + 1) + " levels deep; at most " +
                                   std::to_string(maxDepth) + " levels are read");
}

inline void Scanner::Impl::openElement(const char* element, size_t length, bool ascii,
                                       long long tagLine, long long tagColumn) {
    if (static_cast<int>(open.size()) >= maxDepth) failTooDeep(element, tagLine, tagColumn);
    if (!declared.empty()) {
        const auto found = declared.find(element);
        if (found != declared.end()) applyDeclarations(found->second, tagLine, tagColumn);
    }
    Open& o = open.push();
    o.name = element;
    o.length = length;
    o.ascii = ascii;
    o.skipBlank = false;
    o.line = tagLine;
    o.column = tagColumn;
    name = element;
    nameLength = length;
    line = tagLine;
    column = tagColumn;
    event = Event::StartElement;
}

void Scanner::Impl::applyDeclarations(const std::vector<DeclaredAttribute>& list,
                                      long long tagLine, long long tagColumn) {
    const size_t written = attributes.size();
    for (const DeclaredAttribute& d : list) {
        auto end = attributes.begin() + static_cast<std::ptrdiff_t>(written);
        auto found = std::find_if(attributes.begin(), end,
                                  [&](const Attribute& a) { return a.name == d.name; });
        if (found != end) {
            if (d.tokenized) collapseBlanks(found->value);
        } else if (d.defaultValue) {
            attributes.push_back({d.name, *d.defaultValue, clampPosition(tagLine),
                                  clampPosition(tagColumn), true});
        }
    }
}

void Scanner::Impl::readAttributeValue(int quote, std::string& out, const char* attribute) {
    const long long valueLine = in.line(), valueColumn = in.column();
    const RunTable& run = quote == '"' ? kDoubleQuoteRun : kSingleQuoteRun;
    for (;;) {
        const char* start = in.data();
        if (const size_t n = in.scan(run)) out.append(start, n);
        const int b = in.peek();
        if (b < 0)
            failAt(valueLine, valueColumn,
                   "the file ends inside the value of attribute '" + std::string(attribute) +
                       "': expected the closing " + static_cast<char>(quote));
        if (b == quote) {
            in.skip(1);
            return;
        }
        if (b == '<')
            in.fail("'<' is not allowed in the value of attribute '" + std::string(attribute) +
                    "' (write '&lt;')");
        if (b == '&') {
            readReference(out, RefContext::Attribute);
            continue;
        }
        if (b == '\t' || b == '\n' || b == '\r') {
            // Literal white space becomes a blank; character references keep theirs.
            in.take(nullptr);
            out += ' ';
        } else {
            in.take(&out);
        }
    }
}

void Scanner::Impl::readEndTag() {
    const long long tagLine = in.line(), tagColumn = in.column();
    {
        // The usual end tag, where readUsualContent did not see it (gatherContent).
        const Open& o = open.back();
        const char* p = in.data() + 2;
        if (o.ascii && in.available() > o.length + 2 && p[o.length] == '>' &&
            sameBytes(p, o.name, o.length)) {
            in.skip(o.length + 3);
            closeElement(tagLine, tagColumn);
            return;
        }
    }
    in.skip(2);
    std::string_view endName;
    if (!readName(endName)) in.fail("expected an element name after '</', found " + found());
    const Open o = open.back();
    const bool matches = endName.size() == o.length &&
                         std::memcmp(endName.data(), o.name, o.length) == 0;
    // The name stays in the buffer only until something reads.
    if (!matches) scratch.assign(endName.data(), endName.size());
    skipSpace();
    if (in.peek() != '>')
        in.fail("expected '>' to end the end tag '</" + (matches ? std::string(o.name) : scratch) +
                "', found " + found());
    in.skip(1);
    if (!matches)
        failAt(tagLine, tagColumn,
               "end tag '</" + scratch + ">' does not match the start tag '<" + o.name +
                   ">' at " + where(o.line, o.column) + ": expected '</" + o.name + ">'");
    closeElement(tagLine, tagColumn);
}

inline void Scanner::Impl::closeElement(long long tagLine, long long tagColumn) {
    if (!entityDepths.empty() && open.size() <= entityDepths.back())
        failEndOutsideEntity(tagLine, tagColumn);
    name = open.back().name;
    nameLength = open.back().length;
    open.pop_back();
    line = tagLine;
    column = tagColumn;
    attributes.clear();
    if (open.empty()) phase = Phase::Epilog;
    event = Event::EndElement;
}

void Scanner::Impl::failEndOutsideEntity(long long tagLine, long long tagColumn) const {
    failAt(tagLine, tagColumn,
           "end tag '</" + std::string(open.back().name) + ">' ends an element that began "
           "outside entity '" + entityNames.back() + "'; an element must begin and end in "
           "the same entity");
}

void Scanner::Impl::readCData() {
    const long long cl = in.line(), cc = in.column();
    in.skip(9);
    for (;;) {
        const char* run = in.data();
        text.append(run, in.scan(kCDataRun));
        if (in.peek() < 0)
            failAt(cl, cc, "the file ends inside the CDATA section that begins here: "
                           "expected ']]>'");
        if (in.peek() == ']' && in.lookingAt("]]>")) {
            in.skip(3);
            return;
        }
        in.take(&text);
    }
}

void Scanner::Impl::readReference(std::string& out, RefContext context) {
    const long long rl = in.line(), rc = in.column();
    if (readBufferedReference(out, context, rl, rc)) return;
    readRawReference(raw);
    Reference ref;
    const std::string problem = parseReference(raw, 0, ref);
    if (!problem.empty()) failAt(rl, rc, problem);
    if (!preprocess) {
        out += raw;  // kept as written
        return;
    }
    if (ref.isChar)
        appendUtf8(out, ref.code);
    else if (context == RefContext::Content && Entities::predefinedIndex(ref.name) < 0)
        enterEntity(ref.name, rl, rc);
    else
        entities.expand(ref.name, context, out, in.fileName(), rl, rc, in.bytesRead());
}

void Scanner::Impl::enterEntity(const std::string& entity, long long refLine,
                                long long refColumn) {
    const std::string_view text =
        entities.enter(entity, entityNames, in.fileName(), refLine, refColumn, in.bytesRead());
    in.pushText(text, " (in the replacement text of entity '" + entity + "')", refLine,
                refColumn);
    entityNames.push_back(entity);
    entityDepths.push_back(open.size());
}

void Scanner::Impl::leaveEntity() {
    if (open.size() > entityDepths.back()) {
        const Open& o = open.back();
        in.fail("the replacement text of entity '" + entityNames.back() + "' ends inside "
                "element '" + o.name + "', which began in it; an element must begin and end "
                "in the same entity");
    }
    in.popText();
    entityNames.pop_back();
    entityDepths.pop_back();
}

bool Scanner::Impl::readBufferedReference(std::string& out, RefContext context, long long line,
                                          long long column) {
    // The reference as readRawReference reads it, when it is ASCII and ends with its ';'
    // in the buffer; anything else (and every error) goes the long way.
    const char* p = in.data();
    size_t length = 0;
    // Most references in documents: the predefined entities, without the general parse.
    if (const int which = Entities::predefinedReferenceAt(p, length); which >= 0) {
        if (preprocess)
            out += entities.predefinedText(which);
        else
            out.append(p, length);  // kept as written
        in.skip(length);
        return true;
    }
    const size_t n = in.available();
    size_t end = 1;
    while (end < n && p[end] != ';' && static_cast<unsigned char>(p[end]) < 0x80 &&
           continuesReference(static_cast<unsigned char>(p[end])))
        ++end;
    if (end >= n || p[end] != ';') return false;
    const std::string_view written(p, end + 1);
    Reference ref;
    if (!parseReference(written, 0, ref).empty()) return false;
    if (!preprocess) {
        out += written;  // kept as written
    } else if (ref.isChar) {
        appendUtf8(out, ref.code);
    } else if (const int which = Entities::predefinedIndex(ref.name); which >= 0) {
        out += entities.predefinedText(which);
    } else {
        in.skip(written.size());
        if (context == RefContext::Content)
            enterEntity(ref.name, line, column);
        else
            entities.expand(ref.name, context, out, in.fileName(), line, column, in.bytesRead());
        return true;
    }
    in.skip(written.size());
    return true;
}

} // namespace ostrel_xml
