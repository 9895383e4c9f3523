// Ostrel: the element base class XObject and the simple-type value classes.
#ifndef OSTREL_OSTREL_H
#define OSTREL_OSTREL_H

#include <ostrelbase/integeroperators.h>
#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/ostrelexport.h>
#include <ostrelbase/realoperators.h>

#include <cstddef>
#include <list>
#include <map>
#include <new>
#include <ostream>
#include <string>

namespace Ostrel {

class XObject;

// Attribute name -> owned value, walked in byte order of the names.
typedef std::map<std::string, XObject*> AttributeMap;

// ---------------------------------------------------------------------------
// XObject: the abstract element. A tag, an optional map of owned attribute
// values, deep copies, comparison, and writing itself as XML.
// ---------------------------------------------------------------------------
class OSTREL_API XObject {
public:
    // Empty tag, no attribute map.
    XObject();
    // Copies the tag and deep-copies the attributes; throws XException when memory runs out.
    XObject(const XObject& other);
    // Deletes every attribute value, then the map.
    virtual ~XObject();

    // Allocation: inside a PooledObjects scope (an import) from the library's pools,
    // otherwise from the global operator new. Throws std::bad_alloc when memory runs out.
    static void* operator new(std::size_t size);
    // The same; null when memory runs out.
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    // Over-aligned classes: always the global aligned operator new; throws std::bad_alloc.
    static void* operator new(std::size_t size, std::align_val_t alignment);
    // Construction in place: returns where.
    static void* operator new(std::size_t, void* where) noexcept { return where; }
    // Gives the memory back to the pool or the heap it came from, on any thread.
    static void operator delete(void* p, std::size_t size) noexcept;
    // For a constructor that threw in a non-throwing new: as above.
    static void operator delete(void* p, const std::nothrow_t&) noexcept;
    // For over-aligned classes: the global aligned operator delete.
    static void operator delete(void* p, std::size_t size, std::align_val_t alignment) noexcept;
    // Construction in place failed: nothing to give back.
    static void operator delete(void*, void*) noexcept {}

    // Writes this object as XML at the given indentation level; true when written.
    virtual bool EmitXML(std::ostream& os, int indent) = 0;
    // Writes this object as one name='value' pair of a start tag; the base writes nothing, false.
    virtual bool EmitAsAttribute(std::ostream& os);
    // Whether the object is valid; the base is always valid.
    virtual bool IsValid();
    // A new deep copy owned by the caller; null when memory runs out.
    virtual XObject* clone() const = 0;
    // Whether a child element of that name exists; the base has no children.
    virtual bool HasElement(std::string name) const;
    // Removes the child element of that name; the base does nothing.
    virtual void RemoveElement(std::string name);

    // Copies the tag only; the attributes of this object stay as they are.
    XObject& operator=(const XObject& other);
    // 1 when the tags are equal and the attributes equivalent (names, value tags, recursively).
    int operator==(const XObject& other);
    // The opposite of operator==.
    int operator!=(const XObject& other);

    void SetTag(const std::string& tag);
    const std::string& GetTag() const;

    // Whether an attribute of that name exists (false without a map).
    bool HasAttribute(std::string name);
    // Deletes the attribute of that name if present; the map stays, even when empty.
    // Throws XException only when memory runs out for a copy of a shared map.
    void RemoveAttribute(std::string name);

    // Writes the whole document to a file: declaration, DOCTYPE when dtdName is non-empty,
    // banner comment, then this object at level 0. Throws XException when the file cannot
    // be opened or written; otherwise true.
    bool EmitXMLToFile(const char* fileName, const char* dtdName);
    // Same, from standard strings; an empty DTD name writes no DOCTYPE.
    bool EmitXMLToFile(const std::string& fileName, const std::string& dtdName);
    // Writes the two or three header lines of a document to the stream.
    void EmitXMLHeader(std::ostream& os, std::string dtdName);
    // Writes every attribute value through its EmitAsAttribute, in name order.
    void EmitAttributes(std::ostream& os);

protected:
    // Tag := the given text, which must not be null; no map.
    explicit XObject(const char* tag);
    // Tag := the length characters at tag; no map. Inline: an import makes one tag per
    // object, and a known length spares the scan for its end.
    XObject(const char* tag, std::size_t length) : m_tag(tag, length), m_attributes(nullptr) {}

