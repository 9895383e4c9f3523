// Writing the XKB elements: start tag with attributes, children one level deeper in the
// order of the document type, end tag. An element without children is one line.
#include "xkb/xkb_elements.h"

namespace xkb {

bool countryList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_iso3166Ids.empty())) return true;
    m_iso3166Ids.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool languageList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_iso639Ids.empty())) return true;
    m_iso639Ids.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool hwList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_hwIds.empty())) return true;
    m_hwIds.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool configItem::EmitXML(std::ostream& os, int indent) {
    const bool hasContent = m_name || m_shortDescription || m_description || m_vendor ||
                            m_countryList || m_languageList || m_hwList;
    if (!openTag(os, indent, hasContent)) return true;
    m_name.emit(os, indent + 1);
    m_shortDescription.emit(os, indent + 1);
    m_description.emit(os, indent + 1);
    m_vendor.emit(os, indent + 1);
    m_countryList.emit(os, indent + 1);
    m_languageList.emit(os, indent + 1);
    m_hwList.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool ConfiguredElement::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, static_cast<bool>(m_configItem))) return true;
    m_configItem.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool modelList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_models.empty())) return true;
    m_models.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool variantList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_variants.empty())) return true;
    m_variants.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool layout::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, m_configItem || m_variantList)) return true;
    m_configItem.emit(os, indent + 1);
    m_variantList.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool layoutList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_layouts.empty())) return true;
    m_layouts.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool group::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, m_configItem || !m_options.empty())) return true;
    m_configItem.emit(os, indent + 1);
    m_options.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool optionList::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, !m_groups.empty())) return true;
    m_groups.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

bool xkbConfigRegistry::EmitXML(std::ostream& os, int indent) {
    if (!openTag(os, indent, m_modelList || m_layoutList || m_optionList)) return true;
    m_modelList.emit(os, indent + 1);
    m_layoutList.emit(os, indent + 1);
    m_optionList.emit(os, indent + 1);
    closeTag(os, indent);
    return true;
}

} // namespace xkb
