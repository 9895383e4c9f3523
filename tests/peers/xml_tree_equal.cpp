// xml_tree_equal [--dtd FILE] [--numbers] A B
//
// Reads both files with libxml2 and tells whether their element trees are equal: element
// names, attributes as a set (namespace declarations included), and text, where adjacent
// text and CDATA pieces form one text, comments and processing instructions are ignored
// and whitespace-only texts are dropped. Entities are substituted; nothing is fetched
// from the network and no external entity or DTD is loaded. With --dtd, the default
// attributes that DTD declares are added to both trees where an element lacks them, and
// so are those each document's internal subset declares. With --numbers, a text that is
// one number (blanks around allowed) stands for its value: "1.0" equals " 1".
//
// Each tree is written as lines, one per element, attribute and text, each with its
// path; the trees are equal when the lines are. Exit status: 0 equal, 1 different (the
// first differing line is printed), 2 bad usage, a file libxml2 cannot read, or one that
// needs an external entity.
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

bool compareNumbers = false;  // --numbers
using Attributes = std::map<std::string, std::string>;
using Defaults = std::map<std::string, Attributes>;  // element name -> its declared defaults

std::vector<std::string> allowedFiles;  // the documents and the DTD named on the command line
xmlExternalEntityLoader defaultLoader = nullptr;
bool refusedExternal = false;  // a document asked for something else: its tree is incomplete

xmlParserInputPtr guardedLoader(const char* url, const char* id, xmlParserCtxtPtr context) {
    for (const std::string& file : allowedFiles)
        if (url && file == url) return defaultLoader(url, id, context);
    std::fprintf(stderr, "xml_tree_equal: refusing to load external resource '%s'\n",
                 url ? url : (id ? id : "?"));
    refusedExternal = true;
    return nullptr;
}

std::string str(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

std::string prefixed(const xmlNs* ns, const xmlChar* name) {
    return ns && ns->prefix ? str(ns->prefix) + ":" + str(name) : str(name);
}

bool isWhitespace(const char* text) { return text[std::strspn(text, " \t\n\r")] == '\0'; }

// Text for a line, quoted; a number as its value when asked.
std::string show(const std::string& text, bool asNumber = false) {
    char* end = nullptr;
    const double number = std::strtod(text.c_str(), &end);
    char value[40];
    if (!asNumber || end == text.c_str() || !isWhitespace(end)) return "\"" + text + "\"";
    std::snprintf(value, sizeof value, "number %.17g", number);
    return value;
}

// Appends the line of a text run that is more than whitespace, and empties the run.
void textLine(const std::string& path, std::string& text, std::vector<std::string>& lines) {
    if (!isWhitespace(text.c_str())) lines.push_back(path + " text " + show(text, compareNumbers));
    text.clear();
}

// Appends the lines of element's content at path to lines: its texts and child elements.
void contentLines(const xmlNode* first, const std::string& path, const Defaults& defaults,
                  std::map<std::string, int>& seen, std::string& text,
                  std::vector<std::string>& lines);

// Appends the lines of element, at path, to lines.
void elementLines(const xmlNode* element, const std::string& path, const Defaults& defaults,
                  std::vector<std::string>& lines) {
    Attributes attributes;
    for (const xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
        xmlChar* value = xmlNodeListGetString(element->doc, attribute->children, 1);
        attributes[prefixed(attribute->ns, attribute->name)] = str(value);
        xmlFree(value);
    }
    for (const xmlNs* ns = element->nsDef; ns; ns = ns->next)
        attributes[ns->prefix ? "xmlns:" + str(ns->prefix) : std::string("xmlns")] = str(ns->href);
    const auto declared = defaults.find(prefixed(element->ns, element->name));
    if (declared != defaults.end()) attributes.insert(declared->second.begin(), declared->second.end());
    lines.push_back(path);
    for (const auto& [name, value] : attributes) lines.push_back(path + " @" + name + "=" + show(value));
    std::map<std::string, int> seen;  // element name -> count so far, for the path index
    std::string text;
    contentLines(element->children, path, defaults, seen, text, lines);
    textLine(path, text, lines);
}

void contentLines(const xmlNode* first, const std::string& path, const Defaults& defaults,
                  std::map<std::string, int>& seen, std::string& text,
                  std::vector<std::string>& lines) {
    for (const xmlNode* node = first; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            text += str(node->content);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            // Only seen when an entity was not substituted; its replacement is its content.
            contentLines(node->children, path, defaults, seen, text, lines);
        } else if (node->type == XML_ELEMENT_NODE) {
            textLine(path, text, lines);
            const std::string name = prefixed(node->ns, node->name);
            elementLines(node, path + "/" + name + "[" + std::to_string(++seen[name]) + "]",
                         defaults, lines);
        }  // comments, processing instructions and declarations do not count
    }
}

