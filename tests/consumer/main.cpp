// A consumer of the installed libraries: writes a one-element document and prints the
// events the installed reader gives for it; run_consumer.cmake checks both.
#include <ostrelbase/ostrel.h>
#include <ostrelxml/xmlscanner.h>

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    Ostrel::string title("Tom & Jerry");
    title.SetTag("title");
    title.EmitXMLToFile(argv[1], "");
    std::FILE* stream = std::fopen(argv[1], "rb");
    if (!stream) return 1;
    {
        ostrel_xml::Scanner scanner(stream, argv[1], true, ostrel_xml::EntitySeeder());
        for (ostrel_xml::Event e; (e = scanner.next()) != ostrel_xml::Event::End;)
            std::cout << (e == ostrel_xml::Event::Text ? scanner.text() : std::string(scanner.name())) << '|';
    }
    std::fclose(stream);
    return 0;
}
