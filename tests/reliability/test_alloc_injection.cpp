// Every allocation of an operation fails in turn (the first, the second, ... until the
// operation gets through), whatever its form: the failure must arrive as XException or
// std::bad_alloc, the objects involved must stay as they were and destructible, an
// importer must hand over no tree, and nothing may leak (the counting allocator checks
// that, and LeakSanitizer in the sanitizer build).
#include "reliability/importing.h"
#include "support/failing_alloc.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

using namespace ostrel_test;

namespace {

using Text = std::function<std::string()>;

// Runs op once cleanly, then with allocation n failing for n = 1, 2, ... until it gets
// through with none failing; undo() follows every run. After a failure state() must be
// as before; a run that gets through, past a failure the code absorbed too, must give
// what the clean run gave, and so must after(). The number of failures reported.
int underFailures(const Text& op, const Text& state, const Text& after, const std::function<void()>& undo) {
    const std::string before = state();
    std::string expected = op();
    expected += after();
    undo();
    const long live = liveAllocations();
    for (int n = 1, reported = 0;; ++n) {
#ifndef _WIN32
        // (Here, where the last run's strings are gone.)
        EXPECT_EQ(liveAllocations(), live) << "allocation " << n - 1 << ": memory not given back";
#endif
        std::string error = "Error: ", got;
        bool threw = true;
        failNthAllocation(n);
        try {
            got = op();
            threw = false;
        } catch (const Ostrel::XException& e) {
            error = e.GetMsg();
        } catch (const std::bad_alloc&) {
        }
        const bool failed = disarmAllocationFailure();
        EXPECT_TRUE(failed || !threw) << "allocation " << n << ": an error without a failure";
        EXPECT_EQ(error.rfind("Error: ", 0), 0u) << error;
        if (!threw) got += after();
        EXPECT_EQ(threw ? state() : got, threw ? before : expected) << "allocation " << n;
        undo();
        if (!threw && !failed) return reported;
        reported += threw;
    }
}

int nullClones = 0;  // clone's own way of saying it ran out

std::string cloneWrites(const Ostrel::XObject& source) {
    std::unique_ptr<Ostrel::XObject> copy(source.clone());
    if (!copy && ++nullClones) throw std::bad_alloc();
    return emitted(*copy);
}

template <class Importer>
Text importing(const char* file, bool preprocess) {
    return [=] {
        std::string tree;
        const std::string error = importError<Importer>(reliabilityData(file), preprocess, &tree);
        if (!error.empty()) throw Ostrel::XException(error, __FILE__, __LINE__);
        return tree;
    };
}

// An element with a value of each kind as attribute (one with attributes of its own),
// a child element and a text.
std::unique_ptr<Element> sampleElement() {
    auto e = std::make_unique<Element>("order");
    Attributed<Ostrel::string> text("A & B");  // the value classes' copies get attributes
    Ostrel::integer count(7);
    Ostrel::boolean flag(true);
    Ostrel::real price(9.5);
    Ostrel::NMTOKENS tokens;
    tokens.SetValueFromString("red green blue");
    text.setAttribute("count", &count);
    text.setAttribute("colours", &tokens);
    const Ostrel::XObject* values[] = {&text, &count, &flag, &price, &tokens};
    for (int n = 0; n < 5; ++n) e->setAttribute("a" + std::to_string(n), values[n]);
    auto child = std::make_unique<Element>("item");
    child->setAttribute("sku", &text);
    e->add(child.release());
    e->add(new Ostrel::string("character data"));
    return e;
}

} // namespace

// Copies, clones, writing, attribute changes and imports: each fails leaving its objects
// as they were, or gives its whole result.
TEST(FailingAllocation, EachOperationFailsCleanlyOrGivesItsWholeResult) {
    xkb::RegisterCreateFunctions();
    auto element = sampleElement(), target = std::make_unique<Element>("target");
    const auto imported = [](auto&& importer, const char* file) {
        importer.ImportFromFile(reliabilityData(file), true);
        return std::unique_ptr<Ostrel::XObject>(importer.GetXObject());
    };
    auto registry = imported(xkb::XkbImporter(), "xkb.xml");
    auto tree = imported(generic::GenericImporter(), "generic.xml");
    Ostrel::string fresh("a new value that is long enough to need its own allocation"), old("x");
    TempFile file("alloc_emit.xml");
    const auto writes = [](Ostrel::XObject& o) -> Text { return [&o] { return emitted(o); }; };
    const Text nothing = [] { return ""; };
    const auto none = [] {};
    const struct {
        const char* what;
        Text op, state;
        std::function<void()> undo;
        int moreThan;
        Text after = nullptr;
    } cases[] = {
        // (after: what a run that gets through leaves; state() when not given)
        {"copy", [&] { Element copy(*element); return emitted(copy); }, writes(*element), none, 10},
        {"xkb clone", [&] { return cloneWrites(*registry); }, writes(*registry), none, 0},
        {"generic clone", [&] { return cloneWrites(*tree); }, writes(*tree), none, 0},
#ifndef _WIN32  // where the C++ runtime's DLL allocates the streams, out of reach
        {"emit", [&] { element->EmitXMLToFile(file.path(), "order.dtd"); return std::string(); },
         writes(*element), none, 0, [&] { return readFile(file.path()); }},
#endif
        {"add attribute", [&] { element->setAttribute("added", &fresh); return std::string(); },
         writes(*element), [&] { element->RemoveAttribute("added"); }, 0},
        // (A failed copy leaves a part of the attributes, which undo frees.)
        {"copy attributes", [&] { target->copyAttributesFrom(element->attributes()); return std::string(); },
         nothing, [&] { target->copyAttributesFrom(nullptr); target->setAttribute("stale", &old); }, 0,
         writes(*target)},
        {"xkb import", importing<xkb::XkbImporter>("xkb.xml", true), nothing, none, 50},
        {"xkb import unprocessed", importing<xkb::XkbImporter>("xkb.xml", false), nothing, none, 50},
        {"generic import", importing<generic::GenericImporter>("generic.xml", true), nothing, none, 20},
        {"generic import unprocessed", importing<generic::GenericImporter>("generic.xml", false), nothing,
         none, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_GT(underFailures(c.op, c.state, c.after ? c.after : c.state, c.undo), c.moreThan);
    }
    EXPECT_GE(nullClones, 1);
}

#ifndef _WIN32
// A refused import frees its whole partial tree, the finished children of the elements left
// open included, while the importer lives on.
template <class Importer>
void refusedImportKeepsNothing(const char* file) {
    const std::string whole = readFile(reliabilityData(file));
    TempFile cut("cut_off.xml");
    writeFile(cut.path(), whole.substr(0, whole.rfind('<')));  // no end tag for the root
    Importer importer;
    importer.ImportFromFile(reliabilityData(file), true);  // its stacks take their size
    delete importer.GetXObject();
    const long live = liveAllocations();
    EXPECT_THROW(importer.ImportFromFile(cut.path(), true), Ostrel::XException);
    EXPECT_EQ(liveAllocations(), live) << file;
}

TEST(FailingAllocation, RefusedImportKeepsNothing) {
    refusedImportKeepsNothing<xkb::XkbImporter>("xkb.xml");
    refusedImportKeepsNothing<generic::GenericImporter>("generic.xml");
}
#endif
