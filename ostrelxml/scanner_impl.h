// The scanner's state, shared by its prolog part (declaration, DOCTYPE) and its content part.
#ifndef OSTRELXML_SCANNER_IMPL_H
#define OSTRELXML_SCANNER_IMPL_H

#include "ostrelxml/dtd.h"
#include "ostrelxml/entities.h"
#include "ostrelxml/input.h"
#include "ostrelxml/name_store.h"
#include "ostrelxml/prologue.h"
#include "ostrelxml/xmlchars.h"
#include "ostrelxml/xmlscanner.h"

#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace ostrel_xml {

struct Scanner::Impl {
    Impl(std::FILE* stream, std::string file, bool preprocess, EntitySeeder seeder);

    Event next();

    // prolog.cpp
    void readProlog();
    // Declares the type entities after the internal subset's, so that those bind first.
    void declareTypeEntities();
    void readDoctype();
    void readExternalId(std::string& publicId, std::string& systemId);
    std::string readLiteral(const std::string& what);
    void readInternalSubset();
    // After seeding: the entities and attribute defaults of the DTD, for reading content.
    void useDtd();

    // content.cpp
    Event readContent();
    // What readContent has gathered of a text when it leaves the rest to gatherContent.
    struct Gathered {
        // View: the text is the buffered bytes from viewStart on (those up to blankEnd
        // white space); Copy: it is in text.
        enum Mode { None, View, Copy } mode = None;
        const char* viewStart = nullptr;
        const char* blankEnd = nullptr;
        bool started = false;  // a text has begun, at (line, column)
        long long line = 0;
        long long column = 0;
    };
    bool readUsualContent();
    Event gatherContent(Gathered& gathered);
    Gathered gathered;
    void readStartTag();
    // The start tag of element (its interned name, length bytes long, plain ASCII or not),
    // which began at (tagLine, tagColumn), has been read with its attributes: the
    // StartElement event.
    [[gnu::always_inline]] void openElement(const char* element, size_t length, bool ascii,
                                            long long tagLine, long long tagColumn);
    // A start tag nested deeper than maxDepth.
    [[noreturn, gnu::cold, gnu::noinline]] void failTooDeep(const char* element,
                                                            long long tagLine,
                                                            long long tagColumn) const;
    void readEndTag();
    // The end tag of the innermost open element, which began at (tagLine, tagColumn), has
    // been read: the EndElement event.
    [[gnu::always_inline]] void closeElement(long long tagLine, long long tagColumn);
    // An end tag inside an entity's text ends an element that began outside it.
    [[noreturn, gnu::cold, gnu::noinline]] void failEndOutsideEntity(long long tagLine,
                                                                     long long tagColumn) const;
    void readAttributeValue(int quote, std::string& out, const char* attribute);
    void readCData();
    void readReference(std::string& out, RefContext context);
    // A reference in content to a general entity: its replacement text is read next, as
    // content, and must hold whole elements.
    void enterEntity(const std::string& entity, long long line, long long column);
    // The replacement text being read has ended.
    void leaveEntity();
    // readReference for a reference that stands whole in the buffer; false (and nothing
    // read) for any other.
    bool readBufferedReference(std::string& out, RefContext context, long long line,
                               long long column);

    // shared (xmlscanner.cpp)
    bool readName(std::string& out);
    // Reads a name like readName; out views the buffered bytes while the name is plain
    // ASCII standing whole in the buffer, else nameBuffer. Valid until something reads.
    // Sets nameAscii.
    bool readName(std::string_view& out);
    // Consumes white space; whether there was any.
    bool skipSpace() { return isSpace(in.peek()) && ostrel_xml::skipSpace(in); }
    void readComment();
    void readProcessingInstruction();
    // Reads '&' and what can follow it up to and including ';' into raw.
    void readRawReference(std::string& raw);
    [[noreturn]] void failAt(long long line, long long column, const std::string& what) const {
        in.failAt(line, column, what);
    }
    std::string found() { return describeNext(in); }

    struct Open {
        const char* name;
        size_t length;  // of name, in bytes
        bool ascii;     // whether name is plain ASCII
        bool skipBlank; // white-space-only text directly inside is not reported
        long long line;
        long long column;
    };
    enum class Phase { Prolog, Content, Epilog, Done };

    Input in;
    bool preprocess;
    EntitySeeder seeder;
    NameStore names;
    Entities entities;
    int maxDepth = Scanner::kDefaultMaxDepth;
    Phase phase = Phase::Prolog;
    // The open elements, innermost last. push hands back the new entry to be filled in
    // place: a pushed temporary is copied in wide loads that wait for its narrow stores,
    // and the vector's emplace_back is not inlined into the scanner's loop.
    struct OpenStack {
        Open& push() {
            if (count == items.size()) items.resize(items.size() * 2 + 16);
            return items[count++];
        }
        void pop_back() { --count; }
        Open& back() { return items[count - 1]; }
        const Open& back() const { return items[count - 1]; }
        size_t size() const { return count; }
        bool empty() const { return count == 0; }

    private:
        std::vector<Open> items;
        size_t count = 0;
    } open;
    bool pendingEnd = false;
    // The entities whose replacement text is being read, innermost last, and how many
    // elements were open when each began.
    std::vector<std::string> entityNames;
    std::vector<size_t> entityDepths;

    Event event = Event::End;
    const char* name = nullptr;
    size_t nameLength = 0;
    std::vector<Attribute> attributes;
    std::unordered_set<const char*> seenAttributes;  // for start tags with many attributes
    // The text of a Text event: textData/textSize view the buffered bytes when the text
    // stands there unchanged, else the characters gathered in text.
    std::string text;
    const char* textData = nullptr;
    size_t textSize = 0;
    bool blank = false;  // the text is known to be white space only
    // attachBlankText: the white space before the current tag, in the buffer or (when the
    // tag was read the long way, which may refill it) in blankCopy.
    bool attachBlanks = false;
    std::string_view blankBefore;
    std::string blankCopy;
    // Moves blankBefore out of the buffer before something reads.
    void keepBlankBefore() {
        if (blankBefore.empty()) return;
        blankCopy.assign(blankBefore.data(), blankBefore.size());
        blankBefore = blankCopy;
    }
    long long line = 1;
    long long column = 1;

    bool standalone = false;  // standalone='yes' in the XML declaration
    const Ostrel::_TextEntity* typeEntities = nullptr;  // setTypeEntities
    std::string doctypeName;
    std::string publicId;
    std::string systemId;
    // The internal subset's declarations.
    Dtd dtd;
    // Per element (interned name): the attributes of a tokenized (non-CDATA) type, whose
    // values are normalized further, and the defaults to supply (preprocessing only).
    struct DeclaredAttribute {
        const char* name;  // interned
        bool tokenized;
        const std::string* defaultValue;  // null for none
    };
    std::unordered_map<const char*, std::vector<DeclaredAttribute>> declared;
    // Applies the declarations of element to the attributes of its start tag.
    void applyDeclarations(const std::vector<DeclaredAttribute>& list, long long tagLine,
                           long long tagColumn);

    std::string scratch;
    std::string nameBuffer;
    bool nameAscii = false;  // the name readName read last is plain ASCII
    std::string raw;
};

} // namespace ostrel_xml

#endif
