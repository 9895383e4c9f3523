// The XKB registry document type as tables for the importer: element kinds, their names,
// and the content model of each element as a sequence of particles.
#ifndef OSTREL_BINDINGS_XKB_SCHEMA_H
#define OSTREL_BINDINGS_XKB_SCHEMA_H

namespace xkb {
namespace schema {

// Every element of the document type; None for a name it does not have.
enum class Kind : unsigned char {
    xkbConfigRegistry, modelList, model, layoutList, layout, optionList, variantList, variant,
    group, option, configItem, countryList, languageList, hwList,
    name, shortDescription, description, vendor, iso3166Id, iso639Id, hwId,
    None
};
// The number of kinds besides None.
constexpr int kKinds = static_cast<int>(Kind::None);

// The element name of a kind ("" for None).
const char* nameOf(Kind kind);
// The kind of an element name; None when the document type has no such element.
Kind kindOf(const char* name);
// Whether the kind holds #PCDATA only.
inline bool isLeaf(Kind kind) { return kind >= Kind::name && kind < Kind::None; }

// How far an element's content has got: the particle reached, and whether it occurred.
struct Position {
    unsigned char particle = 0;
    bool seen = false;
};

enum class Placement {
    Accepted,    // the child takes its place; the position moved on
    NotInModel,  // the parent's content model has no such child at all
    Misplaced,   // repeated or out of order; *expected names a required child that comes first
};

// Places a child in the parent's content at pos. On Misplaced, *expected is the required
// child that must come before it, or None when the child is repeated or out of order.
Placement place(Kind parent, Position& pos, Kind child, Kind* expected);
// The first required child still missing when the parent ends at pos; None when complete.
Kind missingAtEnd(Kind parent, const Position& pos);

} // namespace schema
} // namespace xkb

#endif
