// Construction, copies and the typed accessors of the XKB element classes.
#include "xkb/xkb_elements.h"

#include <ostrelbase/ostrelexcept.h>

#include <memory>
#include <new>

namespace xkb {

// A new element carries the defaults of its attributes, as a validating reader reports them.
namespace defaults {
const char* const version = "1.1";
const char* const popularity = "standard";
const bool allowMultipleSelection = false;
} // namespace defaults

countryList::countryList() : Element(names::countryList) {}
languageList::languageList() : Element(names::languageList) {}
hwList::hwList() : Element(names::hwList) {}
model::model() : ConfiguredElement(names::model) {}
variant::variant() : ConfiguredElement(names::variant) {}
option::option() : ConfiguredElement(names::option) {}
modelList::modelList() : Element(names::modelList) {}
variantList::variantList() : Element(names::variantList) {}
layout::layout() : Element(names::layout) {}
layoutList::layoutList() : Element(names::layoutList) {}
optionList::optionList() : Element(names::optionList) {}

configItem::configItem() : Element(names::configItem) {
    // Made for every configItem an import reads: the strings are made once.
    static const std::string name(names::popularity), value(defaults::popularity);
    initTextAttribute(name, value);
}

group::group() : Element(names::group) {
    SetAllowMultipleSelection(defaults::allowMultipleSelection);
}

xkbConfigRegistry::xkbConfigRegistry() : Element(names::xkbConfigRegistry) {
    SetVersion(defaults::version);
}

void Element::initTextAttribute(const std::string& name, const std::string& value) {
    // What setAttribute leaves: a text value tagged name in a new map, each allocation
    // failing as it does there.
    std::unique_ptr<Ostrel::string> text(new (std::nothrow) Ostrel::string(value));
    if (!text) OSTREL_THROW("Error: Unable to allocate memory for an attribute");
    text->SetTag(name);
    m_attributes = new (std::nothrow) Ostrel::AttributeMap;
    if (!m_attributes) OSTREL_THROW("Error: Unable to allocate memory for an attributes map");
    m_attributes->emplace(name, text.get());
    text.release();
}

// clone: a non-throwing allocation; the copy constructor's own errors pass through.
Ostrel::XObject* countryList::clone() const { return new (std::nothrow) countryList(*this); }
Ostrel::XObject* languageList::clone() const { return new (std::nothrow) languageList(*this); }
Ostrel::XObject* hwList::clone() const { return new (std::nothrow) hwList(*this); }
Ostrel::XObject* configItem::clone() const { return new (std::nothrow) configItem(*this); }
Ostrel::XObject* model::clone() const { return new (std::nothrow) model(*this); }
Ostrel::XObject* variant::clone() const { return new (std::nothrow) variant(*this); }
Ostrel::XObject* option::clone() const { return new (std::nothrow) option(*this); }
Ostrel::XObject* modelList::clone() const { return new (std::nothrow) modelList(*this); }
Ostrel::XObject* variantList::clone() const { return new (std::nothrow) variantList(*this); }
Ostrel::XObject* layout::clone() const { return new (std::nothrow) layout(*this); }
Ostrel::XObject* layoutList::clone() const { return new (std::nothrow) layoutList(*this); }
Ostrel::XObject* group::clone() const { return new (std::nothrow) group(*this); }
Ostrel::XObject* optionList::clone() const { return new (std::nothrow) optionList(*this); }
Ostrel::XObject* xkbConfigRegistry::clone() const {
    return new (std::nothrow) xkbConfigRegistry(*this);
}

Ostrel::string& countryList::AddIso3166Id(const std::string& text) {
    return m_iso3166Ids.Add(makeLeaf(names::iso3166Id, text));
}

Ostrel::string& languageList::AddIso639Id(const std::string& text) {
    return m_iso639Ids.Add(makeLeaf(names::iso639Id, text));
}

Ostrel::string& hwList::AddHwId(const std::string& text) {
    return m_hwIds.Add(makeLeaf(names::hwId, text));
}

bool configItem::IsPopularity(const std::string& value) {
    return value == "standard" || value == "exotic";
}

void configItem::SetName(const std::string& text) { setLeafText(m_name, names::name, text); }
void configItem::SetName(std::unique_ptr<Ostrel::string> leaf) {
    adoptLeaf(m_name, names::name, std::move(leaf));
}
void configItem::SetShortDescription(const std::string& text) {
    setLeafText(m_shortDescription, names::shortDescription, text);
}
void configItem::SetShortDescription(std::unique_ptr<Ostrel::string> leaf) {
    adoptLeaf(m_shortDescription, names::shortDescription, std::move(leaf));
}
void configItem::SetDescription(const std::string& text) {
    setLeafText(m_description, names::description, text);
}
void configItem::SetDescription(std::unique_ptr<Ostrel::string> leaf) {
    adoptLeaf(m_description, names::description, std::move(leaf));
}
void configItem::SetVendor(const std::string& text) { setLeafText(m_vendor, names::vendor, text); }
void configItem::SetVendor(std::unique_ptr<Ostrel::string> leaf) {
    adoptLeaf(m_vendor, names::vendor, std::move(leaf));
}

std::string configItem::GetPopularity() const {
    return textAttribute(names::popularity, defaults::popularity);
}

void configItem::SetPopularity(const std::string& value) {
    setTextAttribute(names::popularity, value);
}

bool group::GetAllowMultipleSelection() const {
    auto* value = dynamic_cast<const Ostrel::boolean*>(findAttribute(names::allowMultipleSelection));
    return value ? static_cast<bool>(*value) : defaults::allowMultipleSelection;
}

void group::SetAllowMultipleSelection(bool allow) {
    const Ostrel::boolean value(allow);
    setAttribute(names::allowMultipleSelection, &value);
}

std::string xkbConfigRegistry::GetVersion() const {
    return textAttribute(names::version, defaults::version);
}

void xkbConfigRegistry::SetVersion(const std::string& version) {
    setTextAttribute(names::version, version);
}

} // namespace xkb
