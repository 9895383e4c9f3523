// How ostrel-gen turns XML names into C++ names.
//
// The rule: every character other than an ASCII letter or digit becomes '_' (a character
// beyond ASCII counts as one), runs of '_' become one, and a leading '_' gets an 'x' in
// front. A result that is a C++ keyword or one of the names the generated code uses itself
// (Importer, RegisterCreateFunctions, schema, tables, std, Ostrel, ostrel_xml, clone and
// the other member names of the element base classes) gets a trailing '_'. So
// "remap-dir" becomes remap_dir, "xml:space" xml_space, "int" int_.
// Two names that end up the same are an error of the generator.
#ifndef OSTREL_GEN_NAMING_H
#define OSTREL_GEN_NAMING_H

#include <string>

namespace ostrel_gen {

// The C++ identifier for an XML name, as described above.
std::string identifier(const std::string& xmlName);
// The word accessors are made of: the identifier before any trailing '_', its first
// letter in upper case ("iso3166Id" -> "Iso3166Id", "int" -> "Int").
std::string accessorWord(const std::string& xmlName);
// The English plural of an accessor word: "Model" -> "Models", "Class" -> "Classes",
// "Entry" -> "Entries".
std::string plural(const std::string& word);
// Whether the word is a C++ keyword or alternative token.
bool isKeyword(const std::string& word);
// name as a C++ string literal, escaped where needed.
std::string literal(const std::string& text);

} // namespace ostrel_gen

#endif
