// What ostrel-gen writes for a document type, decided once for both writers: one entry per
// element type with its C++ names, its children and attributes with their accessors, its
// value types and its content model's automaton.
#ifndef OSTREL_GEN_PLAN_H
#define OSTREL_GEN_PLAN_H

#include "automaton.h"
#include "types_file.h"

#include <ostrelxml/binding_schema.h>
#include <ostrelxml/dtd.h>

#include <string>
#include <vector>

namespace ostrel_gen {

using ostrel_xml::binding::Content;

struct Options {
    std::string dtdPath;
    std::string typesPath;   // empty: no types file
    std::string nameSpace;   // may be nested: "a::b"
    std::string name;        // the stem of NAME.h and NAME.cpp
    std::string root;        // empty: any element may be the root
};

// A child element type an element's content model names.
struct ChildPlan {
    int kind = 0;
    unsigned rank = 0;      // where a new one goes (see ChildSlot)
    bool repeated = false;  // may occur more than once: a view, else Get/Set
    std::string word;       // accessor word: Get<word>, Set<word>, Add<word>
    std::string pluralWord; // repeated: Get<pluralWord>
};

struct AttributePlan {
    const ostrel_xml::DtdAttribute* declaration = nullptr;
    ValueType type = ValueType::String;
    std::string word;  // Get<word>, Set<word>, Is<word>
};

struct ElementPlan {
    const ostrel_xml::DtdElement* declaration = nullptr;
    std::string id;  // the class name and the kind's name
    Content content = Content::Any;
    ValueType textType = ValueType::String;
    bool isLeaf = false;  // #PCDATA only, no attributes: a value object, no class
    std::vector<ChildPlan> children;
    std::vector<AttributePlan> attributes;
    Automaton automaton;  // Mixed and Elements

    bool hasViews() const {
        for (const ChildPlan& child : children)
            if (child.repeated) return true;
        return false;
    }
};

struct Plan {
    Options options;
    ostrel_xml::Dtd dtd;
    TypesFile types;
    std::string title;  // "the XKB registry"
    std::vector<ElementPlan> elements;  // indexed by kind: declaration order
    std::vector<std::string> warnings;

    // The value class of an element's leaves or text: "Ostrel::string".
    const char* valueClassOf(const ElementPlan& element) const { return valueClass(element.textType); }
};

// Fills plan.elements, title and warnings from plan.options, plan.dtd and plan.types.
// Throws Ostrel::XException "Error: <file>:<line>:<column>: <what>" for two names that
// become the same C++ name, a types file directive that does not fit the DTD, a value
// that is no value of its type, a root that is not declared, or a content model too
// complex to tabulate.
void makePlan(Plan& plan);

} // namespace ostrel_gen

#endif
