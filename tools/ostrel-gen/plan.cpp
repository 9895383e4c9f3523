// Deciding names, types and tables of a binding (see plan.h).
#include "plan.h"

#include "naming.h"

#include <ostrelbase/ostrelexcept.h>

#include <algorithm>
#include <map>
#include <set>

namespace ostrel_gen {

namespace {

using ostrel_xml::ContentParticle;
using ostrel_xml::DtdAttribute;
using ostrel_xml::DtdElement;
using ostrel_xml::DtdPosition;

// A content model with more states than this is refused rather than tabulated.
constexpr std::size_t kMaxStates = 4096;

// Member names of the generated classes' bases and the ones every class gets: an accessor
// may not take them.
const std::set<std::string> kTakenMembers = {
    "AddText", "EmitAsAttribute", "EmitAttributes", "EmitXML", "EmitXMLHeader", "EmitXMLToFile",
    "GetChild", "GetChildCount", "GetElementType", "GetTag", "GetValue", "HasAttribute",
    "HasElement", "IsTextChild", "IsValid", "RemoveAttribute", "RemoveChild", "RemoveElement",
    "SetTag", "SetValue"};

[[noreturn]] void failAt(const DtdPosition& at, const std::string& what) {
    OSTREL_THROW("Error: " + at.file + ":" + std::to_string(at.line) + ":" +
                 std::to_string(at.column) + ": " + what);
}

[[noreturn]] void failAt(const TypesFile& file, const TypeMapping& at, const std::string& what) {
    OSTREL_THROW("Error: " + file.path + ":" + std::to_string(at.line) + ":" +
                 std::to_string(at.column) + ": " + what);
}

std::string quoted(const std::string& name) { return "'" + name + "'"; }

// The element names of a model in the order they first appear.
void namesIn(const ContentParticle& particle, std::vector<std::string>& names) {
    if (particle.kind == ContentParticle::Kind::Name) {
        if (std::find(names.begin(), names.end(), particle.name) == names.end())
            names.push_back(particle.name);
        return;
    }
    for (const ContentParticle& child : particle.children) namesIn(child, names);
}

bool repeats(const ContentParticle& particle) {
    return particle.occurrence == ContentParticle::Occurrence::ZeroOrMore ||
           particle.occurrence == ContentParticle::Occurrence::OneOrMore;
}

// How often name may occur in the model: 0, 1, or 2 for more than once.
int occurrences(const ContentParticle& particle, const std::string& name) {
    int count = 0;
    switch (particle.kind) {
    case ContentParticle::Kind::Name: count = particle.name == name ? 1 : 0; break;
    case ContentParticle::Kind::Sequence:
        for (const ContentParticle& child : particle.children)
            count = std::min(2, count + occurrences(child, name));
        break;
    case ContentParticle::Kind::Choice:
        for (const ContentParticle& child : particle.children)
            count = std::max(count, occurrences(child, name));
        break;
    }
    return count > 0 && repeats(particle) ? 2 : count;
}

// Where new children of name go: the index of the first part of a top-level sequence that
// names it; 0 for every name of other models (new children go at the end).
unsigned rankIn(const ContentParticle& model, const std::string& name) {
    if (model.kind != ContentParticle::Kind::Sequence || repeats(model)) return 0;
    for (std::size_t i = 0; i < model.children.size(); ++i)
        if (occurrences(model.children[i], name) > 0) return static_cast<unsigned>(i);
    return 0;
}

bool isTrueFalse(const DtdAttribute& attribute) {
    if (attribute.type != DtdAttribute::Type::Enumeration || attribute.values.size() != 2)
        return false;
    std::vector<std::string> values = attribute.values;
    std::sort(values.begin(), values.end());
    return values[0] == "false" && values[1] == "true";
}

ValueType defaultType(const DtdAttribute& attribute) {
    switch (attribute.type) {
    case DtdAttribute::Type::NmTokens: return ValueType::NmTokens;
    case DtdAttribute::Type::IdRefs: return ValueType::IdRefs;
    default: return isTrueFalse(attribute) ? ValueType::Boolean : ValueType::String;
    }
}

// Gives each accessor word of an element a name no other member has: on a clash the word
// gets suffix, and a second clash is an error.
class MemberNames {
public:
    MemberNames(const ElementPlan& element) : m_element(element) {}
    std::string claim(const std::string& word, const std::vector<std::string>& prefixes,
                      const std::string& suffix, const std::string& what) {
        for (const std::string& candidate : {word, word + suffix}) {
            bool free = true;
            for (const std::string& prefix : prefixes)
                free = free && !kTakenMembers.count(prefix + candidate) &&
                       !m_used.count(prefix + candidate);
            if (!free) continue;
            for (const std::string& prefix : prefixes) m_used.insert(prefix + candidate);
            return candidate;
        }
        failAt(m_element.declaration->position,
               "the accessors of " + what + " in element " + quoted(m_element.declaration->name) +
                   " would have the name of another member ('" + prefixes[0] + word + suffix + "')");
    }

private:
    const ElementPlan& m_element;
    std::set<std::string> m_used;
};

// The type mapping for an element's text or one of its attributes; null for none.
const TypeMapping* mappingFor(const TypesFile& types, const std::string& element,
                              const std::string& attribute) {
    const TypeMapping* any = nullptr;
    for (const TypeMapping& mapping : types.mappings) {
        if (mapping.attribute != attribute) continue;
        if (mapping.element == element) return &mapping;
        if (mapping.element == "*" && !any) any = &mapping;
    }
    return any;
}

// Each directive names what the DTD declares, and is given once.
void checkTypesFile(const Plan& plan) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const TypeMapping& mapping : plan.types.mappings) {
        if (!seen.insert({mapping.element, mapping.attribute}).second)
            failAt(plan.types, mapping, "a second type for the same " +
                                            std::string(mapping.attribute.empty() ? "text" : "attribute"));
        if (mapping.element == "*") {
            bool declared = false;
            for (const DtdAttribute& attribute : plan.dtd.attributes)
                declared = declared || attribute.name == mapping.attribute;
            if (!declared)
                failAt(plan.types, mapping,
                       "no element of the DTD declares the attribute " + quoted(mapping.attribute));
            continue;
        }
        const DtdElement* element = plan.dtd.findElement(mapping.element);
        if (!element)
            failAt(plan.types, mapping, "the DTD declares no element " + quoted(mapping.element));
        if (mapping.attribute.empty()) {
            if (element->content != DtdElement::Content::Mixed || !element->mixed.empty())
                failAt(plan.types, mapping,
                       "element " + quoted(mapping.element) +
                           " does not hold text alone: only a (#PCDATA) element has a text type");
        } else if (!plan.dtd.findAttribute(mapping.element, mapping.attribute)) {
            failAt(plan.types, mapping,
                   "the DTD declares no attribute " + quoted(mapping.attribute) + " for element " +
                       quoted(mapping.element));
        }
    }
}

