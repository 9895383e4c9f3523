// The text value: construction, operators, parsing and its two written forms.
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using Ostrel::string;

namespace {
std::string element(string& s, int indent) {
    std::ostringstream os;
    EXPECT_TRUE(s.EmitXML(os, indent));
    return os.str();
}
std::string attribute(string& s) {
    std::ostringstream os;
    EXPECT_TRUE(s.EmitAsAttribute(os));
    return os.str();
}
} // namespace

TEST(StringConstruction, DefaultsToCharacterData) {
    string s;
    EXPECT_EQ(s.GetTag(), "#PCDATA");
    EXPECT_EQ(std::string(s), "");
    EXPECT_EQ(element(s, 3), "");
    EXPECT_EQ(string(std::string("x")).GetTag(), "#PCDATA");
    EXPECT_EQ(string("y").GetTag(), "#PCDATA");
}

TEST(StringOutput, ElementForm) {
    string s("Tom & Jerry");
    s.SetTag("title");
    EXPECT_EQ(element(s, 2), "\t\t<title>Tom &amp; Jerry</title>\n");
    string empty;
    empty.SetTag("x");
    EXPECT_EQ(element(empty, 0), "<x></x>\n");
    string noTag("t");
    noTag.SetTag("");
    EXPECT_EQ(element(noTag, 1), "\t<>t</>\n");
}

TEST(StringOutput, AnyHashTagIsBareText) {
    string s("a<b");
    EXPECT_EQ(element(s, 4), "a&lt;b");
    s.SetTag("#other");
    EXPECT_EQ(element(s, 4), "a&lt;b");
}

TEST(StringOutput, AllFiveReservedCharactersEscaped) {
    string s("\"&'<>");
    s.SetTag("v");
    EXPECT_EQ(element(s, 0), "<v>&quot;&amp;&apos;&lt;&gt;</v>\n");
    EXPECT_EQ(attribute(s), " v='&quot;&amp;&apos;&lt;&gt;'");
}

TEST(StringOutput, AttributeFormUsesWhateverTheTagIs) {
    string s("en");
    s.SetTag("lang");
    EXPECT_EQ(attribute(s), " lang='en'");
    string pcdata("x");
    EXPECT_EQ(attribute(pcdata), " #PCDATA='x'");
}

TEST(StringOutput, AsAttributeOfAnElement) {
    ostrel_test::Element e("e");
    string v("it's");
    e.setAttribute("note", &v);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " note='it&apos;s'");
}

TEST(StringParse, SetValueFromString) {
    string s("old");
    s.SetTag("t");
    EXPECT_FALSE(s.SetValueFromString(nullptr));
    EXPECT_EQ(std::string(s), "old");
    EXPECT_TRUE(s.SetValueFromString("  padded  "));
    EXPECT_EQ(std::string(s), "  padded  ");
    EXPECT_TRUE(s.SetValueFromString(""));
    EXPECT_EQ(std::string(s), "");
    EXPECT_EQ(s.GetTag(), "t");
}

// A text value that can carry attributes, as a derived class may give it.
struct AttributedString : string {
    using string::string;
    using XObject::setAttribute;
};

TEST(StringCopy, AssignmentVersusCopyConstruction) {
    AttributedString a("a"), b("b");
    a.SetTag("ta");
    b.SetTag("tb");
    string value("v");
    a.setAttribute("mine", &value);
    b.setAttribute("theirs", &value);
    a = b;
    EXPECT_EQ(a.GetTag(), "tb");
    EXPECT_EQ(std::string(a), "b");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
    string c(b);
    EXPECT_EQ(c.GetTag(), "tb");
    EXPECT_EQ(std::string(c), "b");
    EXPECT_TRUE(c.HasAttribute("theirs"));
}

TEST(StringOperators, AssignAndAppend) {
    string s("x");
    s.SetTag("keep");
    s = "abc";
    EXPECT_EQ(std::string(s), "abc");
    s = 'z';
    EXPECT_EQ(std::string(s), "z");
    s += "12";
    s += '3';
    string more("!");
    s += more;
    EXPECT_EQ(std::string(s), "z123!");
    EXPECT_EQ(s.GetTag(), "keep");
}

TEST(StringOperators, Indexing) {
    string s("abc");
    EXPECT_EQ(s[1u], 'b');
    EXPECT_EQ(s[3u], '\0');
    EXPECT_EQ(s[4u], '\0');
    EXPECT_EQ(&s[4u], &s[100u]);  // one shared character past the end
    const string& cs = s;
    EXPECT_EQ(cs[2u], 'c');
    EXPECT_THROW(cs[3u], std::out_of_range);
    s[0u] = 'A';
    EXPECT_EQ(std::string(s), "Abc");
}

TEST(StringOperators, ConversionToCharPointer) {
    string empty;
    const char* p = empty;
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    string s("hello");
    EXPECT_EQ(std::strcmp(static_cast<const char*>(s), "hello"), 0);
}

TEST(StringClone, CopiesTagTextAndAttributes) {
    ostrel_test::Element e("e");
    string v("text");
    v.SetTag("name");
    e.setAttribute("lang", &v);
    std::unique_ptr<Ostrel::XObject> copy(e.getAttribute("lang")->clone());
    auto* s = dynamic_cast<string*>(copy.get());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetTag(), "lang");
    EXPECT_EQ(std::string(*s), "text");
}
