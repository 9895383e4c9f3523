// The XKB keyboard configuration registry (xkb.dtd) as element classes: one class per
// element with children, its children as typed members in the order the document type
// gives them, its attributes as Ostrel values. The #PCDATA leaves (name,
// shortDescription, description, vendor, iso3166Id, iso639Id, hwId) are Ostrel::string
// objects tagged with their element name.
//
// Every class: copy construction and clone copy tag, attributes and children deeply;
// assignment copies tag and children and leaves the attributes alone; a new element
// carries its DTD default attributes; EmitXML writes the tab-indented element; IsValid
// checks the content model, the attribute values and every child; HasElement and
// RemoveElement work on direct children by element name (RemoveElement removes all of
// that name).
#ifndef OSTREL_BINDINGS_XKB_ELEMENTS_H
#define OSTREL_BINDINGS_XKB_ELEMENTS_H

#include "xkb/xkb_child.h"
#include "xkb/xkb_names.h"

#include <ostrelbase/ostrel.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>

namespace xkb {

// A text leaf: an Ostrel::string tagged tag holding text; throws std::bad_alloc when
// memory runs out.
std::unique_ptr<Ostrel::string> makeLeaf(const char* tag, const std::string& text);

// The common ground of the XKB element classes.
class Element : public Ostrel::XObject {
protected:
    // Tag := tag (a static name); no attributes.
    explicit Element(const char* tag) : XObject(tag) {}

    // Writes the indentation and the start tag with the attributes. Without content it
    // closes the element on the same line and returns false; otherwise it ends the line
    // and returns true, and the caller writes the children and then closeTag.
    bool openTag(std::ostream& os, int indent, bool hasContent);
    // Writes the indentation, the end tag and the line end.
    void closeTag(std::ostream& os, int indent);

    // The attribute's value, or null when it is absent.
    const Ostrel::XObject* findAttribute(const char* name) const;
    // The attribute's value when it is a text value, else null.
    const Ostrel::string* findTextAttribute(const char* name) const;
    // The text of a text attribute, or fallback when it is absent.
    std::string textAttribute(const char* name, const char* fallback) const;
    // Stores a text attribute; throws XException when memory runs out.
    void setTextAttribute(const char* name, const std::string& value);
    // setTextAttribute for an element that has no attributes yet (a constructor's default),
    // without the copy setAttribute makes of its argument; throws XException when memory
    // runs out, as setAttribute does.
    void initTextAttribute(const std::string& name, const std::string& value);
    // Whether the tag is tag and every attribute is one of declared and valid itself.
    bool hasValidFrame(const char* tag, std::initializer_list<const char*> declared);
    // Sets the text of a leaf, creating it when absent.
    static void setLeafText(Child<Ostrel::string>& leaf, const char* tag, const std::string& text);
    // Takes a leaf (null removes it), tagging it tag.
    static void adoptLeaf(Child<Ostrel::string>& leaf, const char* tag,
                          std::unique_ptr<Ostrel::string> item);
};

// <!ELEMENT countryList (iso3166Id+)>
class countryList : public Element {
public:
    // No children, no attributes.
    countryList();

    // The iso3166Id leaves in order.
    ChildList<Ostrel::string>& GetIso3166Ids() { return m_iso3166Ids; }
    const ChildList<Ostrel::string>& GetIso3166Ids() const { return m_iso3166Ids; }
    // Appends an iso3166Id leaf holding text and returns it.
    Ostrel::string& AddIso3166Id(const std::string& text);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // At least one iso3166Id.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<Ostrel::string> m_iso3166Ids;
};

// <!ELEMENT languageList (iso639Id+)>
class languageList : public Element {
public:
    // No children, no attributes.
    languageList();

    // The iso639Id leaves in order.
    ChildList<Ostrel::string>& GetIso639Ids() { return m_iso639Ids; }
    const ChildList<Ostrel::string>& GetIso639Ids() const { return m_iso639Ids; }
    // Appends an iso639Id leaf holding text and returns it.
    Ostrel::string& AddIso639Id(const std::string& text);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // At least one iso639Id.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<Ostrel::string> m_iso639Ids;
};

// <!ELEMENT hwList (hwId+)>
class hwList : public Element {
public:
    // No children, no attributes.
    hwList();

    // The hwId leaves in order.
    ChildList<Ostrel::string>& GetHwIds() { return m_hwIds; }
    const ChildList<Ostrel::string>& GetHwIds() const { return m_hwIds; }
    // Appends a hwId leaf holding text and returns it.
    Ostrel::string& AddHwId(const std::string& text);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // At least one hwId.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<Ostrel::string> m_hwIds;
};

// <!ELEMENT configItem (name,shortDescription?,description?,vendor?,countryList?,
//                       languageList?,hwList?)>
// <!ATTLIST configItem popularity (standard|exotic) "standard">
class configItem : public Element {
public:
    // No children; popularity "standard".
    configItem();