// Every value an attribute declaration names is a value of the attribute's type.
void checkValues(const Plan& plan, const AttributePlan& attribute) {
    const DtdAttribute& declared = *attribute.declaration;
    const TypeMapping* mapping = mappingFor(plan.types, declared.element, declared.name);
    std::vector<std::string> values = declared.values;
    if (declared.defaultKind == DtdAttribute::Default::Fixed ||
        declared.defaultKind == DtdAttribute::Default::Value)
        values.push_back(declared.defaultValue);
    for (const std::string& value : values) {
        if (ostrel_xml::binding::isLexical(attribute.type, value)) continue;
        const std::string what = "attribute " + quoted(declared.name) + " of element " +
                                 quoted(declared.element) + " names the value " + quoted(value) +
                                 ", which is not " +
                                 ostrel_xml::binding::describeValues(attribute.type);
        if (mapping) failAt(plan.types, *mapping, what);
        failAt(declared.position, what);
    }
}

void planContent(Plan& plan, ElementPlan& element, const std::map<std::string, int>& kinds) {
    const DtdElement& declared = *element.declaration;
    auto kindOf = [&kinds](const std::string& name) {
        const auto found = kinds.find(name);
        return found == kinds.end() ? -1 : found->second;
    };
    std::vector<std::string> names;
    switch (declared.content) {
    case DtdElement::Content::Empty: element.content = Content::Empty; return;
    case DtdElement::Content::Any: element.content = Content::Any; return;
    case DtdElement::Content::Mixed: {
        if (declared.mixed.empty()) {
            element.content = Content::Text;
            const TypeMapping* mapping = mappingFor(plan.types, declared.name, "");
            if (mapping) element.textType = mapping->type;
            element.isLeaf = plan.dtd.attributesOf(declared.name).empty();
            return;
        }
        element.content = Content::Mixed;
        names = declared.mixed;
        break;
    }
    case DtdElement::Content::Children:
        element.content = Content::Elements;
        namesIn(declared.model, names);
        break;
    }
    std::vector<int> mixedKinds;
    for (const std::string& name : names) {
        const int kind = kindOf(name);
        if (kind < 0) {
            plan.warnings.push_back(declared.position.file + ":" +
                                    std::to_string(declared.position.line) + ":" +
                                    std::to_string(declared.position.column) + ": element " +
                                    quoted(name) + " in the content of " + quoted(declared.name) +
                                    " is not declared; no child can be one");
            continue;
        }
        ChildPlan child;
        child.kind = kind;
        if (element.content == Content::Mixed) {
            child.repeated = true;
            mixedKinds.push_back(kind);
        } else {
            child.repeated = occurrences(declared.model, name) > 1;
            child.rank = rankIn(declared.model, name);
        }
        element.children.push_back(child);
    }
    if (element.content == Content::Mixed) {
        element.automaton = mixedAutomaton(mixedKinds);
    } else if (!buildAutomaton(declared.model, kindOf, kMaxStates, element.automaton)) {
        failAt(declared.position, "the content model of element " + quoted(declared.name) +
                                      " needs more than " + std::to_string(kMaxStates) +
                                      " states; it is too complex to tabulate");
    }
}

