// The document type: the markup declarations of a DTD as a model that code can walk —
// element types with their content models, attribute lists, entities and notations.
// Read from a document's internal subset (Scanner::dtd()) or from a DTD file (readDtdFile).
#ifndef OSTRELXML_DTD_H
#define OSTRELXML_DTD_H

#include <ostrelxml/ostrelxmlexport.h>

#include <map>
#include <string>
#include <vector>

namespace ostrel_xml {

// Where a declaration stands: the file (a DTD file, an external parameter entity, or the
// document for its internal subset) and the 1-based line and column of its '<!'.
struct DtdPosition {
    std::string file;
    int line = 0;
    int column = 0;
};

// One node of an element content model: a name, or a sequence (a, b) or choice (a | b)
// of particles, each with how often it may occur.
struct ContentParticle {
    enum class Kind { Name, Sequence, Choice };
    enum class Occurrence { Once, Optional, ZeroOrMore, OneOrMore };  // "", ?, *, +
    Kind kind = Kind::Name;
    Occurrence occurrence = Occurrence::Once;
    std::string name;                       // Kind::Name: the element type
    std::vector<ContentParticle> children;  // Sequence and Choice: at least one
};

// <!ELEMENT name contentspec>
struct DtdElement {
    enum class Content { Empty, Any, Mixed, Children };
    std::string name;
    Content content = Content::Any;
    // Mixed: the element types allowed among the text, in declaration order; empty for
    // (#PCDATA) alone.
    std::vector<std::string> mixed;
    // Children: the model, a Sequence or Choice at its root.
    ContentParticle model;
    DtdPosition position;
};

// One attribute definition of an <!ATTLIST element ...> declaration.
struct DtdAttribute {
    enum class Type {
        CData, Id, IdRef, IdRefs, Entity, Entities, NmToken, NmTokens, Notation, Enumeration
    };
    enum class Default { Required, Implied, Fixed, Value };  // #REQUIRED, #IMPLIED, #FIXED "v", "v"
    std::string element;
    std::string name;
    Type type = Type::CData;
    std::vector<std::string> values;  // Notation and Enumeration: the allowed values, in order
    Default defaultKind = Default::Implied;
    // Fixed and Value: the default as a document reports it — references replaced, white
    // space normalized, and for every type but CDATA blanks collapsed.
    std::string defaultValue;
    DtdPosition position;
};

// <!ENTITY name ...> or <!ENTITY % name ...>
struct DtdEntity {
    std::string name;
    bool parameter = false;
    bool external = false;
    // Internal: the replacement text — character references and parameter-entity
    // references replaced, general entity references kept as written.
    std::string value;
    // External: the identifiers as written (publicId may be empty); notation is the NDATA
    // notation of an unparsed entity, empty for a parsed one.
    std::string publicId;
    std::string systemId;
    std::string notation;
    DtdPosition position;
};

// <!NOTATION name ExternalID | PUBLIC "pubid">
struct DtdNotation {
    std::string name;
    std::string publicId;
    std::string systemId;
    DtdPosition position;
};

// Every declaration of a DTD. The first declaration of a name binds: a later entity or
// attribute declaration of the same name is ignored, as XML 1.0 says, and so is a repeated
// element type or notation declaration (a validity error, not a well-formedness one).
// Lists keep declaration order.
struct Dtd {
    std::vector<DtdElement> elements;
    std::vector<DtdAttribute> attributes;
    std::vector<DtdEntity> entities;  // general and parameter; predefined ones not listed
    std::vector<DtdNotation> notations;
    // Every file read for it, the DTD file first (external parameter entities and
    // conditional sections can pull in more); empty for an internal subset.
    std::vector<std::string> files;
    // Internal subset: the first parameter entity it referred to that is not read (an
    // external one, or one not declared before the reference); empty for none. From there on entity and attribute-list declarations were
    // checked but not processed (unless the document is standalone), so a general entity
    // missing from the model may have been declared there.
    std::string unreadEntity;

    // The declaration of an element type; null for none.
    OSTRELXML_API const DtdElement* findElement(const std::string& name) const;
    // The attribute definitions for an element type, in declaration order.
    OSTRELXML_API std::vector<const DtdAttribute*> attributesOf(const std::string& element) const;
    // One attribute definition; null for none.
    OSTRELXML_API const DtdAttribute* findAttribute(const std::string& element,
                                                   const std::string& name) const;
    // A general or parameter entity; null for none.
    OSTRELXML_API const DtdEntity* findEntity(const std::string& name, bool parameter) const;
    // A notation; null for none.
    OSTRELXML_API const DtdNotation* findNotation(const std::string& name) const;
};

// Reads a DTD file — an external subset: markup declarations, conditional sections
// (INCLUDE and IGNORE), parameter-entity references anywhere a declaration allows them,
// external parameter entities by system identifier relative to the file that declares
// them, a text declaration — into the model. Encodings as for documents. Any error is an
// Ostrel::XException: "Error: <file>:<line>:<column>: <what was expected>".
OSTRELXML_API Dtd readDtdFile(const std::string& path);

// One line of text for an attribute type or a content model as a DTD writes it, for
// messages and generated comments: "(a, (b | c)*, d?)", "NMTOKENS", "(yes | no)".
OSTRELXML_API std::string describeModel(const DtdElement& element);
OSTRELXML_API std::string describeType(const DtdAttribute& attribute);

} // namespace ostrel_xml

#endif