    // Whether value is one the popularity attribute allows.
    static bool IsPopularity(const std::string& value);

    // Each leaf: null when absent; Set with text creates or updates it; Set with an
    // object takes it (tagging it) and null removes the leaf.
    Ostrel::string* GetName() { return m_name.get(); }
    const Ostrel::string* GetName() const { return m_name.get(); }
    void SetName(const std::string& text);
    void SetName(std::unique_ptr<Ostrel::string> leaf);
    Ostrel::string* GetShortDescription() { return m_shortDescription.get(); }
    const Ostrel::string* GetShortDescription() const { return m_shortDescription.get(); }
    void SetShortDescription(const std::string& text);
    void SetShortDescription(std::unique_ptr<Ostrel::string> leaf);
    Ostrel::string* GetDescription() { return m_description.get(); }
    const Ostrel::string* GetDescription() const { return m_description.get(); }
    void SetDescription(const std::string& text);
    void SetDescription(std::unique_ptr<Ostrel::string> leaf);
    Ostrel::string* GetVendor() { return m_vendor.get(); }
    const Ostrel::string* GetVendor() const { return m_vendor.get(); }
    void SetVendor(const std::string& text);
    void SetVendor(std::unique_ptr<Ostrel::string> leaf);

    // Each list: null when absent; Set takes the list, null removes it.
    countryList* GetCountryList() { return m_countryList.get(); }
    const countryList* GetCountryList() const { return m_countryList.get(); }
    void SetCountryList(std::unique_ptr<countryList> list) { m_countryList.reset(std::move(list)); }
    languageList* GetLanguageList() { return m_languageList.get(); }
    const languageList* GetLanguageList() const { return m_languageList.get(); }
    void SetLanguageList(std::unique_ptr<languageList> list) { m_languageList.reset(std::move(list)); }
    hwList* GetHwList() { return m_hwList.get(); }
    const hwList* GetHwList() const { return m_hwList.get(); }
    void SetHwList(std::unique_ptr<hwList> list) { m_hwList.reset(std::move(list)); }

    // The popularity attribute; "standard" when absent.
    std::string GetPopularity() const;
    // Stores the popularity attribute as given (IsValid tells whether it is allowed).
    void SetPopularity(const std::string& value);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // A name; popularity standard or exotic; every child valid.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    Child<Ostrel::string> m_name;
    Child<Ostrel::string> m_shortDescription;
    Child<Ostrel::string> m_description;
    Child<Ostrel::string> m_vendor;
    Child<countryList> m_countryList;
    Child<languageList> m_languageList;
    Child<hwList> m_hwList;
};

// The shape shared by model, variant and option: <!ELEMENT x (configItem)>.
class ConfiguredElement : public Element {
public:
    // The configItem; null when absent.
    configItem* GetConfigItem() { return m_configItem.get(); }
    const configItem* GetConfigItem() const { return m_configItem.get(); }
    // Takes the configItem; null removes it.
    void SetConfigItem(std::unique_ptr<configItem> item) { m_configItem.reset(std::move(item)); }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

protected:
    // Tag := tag; no children, no attributes.
    explicit ConfiguredElement(const char* tag) : Element(tag) {}
    // The tag is tag, no attribute, a valid configItem.
    bool isValidAs(const char* tag);

    Child<configItem> m_configItem;
};

// <!ELEMENT model (configItem)>
class model : public ConfiguredElement {
public:
    // No children, no attributes.
    model();
    // A valid configItem.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
};

// <!ELEMENT variant (configItem)>
class variant : public ConfiguredElement {
public:
    // No children, no attributes.
    variant();
    // A valid configItem.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
};

// <!ELEMENT option (configItem)>
class option : public ConfiguredElement {
public:
    // No children, no attributes.
    option();
    // A valid configItem.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
};

// <!ELEMENT modelList (model*)>
class modelList : public Element {
public:
    // No children, no attributes.
    modelList();

    // The models in order.
    ChildList<model>& GetModels() { return m_models; }
    const ChildList<model>& GetModels() const { return m_models; }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Every model valid (none is fine).
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<model> m_models;
};

// <!ELEMENT variantList (variant*)>
class variantList : public Element {
public:
    // No children, no attributes.
    variantList();

