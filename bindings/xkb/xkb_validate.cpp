// The content model of each XKB element, its attribute values, and its children's validity.
#include "xkb/xkb_elements.h"

namespace xkb {

namespace {
// Occurrence of a child in the content model.
constexpr bool kRequired = true;
constexpr bool kOptional = false;
constexpr bool kOneOrMore = true;
constexpr bool kAnyNumber = false;
} // namespace

bool countryList::IsValid() {
    return hasValidFrame(names::countryList, {}) && m_iso3166Ids.valid(names::iso3166Id, kOneOrMore);
}

bool languageList::IsValid() {
    return hasValidFrame(names::languageList, {}) && m_iso639Ids.valid(names::iso639Id, kOneOrMore);
}

bool hwList::IsValid() {
    return hasValidFrame(names::hwList, {}) && m_hwIds.valid(names::hwId, kOneOrMore);
}

bool configItem::IsValid() {
    if (!hasValidFrame(names::configItem, {names::popularity})) return false;
    if (findAttribute(names::popularity)) {
        const Ostrel::string* popularity = findTextAttribute(names::popularity);
        if (!popularity || !IsPopularity(*popularity)) return false;
    }
    return m_name.valid(names::name, kRequired) &&
           m_shortDescription.valid(names::shortDescription, kOptional) &&
           m_description.valid(names::description, kOptional) &&
           m_vendor.valid(names::vendor, kOptional) &&
           m_countryList.valid(names::countryList, kOptional) &&
           m_languageList.valid(names::languageList, kOptional) &&
           m_hwList.valid(names::hwList, kOptional);
}

bool ConfiguredElement::isValidAs(const char* tag) {
    return hasValidFrame(tag, {}) && m_configItem.valid(names::configItem, kRequired);
}

bool model::IsValid() { return isValidAs(names::model); }
bool variant::IsValid() { return isValidAs(names::variant); }
bool option::IsValid() { return isValidAs(names::option); }

bool modelList::IsValid() {
    return hasValidFrame(names::modelList, {}) && m_models.valid(names::model, kAnyNumber);
}

bool variantList::IsValid() {
    return hasValidFrame(names::variantList, {}) && m_variants.valid(names::variant, kAnyNumber);
}

bool layout::IsValid() {
    return hasValidFrame(names::layout, {}) && m_configItem.valid(names::configItem, kRequired) &&
           m_variantList.valid(names::variantList, kOptional);
}

bool layoutList::IsValid() {
    return hasValidFrame(names::layoutList, {}) && m_layouts.valid(names::layout, kAnyNumber);
}

bool group::IsValid() {
    if (!hasValidFrame(names::group, {names::allowMultipleSelection})) return false;
    // The attribute's only allowed values are those of a boolean, so it must be one.
    const Ostrel::XObject* allow = findAttribute(names::allowMultipleSelection);
    if (allow && !dynamic_cast<const Ostrel::boolean*>(allow)) return false;
    return m_configItem.valid(names::configItem, kRequired) &&
           m_options.valid(names::option, kAnyNumber);
}

bool optionList::IsValid() {
    return hasValidFrame(names::optionList, {}) && m_groups.valid(names::group, kAnyNumber);
}

bool xkbConfigRegistry::IsValid() {
    if (!hasValidFrame(names::xkbConfigRegistry, {names::version})) return false;
    if (findAttribute(names::version) && !findTextAttribute(names::version)) return false;
    return m_modelList.valid(names::modelList, kRequired) &&
           m_layoutList.valid(names::layoutList, kRequired) &&
           m_optionList.valid(names::optionList, kRequired);
}

} // namespace xkb
