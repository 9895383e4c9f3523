// The size-class pools behind XObject's operator new and delete. An import makes one
// heap object per element and per attribute value; from the pool each costs a few
// instructions and no heap header. Pages of 64 KiB hold blocks of one size class; a hash
// table of the pages tells on delete whether a block is the pool's and of which class.
// Each thread keeps its own free lists (bounded), the rest goes to shared lists under a
// mutex. Memory the pool has taken stays with it for the next import.
#include <ostrelbase/objectpool.h>
#include <ostrelbase/ostrel.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#if defined(__linux__)
#include <sys/mman.h>

#include <thread>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define OSTREL_POOL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSTREL_POOL_ASAN 1
#endif
#endif
#ifdef OSTREL_POOL_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace Ostrel {

namespace {

constexpr std::size_t kGrain = 8;
constexpr std::size_t kMaxSize = 256;
constexpr unsigned kClasses = kMaxSize / kGrain;  // class k: blocks of (k + 1) * 8 bytes
constexpr unsigned kPageShift = 16;
constexpr std::size_t kPageSize = std::size_t(1) << kPageShift;
constexpr unsigned kPagesPerSlab = 64;  // 4 MiB taken from the heap at a time
constexpr unsigned kTableBits = 18;
constexpr std::size_t kTableSize = std::size_t(1) << kTableBits;
// Half the table at most, so that every lookup ends soon: 8 GiB of pages.
constexpr std::size_t kMaxPages = kTableSize / 2;
constexpr std::size_t kMaxSlabs = kMaxPages / kPagesPerSlab;
// Free blocks a thread keeps per class before it hands a batch to the shared lists.
constexpr unsigned kLocalLimit = 512;

// A Windows DLL's operator new is not the program's: objects that generated code in the
// program used to get from the program's operator new would move behind its back. DLL
// builds there leave every object to the global operator new.
#if defined(_WIN32) && !defined(OSTREL_STATIC)
constexpr bool kPooling = false;
#else
constexpr bool kPooling = true;
#endif

struct FreeBlock {
    FreeBlock* next;
};

// Under AddressSanitizer a free block is poisoned, all but its link, until it is handed
// out again, so that a use after delete is still caught.
#ifdef OSTREL_POOL_ASAN
void poison(void* p, std::size_t n) { ASAN_POISON_MEMORY_REGION(p, n); }
void unpoison(void* p, std::size_t n) { ASAN_UNPOISON_MEMORY_REGION(p, n); }
#else
void poison(void*, std::size_t) {}
void unpoison(void*, std::size_t) {}
#endif

// The pool's pages: (address >> kPageShift) << 8 | (class + 1); 0 is an empty slot.
// Written under the mutex, read by any thread without it.
std::atomic<std::uint64_t> g_pages[kTableSize];

std::size_t slotOf(std::uint64_t key) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - kTableBits));
}

// class + 1 of the page p lies in; 0 when p is no block of the pool.
unsigned pageClassOf(const void* p) {
    const std::uint64_t key = reinterpret_cast<std::uintptr_t>(p) >> kPageShift;
    for (std::size_t i = slotOf(key);; i = (i + 1) & (kTableSize - 1)) {
        const std::uint64_t entry = g_pages[i].load(std::memory_order_acquire);
        if (entry == 0) return 0;
        if ((entry >> 8) == key) return static_cast<unsigned>(entry & 0xFF);
    }
}

// What all threads share, under g_mutex.
std::mutex g_mutex;
// Every slab as the heap gave it: the memory stays reachable and is never given back.
void* g_slabs[kMaxSlabs];
std::size_t g_slabCount = 0;
char* g_nextPage = nullptr;
unsigned g_pagesLeft = 0;
std::size_t g_pagesUsed = 0;
FreeBlock* g_shared[kClasses];

char* g_ahead = nullptr;  // the slab after the current one, once an import needs a second

// A slab from the heap, recorded and aligned to pages; null when there is none.
char* takeSlab() {
    if (g_slabCount == kMaxSlabs) return nullptr;
    // One page more than the slab, to place the pages on page boundaries.
    void* slab = ::operator new(kPagesPerSlab * kPageSize + kPageSize, std::nothrow);
    if (!slab) return nullptr;
    g_slabs[g_slabCount++] = slab;
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(slab);
    return static_cast<char*>(slab) + ((kPageSize - at % kPageSize) % kPageSize);
}

