// Direct children by element name: HasElement and RemoveElement of the XKB classes.
#include "xkb/xkb_elements.h"

namespace xkb {

bool countryList::HasElement(std::string name) const {
    return name == names::iso3166Id && !m_iso3166Ids.empty();
}
void countryList::RemoveElement(std::string name) {
    if (name == names::iso3166Id) m_iso3166Ids.Clear();
}

bool languageList::HasElement(std::string name) const {
    return name == names::iso639Id && !m_iso639Ids.empty();
}
void languageList::RemoveElement(std::string name) {
    if (name == names::iso639Id) m_iso639Ids.Clear();
}

bool hwList::HasElement(std::string name) const {
    return name == names::hwId && !m_hwIds.empty();
}
void hwList::RemoveElement(std::string name) {
    if (name == names::hwId) m_hwIds.Clear();
}

bool configItem::HasElement(std::string name) const {
    if (name == names::name) return static_cast<bool>(m_name);
    if (name == names::shortDescription) return static_cast<bool>(m_shortDescription);
    if (name == names::description) return static_cast<bool>(m_description);
    if (name == names::vendor) return static_cast<bool>(m_vendor);
    if (name == names::countryList) return static_cast<bool>(m_countryList);
    if (name == names::languageList) return static_cast<bool>(m_languageList);
    if (name == names::hwList) return static_cast<bool>(m_hwList);
    return false;
}
void configItem::RemoveElement(std::string name) {
    if (name == names::name) m_name.reset();
    else if (name == names::shortDescription) m_shortDescription.reset();
    else if (name == names::description) m_description.reset();
    else if (name == names::vendor) m_vendor.reset();
    else if (name == names::countryList) m_countryList.reset();
    else if (name == names::languageList) m_languageList.reset();
    else if (name == names::hwList) m_hwList.reset();
}

bool ConfiguredElement::HasElement(std::string name) const {
    return name == names::configItem && m_configItem;
}
void ConfiguredElement::RemoveElement(std::string name) {
    if (name == names::configItem) m_configItem.reset();
}

bool modelList::HasElement(std::string name) const {
    return name == names::model && !m_models.empty();
}
void modelList::RemoveElement(std::string name) {
    if (name == names::model) m_models.Clear();
}

bool variantList::HasElement(std::string name) const {
    return name == names::variant && !m_variants.empty();
}
void variantList::RemoveElement(std::string name) {
    if (name == names::variant) m_variants.Clear();
}

bool layout::HasElement(std::string name) const {
    if (name == names::configItem) return static_cast<bool>(m_configItem);
    if (name == names::variantList) return static_cast<bool>(m_variantList);
    return false;
}
void layout::RemoveElement(std::string name) {
    if (name == names::configItem) m_configItem.reset();
    else if (name == names::variantList) m_variantList.reset();
}

bool layoutList::HasElement(std::string name) const {
    return name == names::layout && !m_layouts.empty();
}
void layoutList::RemoveElement(std::string name) {
    if (name == names::layout) m_layouts.Clear();
}

bool group::HasElement(std::string name) const {
    if (name == names::configItem) return static_cast<bool>(m_configItem);
    if (name == names::option) return !m_options.empty();
    return false;
}
void group::RemoveElement(std::string name) {
    if (name == names::configItem) m_configItem.reset();
    else if (name == names::option) m_options.Clear();
}

bool optionList::HasElement(std::string name) const {
    return name == names::group && !m_groups.empty();
}
void optionList::RemoveElement(std::string name) {
    if (name == names::group) m_groups.Clear();
}

bool xkbConfigRegistry::HasElement(std::string name) const {
    if (name == names::modelList) return static_cast<bool>(m_modelList);
    if (name == names::layoutList) return static_cast<bool>(m_layoutList);
    if (name == names::optionList) return static_cast<bool>(m_optionList);
    return false;
}
void xkbConfigRegistry::RemoveElement(std::string name) {
    if (name == names::modelList) m_modelList.reset();
    else if (name == names::layoutList) m_layoutList.reset();
    else if (name == names::optionList) m_optionList.reset();
}

} // namespace xkb
