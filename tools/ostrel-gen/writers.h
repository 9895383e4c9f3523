// The two files ostrel-gen writes, as text, and what both share.
#ifndef OSTREL_GEN_WRITERS_H
#define OSTREL_GEN_WRITERS_H

#include "plan.h"

#include <string>
#include <vector>

namespace ostrel_gen {

// NAME.h: the element classes, the importer and RegisterCreateFunctions.
std::string writeHeader(const Plan& plan);
// NAME.cpp: the tables of the document type and the members of the classes.
std::string writeSource(const Plan& plan);

// The declarations an element comes from, one comment line each:
// "<!ELEMENT name model>", "<!ATTLIST name attribute type default>".
std::vector<std::string> declarationLines(const ElementPlan& element);
// "namespace a {\nnamespace b {\n" and its closing lines for a possibly nested namespace.
std::string openNamespace(const std::string& nameSpace);
std::string closeNamespace(const std::string& nameSpace);
// The file name of path without its directory.
std::string fileNameOf(const std::string& path);
// The element's class, or the value class of a leaf.
std::string classOf(const Plan& plan, const ElementPlan& element);

} // namespace ostrel_gen

#endif
