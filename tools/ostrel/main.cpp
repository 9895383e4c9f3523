// ostrel: imports XML documents with the bindings and writes them back.
#include "document.h"
#include "platform.h"
#include "safe_output.h"

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/symboltable.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

namespace {

const char* const kUsage =
    "usage: ostrel [--no-preprocess] COMMAND ARGUMENTS\n"
    "\n"
    "  ostrel roundtrip IN OUT   import IN, write it to OUT, print a summary\n"
    "  ostrel stats IN           import IN, print what it holds\n"
    "  ostrel symbols IN         import IN, list the symbol table\n"
    "  ostrel --help             show this text\n"
    "\n"
    "  --no-preprocess           keep entity and character references as written\n"
    "\n"
    "A document whose root element is xkbConfigRegistry is read with the XKB binding,\n"
    "any other with the generic binding. On an error OUT is left as it was.\n";

// Inputs at least this large show their progress when standard error is a terminal.
constexpr long long kProgressThreshold = 4LL * 1024 * 1024;

struct UsageError {
    std::string what;
};

// Progress on one terminal line: "bytes read of size".
class Progress {
public:
    explicit Progress(const std::string& file) : m_file(file) {
        if (ostrel_tool::stderrIsTerminal() &&
            ostrel_tool::fileSize(file) >= kProgressThreshold)
            m_size = ostrel_tool::fileSize(file);
    }
    ~Progress() { finish(); }
    ostrel_xml::ProgressCallback callback() {
        if (!m_size) return {};
        return [this](long long bytes) {
            std::fprintf(stderr, "\rostrel: reading %s: %lld of %lld bytes (%d%%)", m_file.c_str(),
                         bytes, m_size, static_cast<int>(100 * bytes / m_size));
            std::fflush(stderr);
            m_shown = true;
        };
    }
    // Ends the progress line, so what follows starts on a line of its own.
    void finish() {
        if (m_shown) std::fputc('\n', stderr);
        m_shown = false;
    }

private:
    std::string m_file;
    long long m_size = 0;
    bool m_shown = false;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

ostrel_tool::Document load(const std::string& file, bool preprocess) {
    Progress progress(file);
    ostrel_tool::Document doc = ostrel_tool::importDocument(file, preprocess, progress.callback());
    progress.finish();
    return doc;
}

int roundtrip(const std::string& in, const std::string& out, bool preprocess) {
    const auto start = std::chrono::steady_clock::now();
    ostrel_tool::Document doc = load(in, preprocess);
    const long long written = ostrel_tool::writeDocumentSafely(*doc.root, out, doc.systemId);
    const std::string output =
        written >= 0 ? std::to_string(written) + " bytes written" : "written in place";
    std::printf("ostrel: %s -> %s: %lld elements, %lld attributes, %lld bytes read, "
                "%s, %.3f s (%s binding)\n",
                in.c_str(), out.c_str(), doc.elements, doc.attributes, doc.bytes,
                output.c_str(), secondsSince(start), doc.binding.c_str());
    return 0;
}

int stats(const std::string& in, bool preprocess) {
    const auto start = std::chrono::steady_clock::now();
    ostrel_tool::Document doc = load(in, preprocess);
    std::printf("file:        %s\n", in.c_str());
    std::printf("root:        %s (%s binding)\n", doc.root->GetTag().c_str(), doc.binding.c_str());
    std::printf("DTD:         %s\n", doc.systemId.empty() ? "-" : doc.systemId.c_str());
    std::printf("elements:    %lld\n", doc.elements);
    std::printf("attributes:  %lld\n", doc.attributes);
    std::printf("bytes:       %lld\n", doc.bytes);
    std::printf("time:        %.3f s\n", secondsSince(start));
    return 0;
}

int symbols(const std::string& in, bool preprocess) {
    ostrel_tool::Document doc = load(in, preprocess);
    SymbolPrintTable();
    std::fflush(stdout);
    return 0;
}

int run(const std::vector<std::string>& args) {
    bool preprocess = true;
    std::vector<std::string> words;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--no-preprocess")
            preprocess = false;
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        else
            words.push_back(arg);
    }
    if (words.empty()) throw UsageError{"no command given"};
    const std::string& command = words[0];
    const size_t given = words.size() - 1;
    if (command == "roundtrip") {
        if (given != 2) throw UsageError{"'roundtrip' takes IN and OUT"};
        return roundtrip(words[1], words[2], preprocess);
    }
    if (command == "stats" || command == "symbols") {
        if (given != 1) throw UsageError{"'" + command + "' takes IN"};
        return command == "stats" ? stats(words[1], preprocess) : symbols(words[1], preprocess);
    }
    throw UsageError{"unknown command '" + command + "'"};
}

// Messages are shown on one line.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::fprintf(stderr, "ostrel: Error: %s (see ostrel --help)\n", e.what.c_str());
        return 2;
    } catch (const Ostrel::XException& e) {
        std::fprintf(stderr, "ostrel: %s\n", oneLine(e.GetMsg()).c_str());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ostrel: Error: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ostrel: Error: %s\n", oneLine(e.what()).c_str());
    }
    return 1;
}
