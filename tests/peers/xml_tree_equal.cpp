// xml_tree_equal [--dtd FILE] [--numbers] A B
//
// Reads both files with libxml2 and tells whether their element trees are equal: element
// names, attributes as a set (namespace declarations included), and text, where adjacent
// text and CDATA pieces form one text, comments and processing instructions are ignored
// and whitespace-only texts are dropped. Entities are substituted; nothing is fetched
// from the network and no external entity or DTD is loaded. With --dtd, the default
// attributes that DTD declares are added to both trees where an element lacks them, and
// so are those each document's internal subset declares. With --numbers, two texts that
// are each one number (blanks around allowed) are equal when their values are: "1.0" and
// " 1", for a reader that keeps numbers as values.
//
// Exit status: 0 equal, 1 different (the first difference is printed with its path),
// 2 bad usage, a file libxml2 cannot read, or one that needs an external entity.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

bool compareNumbers = false;  // --numbers

using Attributes = std::map<std::string, std::string>;
// Element name -> its declared default attributes.
using Defaults = std::map<std::string, Attributes>;

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

std::string prefixed(const xmlChar* prefix, const xmlChar* name) {
    return prefix ? str(prefix) + ":" + str(name) : str(name);
}

std::string qualifiedName(const xmlNode* node) {
    return prefixed(node->ns ? node->ns->prefix : nullptr, node->name);
}

bool isWhitespace(const std::string& text) {
    return text.find_first_not_of(" \t\n\r") == std::string::npos;
}

// Whether both texts are one number each, of the same value.
bool sameNumber(const std::string& a, const std::string& b) {
    char *endA = nullptr, *endB = nullptr;
    const double x = std::strtod(a.c_str(), &endA), y = std::strtod(b.c_str(), &endB);
    return endA != a.c_str() && isWhitespace(endA) && endB != b.c_str() && isWhitespace(endB) && x == y;
}

// Text for a message: quoted, cut after 80 bytes, control characters shown escaped.
std::string show(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size() && i < 80; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\r' ? "\\r"
             : c < 0x20   ? hex : std::string(1, static_cast<char>(c));
    }
    if (text.size() > 80) out += "...";
    return out + "\"";
}

// One significant piece of an element's content: a child element, or a text run.
struct Item {
    const xmlNode* element;  // null for text
    std::string text;
};

void collectContent(const xmlNode* first, std::vector<Item>& items, std::string& run) {
    for (const xmlNode* node = first; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            run += str(node->content);
        } else if (node->type == XML_ENTITY_REF_NODE) {
            // Only seen when an entity was not substituted; its replacement is its content.
            collectContent(node->children, items, run);
        } else if (node->type == XML_ELEMENT_NODE) {
            if (!isWhitespace(run)) items.push_back({nullptr, run});
            run.clear();
            items.push_back({node, std::string()});
        }  // comments, processing instructions and declarations do not count
    }
}

std::vector<Item> contentOf(const xmlNode* element) {
    std::vector<Item> items;
    std::string run;
    collectContent(element->children, items, run);
    if (!isWhitespace(run)) items.push_back({nullptr, run});
    return items;
}

Attributes attributesOf(const xmlNode* element, const Defaults& defaults) {
    Attributes attributes;
    for (const xmlAttr* attribute = element->properties; attribute; attribute = attribute->next) {
        xmlChar* value = xmlNodeListGetString(element->doc, attribute->children, 1);
        attributes[prefixed(attribute->ns ? attribute->ns->prefix : nullptr, attribute->name)] =
            str(value);
        xmlFree(value);
    }
    for (const xmlNs* ns = element->nsDef; ns; ns = ns->next)
        attributes[ns->prefix ? "xmlns:" + str(ns->prefix) : std::string("xmlns")] = str(ns->href);
    auto declared = defaults.find(qualifiedName(element));
    if (declared != defaults.end())
        for (const auto& attribute : declared->second) attributes.insert(attribute);
    return attributes;
}

std::string describe(const Item& item) {
    return item.element ? "element <" + qualifiedName(item.element) + ">" : "text " + show(item.text);
}

// The first difference between two elements' own names and attributes, or "".
std::string compareElements(const xmlNode* a, const xmlNode* b, const Defaults& defaults) {
    if (qualifiedName(a) != qualifiedName(b))
        return "element <" + qualifiedName(a) + "> vs <" + qualifiedName(b) + ">";
    const Attributes sides[] = {attributesOf(a, defaults), attributesOf(b, defaults)};
    for (int side : {0, 1})
        for (const auto& [name, value] : sides[side]) {
            auto other = sides[1 - side].find(name);
            if (other == sides[1 - side].end())
                return "attribute '" + name + "' only in the " + (side ? "second" : "first") +
                       " file (" + show(value) + ")";
            if (other->second != value)
                return "attribute '" + name + "': " + show(value) + " vs " + show(other->second);
        }
    return "";
}

