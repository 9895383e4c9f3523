// Objects from the pools: made inside a PooledObjects scope, deleted one by one in any
// order, on another thread, after the scope and after the making thread has ended; the
// heap is asked in bulk and the memory used again; a constructor that throws gives its
// block back.
#include <ostrelbase/objectpool.h>
#include <ostrelbase/ostrel.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

static int g_allocations = 0;

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size) {
    if (void* p = operator new(size, std::nothrow)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using Objects = std::vector<std::unique_ptr<Ostrel::XObject>>;

// count objects of several sizes, each holding its own number as text.
Objects makeObjects(int count) {
    const Ostrel::PooledObjects pooled;
    Objects made;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 0) made.emplace_back(new Ostrel::string(std::to_string(i)));
        else if (i % 3 == 1) made.emplace_back(new Ostrel::integer(i));
        else made.emplace_back(new (std::nothrow) Ostrel::real(i));
    }
    return made;
}

// Whether every object still holds what makeObjects gave it.
bool intact(const Objects& objects) {
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const Ostrel::XObject* o = objects[i].get();
        using Text = const std::string&;
        if (i % 3 == 0 ? static_cast<Text>(*static_cast<const Ostrel::string*>(o)) != std::to_string(i)
            : i % 3 == 1 ? static_cast<int>(*static_cast<const Ostrel::integer*>(o)) != int(i)
                         : static_cast<double>(*static_cast<const Ostrel::real*>(o)) != double(i))
            return false;
    }
    return true;
}

// A value whose constructor throws when asked to.
struct Throwing : Ostrel::string {
    explicit Throwing(bool fail) { if (fail) throw std::runtime_error("refused"); }
};

} // namespace

TEST(ObjectPool, ObjectsLiveAndDieIndependentlyOnAnyThread) {
    // Several rounds: the blocks of one round come back for the next, every one of them
    // intact while it lives, whichever thread made or deleted the others.
    for (int round = 0; round < 3; ++round) {
        Objects objects = makeObjects(20000);
        ASSERT_TRUE(intact(objects));
        // Every other one deleted here, backwards; the rest on a thread of their own.
        Objects rest;
        for (std::size_t i = objects.size(); i-- > 0;) {
            if (i % 2) rest.push_back(std::move(objects[i]));
            else objects[i].reset();
        }
        std::thread([&rest] { rest.clear(); }).join();
    }
    // Made on a thread that has ended, deleted here.
    Objects orphans;
    std::thread([&orphans] { orphans = makeObjects(5000); }).join();
    EXPECT_TRUE(intact(orphans));
}

TEST(ObjectPool, ObjectsComeFromTheHeapInBulkAndAreUsedAgain) {
    // The program's operator new counts (a library DLL calls its own, which is not
    // counted: there the counts stay 0).
    Objects objects;
    objects.reserve(3000);
    for (const int most : {9, 0}) {
        // The first round asks the heap in bulk; the second uses the same memory again.
        g_allocations = 0;
        {
            const Ostrel::PooledObjects pooled;
            for (int i = 0; i < 3000; ++i) objects.emplace_back(new Ostrel::integer(i));
        }
        EXPECT_LE(g_allocations, most);
        objects.clear();
    }
}

TEST(ObjectPool, AThrowingConstructorGivesItsBlockBack) {
#if defined(_WIN32) && !defined(OSTREL_STATIC)
    GTEST_SKIP() << "a Windows DLL build leaves objects to the global operator new";
#endif
    const Ostrel::PooledObjects pooled;
    for (int i = 0; i < 1000; ++i) {
        EXPECT_THROW(delete new Throwing(true), std::runtime_error);
        EXPECT_THROW(delete new (std::nothrow) Throwing(true), std::runtime_error);
    }
    // The same block each time: nothing was lost.
    std::unique_ptr<Throwing> a(new Throwing(false));
    const std::uintptr_t where = reinterpret_cast<std::uintptr_t>(a.get());
    a.reset();
    EXPECT_THROW(delete new (std::nothrow) Throwing(true), std::runtime_error);
    a.reset(new Throwing(false));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a.get()), where);
}

TEST(ObjectPool, BlocksDeletedByAThreadThatEndsAreUsedAgain) {
#if defined(_WIN32) && !defined(OSTREL_STATIC)
    GTEST_SKIP() << "a Windows DLL build leaves objects to the global operator new";
#endif
    // A size class of its own, so that only these objects share it.
    struct Wide : Ostrel::string {
        char pad[244 - sizeof(Ostrel::string)];
    };
    std::vector<std::unique_ptr<Wide>> objects;
    std::set<const void*> made;
    {
        const Ostrel::PooledObjects pooled;
        for (int i = 0; i < 264; ++i) made.insert(objects.emplace_back(new Wide).get());
    }
    // A thread that only deletes hands its blocks over when it ends, fewer than one batch.
    std::thread([&objects] { objects.clear(); }).join();
    const Ostrel::PooledObjects pooled;
    std::size_t reused = 0;
    for (int i = 0; i < 264; ++i) reused += made.count(objects.emplace_back(new Wide).get());
    EXPECT_GE(reused, 132u);
}
