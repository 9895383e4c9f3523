// Pooled allocation of XObjects: what an import makes comes from the library's pools.
#ifndef OSTREL_OBJECTPOOL_H
#define OSTREL_OBJECTPOOL_H

#include <ostrelbase/ostrel.h>
#include <ostrelbase/ostrelexport.h>

#include <cstddef>
#include <cstdint>

namespace Ostrel {

// While an object of this class lives on a thread, the XObjects made there with new come
// from the library's size-class pools instead of the global operator new (the importers
// hold one while they read). Such objects are deleted like any other, one by one, in any
// order, on any thread. Scopes nest; neither constructor nor destructor throws. In a
// Windows DLL build the scope changes nothing: objects keep to the global operator new.
// On Linux the pools may start a short-lived thread that maps the pages of their next slab.
class OSTREL_API PooledObjects {
public:
    PooledObjects();
    ~PooledObjects();
    PooledObjects(const PooledObjects&) = delete;
    PooledObjects& operator=(const PooledObjects&) = delete;

    // size bytes (aligned for any object of at most 8-byte alignment): from the pools
    // inside a scope on this thread, otherwise from the global operator new. Throws
    // std::bad_alloc when memory runs out.
    static void* allocate(std::size_t size);
    // Gives back memory that allocate or the global operator new handed out, on any
    // thread; null does nothing.
    static void deallocate(void* p) noexcept;
    // A new, empty attribute map, from where allocate takes its memory; null when memory
    // runs out.
    static AttributeMap* newAttributeMap() noexcept;
    // Destroys a map that newAttributeMap or new made and gives its memory back; null does
    // nothing.
    static void deleteAttributeMap(AttributeMap* map) noexcept;
};

// Asks the processor early for the first two cache lines of the object at p, which a walk
// over a pooled tree reads next: objects of each size lie apart, so such a walk reads
// several streams of memory at once. Changes nothing else; does nothing where unsupported.
inline void prefetchObject(const void* p) noexcept {
#if defined(__GNUC__)
    // (The second line's address is computed as a number: it may lie past the object.)
    __builtin_prefetch(p);
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(p) + 64));
#else
    (void)p;
#endif
}

// The pooled allocation as a standard allocator, for the containers of imported objects.
template <class T>
struct PoolAllocator {
    using value_type = T;
    PoolAllocator() = default;
    template <class U>
    PoolAllocator(const PoolAllocator<U>&) noexcept {}
    // n objects' room; throws std::bad_alloc when memory runs out.
    T* allocate(std::size_t n) { return static_cast<T*>(PooledObjects::allocate(n * sizeof(T))); }
    void deallocate(T* p, std::size_t) noexcept { PooledObjects::deallocate(p); }
    template <class U>
    bool operator==(const PoolAllocator<U>&) const noexcept { return true; }
    template <class U>
    bool operator!=(const PoolAllocator<U>&) const noexcept { return false; }
};

} // namespace Ostrel

#endif
