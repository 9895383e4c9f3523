// The element and attribute names of the XKB registry document type.
#ifndef OSTREL_BINDINGS_XKB_NAMES_H
#define OSTREL_BINDINGS_XKB_NAMES_H

namespace xkb {
namespace names {

inline constexpr const char* xkbConfigRegistry = "xkbConfigRegistry";
inline constexpr const char* modelList = "modelList";
inline constexpr const char* model = "model";
inline constexpr const char* layoutList = "layoutList";
inline constexpr const char* layout = "layout";
inline constexpr const char* optionList = "optionList";
inline constexpr const char* variantList = "variantList";
inline constexpr const char* variant = "variant";
inline constexpr const char* group = "group";
inline constexpr const char* option = "option";
inline constexpr const char* configItem = "configItem";
inline constexpr const char* countryList = "countryList";
inline constexpr const char* languageList = "languageList";
inline constexpr const char* hwList = "hwList";
inline constexpr const char* name = "name";
inline constexpr const char* shortDescription = "shortDescription";
inline constexpr const char* description = "description";
inline constexpr const char* vendor = "vendor";
inline constexpr const char* iso3166Id = "iso3166Id";
inline constexpr const char* iso639Id = "iso639Id";
inline constexpr const char* hwId = "hwId";

inline constexpr const char* version = "version";
inline constexpr const char* popularity = "popularity";
inline constexpr const char* allowMultipleSelection = "allowMultipleSelection";

} // namespace names
} // namespace xkb

#endif