// Has the kernel map the slab's pages on a thread of its own while the import fills the
// slab before it, so that the import does not stop for a page fault every 4 KiB. Without
// a second processor, or a thread, the pages are faulted in as they are first written.
void prefault(char* slab) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const bool parallel = std::thread::hardware_concurrency() > 1;
    if (!parallel) return;
    try {
        std::thread([slab] { madvise(slab, kPagesPerSlab * kPageSize, MADV_POPULATE_WRITE); })
            .detach();
    } catch (...) {
    }
#else
    (void)slab;
#endif
}

// A new page for class k, registered; null when the heap or the table is exhausted.
char* newPage(unsigned k) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_pagesUsed >= kMaxPages) return nullptr;
    if (g_pagesLeft == 0) {
        char* slab = g_ahead ? g_ahead : takeSlab();
        if (!slab) return nullptr;
        // An import that fills a second slab is a large one: the one after is readied.
        g_ahead = g_slabCount >= 2 ? takeSlab() : nullptr;
        if (g_ahead) prefault(g_ahead);
        g_nextPage = slab;
        g_pagesLeft = kPagesPerSlab;
    }
    char* page = g_nextPage;
    g_nextPage += kPageSize;
    --g_pagesLeft;
    ++g_pagesUsed;
    const std::uint64_t key = reinterpret_cast<std::uintptr_t>(page) >> kPageShift;
    std::size_t i = slotOf(key);
    while (g_pages[i].load(std::memory_order_relaxed) != 0) i = (i + 1) & (kTableSize - 1);
    g_pages[i].store(key << 8 | (k + 1), std::memory_order_release);
    poison(page, kPageSize);
    return page;
}

// A thread's own lists. Trivially destructible, so that it still works while the thread
// ends (Flush below hands its contents over and closes it).
struct Cache {
    FreeBlock* free[kClasses];
    unsigned count[kClasses];
    char* next[kClasses];  // the unused rest of the class's current page
    char* end[kClasses];
    int scopes;    // PooledObjects alive on this thread
    bool flushing;  // Flush is arranged for the thread's end
    bool closed;    // the thread is ending: blocks go to the shared lists
};
thread_local Cache t_cache;

// The thread's cache through a pointer in the initial TLS block where the platform has
// one: a shared library then reaches it without a call per allocation.
#if defined(__ELF__) && defined(__GNUC__)
#define OSTREL_POOL_FAST_TLS __attribute__((tls_model("initial-exec")))
#else
#define OSTREL_POOL_FAST_TLS
#endif
thread_local Cache* t_mine OSTREL_POOL_FAST_TLS = nullptr;

// The slow paths stay out of line, so that the usual allocation saves no registers.
#if defined(__GNUC__)
#define OSTREL_POOL_COLD __attribute__((noinline, cold))
#else
#define OSTREL_POOL_COLD
#endif

Cache& cache() {
    Cache* c = t_mine;
    if (!c) c = t_mine = &t_cache;
    return *c;
}

void shareList(unsigned k, FreeBlock* first, FreeBlock* last) {
    std::lock_guard<std::mutex> lock(g_mutex);
    last->next = g_shared[k];
    g_shared[k] = first;
}

// Gives everything the thread holds to the shared lists when the thread ends.
struct Flush {
    volatile bool armed = false;
    ~Flush() {
        Cache& c = cache();
        std::lock_guard<std::mutex> lock(g_mutex);
        for (unsigned k = 0; k < kClasses; ++k) {
            const std::size_t bytes = (k + 1) * kGrain;
            for (; c.next[k] && static_cast<std::size_t>(c.end[k] - c.next[k]) >= bytes;
                 c.next[k] += bytes) {
                FreeBlock* b = reinterpret_cast<FreeBlock*>(c.next[k]);
                unpoison(b, sizeof(FreeBlock));
                b->next = c.free[k];
                c.free[k] = b;
            }
            while (FreeBlock* b = c.free[k]) {
                c.free[k] = b->next;
                b->next = g_shared[k];
                g_shared[k] = b;
            }
        }
        c.closed = true;
    }
};
thread_local Flush t_flush;

void arrangeFlush(Cache& c) {
    c.flushing = true;
    t_flush.armed = true;
}