    // Stores a clone of value (tagged name) under name; a null value removes the attribute.
    // Throws XException when memory runs out; the old value then stays in place.
    void setAttribute(std::string name, const XObject* value);
    // The value stored under name, owned by this object; throws XException when absent.
    const XObject* getAttribute(std::string name);
    // Replaces the attributes by clones of those in source; null leaves no map.
    void copyAttributesFrom(std::map<std::string, XObject*>* source);
    // Deletes all attribute values and the map.
    void freeAttributes();
    // Whether the attributes of both objects are equivalent (names, value tags, recursively).
    bool hasEquivalentAttributes(const XObject& other);
    // Whether every attribute value is valid.
    bool hasValidAttributes();
    // From now on copies of this object share its attribute map, read-only, until one of
    // them changes its attributes (then it takes a copy of its own): for prototypes that
    // are copied many times. The map stays until the program ends. Does nothing without a
    // map or once the library's room for 4,096 shared maps is used up.
    void shareAttributes();
    // The map to change attributes in: a new one when there is none, a copy of its own in
    // place of a shared one. Throws XException when memory runs out; nothing changes then.
    AttributeMap& writableAttributes();

    // text with & < > " ' replaced by their entity references; text itself is unchanged.
    std::string ConvertToStdEntities(std::string& text);
    // level tab characters (none for level <= 0).
    std::string doIndent(int level);

    std::string m_tag;
    // May be a map shared with other copies of a prototype (see shareAttributes): change
    // attributes through the members above, never through the map itself.
    AttributeMap* m_attributes;

private:
    // m_attributes := a new map of clones of the values in source.
    void cloneAttributes(const AttributeMap& source);
    // Replaces a shared map by a copy of its own; throws XException when memory runs out,
    // and the shared map stays.
    void ownAttributes();
};

// ---------------------------------------------------------------------------
// string: text content, character data ("#PCDATA") or a text attribute value.
// ---------------------------------------------------------------------------
class OSTREL_API string : public std::string, public XObject {
public:
    // Tag "#PCDATA", empty text.
    string();
    // Tag, attributes (deep) and text of other; throws XException when memory runs out.
    string(const string& other);
    // Tag "#PCDATA", a copy of s.
    string(const std::string& s);
    // Tag "#PCDATA", a copy of s, which must not be null.
    string(const char* s);
    ~string() override;

    // Comparison of two objects is XObject's: tag and attributes, not the text.
    using XObject::operator==;
    using XObject::operator!=;

    // Tag and text of other; the attributes stay as they are.
    const string& operator=(const string& other);
    // Text := s (must not be null); the tag stays.
    const string& operator=(const char* s);
    // Text := the one character c.
    const string& operator=(char c);
    const string& operator+=(const string& other);
    // Appends s, which must not be null.
    const string& operator+=(const char* s);
    const string& operator+=(char c);
    // Character i; throws std::out_of_range when i >= length.
    const char& operator[](unsigned int i) const;
    // Character i; at or past the end a NUL character, never an exception. Do not write there.
    char& operator[](unsigned int i);
    // The text, NUL-terminated, never null; valid until the text changes.
    operator const char*();

    // Writes <tag>text</tag> and a line end, or only the escaped text when the tag starts with '#'.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='text'" with the text escaped.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Text := an exact copy of text; false (and no change) for null.
    virtual bool SetValueFromString(const char* text);
};

// ---------------------------------------------------------------------------
// NMTOKENS: a list of name tokens, held as "#PCDATA" string tokens in text order.
// Separators are blank, tab, carriage return and form feed (not line feed).
// ---------------------------------------------------------------------------
class OSTREL_API NMTOKENS : public std::list<string>, public XObject {
public:
    // Empty list, empty tag.
    NMTOKENS();
    // Tokens (each copied with its tag and attributes), tag and attributes (deep) of other;
    // throws XException when memory runs out.
    NMTOKENS(const NMTOKENS& other);
    ~NMTOKENS() override;

    // Tokens assigned as a list assigns them, then the tag; the attributes stay.
    NMTOKENS& operator=(const NMTOKENS& other);
    // Calls the virtual SetValueFromString(text) and ignores its result.
    NMTOKENS& operator=(const char* text);

