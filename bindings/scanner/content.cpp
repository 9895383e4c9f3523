// Content: tags, attributes, text, CDATA sections and references.
#include "scanner/scanner_impl.h"

#include "scanner/references.h"
#include "scanner/xmlchars.h"

#include <algorithm>
#include <unordered_set>

namespace ostrel_xml {

namespace {

struct StopTable {
    bool stop[128] = {};
    explicit StopTable(const char* chars) {
        for (const char* c = chars; *c; ++c) stop[static_cast<unsigned char>(*c)] = true;
    }
};

const StopTable kTextStops("<&]");
const StopTable kCDataStops("]");
const StopTable kDoubleQuoteStops("<&\"");
const StopTable kSingleQuoteStops("<&'");

std::string where(long long line, long long column) {
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// Tokenized attribute types: no leading or trailing blanks, single blanks between tokens.
void collapseBlanks(std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    value.swap(out);
}

} // namespace

Event Scanner::Impl::next() {
    if (phase == Phase::Done) return event = Event::End;
    if (pendingEnd) {
        pendingEnd = false;
        const Open closed = open.back();
        open.pop_back();
        name = closed.name;
        line = closed.line;
        column = closed.column;
        attributes.clear();
        if (open.empty()) phase = Phase::Epilog;
        return event = Event::EndElement;
    }
    if (phase == Phase::Prolog) {
        readProlog();
        entities.seed(seeder, preprocess);
        phase = Phase::Content;
    }
    return readContent();
}

Event Scanner::Impl::readContent() {
    text.clear();
    bool started = false;
    long long textLine = 0, textColumn = 0;
    auto begin = [&]() {
        if (!started) {
            started = true;
            textLine = in.line();
            textColumn = in.column();
        }
    };
    for (;;) {
        int b = in.peek();
        if (b < 0) {
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
                    readComment();
                    continue;
                }
                if (in.lookingAt("<![CDATA[")) {
                    if (phase == Phase::Epilog)
                        in.fail("a CDATA section after the root element; only comments, "
                                "processing instructions and white space may follow it");
                    begin();
                    readCData();
                    continue;
                }
                in.fail("expected a comment or a CDATA section after '<!'");
            }
            if (b1 == '?') {
                readProcessingInstruction();
                continue;
            }
            if (!text.empty()) {
                line = textLine;
                column = textColumn;
                whitespace = std::all_of(text.begin(), text.end(),
                                         [](char c) { return isSpace(c); });
                return event = Event::Text;
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
            readReference(text, RefContext::Content);
            continue;
        }
        if (b == ']' && in.lookingAt("]]>"))
            in.fail("']]>' is not allowed in text (write ']]&gt;')");
        if (in.takeRun(text, kTextStops.stop) == 0) in.take(&text);
    }
}

void Scanner::Impl::readStartTag() {
    const long long tagLine = in.line(), tagColumn = in.column();
    in.skip(1);
    scratch.clear();
    if (!readName(scratch)) in.fail("expected an element name after '<', found " + found());
    const char* element = names.intern(scratch);
    attributes.clear();
    std::unordered_set<const char*> seen;
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
        scratch.clear();
        if (!readName(scratch))
            in.fail("expected an attribute name, '>' or '/>' in the start tag of '" +
                    std::string(element) + "', found " + found());
        const char* attribute = names.intern(scratch);
        // Names are interned, so equal names are equal pointers.
        bool repeated = false;
        if (attributes.size() < 16) {
            for (const Attribute& a : attributes) repeated = repeated || a.name == attribute;
        } else {
            if (seen.empty())
                for (const Attribute& a : attributes) seen.insert(a.name);
            repeated = !seen.insert(attribute).second;
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
        if (!tokenizedAttributes.empty() &&
            tokenizedAttributes.count(std::make_pair(std::string(element), scratch)))
            collapseBlanks(attr.value);
        attributes.push_back(std::move(attr));
    }
    if (static_cast<int>(open.size()) >= maxDepth)
        failAt(tagLine, tagColumn, "element '" + std::string(element) + "' is nested " +
                                       std::to_string(open.size() + 1) +
                                       " levels deep; at most " + std::to_string(maxDepth) +
                                       " levels are read");
    open.push_back({element, tagLine, tagColumn});
    name = element;
    line = tagLine;
    column = tagColumn;
    event = Event::StartElement;
}

void Scanner::Impl::readAttributeValue(int quote, std::string& out, const char* attribute) {
    const long long valueLine = in.line(), valueColumn = in.column();
    const bool* stops = quote == '"' ? kDoubleQuoteStops.stop : kSingleQuoteStops.stop;
    for (;;) {
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
        if (in.takeRun(out, stops)) continue;
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
    in.skip(2);
    scratch.clear();
    if (!readName(scratch)) in.fail("expected an element name after '</', found " + found());
    skipSpace();
    if (in.peek() != '>')
        in.fail("expected '>' to end the end tag '</" + scratch + "', found " + found());
    in.skip(1);
    const Open o = open.back();
    if (scratch != o.name)
        failAt(tagLine, tagColumn,
               "end tag '</" + scratch + ">' does not match the start tag '<" + o.name +
                   ">' at " + where(o.line, o.column) + ": expected '</" + o.name + ">'");
    open.pop_back();
    name = o.name;
    line = tagLine;
    column = tagColumn;
    attributes.clear();
    if (open.empty()) phase = Phase::Epilog;
    event = Event::EndElement;
}

void Scanner::Impl::readCData() {
    const long long cl = in.line(), cc = in.column();
    in.skip(9);
    for (;;) {
        if (in.peek() < 0)
            failAt(cl, cc, "the file ends inside the CDATA section that begins here: "
                           "expected ']]>'");
        if (in.peek() == ']' && in.lookingAt("]]>")) {
            in.skip(3);
            return;
        }
        if (in.takeRun(text, kCDataStops.stop) == 0) in.take(&text);
    }
}

void Scanner::Impl::readReference(std::string& out, RefContext context) {
    const long long rl = in.line(), rc = in.column();
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
    else
        entities.expand(ref.name, context, out, in.fileName(), rl, rc, in.bytesRead());
}

} // namespace ostrel_xml
