// The scanner's state, shared by its prolog part (declaration, DOCTYPE) and its content part.
#ifndef OSTREL_BINDINGS_SCANNER_IMPL_H
#define OSTREL_BINDINGS_SCANNER_IMPL_H

#include "scanner/entities.h"
#include "scanner/input.h"
#include "scanner/name_store.h"
#include "scanner/xmlchars.h"
#include "scanner/xmlscanner.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace ostrel_xml {

struct Scanner::Impl {
    Impl(std::FILE* stream, std::string file, bool preprocess, EntitySeeder seeder);

    Event next();

    // prolog.cpp
    void readProlog();
    void readXmlDeclaration();
    void readDoctype();
    void readExternalId(std::string& publicId, std::string& systemId);
    std::string readLiteral(const std::string& what);
    void readInternalSubset();
    void readParameterReference();
    void readEntityDeclaration();
    void readEntityValue(const std::string& entity, std::string& out);
    void readAttlistDeclaration();
    void skipDeclaration(size_t keywordLength);

    // content.cpp
    Event readContent();
    void readStartTag();
    void readEndTag();
    void readAttributeValue(int quote, std::string& out, const char* attribute);
    void readCData();
    void readReference(std::string& out, RefContext context);

    // shared (xmlscanner.cpp)
    bool readName(std::string& out);
    bool skipSpace();
    void readComment();
    void readProcessingInstruction();
    // Reads '&' and what can follow it up to and including ';' into raw.
    void readRawReference(std::string& raw);
    [[noreturn]] void failAt(long long line, long long column, const std::string& what) const {
        throwScanError(in.fileName(), line, column, what);
    }
    std::string found() { return describeChar(in.peekChar()); }

    struct Open {
        const char* name;
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
    std::vector<Open> open;
    bool pendingEnd = false;

    Event event = Event::End;
    const char* name = nullptr;
    std::vector<Attribute> attributes;
    std::string text;
    bool whitespace = false;
    long long line = 1;
    long long column = 1;

    bool byteOrderMark = false;
    std::string doctypeName;
    std::string publicId;
    std::string systemId;
    // Attributes the internal subset declares, and those of a tokenized (non-CDATA) type,
    // whose values are normalized further.
    std::set<std::pair<std::string, std::string>> declaredAttributes;
    std::set<std::pair<std::string, std::string>> tokenizedAttributes;

    std::string scratch;
    std::string raw;
};

} // namespace ostrel_xml

#endif