// Adds the default attributes a DTD declares to defaults; the first declaration binds.
void addDefaults(const xmlDtd* dtd, Defaults& defaults) {
    for (const xmlNode* node = dtd ? dtd->children : nullptr; node; node = node->next) {
        const auto* declaration = reinterpret_cast<const xmlAttribute*>(node);
        if (node->type == XML_ATTRIBUTE_DECL && declaration->defaultValue &&
            (declaration->def == XML_ATTRIBUTE_NONE || declaration->def == XML_ATTRIBUTE_FIXED))
            defaults[str(declaration->elem)].emplace(
                declaration->prefix ? str(declaration->prefix) + ":" + str(declaration->name)
                                    : str(declaration->name),
                str(declaration->defaultValue));
    }
}

// The document in file, or null with the reason told.
xmlDocPtr readDocument(const char* file) {
    refusedExternal = false;
    xmlDocPtr doc = xmlReadFile(file, nullptr,
                                XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_HUGE);
    const char* problem = !doc ? "is not a well-formed XML document"
                        : refusedExternal ? "needs an external entity, which is not read"
                        : !xmlDocGetRootElement(doc) ? "has no root element" : nullptr;
    if (!problem) return doc;
    std::fprintf(stderr, "xml_tree_equal: '%s' %s\n", file, problem);
    xmlFreeDoc(doc);
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    std::string dtdFile;
    bool unknownOption = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dtd") == 0 && i + 1 < argc)
            dtdFile = argv[++i];
        else if (std::strcmp(argv[i], "--numbers") == 0)
            compareNumbers = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0')
            unknownOption = true;
        else
            allowedFiles.push_back(argv[i]);
    }
    if (unknownOption || allowedFiles.size() != 2) {
        std::fputs("usage: xml_tree_equal [--dtd FILE] [--numbers] A B\n", stderr);
        return 2;
    }
    const std::string files[] = {allowedFiles[0], allowedFiles[1]};
    LIBXML_TEST_VERSION
    defaultLoader = xmlGetExternalEntityLoader();
    if (!dtdFile.empty()) allowedFiles.push_back(dtdFile);
    xmlSetExternalEntityLoader(guardedLoader);

    xmlDocPtr a = readDocument(files[0].c_str());
    xmlDocPtr b = a ? readDocument(files[1].c_str()) : nullptr;
    if (!b) {
        xmlFreeDoc(a);
        return 2;
    }
    // Each document's internal subset binds before the DTD file, as in a document.
    Defaults defaults[2];
    addDefaults(a->intSubset, defaults[0]);
    addDefaults(b->intSubset, defaults[1]);
    if (!dtdFile.empty()) {
        xmlDtdPtr dtd = xmlParseDTD(nullptr, reinterpret_cast<const xmlChar*>(dtdFile.c_str()));
        if (!dtd) {
            std::fprintf(stderr, "xml_tree_equal: cannot read the DTD '%s'\n", dtdFile.c_str());
            xmlFreeDoc(a);
            xmlFreeDoc(b);
            return 2;
        }
        addDefaults(dtd, defaults[0]);
        addDefaults(dtd, defaults[1]);
        xmlFreeDtd(dtd);
    }
    std::vector<std::string> lines[2];
    for (int side : {0, 1}) {
        const xmlNode* root = xmlDocGetRootElement(side ? b : a);
        elementLines(root, "/" + prefixed(root->ns, root->name), defaults[side], lines[side]);
    }
    xmlFreeDoc(a);
    xmlFreeDoc(b);
    xmlCleanupParser();
    std::size_t i = 0;
    while (i < lines[0].size() && i < lines[1].size() && lines[0][i] == lines[1][i]) ++i;
    if (lines[0] == lines[1]) return 0;
    const auto line = [&](int side) { return i < lines[side].size() ? lines[side][i] : "(the end)"; };
    std::printf("xml_tree_equal: '%s' and '%s' differ: %s vs %s\n", files[0].c_str(),
                files[1].c_str(), line(0).c_str(), line(1).c_str());
    return 1;
}
