// Writing NAME.cpp: the document type as tables for the runtime, then the members of the
// classes, each a call into the element base.
#include "writers.h"

#include "naming.h"

#include <algorithm>
#include <sstream>

namespace ostrel_gen {

namespace {

const char* contentName(Content content) {
    switch (content) {
    case Content::Empty: return "Content::Empty";
    case Content::Any: return "Content::Any";
    case Content::Mixed: return "Content::Mixed";
    case Content::Elements: return "Content::Elements";
    case Content::Text: return "Content::Text";
    }
    return "";
}

const char* valueTypeName(ValueType type) {
    switch (type) {
    case ValueType::String: return "ValueType::String";
    case ValueType::NmTokens: return "ValueType::NmTokens";
    case ValueType::IdRefs: return "ValueType::IdRefs";
    case ValueType::Boolean: return "ValueType::Boolean";
    case ValueType::Integer: return "ValueType::Integer";
    case ValueType::NonNegativeInteger: return "ValueType::NonNegativeInteger";
    case ValueType::PositiveInteger: return "ValueType::PositiveInteger";
    case ValueType::NonPositiveInteger: return "ValueType::NonPositiveInteger";
    case ValueType::NegativeInteger: return "ValueType::NegativeInteger";
    case ValueType::Real: return "ValueType::Real";
    case ValueType::Decimal: return "ValueType::Decimal";
    }
    return "";
}

const char* presenceName(const ostrel_xml::DtdAttribute& attribute) {
    switch (attribute.defaultKind) {
    case ostrel_xml::DtdAttribute::Default::Required: return "Presence::Required";
    case ostrel_xml::DtdAttribute::Default::Implied: return "Presence::Implied";
    case ostrel_xml::DtdAttribute::Default::Fixed: return "Presence::Fixed";
    case ostrel_xml::DtdAttribute::Default::Value: return "Presence::Default";
    }
    return "";
}

class SourceWriter {
public:
    explicit SourceWriter(const Plan& plan) : m_plan(plan), m_ns("::" + plan.options.nameSpace + "::") {}

    std::string write() {
        m_os << "// " << m_plan.options.name << ".cpp: the element classes of the document type "
             << fileNameOf(m_plan.options.dtdPath) << ",\n"
             << "// written by ostrel-gen. Do not edit; change the DTD or the types file instead.\n"
             << "#include \"" << m_plan.options.name << ".h\"\n\n"
             << "#include <new>\n#include <utility>\n\n"
             << openNamespace(m_plan.options.nameSpace);
        writeKinds();
        writeTables();
        for (const ElementPlan& element : m_plan.elements)
            if (!element.isLeaf) writeMembers(element);
        m_os << "\nvoid RegisterCreateFunctions() {\n"
             << "    ostrel_xml::binding::registerCreateFunctions(tables::document);\n}\n\n"
             << "Importer::Importer() : BindingImporter(tables::document) {}\n\n"
             << closeNamespace(m_plan.options.nameSpace);
        return m_os.str();
    }

private:
    const ElementPlan& typeOf(int kind) const {
        return m_plan.elements[static_cast<std::size_t>(kind)];
    }
    std::string kindName(int kind) const { return "schema::" + typeOf(kind).id; }

    void writeKinds() {
        m_os << "\n// The element types, numbered in declaration order.\n"
             << "namespace schema {\nenum : ostrel_xml::binding::Kind {\n";
        for (const ElementPlan& element : m_plan.elements) m_os << "    " << element.id << ",\n";
        m_os << "};\n} // namespace schema\n";
    }

    void writeTables() {
        m_os << "\n// The document type as the runtime reads it.\nnamespace tables {\n\n";
        for (const char* name : {"AttributeType", "ChildSlot", "Content", "ElementType", "Presence",
                                 "Schema", "State", "Transition", "ValueType", "isA", "newElement",
                                 "newLeaf"})
            m_os << "using ostrel_xml::binding::" << name << ";\n";
        m_os << "\nextern const Schema document;\n";
        for (const ElementPlan& element : m_plan.elements) writeElementTables(element);
        writeTypes();
        std::vector<int> byName(m_plan.elements.size());
        for (std::size_t k = 0; k < byName.size(); ++k) byName[k] = static_cast<int>(k);
        std::sort(byName.begin(), byName.end(), [this](int a, int b) {
            return typeOf(a).declaration->name < typeOf(b).declaration->name;
        });
        m_os << "\n// The element types by name.\nconst ostrel_xml::binding::Kind byName[] = {\n";
        for (int kind : byName) m_os << "    " << kindName(kind) << ",\n";
        m_os << "};\n";
        writeEntities();
        m_os << "\nconst Schema document = {types, " << m_plan.elements.size() << ", byName, "
             << literal(m_plan.title) << ", "
             << (m_plan.options.root.empty() ? std::string("nullptr") : literal(m_plan.options.root))
             << ", entities};\n\n} // namespace tables\n";
    }

