// XObject: tag, owned attributes, copying and comparison.
#include <ostrelbase/objectpool.h>
#include <ostrelbase/ostrel.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <new>

namespace Ostrel {

namespace {

// The maps prototypes share with their copies. They never go away, and an address in this
// block tells a shared map from an owned one without a lookup.
constexpr std::size_t kSharedMaps = 4096;
alignas(AttributeMap) unsigned char g_sharedMaps[kSharedMaps * sizeof(AttributeMap)];
std::atomic<std::size_t> g_sharedCount{0};

bool isShared(const AttributeMap* map) {
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(map);
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(g_sharedMaps);
    return at - first < sizeof(g_sharedMaps);
}

} // namespace

XObject::XObject() : m_tag(), m_attributes(nullptr) {}

XObject::XObject(const char* tag) : m_tag(tag), m_attributes(nullptr) {}

XObject::XObject(const XObject& other) : m_tag(other.m_tag), m_attributes(nullptr) {
    if (!other.m_attributes) return;  // most copies: the leaves of an import
    // A throwing constructor never runs its destructor: release a partial copy here.
    try {
        copyAttributesFrom(other.m_attributes);
    } catch (...) {
        freeAttributes();
        throw;
    }
}

XObject::~XObject() { freeAttributes(); }

bool XObject::EmitAsAttribute(std::ostream&) { return false; }
bool XObject::IsValid() { return true; }
bool XObject::HasElement(std::string) const { return false; }
void XObject::RemoveElement(std::string) {}

XObject& XObject::operator=(const XObject& other) {
    if (this != &other) m_tag = other.m_tag;
    return *this;
}

int XObject::operator==(const XObject& other) {
    return m_tag == other.m_tag && hasEquivalentAttributes(other) ? 1 : 0;
}

int XObject::operator!=(const XObject& other) { return (*this == other) ? 0 : 1; }

void XObject::SetTag(const std::string& tag) { m_tag = tag; }
const std::string& XObject::GetTag() const { return m_tag; }

bool XObject::HasAttribute(std::string name) {
    return m_attributes != nullptr && m_attributes->find(name) != m_attributes->end();
}

void XObject::RemoveAttribute(std::string name) {
    if (m_attributes == nullptr) return;
    auto it = m_attributes->find(name);
    if (it == m_attributes->end()) return;
    if (isShared(m_attributes)) {
        ownAttributes();
        it = m_attributes->find(name);
    }
    XObject* old = it->second;
    m_attributes->erase(it);
    delete old;
}

void XObject::setAttribute(std::string name, const XObject* value) {
    if (value == nullptr) {
        RemoveAttribute(name);
        return;
    }
    // Copy first: a failure leaves the stored value untouched, and value may be that
    // stored value itself.
    std::unique_ptr<XObject> copy(value->clone());
    if (!copy) OSTREL_THROW("Error: Unable to allocate memory for an attribute");
    copy->m_tag = name;
    AttributeMap& map = writableAttributes();
    auto it = map.find(name);
    if (it != map.end()) {
        XObject* old = it->second;
        it->second = copy.release();
        delete old;
    } else {
        map.emplace(std::move(name), copy.get());
        copy.release();
    }
}

AttributeMap& XObject::writableAttributes() {
    if (m_attributes == nullptr) {
        m_attributes = PooledObjects::newAttributeMap();
        if (m_attributes == nullptr)
            OSTREL_THROW("Error: Unable to allocate memory for an attributes map");
    } else {
        ownAttributes();
    }
    return *m_attributes;
}

const XObject* XObject::getAttribute(std::string name) {
    if (!HasAttribute(name))
        OSTREL_THROW("Error: Attempt to retrieve non-existent attribute '" + name + "'");
    return m_attributes->find(name)->second;
}

void XObject::copyAttributesFrom(std::map<std::string, XObject*>* source) {
    freeAttributes();
    if (source == nullptr) return;
    if (isShared(source)) {
        m_attributes = source;
        return;
    }
    cloneAttributes(*source);
}

void XObject::cloneAttributes(const AttributeMap& source) {
    m_attributes = PooledObjects::newAttributeMap();
    if (m_attributes == nullptr)
        OSTREL_THROW("Error: Unable to allocate memory for an attributes map");
    for (const auto& entry : source) {
        std::unique_ptr<XObject> copy(entry.second->clone());
        if (!copy) OSTREL_THROW("Error: Unable to allocate memory for an attribute");
        m_attributes->emplace_hint(m_attributes->end(), entry.first, copy.get());
        copy.release();
    }
}

void XObject::shareAttributes() {
    if (m_attributes == nullptr || isShared(m_attributes)) return;
    const std::size_t slot = g_sharedCount.fetch_add(1);
    if (slot >= kSharedMaps) return;  // copies go on cloning the values
    AttributeMap* shared =
        new (g_sharedMaps + slot * sizeof(AttributeMap)) AttributeMap(std::move(*m_attributes));
    PooledObjects::deleteAttributeMap(m_attributes);
    m_attributes = shared;
}

void XObject::ownAttributes() {
    if (m_attributes == nullptr || !isShared(m_attributes)) return;
    AttributeMap* const shared = m_attributes;
    m_attributes = nullptr;
    try {
        cloneAttributes(*shared);
    } catch (...) {
        freeAttributes();
        m_attributes = shared;
        throw;
    }
}

void XObject::freeAttributes() {
    if (m_attributes == nullptr) return;
    if (isShared(m_attributes)) {  // the prototype's, and its other copies'
        m_attributes = nullptr;
        return;
    }
    for (auto& entry : *m_attributes) delete entry.second;
    PooledObjects::deleteAttributeMap(m_attributes);
    m_attributes = nullptr;
}

bool XObject::hasEquivalentAttributes(const XObject& other) {
    // The same map (two copies of one prototype), or neither has one.
    if (m_attributes == other.m_attributes) return true;
    if (m_attributes == nullptr || other.m_attributes == nullptr) return false;
    if (m_attributes->size() != other.m_attributes->size()) return false;
    for (const auto& entry : *m_attributes) {
        auto it = other.m_attributes->find(entry.first);
        if (it == other.m_attributes->end()) return false;
        XObject& mine = *entry.second;
        const XObject& theirs = *it->second;
        if (theirs.m_tag != mine.m_tag || !mine.hasEquivalentAttributes(theirs)) return false;
    }
    return true;
}

bool XObject::hasValidAttributes() {
    if (m_attributes == nullptr) return true;
    for (auto& entry : *m_attributes)
        if (!entry.second->IsValid()) return false;
    return true;
}

} // namespace Ostrel
