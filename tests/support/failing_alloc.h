// Non-throwing allocations that fail on request, to reach the out-of-memory paths.
#ifndef OSTREL_TESTS_FAILING_ALLOC_H
#define OSTREL_TESTS_FAILING_ALLOC_H

namespace ostrel_test {

// The n-th non-throwing allocation from now on fails (n >= 1); 0 disarms.
void failNthNothrowAllocation(int n);

} // namespace ostrel_test

#endif