    // The internal general entities, for documents that refer to them.
    void writeEntities() {
        m_os << "\n// The general entities a document may refer to.\n"
                "const Ostrel::_TextEntity entities[] = {\n";
        for (const ostrel_xml::DtdEntity& entity : m_plan.dtd.entities)
            if (!entity.parameter && !entity.external)
                m_os << "    {" << literal(entity.name) << ", " << literal(entity.value) << "},\n";
        m_os << "    {nullptr, nullptr},\n};\n";
    }

    void writeElementTables(const ElementPlan& element) {
        const bool hasModel = element.content == Content::Mixed || element.content == Content::Elements;
        if (!hasModel && element.attributes.empty()) return;
        m_os << "\n";
        for (const std::string& line : declarationLines(element)) m_os << "// " << line << "\n";
        const std::string& id = element.id;
        if (!element.children.empty()) {
            m_os << "const ChildSlot children_" << id << "[] = {\n";
            for (const ChildPlan& child : element.children)
                m_os << "    {" << kindName(child.kind) << ", " << child.rank << "},\n";
            m_os << "};\n";
        }
        if (hasModel) {
            // State i's transitions follow those of the states before it.
            m_os << "const State states_" << id << "[] = {\n";
            unsigned first = 0;
            for (const Automaton::State& state : element.automaton.states) {
                m_os << "    {" << first << ", " << state.transitions.size() << ", "
                     << (state.accepting ? "true" : "false") << "},\n";
                first += static_cast<unsigned>(state.transitions.size());
            }
            m_os << "};\n";
            if (first > 0) {
                m_os << "const Transition transitions_" << id << "[] = {\n";
                for (std::size_t s = 0; s < element.automaton.states.size(); ++s)
                    for (const auto& step : element.automaton.states[s].transitions)
                        m_os << "    {" << kindName(step.first) << ", " << step.second << "},  // from "
                             << s << "\n";
                m_os << "};\n";
            }
        }
        for (std::size_t a = 0; a < element.attributes.size(); ++a) {
            const ostrel_xml::DtdAttribute& declared = *element.attributes[a].declaration;
            if (declared.values.empty()) continue;
            m_os << "const char* const values_" << id << "_" << a << "[] = {";
            for (std::size_t v = 0; v < declared.values.size(); ++v)
                m_os << (v ? ", " : "") << literal(declared.values[v]);
            m_os << "};\n";
        }
        if (element.attributes.empty()) return;
        m_os << "const AttributeType attributes_" << id << "[] = {\n";
        for (std::size_t a = 0; a < element.attributes.size(); ++a) {
            const AttributePlan& attribute = element.attributes[a];
            const ostrel_xml::DtdAttribute& declared = *attribute.declaration;
            const bool hasDefault = declared.defaultKind == ostrel_xml::DtdAttribute::Default::Fixed ||
                                    declared.defaultKind == ostrel_xml::DtdAttribute::Default::Value;
            m_os << "    {" << literal(declared.name) << ", " << valueTypeName(attribute.type) << ", "
                 << presenceName(declared) << ", "
                 << (hasDefault ? literal(declared.defaultValue) : std::string("nullptr")) << ", ";
            if (declared.values.empty())
                m_os << "nullptr, 0, ";
            else
                m_os << "values_" << id << "_" << a << ", " << declared.values.size() << ", ";
            m_os << (declared.type == ostrel_xml::DtdAttribute::Type::CData ? "false" : "true")
                 << "},\n";
        }
        m_os << "};\n";
    }