    // The variants in order.
    ChildList<variant>& GetVariants() { return m_variants; }
    const ChildList<variant>& GetVariants() const { return m_variants; }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Every variant valid (none is fine).
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<variant> m_variants;
};

// <!ELEMENT layout (configItem,variantList?)>
class layout : public Element {
public:
    // No children, no attributes.
    layout();

    // The configItem; null when absent. Set takes it; null removes it.
    configItem* GetConfigItem() { return m_configItem.get(); }
    const configItem* GetConfigItem() const { return m_configItem.get(); }
    void SetConfigItem(std::unique_ptr<configItem> item) { m_configItem.reset(std::move(item)); }
    // The variantList; null when absent. Set takes it; null removes it.
    variantList* GetVariantList() { return m_variantList.get(); }
    const variantList* GetVariantList() const { return m_variantList.get(); }
    void SetVariantList(std::unique_ptr<variantList> list) { m_variantList.reset(std::move(list)); }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // A valid configItem; a valid variantList when present.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    Child<configItem> m_configItem;
    Child<variantList> m_variantList;
};

// <!ELEMENT layoutList (layout*)>
class layoutList : public Element {
public:
    // No children, no attributes.
    layoutList();

    // The layouts in order.
    ChildList<layout>& GetLayouts() { return m_layouts; }
    const ChildList<layout>& GetLayouts() const { return m_layouts; }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Every layout valid (none is fine).
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<layout> m_layouts;
};

// <!ELEMENT group (configItem,option*)>
// <!ATTLIST group allowMultipleSelection (true|false) "false">
class group : public Element {
public:
    // No children; allowMultipleSelection false.
    group();

    // The configItem; null when absent. Set takes it; null removes it.
    configItem* GetConfigItem() { return m_configItem.get(); }
    const configItem* GetConfigItem() const { return m_configItem.get(); }
    void SetConfigItem(std::unique_ptr<configItem> item) { m_configItem.reset(std::move(item)); }
    // The options in order.
    ChildList<option>& GetOptions() { return m_options; }
    const ChildList<option>& GetOptions() const { return m_options; }

    // The allowMultipleSelection attribute; false when absent.
    bool GetAllowMultipleSelection() const;
    // Stores the allowMultipleSelection attribute as an Ostrel::boolean.
    void SetAllowMultipleSelection(bool allow);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // A valid configItem, valid options, allowMultipleSelection a boolean.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    Child<configItem> m_configItem;
    ChildList<option> m_options;
};

// <!ELEMENT optionList (group*)>
class optionList : public Element {
public:
    // No children, no attributes.
    optionList();

    // The groups in order.
    ChildList<group>& GetGroups() { return m_groups; }
    const ChildList<group>& GetGroups() const { return m_groups; }

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // Every group valid (none is fine).
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    ChildList<group> m_groups;
};

// <!ELEMENT xkbConfigRegistry (modelList,layoutList,optionList)>
// <!ATTLIST xkbConfigRegistry version CDATA "1.1">
class xkbConfigRegistry : public Element {
public:
    // No children; version "1.1".
    xkbConfigRegistry();

    // Each list: null when absent; Set takes the list, null removes it.
    modelList* GetModelList() { return m_modelList.get(); }
    const modelList* GetModelList() const { return m_modelList.get(); }
    void SetModelList(std::unique_ptr<modelList> list) { m_modelList.reset(std::move(list)); }
    layoutList* GetLayoutList() { return m_layoutList.get(); }
    const layoutList* GetLayoutList() const { return m_layoutList.get(); }
    void SetLayoutList(std::unique_ptr<layoutList> list) { m_layoutList.reset(std::move(list)); }
    optionList* GetOptionList() { return m_optionList.get(); }
    const optionList* GetOptionList() const { return m_optionList.get(); }
    void SetOptionList(std::unique_ptr<optionList> list) { m_optionList.reset(std::move(list)); }

    // The version attribute; "1.1" when absent.
    std::string GetVersion() const;
    // Stores the version attribute.
    void SetVersion(const std::string& version);

    // Writes the element and its children at level indent; true.
    bool EmitXML(std::ostream& os, int indent) override;
    // All three lists present and valid.
    bool IsValid() override;
    // A deep copy, or null when memory runs out.
    Ostrel::XObject* clone() const override;
    // Whether a direct child named name exists.
    bool HasElement(std::string name) const override;
    // Deletes every direct child named name; other names change nothing.
    void RemoveElement(std::string name) override;

private:
    Child<modelList> m_modelList;
    Child<layoutList> m_layoutList;
    Child<optionList> m_optionList;
};

} // namespace xkb

#endif
