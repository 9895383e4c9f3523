// Allocations that fail on request, to reach the out-of-memory paths, and counted. Link
// support/failing_alloc.cpp into the test program that uses them: it replaces the
// global operator new and delete (malloc and free underneath).
#ifndef OSTREL_TESTS_FAILING_ALLOC_H
#define OSTREL_TESTS_FAILING_ALLOC_H

namespace ostrel_test {

// The n-th non-throwing allocation from now on fails (n >= 1); 0 disarms.
void failNthNothrowAllocation(int n);

// The n-th allocation from now on fails, whatever its form (n >= 1): the throwing
// operator new throws std::bad_alloc, the non-throwing one gives null. 0 disarms.
void failNthAllocation(int n);

// Disarms failNthAllocation; whether its failure happened since it was armed.
bool disarmAllocationFailure();

// The allocations this program's operator new has made so far (a library DLL calls its own).
long allocationCount();

// Those of them not yet given back to its operator delete (not kept on Windows, where a
// library DLL gives memory back to its own).
long liveAllocations();

} // namespace ostrel_test

#endif
