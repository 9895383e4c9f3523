// Look-ups in the DTD model and its descriptions as a DTD writes them.
#include <ostrelxml/dtd.h>

namespace ostrel_xml {

const DtdElement* Dtd::findElement(const std::string& name) const {
    for (const DtdElement& element : elements)
        if (element.name == name) return &element;
    return nullptr;
}

std::vector<const DtdAttribute*> Dtd::attributesOf(const std::string& element) const {
    std::vector<const DtdAttribute*> found;
    for (const DtdAttribute& attribute : attributes)
        if (attribute.element == element) found.push_back(&attribute);
    return found;
}

const DtdAttribute* Dtd::findAttribute(const std::string& element,
                                       const std::string& name) const {
    for (const DtdAttribute& attribute : attributes)
        if (attribute.element == element && attribute.name == name) return &attribute;
    return nullptr;
}

const DtdEntity* Dtd::findEntity(const std::string& name, bool parameter) const {
    for (const DtdEntity& entity : entities)
        if (entity.name == name && entity.parameter == parameter) return &entity;
    return nullptr;
}

const DtdNotation* Dtd::findNotation(const std::string& name) const {
    for (const DtdNotation& notation : notations)
        if (notation.name == name) return &notation;
    return nullptr;
}

namespace {

const char* occurrenceMark(ContentParticle::Occurrence occurrence) {
    switch (occurrence) {
    case ContentParticle::Occurrence::Optional: return "?";
    case ContentParticle::Occurrence::ZeroOrMore: return "*";
    case ContentParticle::Occurrence::OneOrMore: return "+";
    case ContentParticle::Occurrence::Once: break;
    }
    return "";
}

std::string joined(const std::vector<std::string>& items, const char* separator) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += separator;
        out += item;
    }
    return out;
}

std::string describeParticle(const ContentParticle& particle) {
    std::string out;
    if (particle.kind == ContentParticle::Kind::Name) {
        out = particle.name;
    } else {
        const char* separator =
            particle.kind == ContentParticle::Kind::Choice ? " | " : ", ";
        out = "(";
        for (size_t i = 0; i < particle.children.size(); ++i) {
            if (i > 0) out += separator;
            out += describeParticle(particle.children[i]);
        }
        out += ")";
    }
    return out + occurrenceMark(particle.occurrence);
}

} // namespace

std::string describeModel(const DtdElement& element) {
    switch (element.content) {
    case DtdElement::Content::Empty: return "EMPTY";
    case DtdElement::Content::Any: return "ANY";
    case DtdElement::Content::Mixed:
        if (element.mixed.empty()) return "(#PCDATA)";
        return "(#PCDATA | " + joined(element.mixed, " | ") + ")*";
    case DtdElement::Content::Children: break;
    }
    return describeParticle(element.model);
}

std::string describeType(const DtdAttribute& attribute) {
    using Type = DtdAttribute::Type;
    switch (attribute.type) {
    case Type::CData: return "CDATA";
    case Type::Id: return "ID";
    case Type::IdRef: return "IDREF";
    case Type::IdRefs: return "IDREFS";
    case Type::Entity: return "ENTITY";
    case Type::Entities: return "ENTITIES";
    case Type::NmToken: return "NMTOKEN";
    case Type::NmTokens: return "NMTOKENS";
    case Type::Notation: return "NOTATION (" + joined(attribute.values, " | ") + ")";
    case Type::Enumeration: break;
    }
    return "(" + joined(attribute.values, " | ") + ")";
}

} // namespace ostrel_xml
