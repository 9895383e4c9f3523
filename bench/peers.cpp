#include "peers.h"

#include "generic/generic_importer.h"
#include "xkb/xkb_importer.h"

#include <ostrelbase/ostrel.h>

#ifdef OSTREL_BENCH_HAVE_PUGIXML
#include <pugixml.hpp>
#endif
#ifdef OSTREL_BENCH_HAVE_TINYXML2
#include <tinyxml2.h>
#endif
#ifdef OSTREL_BENCH_HAVE_LIBXML_2_0
#include <libxml/parser.h>
#include <libxml/tree.h>
#endif

namespace ostrel_bench {

namespace {

template <class Importer>
void* ostrelLoad(const std::string& path) {
    Importer importer;
    importer.ImportFromFile(path, true);
    return importer.GetXObject();
}
bool ostrelSave(void* tree, const std::string& path) {
    return static_cast<Ostrel::XObject*>(tree)->EmitXMLToFile(path, "xkb.dtd");
}
void ostrelFree(void* tree) { Ostrel::XMLImporterBase::DeleteImportedXObject(static_cast<Ostrel::XObject*>(tree)); }

#ifdef OSTREL_BENCH_HAVE_PUGIXML
void* pugiLoad(const std::string& path) {
    auto* doc = new pugi::xml_document;
    if (!doc->load_file(path.c_str())) {
        delete doc;
        return nullptr;
    }
    return doc;
}
bool pugiSave(void* tree, const std::string& path) {
    return static_cast<pugi::xml_document*>(tree)->save_file(path.c_str(), "\t");
}
void pugiFree(void* tree) { delete static_cast<pugi::xml_document*>(tree); }
#endif

#ifdef OSTREL_BENCH_HAVE_TINYXML2
void* tinyLoad(const std::string& path) {
    auto* doc = new tinyxml2::XMLDocument;
    if (doc->LoadFile(path.c_str()) != tinyxml2::XML_SUCCESS) {
        delete doc;
        return nullptr;
    }
    return doc;
}
bool tinySave(void* tree, const std::string& path) {
    return static_cast<tinyxml2::XMLDocument*>(tree)->SaveFile(path.c_str()) == tinyxml2::XML_SUCCESS;
}
void tinyFree(void* tree) { delete static_cast<tinyxml2::XMLDocument*>(tree); }
#endif

#ifdef OSTREL_BENCH_HAVE_LIBXML_2_0
void* xml2Load(const std::string& path) { return xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET); }
bool xml2Save(void* tree, const std::string& path) {
    return xmlSaveFormatFile(path.c_str(), static_cast<xmlDocPtr>(tree), 1) >= 0;
}
void xml2Free(void* tree) { xmlFreeDoc(static_cast<xmlDocPtr>(tree)); }
#endif

} // namespace

const Peer& ostrelXkb() {
    static const Peer peer{"ostrel-xkb", ostrelLoad<xkb::XkbImporter>, ostrelSave, ostrelFree};
    return peer;
}

const Peer& ostrelGeneric() {
    static const Peer peer{"ostrel-generic", ostrelLoad<generic::GenericImporter>, ostrelSave, ostrelFree};
    return peer;
}

const std::vector<Peer>& peers() {
    static const std::vector<Peer> all = [] {
        xkb::RegisterCreateFunctions();
        std::vector<Peer> list{ostrelXkb(), ostrelGeneric()};
#ifdef OSTREL_BENCH_HAVE_PUGIXML
        list.push_back({"pugixml", pugiLoad, pugiSave, pugiFree});
#endif
#ifdef OSTREL_BENCH_HAVE_TINYXML2
        list.push_back({"tinyxml2", tinyLoad, tinySave, tinyFree});
#endif
#ifdef OSTREL_BENCH_HAVE_LIBXML_2_0
        list.push_back({"libxml2", xml2Load, xml2Save, xml2Free});
#endif
        return list;
    }();
    return all;
}

} // namespace ostrel_bench
