// The XKB registry document type as tables: names, content models, and the walk over them.
#include "xkb/xkb_schema.h"

#include "xkb/xkb_names.h"

#include <cstring>

namespace xkb {
namespace schema {

namespace {

const char* const kNames[kKinds + 1] = {
    names::xkbConfigRegistry, names::modelList, names::model, names::layoutList, names::layout,
    names::optionList, names::variantList, names::variant, names::group, names::option,
    names::configItem, names::countryList, names::languageList, names::hwList,
    names::name, names::shortDescription, names::description, names::vendor,
    names::iso3166Id, names::iso639Id, names::hwId, ""};

struct Particle {
    Kind kind;
    bool required;  // occurs at least once
    bool repeated;  // may occur more than once
};

struct ContentModel {
    const Particle* particles;
    unsigned char count;
};

constexpr bool kOnce = false, kMany = true, kRequired = true, kOptional = false;

const Particle kRegistry[] = {{Kind::modelList, kRequired, kOnce},
                              {Kind::layoutList, kRequired, kOnce},
                              {Kind::optionList, kRequired, kOnce}};
const Particle kModelList[] = {{Kind::model, kOptional, kMany}};
const Particle kLayoutList[] = {{Kind::layout, kOptional, kMany}};
const Particle kLayout[] = {{Kind::configItem, kRequired, kOnce},
                            {Kind::variantList, kOptional, kOnce}};
const Particle kOptionList[] = {{Kind::group, kOptional, kMany}};
const Particle kVariantList[] = {{Kind::variant, kOptional, kMany}};
const Particle kGroup[] = {{Kind::configItem, kRequired, kOnce}, {Kind::option, kOptional, kMany}};
const Particle kConfigured[] = {{Kind::configItem, kRequired, kOnce}};
const Particle kConfigItem[] = {{Kind::name, kRequired, kOnce},
                                {Kind::shortDescription, kOptional, kOnce},
                                {Kind::description, kOptional, kOnce},
                                {Kind::vendor, kOptional, kOnce},
                                {Kind::countryList, kOptional, kOnce},
                                {Kind::languageList, kOptional, kOnce},
                                {Kind::hwList, kOptional, kOnce}};
const Particle kCountryList[] = {{Kind::iso3166Id, kRequired, kMany}};
const Particle kLanguageList[] = {{Kind::iso639Id, kRequired, kMany}};
const Particle kHwList[] = {{Kind::hwId, kRequired, kMany}};

template <unsigned char N>
constexpr ContentModel sequence(const Particle (&particles)[N]) {
    return {particles, N};
}
constexpr ContentModel kText = {nullptr, 0};

// Indexed by Kind; the leaves hold text only.
const ContentModel kModels[kKinds + 1] = {
    sequence(kRegistry), sequence(kModelList), sequence(kConfigured), sequence(kLayoutList),
    sequence(kLayout), sequence(kOptionList), sequence(kVariantList), sequence(kConfigured),
    sequence(kGroup), sequence(kConfigured), sequence(kConfigItem), sequence(kCountryList),
    sequence(kLanguageList), sequence(kHwList),
    kText, kText, kText, kText, kText, kText, kText, kText};

Kind match(const char* name, Kind kind) {
    return std::strcmp(name, kNames[static_cast<int>(kind)]) == 0 ? kind : Kind::None;
}

Kind match(const char* name, Kind a, Kind b) {
    Kind kind = match(name, a);
    return kind != Kind::None ? kind : match(name, b);
}

Kind match(const char* name, Kind a, Kind b, Kind c) {
    Kind kind = match(name, a, b);
    return kind != Kind::None ? kind : match(name, c);
}

} // namespace

const char* nameOf(Kind kind) { return kNames[static_cast<int>(kind)]; }

Kind kindOf(const char* name) {
    switch (name[0]) {
    case 'c': return match(name, Kind::configItem, Kind::countryList);
    case 'd': return match(name, Kind::description);
    case 'g': return match(name, Kind::group);
    case 'h': return match(name, Kind::hwId, Kind::hwList);
    case 'i': return match(name, Kind::iso3166Id, Kind::iso639Id);
    case 'l': return match(name, Kind::layout, Kind::layoutList, Kind::languageList);
    case 'm': return match(name, Kind::model, Kind::modelList);
    case 'n': return match(name, Kind::name);
    case 'o': return match(name, Kind::option, Kind::optionList);
    case 's': return match(name, Kind::shortDescription);
    case 'v': return match(name, Kind::variant, Kind::variantList, Kind::vendor);
    case 'x': return match(name, Kind::xkbConfigRegistry);
    default: return Kind::None;
    }
}

Placement place(Kind parent, Position& pos, Kind child, Kind* expected) {
    const ContentModel& model = kModels[static_cast<int>(parent)];
    // Walk on from the particle reached; a child that is not in the model at all can
    // never be accepted, so the walk is only taken as the answer for one that is.
    Kind missing = Kind::None;
    unsigned at = pos.particle;
    bool seen = pos.seen;
    for (; at < model.count; ++at, seen = false) {
        const Particle& particle = model.particles[at];
        if (particle.kind == child && (particle.repeated || !seen)) {
            pos.particle = static_cast<unsigned char>(at);
            pos.seen = true;
            return Placement::Accepted;
        }
        if (particle.required && !seen) {
            missing = particle.kind;
            break;
        }
    }
    bool inModel = false;
    for (unsigned i = 0; i < model.count; ++i) inModel = inModel || model.particles[i].kind == child;
    if (!inModel) return Placement::NotInModel;
    *expected = missing;
    return Placement::Misplaced;
}

Kind missingAtEnd(Kind parent, const Position& pos) {
    const ContentModel& model = kModels[static_cast<int>(parent)];
    for (unsigned at = pos.particle; at < model.count; ++at) {
        const bool seen = at == pos.particle && pos.seen;
        if (model.particles[at].required && !seen) return model.particles[at].kind;
    }
    return Kind::None;
}

} // namespace schema
} // namespace xkb
