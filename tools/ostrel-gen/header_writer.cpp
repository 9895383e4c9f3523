// Writing NAME.h: one class per element type that is not a leaf, the importer, and the
// registration of the create functions.
#include "writers.h"

#include <sstream>

namespace ostrel_gen {

namespace {

const char* const kView = "ostrel_xml::binding::ChildView";

std::string baseOf(const Plan& plan, const ElementPlan& element) {
    if (element.content == Content::Text)
        return std::string("ostrel_xml::binding::TextElement<") + plan.valueClassOf(element) + ">";
    return "ostrel_xml::binding::Element";
}

void writeChild(std::ostream& os, const Plan& plan, const ChildPlan& child) {
    const ElementPlan& type = plan.elements[static_cast<std::size_t>(child.kind)];
    const std::string cls = classOf(plan, type);
    const std::string& name = type.declaration->name;
    if (child.repeated) {
        const std::string view = std::string(kView) + "<" + cls + ">";
        os << "\n    // The " << name << " children in document order.\n"
           << "    " << view << "& Get" << child.pluralWord << "() { return m_" << child.pluralWord
           << "; }\n"
           << "    const " << view << "& Get" << child.pluralWord << "() const { return m_"
           << child.pluralWord << "; }\n";
        if (type.isLeaf)
            os << "    // Adds an element " << name << " holding value after the others; returns it.\n"
               << "    " << cls << "& Add" << child.word << "(" << argumentType(type.textType)
               << " value);\n";
        return;
    }
    os << "\n    // The " << name << " child; null when absent.\n"
       << "    " << cls << "* Get" << child.word << "();\n"
       << "    const " << cls << "* Get" << child.word << "() const;\n";
    if (type.isLeaf)
        os << "    // Sets the value of the " << name << " child, making it when absent.\n"
           << "    void Set" << child.word << "(" << argumentType(type.textType) << " value);\n";
    os << "    // Takes element as the " << name
       << " child (tagged so), in the place of the old one; null removes it.\n"
       << "    void Set" << child.word << "(std::unique_ptr<" << cls << "> element);\n";
}

void writeAttribute(std::ostream& os, const AttributePlan& attribute) {
    const ostrel_xml::DtdAttribute& declared = *attribute.declaration;
    const std::string& word = attribute.word;
    os << "\n    // The " << declared.name << " attribute; "
       << (declared.defaultKind == ostrel_xml::DtdAttribute::Default::Fixed ||
                   declared.defaultKind == ostrel_xml::DtdAttribute::Default::Value
               ? "the declared default"
               : "the value type's default")
       << " when absent.\n"
       << "    " << plainType(attribute.type) << " Get" << word << "() const;\n"
       << "    // Stores the " << declared.name
       << " attribute (IsValid tells whether the value is allowed).\n"
       << "    void Set" << word << "(" << argumentType(attribute.type) << " value);\n";
    if (!declared.values.empty() && attribute.type == ValueType::String)
        os << "    // Whether value is one the " << declared.name << " attribute allows.\n"
           << "    static bool Is" << word << "(const std::string& value);\n";
}

void writeClass(std::ostream& os, const Plan& plan, const ElementPlan& element) {
    const std::string& id = element.id;
    os << "\n";
    for (const std::string& line : declarationLines(element)) os << "// " << line << "\n";
    os << "class " << id << " : public " << baseOf(plan, element) << " {\n"
       << "public:\n"
       << "    // No children; the declared defaults of the attributes.\n"
       << "    " << id << "();\n";
    if (element.hasViews())
        os << "    // Deep copy; throws Ostrel::XException when memory runs out.\n"
           << "    " << id << "(const " << id << "& other);\n"
           << "    // Tag and children (deep) of other; the attributes stay.\n"
           << "    " << id << "& operator=(const " << id << "& other);\n";
    for (const ChildPlan& child : element.children) writeChild(os, plan, child);
    if (element.content == Content::Mixed || element.content == Content::Any)
        os << "\n    // Adds text after the last child.\n"
           << "    void AddText(const std::string& text) { appendText(text); }\n";
    for (const AttributePlan& attribute : element.attributes) writeAttribute(os, attribute);
    os << "\n    // A deep copy owned by the caller; null when memory runs out.\n"
       << "    Ostrel::XObject* clone() const override;\n";
    if (element.hasViews()) {
        os << "\nprivate:\n";
        for (const ChildPlan& child : element.children) {
            if (!child.repeated) continue;
            const ElementPlan& type = plan.elements[static_cast<std::size_t>(child.kind)];
            os << "    " << kView << "<" << classOf(plan, type) << "> m_" << child.pluralWord
               << ";\n";
        }
    }
    os << "};\n";
}

std::string guardOf(const Plan& plan) {
    std::string guard;
    for (const char c : plan.options.nameSpace + "_" + plan.options.name + "_H") {
        if (c >= 'a' && c <= 'z') guard += static_cast<char>(c - 'a' + 'A');
        else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) guard += c;
        else if (guard.empty() || guard.back() != '_') guard += '_';
    }
    return guard;
}

} // namespace

std::string writeHeader(const Plan& plan) {
    std::ostringstream os;
    const std::string guard = guardOf(plan);
    os << "// " << plan.options.name << ".h: the element classes of the document type "
       << fileNameOf(plan.options.dtdPath) << ",\n"
       << "// written by ostrel-gen. Do not edit; change the DTD or the types file instead.\n"
       << "//\n"
       << "// Every class keeps its children in document order; its accessors are views on them.\n"
       << "// Copies are deep; assignment copies the tag and the children and keeps the\n"
       << "// attributes; a new element carries the declared defaults of its attributes.\n"
       << "#ifndef " << guard << "\n#define " << guard << "\n\n"
       << "#include <ostrelxml/binding.h>\n\n"
       << "#include <memory>\n#include <string>\n\n"
       << openNamespace(plan.options.nameSpace);
    bool declared = false;
    for (const ElementPlan& element : plan.elements) {
        if (element.isLeaf) continue;
        if (!declared) os << "\n";
        os << "class " << element.id << ";\n";
        declared = true;
    }
    for (const ElementPlan& element : plan.elements)
        if (!element.isLeaf) writeClass(os, plan, element);
    os << "\n// Registers the create function of every element type with Ostrel::XObjectFactory\n"
       << "// under its name (a leaf's makes its value object, tagged so); calling it again\n"
       << "// registers the same functions again.\n"
       << "void RegisterCreateFunctions();\n\n"
       << "// Reads a document of this type into the classes above: ImportFromFile, then\n"
       << "// GetXObject for the root, freed with DeleteImportedXObject. Anything the document\n"
       << "// type does not allow is an Ostrel::XException naming file, line and column.\n"
       << "class Importer : public ostrel_xml::binding::BindingImporter {\n"
       << "public:\n"
       << "    Importer();\n"
       << "};\n\n"
       << closeNamespace(plan.options.nameSpace) << "\n#endif\n";
    return os.str();
}

} // namespace ostrel_gen
