// Builds a small catalogue with hand-written element classes, writes it as an XML
// document and prints the file.
#include <ostrelbase/ostrel.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <new>
#include <vector>

namespace {

// An element with mixed content: child elements and character data, in order.
class Element : public Ostrel::XObject {
public:
    explicit Element(const char* tag) : XObject(tag) {}
    Element(const Element& other) : XObject(other) {
        for (const auto& child : other.m_children) m_children.emplace_back(child->clone());
    }
    // Assignment copies the tag only, as for every element.
    Element& operator=(const Element& other) {
        XObject::operator=(other);
        return *this;
    }

    // Adds a child; the element owns it.
    Element& add(Ostrel::XObject* child) {
        m_children.emplace_back(child);
        return *this;
    }
    Element& text(const char* content) { return add(new Ostrel::string(content)); }
    Element& attribute(const char* name, const char* value) {
        Ostrel::string v(value);
        setAttribute(name, &v);
        return *this;
    }

    bool EmitXML(std::ostream& os, int indent) override {
        os << doIndent(indent) << '<' << m_tag;
        EmitAttributes(os);
        os << '>';
        bool onlyText = true;
        for (const auto& child : m_children)
            if (child->GetTag()[0] != '#') onlyText = false;
        if (!onlyText) os << std::endl;
        for (const auto& child : m_children) child->EmitXML(os, indent + 1);
        if (!onlyText) os << doIndent(indent);
        os << "</" << m_tag << '>' << std::endl;
        return true;
    }
    Ostrel::XObject* clone() const override { return new (std::nothrow) Element(*this); }

private:
    std::vector<std::unique_ptr<Ostrel::XObject>> m_children;
};

Element* titled(const char* tag, const char* title) {
    auto* e = new Element(tag);
    auto* t = new Ostrel::string(title);
    t->SetTag("title");
    e->add(t);
    return e;
}

} // namespace

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "catalog.xml";
    try {
        Element catalog("catalog");
        catalog.attribute("version", "1.0").attribute("owner", "O'Brien & Sons");
        catalog.add(&titled("book", "Tom & Jerry <annotated>")->attribute("lang", "en"));
        auto* note = new Element("note");
        note->text("Prices are \"indicative\" only; see ").add(titled("ref", "terms")).text(".");
        catalog.add(note);
        catalog.EmitXMLToFile(out, "catalog.dtd");
    } catch (Ostrel::XException& e) {
        std::cerr << e.GetMsg() << " (" << e.GetErrorLocation() << ")\n";
        return 1;
    }
    std::ifstream in(out);
    std::cout << in.rdbuf();
    return 0;
}