// The first difference between elements a and b at path, and in their content, as
// "path: what"; "" when they are equal. Recursion goes no deeper than libxml2 reads.
std::string compareTrees(const xmlNode* a, const xmlNode* b, const std::string& path,
                         const Defaults& defaults) {
    std::string what = compareElements(a, b, defaults);
    if (!what.empty()) return path + ": " + what;
    const std::vector<Item> x = contentOf(a), y = contentOf(b);
    std::map<std::string, int> seen;  // element name -> count so far, for the path index
    for (std::size_t i = 0; i < x.size() || i < y.size(); ++i) {
        if (i == x.size() || i == y.size())
            return path + ": only the " + (i < x.size() ? "first" : "second") + " file has " +
                   describe(i < x.size() ? x[i] : y[i]);
        if (!x[i].element || !y[i].element) {
            if (x[i].element || y[i].element ||
                (x[i].text != y[i].text && !(compareNumbers && sameNumber(x[i].text, y[i].text))))
                return path + ": " + describe(x[i]) + " vs " + describe(y[i]);
            continue;
        }
        const std::string name = qualifiedName(x[i].element);
        what = compareTrees(x[i].element, y[i].element,
                            path + "/" + name + "[" + std::to_string(++seen[name]) + "]", defaults);
        if (!what.empty()) return what;
    }
    return "";
}

// Adds the default attributes a DTD declares; the first declaration binds.
void addDefaults(const xmlDtd* dtd, Defaults& defaults) {
    if (!dtd) return;
    for (const xmlNode* node = dtd->children; node; node = node->next) {
        const auto* declaration = reinterpret_cast<const xmlAttribute*>(node);
        if (node->type != XML_ATTRIBUTE_DECL || !declaration->defaultValue ||
            (declaration->def != XML_ATTRIBUTE_NONE && declaration->def != XML_ATTRIBUTE_FIXED))
            continue;
        defaults[str(declaration->elem)].emplace(prefixed(declaration->prefix, declaration->name),
                                                 str(declaration->defaultValue));
    }
}

xmlDocPtr readDocument(const char* file) {
    const int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_NOCDATA | XML_PARSE_HUGE;
    refusedExternal = false;
    xmlDocPtr doc = xmlReadFile(file, nullptr, options);
    if (!doc) {
        std::fprintf(stderr, "xml_tree_equal: '%s' is not a well-formed XML document\n", file);
    } else if (refusedExternal) {
        std::fprintf(stderr, "xml_tree_equal: '%s' needs an external entity, which is not read\n",
                     file);
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    return doc;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
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
            files.push_back(argv[i]);
    }
    if (unknownOption || files.size() != 2) {
        std::fputs("usage: xml_tree_equal [--dtd FILE] [--numbers] A B\n", stderr);
        return 2;
    }

    LIBXML_TEST_VERSION
    defaultLoader = xmlGetExternalEntityLoader();
    allowedFiles = files;
    if (!dtdFile.empty()) allowedFiles.push_back(dtdFile);
    xmlSetExternalEntityLoader(guardedLoader);

    Defaults defaults;
    xmlDocPtr a = readDocument(files[0].c_str());
    xmlDocPtr b = a ? readDocument(files[1].c_str()) : nullptr;
    // Defaults of an internal subset bind before those of the DTD file, as in a document.
    if (a) addDefaults(a->intSubset, defaults);
    if (b) addDefaults(b->intSubset, defaults);
    if (!dtdFile.empty()) {
        xmlDtdPtr dtd = xmlParseDTD(nullptr, reinterpret_cast<const xmlChar*>(dtdFile.c_str()));
        if (!dtd) {
            std::fprintf(stderr, "xml_tree_equal: cannot read the DTD '%s'\n", dtdFile.c_str());
            return 2;
        }
        addDefaults(dtd, defaults);
        xmlFreeDtd(dtd);
    }
    int status = 2;
    if (a && b && xmlDocGetRootElement(a) && xmlDocGetRootElement(b)) {
        const xmlNode* root = xmlDocGetRootElement(a);
        const std::string difference =
            compareTrees(root, xmlDocGetRootElement(b), "/" + qualifiedName(root), defaults);
        if (difference.empty()) {
            status = 0;
        } else {
            std::printf("xml_tree_equal: '%s' and '%s' differ at %s\n", files[0].c_str(),
                        files[1].c_str(), difference.c_str());
            status = 1;
        }
    }
    xmlFreeDoc(a);
    xmlFreeDoc(b);
    xmlCleanupParser();
    return status;
}