// A block of class k when the thread's list and page are empty: shared blocks first,
// then a new page; null when there is no memory.
OSTREL_POOL_COLD void* refill(Cache& c, unsigned k) {
    if (!c.flushing) arrangeFlush(c);
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (FreeBlock* first = g_shared[k]) {
            FreeBlock* last = first;
            unsigned n = 1;
            while (n < kLocalLimit && last->next) last = last->next, ++n;
            g_shared[k] = last->next;
            last->next = nullptr;
            c.free[k] = first->next;
            c.count[k] = n - 1;
            unpoison(first, (k + 1) * kGrain);
            return first;
        }
    }
    char* page = newPage(k);
    if (!page) return nullptr;
    const std::size_t bytes = (k + 1) * kGrain;
    c.next[k] = page + bytes;
    c.end[k] = page + kPageSize;
    unpoison(page, bytes);
    return page;
}

// A block for size bytes from the pool; null outside a scope, for large sizes and
// when there is no memory.
void* poolAllocate(std::size_t size) {
    Cache& c = cache();
    // Size 0 wraps around and goes to the heap with the large sizes.
    if (c.scopes == 0 || size - 1 >= kMaxSize || c.closed) return nullptr;
    const unsigned k = static_cast<unsigned>((size - 1) / kGrain);
    const std::size_t bytes = (k + 1) * kGrain;
    if (FreeBlock* b = c.free[k]) {
        c.free[k] = b->next;
        --c.count[k];
        unpoison(b, bytes);
        return b;
    }
    if (static_cast<std::size_t>(c.end[k] - c.next[k]) >= bytes) {
        void* p = c.next[k];
        c.next[k] += bytes;
        unpoison(p, bytes);
        return p;
    }
    return refill(c, k);
}

// Takes back block p of class k.
void release(void* p, unsigned k) {
    Cache& c = cache();
    FreeBlock* b = static_cast<FreeBlock*>(p);
    poison(b + 1, (k + 1) * kGrain - sizeof(FreeBlock));
    if (c.closed) {
        shareList(k, b, b);
        return;
    }
    if (!c.flushing) arrangeFlush(c);
    b->next = c.free[k];
    c.free[k] = b;
    if (++c.count[k] < 2 * kLocalLimit) return;
    // Keep kLocalLimit, share the rest.
    FreeBlock* last = b;
    for (unsigned n = 1; n < kLocalLimit; ++n) last = last->next;
    FreeBlock* first = last->next;
    FreeBlock* tail = first;
    while (tail->next) tail = tail->next;
    last->next = nullptr;
    c.count[k] = kLocalLimit;
    shareList(k, first, tail);
}

// Gives p back to the pool when it is the pool's; true then.
bool releaseIfPooled(void* p) {
    if (const unsigned k = pageClassOf(p)) {
        release(p, k - 1);
        return true;
    }
    return false;
}

// size bytes from the pool, or else from the heap; null when memory runs out.
void* allocateNothrow(std::size_t size) noexcept {
    if (void* p = poolAllocate(size)) return p;
    return ::operator new(size, std::nothrow);
}

} // namespace

PooledObjects::PooledObjects() {
    if (kPooling) ++cache().scopes;
}
PooledObjects::~PooledObjects() {
    if (kPooling) --cache().scopes;
}

void* PooledObjects::allocate(std::size_t size) {
    if (void* p = poolAllocate(size)) return p;
    return ::operator new(size);
}

void PooledObjects::deallocate(void* p) noexcept {
    if (p && !releaseIfPooled(p)) ::operator delete(p);
}

AttributeMap* PooledObjects::newAttributeMap() noexcept {
    // An imported element's map comes from the pools with the element: no heap header,
    // and no trip through malloc for every element with a default attribute.
    void* p = allocateNothrow(sizeof(AttributeMap));
    return p ? new (p) AttributeMap : nullptr;
}

void PooledObjects::deleteAttributeMap(AttributeMap* map) noexcept {
    if (!map) return;
    map->~AttributeMap();
    deallocate(map);
}

void* XObject::operator new(std::size_t size) {
    if (void* p = poolAllocate(size)) return p;
    return ::operator new(size);
}

void* XObject::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocateNothrow(size);
}

void* XObject::operator new(std::size_t size, std::align_val_t alignment) {
    return ::operator new(size, alignment);
}

void XObject::operator delete(void* p, std::size_t size) noexcept {
    if (!p) return;
    if (size <= kMaxSize && releaseIfPooled(p)) return;
    ::operator delete(p);
}

void XObject::operator delete(void* p, const std::nothrow_t&) noexcept {
    if (p && !releaseIfPooled(p)) ::operator delete(p);
}

void XObject::operator delete(void* p, std::size_t, std::align_val_t alignment) noexcept {
    ::operator delete(p, alignment);
}

} // namespace Ostrel