    // Writes <tag>, the tokens' own element forms parted by one blank, </tag> and a line
    // end; an empty list writes nothing. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='tokens'" with the tokens escaped and parted by one blank; an empty list
    // writes nothing and returns false.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Replaces the list by the separator-parted tokens of text; false (and no change) for null.
    virtual bool SetValueFromString(const char* text);
};

// ---------------------------------------------------------------------------
// IDREFS: a list of references to element identifiers (not checked), held as "#PCDATA"
// string tokens in text order; the same behaviour as NMTOKENS, a type of its own.
// Separators are blank, tab, carriage return and form feed (not line feed).
// ---------------------------------------------------------------------------
class OSTREL_API IDREFS : public std::list<string>, public XObject {
public:
    // Empty list, empty tag.
    IDREFS();
    // Tokens (each copied with its tag and attributes), tag and attributes (deep) of other;
    // throws XException when memory runs out.
    IDREFS(const IDREFS& other);
    ~IDREFS() override;

    // Tokens assigned as a list assigns them, then the tag; the attributes stay.
    IDREFS& operator=(const IDREFS& other);
    // Calls the virtual SetValueFromString(text) and ignores its result.
    IDREFS& operator=(const char* text);

    // Writes <tag>, the tokens' own element forms parted by one blank, </tag> and a line
    // end; an empty list writes nothing. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='tokens'" with the tokens escaped and parted by one blank; an empty list
    // writes nothing and returns false.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Replaces the list by the separator-parted tokens of text; false (and no change) for null.
    virtual bool SetValueFromString(const char* text);
};

// ---------------------------------------------------------------------------
// boolean: the truth value, read and written as the words "true" and "false".
// ---------------------------------------------------------------------------
class OSTREL_API boolean : public XObject {
public:
    // Empty tag, false.
    boolean();
    // Empty tag, the value b.
    boolean(bool b);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    boolean(const boolean& other);
    ~boolean() override;

    // The value.
    operator bool() const;
    OSTREL_CONST_RETURN_BEGIN
    // The negated value.
    const bool operator!() const;
    // 1 when the value equals b, else 0; hides XObject's tag comparison.
    const int operator==(bool b) const;
    // 1 when the value differs from b, else 0.
    const int operator!=(bool b) const;
    OSTREL_CONST_RETURN_END
    // The value of other; the tag and the attributes stay.
    boolean& operator=(const boolean& other);
    boolean& operator=(bool b);

