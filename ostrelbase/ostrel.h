// Ostrel: the element base class XObject and the simple-type value classes.
#ifndef OSTREL_OSTREL_H
#define OSTREL_OSTREL_H

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/ostrelexport.h>

#include <list>
#include <map>
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

    // text with & < > " ' replaced by their entity references; text itself is unchanged.
    std::string ConvertToStdEntities(std::string& text);
    // level tab characters (none for level <= 0).
    std::string doIndent(int level);

    std::string m_tag;
    AttributeMap* m_attributes;
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

} // namespace Ostrel

#endif