void planAccessors(const Plan& plan, ElementPlan& element) {
    if (element.isLeaf) return;
    MemberNames members(element);
    for (ChildPlan& child : element.children) {
        const ElementPlan& type = plan.elements[static_cast<std::size_t>(child.kind)];
        const std::string word = accessorWord(type.declaration->name);
        const std::string what = "child " + quoted(type.declaration->name);
        if (child.repeated) {
            // Get<plural> for the view, Add<word> for a leaf's value.
            child.pluralWord = members.claim(plural(word), {"Get", "m_"}, "Elements", what);
            child.word = type.isLeaf ? members.claim(word, {"Add"}, "Element", what) : word;
        } else {
            child.word = members.claim(word, {"Get", "Set"}, "Element", what);
        }
    }
    for (AttributePlan& attribute : element.attributes) {
        attribute.word = members.claim(accessorWord(attribute.declaration->name),
                                       {"Get", "Set", "Is"}, "Attribute",
                                       "attribute " + quoted(attribute.declaration->name));
    }
}

} // namespace

void makePlan(Plan& plan) {
    checkTypesFile(plan);
    plan.title = !plan.types.title.empty() ? plan.types.title
                                           : "the " + plan.options.name + " document type";
    if (plan.dtd.elements.empty())
        OSTREL_THROW("Error: " + plan.options.dtdPath +
                     ":1:1: the DTD declares no element type: there is nothing to bind");
    if (!plan.options.root.empty() && !plan.dtd.findElement(plan.options.root))
        OSTREL_THROW("Error: " + plan.options.dtdPath + ":1:1: the root element " +
                     quoted(plan.options.root) + " is not declared");

    std::map<std::string, int> kinds;
    std::map<std::string, const DtdElement*> ids;
    for (const DtdElement& declared : plan.dtd.elements) {
        ElementPlan element;
        element.declaration = &declared;
        element.id = identifier(declared.name);
        const auto clash = ids.find(element.id);
        if (clash != ids.end())
            failAt(declared.position, "elements " + quoted(clash->second->name) + " and " +
                                          quoted(declared.name) + " would both be the C++ name " +
                                          quoted(element.id));
        ids.emplace(element.id, &declared);
        kinds.emplace(declared.name, static_cast<int>(plan.elements.size()));
        plan.elements.push_back(element);
    }
    for (const DtdAttribute& attribute : plan.dtd.attributes) {
        if (!plan.dtd.findElement(attribute.element))
            plan.warnings.push_back(attribute.position.file + ":" +
                                    std::to_string(attribute.position.line) + ":" +
                                    std::to_string(attribute.position.column) +
                                    ": attributes of the undeclared element " +
                                    quoted(attribute.element) + " are ignored");
    }
    for (ElementPlan& element : plan.elements) {
        planContent(plan, element, kinds);
        for (const DtdAttribute* declared : plan.dtd.attributesOf(element.declaration->name)) {
            AttributePlan attribute;
            attribute.declaration = declared;
            const TypeMapping* mapping = mappingFor(plan.types, declared->element, declared->name);
            attribute.type = mapping ? mapping->type : defaultType(*declared);
            checkValues(plan, attribute);
            element.attributes.push_back(attribute);
        }
    }
    for (ElementPlan& element : plan.elements) planAccessors(plan, element);
}

} // namespace ostrel_gen
