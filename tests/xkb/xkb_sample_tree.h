// A small XKB registry built through the binding's own API, for the tests.
#ifndef OSTREL_TESTS_XKB_SAMPLE_TREE_H
#define OSTREL_TESTS_XKB_SAMPLE_TREE_H

#include "xkb/xkb_elements.h"

#include <memory>
#include <sstream>
#include <string>

namespace xkb_test {

inline std::unique_ptr<xkb::configItem> item(const std::string& name) {
    auto configItem = std::make_unique<xkb::configItem>();
    configItem->SetName(name);
    return configItem;
}

// One model, one layout with a variant, one group with an option.
inline std::unique_ptr<xkb::xkbConfigRegistry> sampleRegistry() {
    auto registry = std::make_unique<xkb::xkbConfigRegistry>();

    auto models = std::make_unique<xkb::modelList>();
    auto pc105 = std::make_unique<xkb::model>();
    pc105->SetConfigItem(item("pc105"));
    pc105->GetConfigItem()->SetDescription("Generic 105-key PC & <friends>");
    models->GetModels().Add(std::move(pc105));
    registry->SetModelList(std::move(models));

    auto layouts = std::make_unique<xkb::layoutList>();
    auto us = std::make_unique<xkb::layout>();
    us->SetConfigItem(item("us"));
    us->GetConfigItem()->SetShortDescription("en");
    auto countries = std::make_unique<xkb::countryList>();
    countries->AddIso3166Id("US");
    us->GetConfigItem()->SetCountryList(std::move(countries));
    auto languages = std::make_unique<xkb::languageList>();
    languages->AddIso639Id("eng");
    us->GetConfigItem()->SetLanguageList(std::move(languages));
    auto variants = std::make_unique<xkb::variantList>();
    auto intl = std::make_unique<xkb::variant>();
    intl->SetConfigItem(item("intl"));
    intl->GetConfigItem()->SetPopularity("exotic");
    variants->GetVariants().Add(std::move(intl));
    us->SetVariantList(std::move(variants));
    layouts->GetLayouts().Add(std::move(us));
    registry->SetLayoutList(std::move(layouts));

    auto options = std::make_unique<xkb::optionList>();
    auto grp = std::make_unique<xkb::group>();
    grp->SetAllowMultipleSelection(true);
    grp->SetConfigItem(item("grp"));
    auto toggle = std::make_unique<xkb::option>();
    toggle->SetConfigItem(item("grp:toggle"));
    grp->GetOptions().Add(std::move(toggle));
    options->GetGroups().Add(std::move(grp));
    registry->SetOptionList(std::move(options));
    return registry;
}

// What an element writes at the given level.
inline std::string emitted(Ostrel::XObject& element, int indent = 0) {
    std::ostringstream out;
    element.EmitXML(out, indent);
    return out.str();
}

} // namespace xkb_test

#endif
