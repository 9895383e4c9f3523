// Content models as deterministic automata over child element types: the position
// automaton of the model (one state per element name in it) made deterministic by subset
// construction, so that the generated tables need one state per open element.
#ifndef OSTREL_GEN_AUTOMATON_H
#define OSTREL_GEN_AUTOMATON_H

#include <ostrelxml/dtd.h>

#include <functional>
#include <utility>
#include <vector>

namespace ostrel_gen {

struct Automaton {
    struct State {
        std::vector<std::pair<int, unsigned>> transitions;  // (kind, target), kinds ascending
        bool accepting = false;
    };
    std::vector<State> states;  // state 0 starts
};

// The automaton of an element content model. kindOf gives the kind of an element name,
// or -1 for an undeclared one, whose places no child can take. Returns false when more
// than maxStates states would be needed.
bool buildAutomaton(const ostrel_xml::ContentParticle& model,
                    const std::function<int(const std::string&)>& kindOf, std::size_t maxStates,
                    Automaton& automaton);
// The automaton of mixed content: one accepting state that takes each kind.
Automaton mixedAutomaton(const std::vector<int>& kinds);

} // namespace ostrel_gen

#endif
