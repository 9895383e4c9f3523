// The XKB keyboard configuration registry (xkb.dtd) as element classes: the binding
// ostrel-gen writes (xkb.h in the build tree). The #PCDATA leaves (name,
// shortDescription, description, vendor, iso3166Id, iso639Id, hwId) are Ostrel::string
// objects tagged with their element name.
#ifndef OSTREL_BINDINGS_XKB_ELEMENTS_H
#define OSTREL_BINDINGS_XKB_ELEMENTS_H

#include "xkb.h"

#endif
