// gen_roundtrip IN OUT: the round trip every generated binding must manage. Imports IN
// with the binding's Importer (GEN_HEADER, namespace GEN_NAMESPACE), writes the tree to
// OUT with the DOCTYPE IN named (GEN_DTD when it named none), and prints "valid" or
// "invalid" for the tree's IsValid. Exit status 1 with the error on standard error when
// the import or the write fails.
#include GEN_HEADER

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: gen_roundtrip IN OUT\n", stderr);
        return 2;
    }
    try {
        GEN_NAMESPACE::Importer in;
        in.ImportFromFile(argv[1], true);
        Ostrel::XObject* root = in.GetXObject();
        std::puts(root->IsValid() ? "valid" : "invalid");
        root->EmitXMLToFile(argv[2], in.systemId().empty() ? GEN_DTD : in.systemId());
        Ostrel::XMLImporterBase::DeleteImportedXObject(root);
    } catch (const Ostrel::XException& e) {
        std::fprintf(stderr, "%s\n", e.GetMsg().c_str());
        return 1;
    }
    return 0;
}