    void writeTypes() {
        m_os << "\nconst ElementType types[] = {\n";
        for (std::size_t k = 0; k < m_plan.elements.size(); ++k) {
            const ElementPlan& element = m_plan.elements[k];
            const std::string& id = element.id;
            const bool hasModel =
                element.content == Content::Mixed || element.content == Content::Elements;
            std::size_t transitions = 0;
            for (const Automaton::State& state : element.automaton.states)
                transitions += state.transitions.size();
            m_os << "    {" << literal(element.declaration->name) << ", " << contentName(element.content)
                 << ", " << valueTypeName(element.textType) << ", "
                 << (element.isLeaf ? "true" : "false") << ",\n     ";
            if (element.attributes.empty())
                m_os << "nullptr, 0, ";
            else
                m_os << "attributes_" << id << ", " << element.attributes.size() << ", ";
            if (element.children.empty())
                m_os << "nullptr, 0, ";
            else
                m_os << "children_" << id << ", " << element.children.size() << ", ";
            if (hasModel)
                m_os << "states_" << id << ", " << element.automaton.states.size() << ", "
                     << (transitions ? "transitions_" + id : std::string("nullptr")) << ",\n     ";
            else
                m_os << "nullptr, 0, nullptr,\n     ";
            if (element.isLeaf) {
                const std::string cls = m_plan.valueClassOf(element);
                m_os << "&newLeaf<" << cls << ", document, schema::" << id << ">, &isA<" << cls
                     << ">, &document},\n";
            } else {
                m_os << "&newElement<" << m_ns << id << ">, &isA<" << m_ns << id
                     << ">, &document},\n";
            }
        }
        m_os << "};\n";
    }

    void writeMembers(const ElementPlan& element) {
        const std::string& id = element.id;
        const std::string base = element.content == Content::Text ? "TextElement" : "Element";
        std::string views;
        for (const ChildPlan& child : element.children)
            if (child.repeated)
                views += ",\n      m_" + child.pluralWord + "(*this, " + kindName(child.kind) + ")";
        m_os << "\n// " << element.declaration->name << "\n\n"
             << id << "::" << id << "()\n    : " << base << "(tables::types[schema::" << id << "])"
             << views << " {}\n";
        if (element.hasViews())
            m_os << id << "::" << id << "(const " << id << "& other)\n    : " << base << "(other)"
                 << views << " {}\n"
                 << id << "& " << id << "::operator=(const " << id << "& other) {\n"
                 << "    " << base << "::operator=(other);\n    return *this;\n}\n";
        m_os << "Ostrel::XObject* " << id << "::clone() const { return new (std::nothrow) " << id
             << "(*this); }\n";
        for (const ChildPlan& child : element.children) writeChildMembers(element, child);
        for (std::size_t a = 0; a < element.attributes.size(); ++a)
            writeAttributeMembers(element, element.attributes[a], a);
    }

    void writeChildMembers(const ElementPlan& element, const ChildPlan& child) {
        const ElementPlan& type = typeOf(child.kind);
        const std::string cls = classOf(m_plan, type);
        const std::string kind = kindName(child.kind);
        const std::string& id = element.id;
        if (child.repeated) {
            if (type.isLeaf)
                m_os << cls << "& " << id << "::Add" << child.word << "("
                     << argumentType(type.textType) << " value) {\n    return addLeaf<" << cls
                     << ">(" << kind << ", value);\n}\n";
            return;
        }
        m_os << cls << "* " << id << "::Get" << child.word << "() { return child<" << cls << ">("
             << kind << "); }\n"
             << "const " << cls << "* " << id << "::Get" << child.word << "() const { return child<"
             << cls << ">(" << kind << "); }\n";
        if (type.isLeaf)
            m_os << "void " << id << "::Set" << child.word << "(" << argumentType(type.textType)
                 << " value) {\n    setLeaf<" << cls << ">(" << kind << ", value);\n}\n";
        m_os << "void " << id << "::Set" << child.word << "(std::unique_ptr<" << cls
             << "> element) {\n    setChild(" << kind << ", std::move(element));\n}\n";
    }

    void writeAttributeMembers(const ElementPlan& element, const AttributePlan& attribute,
                               std::size_t index) {
        const std::string& id = element.id;
        const std::string cls = valueClass(attribute.type);
        m_os << plainType(attribute.type) << " " << id << "::Get" << attribute.word
             << "() const {\n    return attributeValue<" << cls << ">(" << index << ");\n}\n"
             << "void " << id << "::Set" << attribute.word << "(" << argumentType(attribute.type)
             << " value) {\n    setAttributeValue<" << cls << ">(" << index << ", value);\n}\n";
        if (!attribute.declaration->values.empty() && attribute.type == ValueType::String)
            m_os << "bool " << id << "::Is" << attribute.word << "(const std::string& value) {\n"
                 << "    return ostrel_xml::binding::isAllowedText(tables::attributes_" << id << "["
                 << index << "], value);\n}\n";
    }

    const Plan& m_plan;
    const std::string m_ns;  // the binding's namespace, qualified from the global one
    std::ostringstream m_os;
};

} // namespace

std::string writeSource(const Plan& plan) { return SourceWriter(plan).write(); }

} // namespace ostrel_gen
