// The types file of ostrel-gen: which simple type an element's text or an attribute has
// when the default does not fit, and how messages name the document type.
//
// One directive per line; '#' starts a comment; words are separated by blanks:
//   title the XKB registry          how the importer's messages name the document type
//   text ELEMENT TYPE               the text of a #PCDATA-only element
//   attribute ELEMENT NAME TYPE     an attribute; ELEMENT '*' means every element
// TYPE is one of string, NMTOKENS, IDREFS, boolean, integer, non_negative_integer,
// positive_integer, non_positive_integer, negative_integer, real, decimal.
#ifndef OSTREL_GEN_TYPES_FILE_H
#define OSTREL_GEN_TYPES_FILE_H

#include <ostrelxml/binding_schema.h>

#include <string>
#include <vector>

namespace ostrel_gen {

using ostrel_xml::binding::ValueType;

// One text or attribute directive, with where it stands for messages.
struct TypeMapping {
    std::string element;    // "*" for every element (attributes only)
    std::string attribute;  // empty for an element's text
    ValueType type = ValueType::String;
    int line = 0;
    int column = 0;
};

struct TypesFile {
    std::string path;
    std::string title;  // empty when the file names none
    std::vector<TypeMapping> mappings;
};

// Reads a types file. Throws Ostrel::XException "Error: <file>:<line>:<column>: <what>"
// for a file that cannot be read, an unknown directive or type, or a missing word.
TypesFile readTypesFile(const std::string& path);
// The type named by word; false when there is none.
bool valueTypeNamed(const std::string& word, ValueType& type);
// The value class of a type: "Ostrel::integer".
const char* valueClass(ValueType type);
// What typed accessors give for a value of the type ("std::string", "bool", "int").
const char* plainType(ValueType type);
// What typed setters take ("const std::string&", "bool", "int").
const char* argumentType(ValueType type);

} // namespace ostrel_gen

#endif
