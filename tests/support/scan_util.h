// Running the XML scanner over a document given as text, for the reader's tests.
#ifndef OSTREL_TESTS_SCAN_UTIL_H
#define OSTREL_TESTS_SCAN_UTIL_H

#include "ostrelxml/scanning_importer.h"
#include "support/file_util.h"

#include <ostrelbase/ostrelexcept.h>

#include <string>
#include <vector>

namespace ostrel_test {

// Records the scanner's events as lines: "<a x='1'>" (a '*' after a name marks a value the
// DTD supplied), "'text'", "</a>", each followed by "@line:column" when positions are asked
// for, and at the end "!DOCTYPE name systemId" when the document has a DOCTYPE.
class EventRecorder : public ostrel_xml::ScanningImporter {
public:
    std::vector<std::string> events;
    bool positions = false;
    int maxDepth = 0;

protected:
    void ParseXMLFile() override {
        ostrel_xml::Scanner scanner(
            GetCurrentXMLFileStream(), GetOriginalFileName(), GetPreprocessorMode(),
            [this](const Ostrel::_TextEntity* entities) { InitSymbolTable(entities); });
        if (maxDepth) scanner.setMaxDepth(maxDepth);
        using ostrel_xml::Event;
        for (Event event; (event = scanner.next()) != Event::End;) {
            const bool start = event == Event::StartElement, end = event == Event::EndElement;
            std::string line = event == Event::Text
                                   ? "'" + scanner.text() + "'"
                                   : (end ? "</" : "<") + std::string(scanner.nameView());
            if ((start || end) && scanner.nameView() != scanner.name())
                line += " (lengths differ)";
            const std::vector<ostrel_xml::Attribute> none;
            for (const auto& a : start ? scanner.attributes() : none)
                line += " " + std::string(a.name) + (a.defaulted ? "*='" : "='") + a.value + "'";
            if (start || end) line += ">";
            if (positions)
                line += "@" + std::to_string(scanner.line()) + ":" + std::to_string(scanner.column());
            events.push_back(line);
        }
        if (!scanner.doctypeName().empty())
            events.push_back("!DOCTYPE " + scanner.doctypeName() + " " + scanner.systemId());
    }
};

// The events of xml, written to a scratch file and scanned; when it is refused, the only
// one is "ERROR " and the message without "Error: <file>:".
inline std::vector<std::string> scan(const std::string& xml, bool preprocess = true,
                                     bool positions = false, int maxDepth = 0) {
    const TempFile file("scan.xml", xml);
    EventRecorder recorder;
    recorder.positions = positions;
    recorder.maxDepth = maxDepth;
    try {
        recorder.ImportFromFile(file.path(), preprocess);
    } catch (const Ostrel::XException& e) {
        const std::string prefix = "Error: " + file.path() + ":";
        if (e.GetMsg().compare(0, prefix.size(), prefix) != 0) return {"UNEXPECTED " + e.GetMsg()};
        return {"ERROR " + e.GetMsg().substr(prefix.size())};
    }
    return recorder.events;
}

} // namespace ostrel_test

#endif
