// Building the automata of content models (see automaton.h).
#include "automaton.h"

#include <algorithm>
#include <map>
#include <set>

namespace ostrel_gen {

namespace {

using ostrel_xml::ContentParticle;

// The positions of a model: the kind at each, and what may follow each.
struct Positions {
    std::vector<int> kinds;
    std::vector<std::set<int>> follow;
};

struct Summary {
    bool nullable = false;
    std::set<int> first, last;
};

Summary walk(const ContentParticle& particle, const std::function<int(const std::string&)>& kindOf,
             Positions& positions) {
    Summary summary;
    switch (particle.kind) {
    case ContentParticle::Kind::Name: {
        const int position = static_cast<int>(positions.kinds.size());
        positions.kinds.push_back(kindOf(particle.name));
        positions.follow.emplace_back();
        summary.first = summary.last = {position};
        break;
    }
    case ContentParticle::Kind::Sequence: {
        summary.nullable = true;
        bool firstOpen = true;
        std::set<int> pending;  // last positions of the part so far
        for (const ContentParticle& child : particle.children) {
            const Summary part = walk(child, kindOf, positions);
            for (int at : pending) positions.follow[at].insert(part.first.begin(), part.first.end());
            if (firstOpen) summary.first.insert(part.first.begin(), part.first.end());
            if (part.nullable)
                pending.insert(part.last.begin(), part.last.end());
            else
                pending = part.last;
            firstOpen = firstOpen && part.nullable;
            summary.nullable = summary.nullable && part.nullable;
        }
        summary.last = pending;
        break;
    }
    case ContentParticle::Kind::Choice:
        for (const ContentParticle& child : particle.children) {
            const Summary part = walk(child, kindOf, positions);
            summary.nullable = summary.nullable || part.nullable;
            summary.first.insert(part.first.begin(), part.first.end());
            summary.last.insert(part.last.begin(), part.last.end());
        }
        break;
    }
    using Occurrence = ContentParticle::Occurrence;
    if (particle.occurrence == Occurrence::ZeroOrMore || particle.occurrence == Occurrence::OneOrMore)
        for (int at : summary.last) positions.follow[at].insert(summary.first.begin(), summary.first.end());
    if (particle.occurrence == Occurrence::Optional || particle.occurrence == Occurrence::ZeroOrMore)
        summary.nullable = true;
    return summary;
}

} // namespace

bool buildAutomaton(const ContentParticle& model,
                    const std::function<int(const std::string&)>& kindOf, std::size_t maxStates,
                    Automaton& automaton) {
    Positions positions;
    const Summary root = walk(model, kindOf, positions);
    constexpr int kStart = -1;
    // Each state of the automaton is a set of positions; kStart stands for "nothing yet".
    std::vector<std::set<int>> sets = {{kStart}};
    std::map<std::set<int>, unsigned> numbers = {{{kStart}, 0}};
    automaton.states.clear();
    for (std::size_t s = 0; s < sets.size(); ++s) {
        Automaton::State state;
        std::map<int, std::set<int>> targets;  // kind -> positions reached
        for (int at : sets[s]) {
            const std::set<int>& next = at == kStart ? root.first : positions.follow[at];
            for (int to : next)
                if (positions.kinds[to] >= 0) targets[positions.kinds[to]].insert(to);
            if (at == kStart ? root.nullable : root.last.count(at) > 0) state.accepting = true;
        }
        for (const auto& target : targets) {
            auto found = numbers.find(target.second);
            if (found == numbers.end()) {
                if (sets.size() >= maxStates) return false;
                found = numbers.emplace(target.second, static_cast<unsigned>(sets.size())).first;
                sets.push_back(target.second);
            }
            state.transitions.emplace_back(target.first, found->second);
        }
        automaton.states.push_back(state);
    }
    return true;
}

Automaton mixedAutomaton(const std::vector<int>& kinds) {
    Automaton automaton;
    Automaton::State state;
    state.accepting = true;
    for (int kind : kinds) state.transitions.emplace_back(kind, 0u);
    std::sort(state.transitions.begin(), state.transitions.end());
    automaton.states.push_back(state);
    return automaton;
}

} // namespace ostrel_gen
