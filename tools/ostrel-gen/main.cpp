// ostrel-gen: writes the C++ binding of a document type (a DTD) for the Ostrel library.
#include "plan.h"
#include "writers.h"

#include "naming.h"
#include "platform.h"

#include <ostrelbase/ostrelexcept.h>
#include <ostrelxml/dtd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

const char* const kUsage =
    "usage: ostrel-gen [--namespace NS] [--name NAME] [--types FILE] [--root ELEMENT]\n"
    "                  [--depfile FILE] -o DIR DTD\n";

const char* const kHelp =
    "Writes DIR/NAME.h and DIR/NAME.cpp, the C++ binding of the document type DTD for the\n"
    "Ostrel library: a class per element type derived from Ostrel::XObject, create functions\n"
    "registered by RegisterCreateFunctions(), and an Importer that reads documents of the type.\n"
    "\n"
    "  --namespace NS   the C++ namespace of the binding, nested with '::' (default: NAME)\n"
    "  --name NAME      the stem of the files (default: the DTD's file name without its\n"
    "                   extension, made a C++ identifier)\n"
    "  --types FILE     simple types for element texts and attributes, and the title the\n"
    "                   importer's messages give the document type; one directive a line:\n"
    "                     title the XKB registry\n"
    "                     text ELEMENT TYPE\n"
    "                     attribute ELEMENT|* NAME TYPE\n"
    "                   TYPE: string NMTOKENS IDREFS boolean integer non_negative_integer\n"
    "                   positive_integer non_positive_integer negative_integer real decimal\n"
    "  --root ELEMENT   the importer accepts only documents with this root element\n"
    "  --depfile FILE   also write a make rule naming every file read (for build systems)\n"
    "  -o DIR           the directory to write to (it must exist)\n"
    "  --help           this text\n"
    "\n"
    "XML names become C++ names by one rule: characters other than ASCII letters and digits\n"
    "become '_' (runs of them one '_'), a leading '_' gets an 'x' before it, and C++ keywords\n"
    "and names the generated code uses get a trailing '_' (\"remap-dir\" -> remap_dir, \"int\" ->\n"
    "int_). Errors name file, line and column; nothing is written then, and the exit status\n"
    "is 1 (2 for bad arguments).\n";

[[noreturn]] void usageError(const std::string& what) {
    std::cerr << "ostrel-gen: " << what << "\n" << kUsage;
    std::exit(2);
}

// The file name of path without directory and extension.
std::string stemOf(const std::string& path) {
    std::string name = ostrel_gen::fileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool isIdentifier(const std::string& word) {
    if (word.empty() || (word[0] >= '0' && word[0] <= '9') || ostrel_gen::isKeyword(word)) return false;
    for (const char c : word)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

bool isNamespace(const std::string& nameSpace) {
    std::size_t from = 0;
    for (std::size_t at; (at = nameSpace.find("::", from)) != std::string::npos; from = at + 2)
        if (!isIdentifier(nameSpace.substr(from, at - from))) return false;
    return isIdentifier(nameSpace.substr(from));
}

// A path as a make rule writes it.
std::string escapedForMake(const std::string& path) {
    std::string out;
    for (const char c : path) {
        if (c == ' ' || c == '#') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

// Writes text to a new file beside target; returns its path. Throws XException.
std::string writeBeside(const std::string& target, const std::string& text) {
    const std::string path = target + ".tmp" + std::to_string(ostrel_tool::processId());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        ostrel_tool::removeFile(path);
        OSTREL_THROW("Error: cannot write '" + path + "': " + std::strerror(errno));
    }
    return path;
}

struct Arguments {
    ostrel_gen::Options options;
    std::string outputDir;
    std::string depfile;
};

Arguments parse(int argc, char** argv) {
    Arguments args;
    std::string* positional = &args.options.dtdPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << "\n" << kHelp;
            std::exit(0);
        }
        std::string* value = nullptr;
        if (arg == "--namespace") value = &args.options.nameSpace;
        else if (arg == "--name") value = &args.options.name;
        else if (arg == "--types") value = &args.options.typesPath;
        else if (arg == "--root") value = &args.options.root;
        else if (arg == "--depfile") value = &args.depfile;
        else if (arg == "-o") value = &args.outputDir;
        if (value) {
            if (++i == argc) usageError(arg + " needs a value");
            *value = argv[i];
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') usageError("unknown option '" + arg + "'");
        if (!positional) usageError("more than one DTD named ('" + arg + "')");
        *positional = arg;
        positional = nullptr;
    }
    if (args.options.dtdPath.empty()) usageError("no DTD named");
    if (args.outputDir.empty()) usageError("no output directory named (-o DIR)");
    if (args.options.name.empty()) args.options.name = ostrel_gen::identifier(stemOf(args.options.dtdPath));
    if (args.options.name.find_first_of("/\\") != std::string::npos)
        usageError("the name '" + args.options.name + "' holds a directory separator");
    if (args.options.nameSpace.empty()) args.options.nameSpace = ostrel_gen::identifier(args.options.name);
    if (!isNamespace(args.options.nameSpace))
        usageError("'" + args.options.nameSpace + "' is not a C++ namespace name");
    return args;
}

} // namespace

int main(int argc, char** argv) {
    const Arguments args = parse(argc, argv);
    std::string headerTemp, sourceTemp;
    try {
        ostrel_gen::Plan plan;
        plan.options = args.options;
        plan.dtd = ostrel_xml::readDtdFile(args.options.dtdPath);
        if (!args.options.typesPath.empty()) plan.types = ostrel_gen::readTypesFile(args.options.typesPath);
        ostrel_gen::makePlan(plan);
        for (const std::string& warning : plan.warnings) std::cerr << "ostrel-gen: warning: " << warning << "\n";

        const std::string stem = args.outputDir + "/" + args.options.name;
        headerTemp = writeBeside(stem + ".h", ostrel_gen::writeHeader(plan));
        sourceTemp = writeBeside(stem + ".cpp", ostrel_gen::writeSource(plan));
        if (!args.depfile.empty()) {
            std::string rule = escapedForMake(stem + ".h") + " " + escapedForMake(stem + ".cpp") + ":";
            for (const std::string& file : plan.dtd.files) rule += " " + escapedForMake(file);
            if (!args.options.typesPath.empty()) rule += " " + escapedForMake(args.options.typesPath);
            const std::string depTemp = writeBeside(args.depfile, rule + "\n");
            if (!ostrel_tool::replaceFile(depTemp, args.depfile)) {
                ostrel_tool::removeFile(depTemp);
                OSTREL_THROW("Error: cannot write '" + args.depfile + "': " + std::strerror(errno));
            }
        }
        for (const auto& [temp, target] : {std::pair<std::string, std::string>{headerTemp, stem + ".h"},
                                           {sourceTemp, stem + ".cpp"}}) {
            if (!ostrel_tool::replaceFile(temp, target))
                OSTREL_THROW("Error: cannot write '" + target + "': " + std::strerror(errno));
        }
    } catch (const Ostrel::XException& e) {
        if (!headerTemp.empty()) ostrel_tool::removeFile(headerTemp);
        if (!sourceTemp.empty()) ostrel_tool::removeFile(sourceTemp);
        std::cerr << "ostrel-gen: " << e.GetMsg() << "\n";
        return 1;
    }
    return 0;
}
