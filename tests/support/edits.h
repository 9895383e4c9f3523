// Edit scripts for generated bindings: documents read or refused, elements made, edited
// through the interface every element shares, and checked; one step a line of a case
// file (the steps are explained at the head of tests/data/xkb/edits.txt).
#ifndef OSTREL_TESTS_EDITS_H
#define OSTREL_TESTS_EDITS_H

#include "support/case_file.h"
#include "support/file_util.h"
#include "support/test_element.h"

#include <ostrelbase/xobjfactory.h>
#include <ostrelxml/binding_element.h>
#include <ostrelxml/scanning_importer.h>

#include <memory>
#include <sstream>
#include <typeinfo>

namespace ostrel_test {

// The attribute helpers only a derived class may use, to look into and spoil an element.
struct Attributes : Ostrel::XObject {
    static const Ostrel::XObject* get(Ostrel::XObject& object, const std::string& name) {
        return (object.*&Attributes::getAttribute)(name);
    }
    static void set(Ostrel::XObject& object, const std::string& name, const Ostrel::XObject& value) {
        (object.*&Attributes::setAttribute)(name, &value);
    }
};

// The first child element of at tagged name, or null.
inline Ostrel::XObject* childOf(Ostrel::XObject* at, const std::string& name) {
    auto* element = dynamic_cast<ostrel_xml::binding::Element*>(at);
    for (std::size_t i = 0; element && i < element->GetChildCount(); ++i)
        if (!element->IsTextChild(i) && element->GetChild(i).GetTag() == name) return &element->GetChild(i);
    return nullptr;
}

// Runs the steps of the case file script; documents are read from dir with importer.
inline void runEdits(const std::string& script, const std::string& dir,
                     ostrel_xml::ScanningImporter& importer) {
    std::unique_ptr<Ostrel::XObject> root;
    Ostrel::XObject* at = nullptr;
    for (const Case& c : readCases(script)) {
        const std::string& step = c.fields[0].text;
        const std::string steps = " load refuse new go valid string has hasattr emits counts writes"
                                  " remove unchild unattr tag attr clone ";
        EXPECT_NE(steps.find(" " + step + " "), std::string::npos) << c.where << ": no such step";
        const std::string arg = c.fields.size() > 1 ? c.fields[1].text : "";
        if (step == "load") {
            importer.ImportFromFile(dir + "/" + arg, !c.fields.back().is("raw"));
            root.reset(importer.GetXObject());
        } else if (step == "refuse") {
            EXPECT_EQ(messageOf([&] { importer.ImportFromFile(dir + "/" + arg, true); }),
                      "Error: " + dir + "/" + arg + ":" + c.fields[2].text) << c.where;
            EXPECT_EQ(importer.GetXObject(), nullptr) << c.where << ": a partial tree";
            continue;
        } else if (step == "new") {
            root.reset(Ostrel::XObjectFactory::CreateObject(arg));
        }
        if (step == "load" || step == "new" || step == "go") at = root.get();
        std::istringstream path(step == "go" ? arg : "");
        for (std::string name; at && std::getline(path, name, '/');) at = name == "." ? at : childOf(at, name);
        ASSERT_NE(at, nullptr) << c.where;
        const bool yes = c.fields.back().is("yes");
        bool ok = true;
        if (step == "valid") ok = at->IsValid() == yes;
        if (step == "string") ok = (dynamic_cast<Ostrel::string*>(at) != nullptr) == yes;
        if (step == "has") ok = at->HasElement(arg) == yes;
        if (step == "hasattr") ok = at->HasAttribute(arg) == yes;
        if (step == "emits") ok = elementOf(*at) == arg;
        if (step == "counts")
            ok = importer.elementCount() == std::stoll(arg) &&
                 importer.attributeCount() == std::stoll(c.fields[2].text);
        if (step == "remove") at->RemoveElement(arg);
        if (step == "unchild") {
            auto* element = dynamic_cast<ostrel_xml::binding::Element*>(at);
            ok = element && element->RemoveChild(std::stoul(arg)) == yes;
        }
        if (step == "unattr") at->RemoveAttribute(arg);
        if (step == "tag") at->SetTag(arg);
        const Field& v = c.fields.back();  // the value of an attr step
        if (step == "attr" && c.fields[2].is("boolean")) Attributes::set(*at, arg, Ostrel::boolean(v.is("true")));
        if (step == "attr" && c.fields[2].is("string")) Attributes::set(*at, arg, Ostrel::string(v.text));
        if (step == "writes") {
            TempFile out("edits_written.xml");
            at->EmitXMLToFile(out.path(), c.fields[2].is("-") ? importer.systemId() : c.fields[2].text);
            ok = readFile(out.path()) == textOnDisk(readFile(dir + "/" + arg));
        }
        if (step == "clone") {
            std::unique_ptr<Ostrel::XObject> copy(at->clone());
            ok = copy && typeid(*copy) == typeid(*at) && elementOf(*copy) == elementOf(*at) && (*copy == *at) == 1;
        }
        EXPECT_TRUE(ok) << c.where << "\n" << elementOf(*at);
    }
}

} // namespace ostrel_test

#endif
