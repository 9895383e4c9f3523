// A consumer of ostrel_generate: builds a note with the generated classes, writes it,
// reads it back with the generated importer and checks what arrived.
#include "note.h"

#include <iostream>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    note::note message;
    message.AddTo("Ann");
    message.AddTo("Bo");
    message.SetBody("Lunch & more");
    message.SetPriority("high");
    if (!message.IsValid()) return 1;
    message.EmitXMLToFile(argv[1], "note.dtd");
    note::Importer in;
    in.ImportFromFile(argv[1], true);
    std::unique_ptr<note::note> read(static_cast<note::note*>(in.GetXObject()));
    if (read->GetTos().size() != 2 || *read->GetBody() != "Lunch & more" ||
        read->GetPriority() != "high") {
        std::cerr << "the note did not come back\n";
        return 1;
    }
    std::cout << "generated consumer ok\n";
    return 0;
}
