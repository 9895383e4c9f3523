// The document type of a generated binding as constant data: one ElementType per element
// type with its attributes and its content model (a deterministic automaton over the child
// element types), and the Schema that holds them all. ostrel-gen writes these tables; the
// element base class, the views and the importer of binding_element.h and
// binding_importer.h work from them.
#ifndef OSTRELXML_BINDING_SCHEMA_H
#define OSTRELXML_BINDING_SCHEMA_H

#include <ostrelxml/ostrelxmlexport.h>

#include <ostrelbase/ostrel.h>
#include <ostrelbase/xmlimporterbase.h>
#include <ostrelbase/xobjfactory.h>

#include <memory>
#include <string>

namespace ostrel_xml {
namespace binding {

// An element type: its index in Schema::types.
using Kind = unsigned short;
// The kind of a text child in mixed content.
constexpr Kind kTextKind = 0xFFFF;

// The simple types an attribute value or the text of an element can have.
enum class ValueType : unsigned char {
    String, NmTokens, IdRefs, Boolean, Integer, NonNegativeInteger, PositiveInteger,
    NonPositiveInteger, NegativeInteger, Real, Decimal
};

enum class Presence : unsigned char { Implied, Required, Fixed, Default };

// One attribute definition.
struct AttributeType {
    const char* name;
    ValueType type;
    Presence presence;
    const char* defaultValue;     // Fixed and Default: the declared value; otherwise null
    const char* const* allowed;   // an enumeration's or notation's values; null for any value
    unsigned short allowedCount;
    bool tokenized = false;       // not CDATA: a value's blanks are collapsed when it is read
};

// What an element may contain: nothing, any declared element and text, text and the
// elements of its children list in any order, elements as its automaton says, or a
// simple value written as text.
enum class Content : unsigned char { Empty, Any, Mixed, Elements, Text };

// A child element type the content model names; rank orders where a new child of that
// type is inserted (its place in the model's top-level sequence; 0 throughout otherwise).
struct ChildSlot {
    Kind kind;
    unsigned short rank;
};

// One state of a content model's automaton: its transitions are
// transitions[first .. first + count).
struct State {
    unsigned first;  // a model of many states and kinds has more than 65,535 in all
    unsigned short count;
    bool accepting;
};
struct Transition {
    Kind kind;
    unsigned short to;
};

struct Schema;

struct ElementType {
    const char* name;
    Content content;
    ValueType textType;     // Text: the type of the value
    bool isLeaf;            // Text without attributes: the element is the value object itself
    const AttributeType* attributes;
    unsigned short attributeCount;
    const ChildSlot* children;  // Mixed and Elements
    unsigned short childCount;
    const State* states;        // Mixed and Elements; state 0 is the start
    unsigned short stateCount;
    const Transition* transitions;
    Ostrel::CreateFunction create;
    bool (*isA)(const Ostrel::XObject& object);  // whether object is of this type's class
    const Schema* schema;
};

struct Schema {
    const ElementType* types;
    unsigned short count;
    const Kind* byName;   // every kind, ordered by name (byte order)
    const char* title;    // how messages name the document type: "the XKB registry"
    const char* root;     // the only element allowed as root; null for any
    // The DTD's internal general entities, ended by a null record: a document may refer
    // to them although its external DTD is never read.
    const Ostrel::_TextEntity* entities;
};

// The kind of an element name; schema.count when the schema has none.
OSTRELXML_API Kind findKind(const Schema& schema, const char* name);

// The state an automaton goes to from state on a child of kind; -1 when it cannot take it.
OSTRELXML_API int nextState(const ElementType& type, int state, Kind kind);
// Whether the model names kind at all (Any: every kind).
OSTRELXML_API bool namesChild(const ElementType& type, Kind kind);
// The one element type that must come before a child of kind can follow state, or
// kTextKind when there is none such (the child is then repeated or out of order).
OSTRELXML_API Kind requiredBefore(const ElementType& type, int state, Kind kind);
// The one element type needed to complete the content from state, kTextKind when more
// than one could; call it for a state that does not accept.
OSTRELXML_API Kind requiredToEnd(const ElementType& type, int state);

// A new object of the value class of type, tagged tag; throws std::bad_alloc.
OSTRELXML_API std::unique_ptr<Ostrel::XObject> makeValue(ValueType type, const std::string& tag);
// Whether object is of the value class of type.
OSTRELXML_API bool isValueOf(ValueType type, const Ostrel::XObject& object);
// Whether text is a value of the type as a document writes it (the value classes read
// more leniently than that, and would turn a wrong text into a wrong value silently).
OSTRELXML_API bool isLexical(ValueType type, const std::string& text);
// What the values of the type look like, for messages: "an integer", "'true' or 'false'".
OSTRELXML_API const char* describeValues(ValueType type);
// The text of a value (unescaped), as the value class writes it; "" for an object of
// another class.
OSTRELXML_API std::string valueText(ValueType type, const Ostrel::XObject& value);
// Value := text read by the value's class (a string takes it as it is); false when value is
// of another class or its class refuses the text.
OSTRELXML_API bool setValueText(ValueType type, Ostrel::XObject& value, const std::string& text);
// Whether an attribute value obeys its definition: class, enumeration, #FIXED value.
OSTRELXML_API bool isAllowedValue(const AttributeType& attribute, const Ostrel::XObject& value);
// Whether text is one of the values an enumerated attribute allows (any text otherwise).
OSTRELXML_API bool isAllowedText(const AttributeType& attribute, const std::string& text);

} // namespace binding
} // namespace ostrel_xml

#endif
