// What the header and the source writer share: declaration comments, namespaces, names.
#include "writers.h"

namespace ostrel_gen {

namespace {

std::vector<std::string> namespaceParts(const std::string& nameSpace) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = nameSpace.find("::", from)) != std::string::npos; from = at + 2)
        parts.push_back(nameSpace.substr(from, at - from));
    parts.push_back(nameSpace.substr(from));
    return parts;
}

// A value as a DTD quotes it: in double quotes unless it holds one.
std::string quotedValue(const std::string& value) {
    const char quote = value.find('"') == std::string::npos ? '"' : '\'';
    return quote + value + quote;
}

} // namespace

std::vector<std::string> declarationLines(const ElementPlan& element) {
    const ostrel_xml::DtdElement& declared = *element.declaration;
    std::vector<std::string> lines = {"<!ELEMENT " + declared.name + " " +
                                      ostrel_xml::describeModel(declared) + ">"};
    for (const AttributePlan& attribute : element.attributes) {
        const ostrel_xml::DtdAttribute& a = *attribute.declaration;
        std::string presence;
        switch (a.defaultKind) {
        case ostrel_xml::DtdAttribute::Default::Required: presence = "#REQUIRED"; break;
        case ostrel_xml::DtdAttribute::Default::Implied: presence = "#IMPLIED"; break;
        case ostrel_xml::DtdAttribute::Default::Fixed: presence = "#FIXED " + quotedValue(a.defaultValue); break;
        case ostrel_xml::DtdAttribute::Default::Value: presence = quotedValue(a.defaultValue); break;
        }
        lines.push_back("<!ATTLIST " + declared.name + " " + a.name + " " +
                        ostrel_xml::describeType(a) + " " + presence + ">");
    }
    return lines;
}

std::string openNamespace(const std::string& nameSpace) {
    std::string text;
    for (const std::string& part : namespaceParts(nameSpace)) text += "namespace " + part + " {\n";
    return text;
}

std::string closeNamespace(const std::string& nameSpace) {
    const std::vector<std::string> parts = namespaceParts(nameSpace);
    std::string text;
    for (auto part = parts.rbegin(); part != parts.rend(); ++part)
        text += "} // namespace " + *part + "\n";
    return text;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string classOf(const Plan& plan, const ElementPlan& element) {
    return element.isLeaf ? plan.valueClassOf(element) : element.id;
}

} // namespace ostrel_gen