    // Writes <tag>true</tag> or <tag>false</tag> and a line end. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='true'" or " tag='false'". Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Accepts exactly "true" or "false"; any other text, and null, returns false and keeps
    // the value.
    virtual bool SetValueFromString(const char* text);

protected:
    bool m_value;
};

// ---------------------------------------------------------------------------
// The integer values: distinct classes with one operator set (IntegerOperators). The
// signed ones parse like atoi, the unsigned ones like strtoul in base 10.
// ---------------------------------------------------------------------------

// integer: a signed 32-bit number, default 0.
class OSTREL_API integer : public XObject, public IntegerOperators<integer, int> {
public:
    // Empty tag, value 0.
    integer();
    // Empty tag, the value as given.
    integer(int value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    integer(const integer& other);
    ~integer() override;

    // The value of other; the tag and the attributes stay.
    integer& operator=(const integer& other);
    integer& operator=(int value);
    // Compare values, hiding XObject's tag comparison.
    using IntegerOperators<integer, int>::operator==;
    using IntegerOperators<integer, int>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as atoi reads it (lenient; out of range: its low 32 bits);
    // false (and no change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    int m_value;

private:
    friend class IntegerOperators<integer, int>;
};

// non_negative_integer: an unsigned 32-bit number, default 0; its range is not enforced.
class OSTREL_API non_negative_integer
    : public XObject, public IntegerOperators<non_negative_integer, unsigned int> {
public:
    // Empty tag, value 0.
    non_negative_integer();
    // Empty tag, the value as given.
    non_negative_integer(unsigned int value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    non_negative_integer(const non_negative_integer& other);
    ~non_negative_integer() override;

    // The value of other; the tag and the attributes stay.
    non_negative_integer& operator=(const non_negative_integer& other);
    non_negative_integer& operator=(unsigned int value);
    // Compare values, hiding XObject's tag comparison.
    using IntegerOperators<non_negative_integer, unsigned int>::operator==;
    using IntegerOperators<non_negative_integer, unsigned int>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as strtoul reads it (lenient; out of range: its low 32 bits);
    // false (and no change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    unsigned int m_value;

private:
    friend class IntegerOperators<non_negative_integer, unsigned int>;
};

// positive_integer: an unsigned 32-bit number, default 1; its range is not enforced.
class OSTREL_API positive_integer
    : public XObject, public IntegerOperators<positive_integer, unsigned int> {
public:
    // Empty tag, value 1.
    positive_integer();
    // Empty tag, the value as given.
    positive_integer(unsigned int value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    positive_integer(const positive_integer& other);
    ~positive_integer() override;

    // The value of other; the tag and the attributes stay.
    positive_integer& operator=(const positive_integer& other);
    positive_integer& operator=(unsigned int value);
    // Compare values, hiding XObject's tag comparison.
    using IntegerOperators<positive_integer, unsigned int>::operator==;
    using IntegerOperators<positive_integer, unsigned int>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as strtoul reads it (lenient; out of range: its low 32 bits);
    // false (and no change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    unsigned int m_value;

private:
    friend class IntegerOperators<positive_integer, unsigned int>;
};

// non_positive_integer: a signed 32-bit number, default 0; its range is not enforced.
class OSTREL_API non_positive_integer
    : public XObject, public IntegerOperators<non_positive_integer, int> {
public:
    // Empty tag, value 0.
    non_positive_integer();
    // Empty tag, the value as given.
    non_positive_integer(int value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    non_positive_integer(const non_positive_integer& other);
    ~non_positive_integer() override;

    // The value of other; the tag and the attributes stay.
    non_positive_integer& operator=(const non_positive_integer& other);
    non_positive_integer& operator=(int value);
    // Compare values, hiding XObject's tag comparison.
    using IntegerOperators<non_positive_integer, int>::operator==;
    using IntegerOperators<non_positive_integer, int>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as atoi reads it (lenient; out of range: its low 32 bits);
    // false (and no change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    int m_value;

private:
    friend class IntegerOperators<non_positive_integer, int>;
};

// negative_integer: a signed 32-bit number, default -1; its range is not enforced.
class OSTREL_API negative_integer : public XObject, public IntegerOperators<negative_integer, int> {
public:
    // Empty tag, value -1.
    negative_integer();
    // Empty tag, the value as given.
    negative_integer(int value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    negative_integer(const negative_integer& other);
    ~negative_integer() override;

    // The value of other; the tag and the attributes stay.
    negative_integer& operator=(const negative_integer& other);
    negative_integer& operator=(int value);
    // Compare values, hiding XObject's tag comparison.
    using IntegerOperators<negative_integer, int>::operator==;
    using IntegerOperators<negative_integer, int>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings. Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as atoi reads it (lenient; out of range: its low 32 bits);
    // false (and no change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    int m_value;

private:
    friend class IntegerOperators<negative_integer, int>;
};

// ---------------------------------------------------------------------------
// The floating values: real and decimal behave alike (both hold a double, neither is
// fixed-point); distinct classes with one operator set (RealOperators).
// ---------------------------------------------------------------------------

// real: a double-precision number, default 0.0.
class OSTREL_API real : public XObject, public RealOperators<real> {
public:
    // Empty tag, value 0.0.
    real();
    // Empty tag, the value as given.
    real(double value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    real(const real& other);
    ~real() override;

    // The value of other; the tag and the attributes stay.
    real& operator=(const real& other);
    real& operator=(double value);
    // Compare values, hiding XObject's tag comparison.
    using RealOperators<real>::operator==;
    using RealOperators<real>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings (by default six
    // significant digits). Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as strtod reads it (lenient, 0.0 for no number); false (and no
    // change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    double m_value;

private:
    friend class RealOperators<real>;
};

// decimal: a double-precision number, default 0.0.
class OSTREL_API decimal : public XObject, public RealOperators<decimal> {
public:
    // Empty tag, value 0.0.
    decimal();
    // Empty tag, the value as given.
    decimal(double value);
    // Tag, attributes (deep) and value of other; throws XException when memory runs out.
    decimal(const decimal& other);
    ~decimal() override;

    // The value of other; the tag and the attributes stay.
    decimal& operator=(const decimal& other);
    decimal& operator=(double value);
    // Compare values, hiding XObject's tag comparison.
    using RealOperators<decimal>::operator==;
    using RealOperators<decimal>::operator!=;

    // Writes <tag>value</tag> and a line end with the stream's own settings (by default six
    // significant digits). Always true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Writes " tag='value'" with the stream's own settings. Always true.
    bool EmitAsAttribute(std::ostream& os) override;
    // A new copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Value := the text as strtod reads it (lenient, 0.0 for no number); false (and no
    // change) for null.
    virtual bool SetValueFromString(const char* text);

protected:
    double m_value;

private:
    friend class RealOperators<decimal>;
};

} // namespace Ostrel

#endif
