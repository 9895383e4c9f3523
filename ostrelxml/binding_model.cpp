// The content models of a binding's schema: element names, the automaton's steps, and
// what a document must have written first when a child or the end comes too early.
#include "ostrelxml/binding_schema.h"

#include <cstring>
#include <deque>
#include <limits>
#include <vector>

namespace ostrel_xml {
namespace binding {

namespace {

// Distance in steps from state from to every state, avoiding transitions on kind avoid
// (kTextKind avoids none); -1 where unreachable.
std::vector<int> distances(const ElementType& type, int from, Kind avoid) {
    std::vector<int> distance(type.stateCount, -1);
    std::deque<int> queue;
    distance[static_cast<std::size_t>(from)] = 0;
    queue.push_back(from);
    while (!queue.empty()) {
        const int at = queue.front();
        queue.pop_front();
        const State& state = type.states[at];
        for (unsigned t = state.first; t < state.first + state.count; ++t) {
            const Transition& step = type.transitions[t];
            if (step.kind == avoid || distance[step.to] >= 0) continue;
            distance[step.to] = distance[static_cast<std::size_t>(at)] + 1;
            queue.push_back(step.to);
        }
    }
    return distance;
}

// Whether the state has a transition on kind.
bool takes(const ElementType& type, int state, Kind kind) {
    const State& s = type.states[state];
    for (unsigned t = s.first; t < s.first + s.count; ++t)
        if (type.transitions[t].kind == kind) return true;
    return false;
}

// Goal: a state that takes kind, or (kind == kTextKind) an accepting state.
bool isGoal(const ElementType& type, int state, Kind kind) {
    return kind == kTextKind ? type.states[state].accepting : takes(type, state, kind);
}

bool reachesGoal(const ElementType& type, const std::vector<int>& distance, Kind kind) {
    for (int s = 0; s < type.stateCount; ++s)
        if (distance[static_cast<std::size_t>(s)] >= 0 && isGoal(type, s, kind)) return true;
    return false;
}

// The element type every way from state to the goal passes through, the nearest when
// there are several; kTextKind when the goal is out of reach or no type is unavoidable.
Kind unavoidable(const ElementType& type, int state, Kind goal) {
    if (type.content != Content::Elements) return kTextKind;
    const std::vector<int> all = distances(type, state, kTextKind);
    if (!reachesGoal(type, all, goal)) return kTextKind;
    Kind best = kTextKind;
    int bestDistance = std::numeric_limits<int>::max();
    for (unsigned c = 0; c < type.childCount; ++c) {
        const Kind kind = type.children[c].kind;
        if (kind == goal || reachesGoal(type, distances(type, state, kind), goal)) continue;
        for (int s = 0; s < type.stateCount; ++s) {
            const int d = all[static_cast<std::size_t>(s)];
            if (d >= 0 && d < bestDistance && takes(type, s, kind)) {
                best = kind;
                bestDistance = d;
            }
        }
    }
    return best;
}

} // namespace

Kind findKind(const Schema& schema, const char* name) {
    unsigned low = 0, high = schema.count;
    while (low < high) {
        const unsigned mid = (low + high) / 2;
        const int order = std::strcmp(schema.types[schema.byName[mid]].name, name);
        if (order == 0) return schema.byName[mid];
        if (order < 0)
            low = mid + 1;
        else
            high = mid;
    }
    return schema.count;
}

int nextState(const ElementType& type, int state, Kind kind) {
    if (type.content == Content::Any) return 0;
    if (type.content != Content::Elements && type.content != Content::Mixed) return -1;
    const State& s = type.states[state];
    for (unsigned t = s.first; t < s.first + s.count; ++t)
        if (type.transitions[t].kind == kind) return type.transitions[t].to;
    return -1;
}

bool namesChild(const ElementType& type, Kind kind) {
    if (type.content == Content::Any) return true;
    for (unsigned c = 0; c < type.childCount; ++c)
        if (type.children[c].kind == kind) return true;
    return false;
}

Kind requiredBefore(const ElementType& type, int state, Kind kind) {
    return unavoidable(type, state, kind);
}

Kind requiredToEnd(const ElementType& type, int state) {
    return unavoidable(type, state, kTextKind);
}

} // namespace binding
} // namespace ostrel_xml
