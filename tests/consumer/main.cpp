// A consumer of the installed libraries: writes a one-element document, checks it, and
// reads it back with the installed reader.
#include <ostrelbase/ostrel.h>
#include <ostrelxml/xmlscanner.h>

#include <cstdio>

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    Ostrel::string title("Tom & Jerry");
    title.SetTag("title");
    title.EmitXMLToFile(argv[1], "");
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    const std::string expected = "<?xml version='1.0'?>\n<!-- created with Ostrel version 1.2 -->\n"
                                 "<title>Tom &amp; Jerry</title>\n";
    if (text.str() != expected) {
        std::cerr << "unexpected output:\n" << text.str();
        return 1;
    }
    std::FILE* stream = std::fopen(argv[1], "rb");
    if (!stream) return 1;
    std::string events;
    {
        ostrel_xml::Scanner scanner(stream, argv[1], true, ostrel_xml::EntitySeeder());
        for (ostrel_xml::Event e; (e = scanner.next()) != ostrel_xml::Event::End;)
            events += e == ostrel_xml::Event::Text ? scanner.text() : std::string(scanner.name());
    }
    std::fclose(stream);
    if (events != "titleTom & Jerrytitle") {
        std::cerr << "unexpected events: " << events << "\n";
        return 1;
    }
    std::cout << "consumer ok\n";
    return 0;
}
