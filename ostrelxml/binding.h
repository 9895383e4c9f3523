// What the code ostrel-gen writes stands on: the schema tables, the element base class
// with its typed views, and the importer.
#ifndef OSTRELXML_BINDING_H
#define OSTRELXML_BINDING_H

#include <ostrelxml/binding_element.h>
#include <ostrelxml/binding_importer.h>
#include <ostrelxml/binding_schema.h>

#endif
