// A consumer of the installed library: writes a one-element document and checks it.
#include <ostrelbase/ostrel.h>

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
    std::cout << "consumer ok\n";
    return 0;
}
