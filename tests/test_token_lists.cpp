// NMTOKENS and IDREFS: splitting text into tokens, both written forms, copies.
#include "support/test_element.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <typeinfo>
#include <vector>

using namespace Ostrel;
using ostrel_test::attributeText;
using ostrel_test::Attributed;
using ostrel_test::elementOf;
using ostrel_test::elementText;
using Texts = std::vector<std::string>;

namespace {

Texts texts(const std::list<Ostrel::string>& tokens) {
    Texts out;
    for (const Ostrel::string& token : tokens) out.push_back(token);
    return out;
}

// The attribute form and its result; an empty list must write nothing and say so.
template <class T>
std::pair<std::string, bool> attributeForm(T& list) {
    std::ostringstream os;
    const bool written = list.EmitAsAttribute(os);
    return {os.str(), written};
}

template <class T>
class TokenList : public ::testing::Test {
protected:
    static T parsed(const char* text, const char* tag = "names") {
        T list;
        list.SetTag(tag);
        EXPECT_TRUE(list.SetValueFromString(text));
        return list;
    }
};

using TokenListClasses = ::testing::Types<NMTOKENS, IDREFS>;
TYPED_TEST_SUITE(TokenList, TokenListClasses);

// A token that carries an attribute; stored into a list as a plain string copy.
struct AttributedString : Ostrel::string {
    using Ostrel::string::string;
    using XObject::setAttribute;
};

} // namespace

TYPED_TEST(TokenList, DefaultIsEmptyAndWritesNothing) {
    TypeParam list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.GetTag(), "");
    EXPECT_EQ(elementOf(list, 2), "");
    EXPECT_EQ(attributeForm(list), std::make_pair(std::string(), false));
}

// --- parsing -------------------------------------------------------------------------

TYPED_TEST(TokenList, SplitsAtTheFourSeparators) {
    EXPECT_EQ(texts(this->parsed("  alpha  ")), Texts({"alpha"}));
    EXPECT_EQ(texts(this->parsed("a \t\r\fb\t\t c\f\rd")), Texts({"a", "b", "c", "d"}));
    EXPECT_EQ(texts(this->parsed("\tfirst second ")), Texts({"first", "second"}));
    // Line feed is no separator.
    EXPECT_EQ(texts(this->parsed("one\ntwo")), Texts({"one\ntwo"}));
    EXPECT_EQ(texts(this->parsed("x\n y")), Texts({"x\n", "y"}));
}

TYPED_TEST(TokenList, TokensAreCharacterDataWithoutAttributes) {
    TypeParam list = this->parsed("a b");
    for (Ostrel::string& token : list) {
        EXPECT_EQ(token.GetTag(), "#PCDATA");
        EXPECT_FALSE(token.HasAttribute("any"));
        EXPECT_FALSE(std::string(token).empty());
    }
}

TYPED_TEST(TokenList, EmptyOrBlankTextGivesAnEmptyList) {
    for (const char* text : {"", " ", " \t\r\f "}) {
        TypeParam list = this->parsed("old tokens");
        EXPECT_TRUE(list.SetValueFromString(text));
        EXPECT_TRUE(list.empty()) << '"' << text << '"';
    }
}

TYPED_TEST(TokenList, NullTextIsRefusedAndKeepsTheTokens) {
    TypeParam list = this->parsed("keep these");
    EXPECT_FALSE(list.SetValueFromString(nullptr));
    EXPECT_EQ(texts(list), Texts({"keep", "these"}));
    list = static_cast<const char*>(nullptr);
    EXPECT_EQ(texts(list), Texts({"keep", "these"}));
}

TYPED_TEST(TokenList, ParsingAgainReplacesTheTokens) {
    TypeParam list = this->parsed("a b c");
    EXPECT_TRUE(list.SetValueFromString("d"));
    EXPECT_EQ(texts(list), Texts({"d"}));
}

TYPED_TEST(TokenList, AssigningTextParses) {
    TypeParam list;
    list.SetTag("keep");
    TypeParam& result = (list = " x\ty ");
    EXPECT_EQ(&result, &list);
    EXPECT_EQ(texts(list), texts(this->parsed(" x\ty ")));
    EXPECT_EQ(list.GetTag(), "keep");
}

// operator=(const char*) goes through the virtual parse, so a derived class's parse is used.
TYPED_TEST(TokenList, AssigningTextUsesTheVirtualParse) {
    struct Upper : TypeParam {
        using TypeParam::operator=;
        int calls = 0;
        bool SetValueFromString(const char* text) override {
            ++calls;
            return TypeParam::SetValueFromString(text);
        }
    } list;
    list = "a b";
    EXPECT_EQ(list.calls, 1);
    EXPECT_EQ(texts(list), Texts({"a", "b"}));
}

// --- written forms ---------------------------------------------------------------------

TYPED_TEST(TokenList, ElementFormPartsTokensByOneBlank) {
    TypeParam single = this->parsed("alpha");
    EXPECT_EQ(elementOf(single, 0), "<names>alpha</names>\n");
    TypeParam list = this->parsed("\ta\t\tb  c\r");
    EXPECT_EQ(elementOf(list, 1), "\t<names>a b c</names>\n");
}

TYPED_TEST(TokenList, ElementFormEscapesTokens) {
    TypeParam list = this->parsed("R&D <x> 'q\"");
    EXPECT_EQ(elementOf(list), "<names>R&amp;D &lt;x&gt; &apos;q&quot;</names>\n");
}

TYPED_TEST(TokenList, ElementFormLetsEachTokenWriteItself) {
    TypeParam list = this->parsed("a");
    Ostrel::string named("b");
    named.SetTag("item");
    list.push_back(named);
    EXPECT_EQ(elementOf(list, 1), "\t<names>a \t\t<item>b</item>\n</names>\n");
}

TYPED_TEST(TokenList, ElementFormLeavesOutTheAttributes) {
    Attributed<TypeParam> list;
    list.SetTag("names");
    list = "a b";
    Ostrel::string note("n");
    list.setAttribute("note", &note);
    EXPECT_EQ(elementOf(list), "<names>a b</names>\n");
}

TYPED_TEST(TokenList, AttributeFormJoinsEscapedTokensByOneBlank) {
    TypeParam refs = this->parsed(" id1\t id2\r\fid3 ", "refs");
    EXPECT_EQ(attributeForm(refs), std::make_pair(std::string(" refs='id1 id2 id3'"), true));
    TypeParam special = this->parsed("a&b it's", "v");
    EXPECT_EQ(attributeForm(special), std::make_pair(std::string(" v='a&amp;b it&apos;s'"), true));
    TypeParam emptied = this->parsed("x", "v");
    emptied = "   ";
    EXPECT_EQ(attributeForm(emptied), std::make_pair(std::string(), false));
}

TYPED_TEST(TokenList, AppearsAmongAnElementsAttributes) {
    ostrel_test::Element e("e");
    TypeParam refs = this->parsed("x y");
    TypeParam none;
    Ostrel::string lang("en");
    e.setAttribute("refs", &refs);
    e.setAttribute("empty", &none);
    e.setAttribute("lang", &lang);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " lang='en' refs='x y'");
}

TYPED_TEST(TokenList, RoundTripsThroughBothForms) {
    for (const char* text : {"alpha", "alpha beta\tgamma", " a\r\fb\tc d e\n f "}) {
        TypeParam written = this->parsed(text, "v");
        TypeParam fromElement, fromAttribute;
        EXPECT_TRUE(fromElement.SetValueFromString(elementText(elementOf(written), "v").c_str()));
        auto attribute = attributeForm(written);
        EXPECT_TRUE(attribute.second);
        EXPECT_TRUE(fromAttribute.SetValueFromString(attributeText(attribute.first, "v").c_str()));
        EXPECT_EQ(texts(fromElement), texts(written)) << text;
        EXPECT_EQ(texts(fromAttribute), texts(written)) << text;
    }
}

// --- copies ----------------------------------------------------------------------------

TYPED_TEST(TokenList, AssignmentCopiesTokensAndTagNotAttributes) {
    Attributed<TypeParam> a, b;
    a.SetTag("ta");
    b.SetTag("tb");
    a = "x";
    b = "p q r";
    Ostrel::string marker("m");
    a.setAttribute("mine", &marker);
    b.setAttribute("theirs", &marker);
    TypeParam& result = (a = b);
    EXPECT_EQ(&result, &a);
    EXPECT_EQ(texts(a), Texts({"p", "q", "r"}));
    EXPECT_EQ(a.GetTag(), "tb");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
    b = "s";
    a = b;
    EXPECT_EQ(texts(a), Texts({"s"}));
    TypeParam& self = a;
    a = self;
    EXPECT_EQ(texts(a), Texts({"s"}));
    EXPECT_EQ(a.GetTag(), "tb");
}

// A list assigns token by token: tokens already there take tag and text only, the ones
// added are whole copies.
TYPED_TEST(TokenList, AssignmentAssignsTokensPairwise) {
    TypeParam source;
    const Ostrel::string note("n");
    for (const char* text : {"one", "two"}) {
        AttributedString token(text);
        token.SetTag("tok");
        token.setAttribute("note", &note);
        source.push_back(token);
    }
    TypeParam target = this->parsed("old");
    target = source;
    ASSERT_EQ(target.size(), 2u);
    EXPECT_EQ(texts(target), Texts({"one", "two"}));
    EXPECT_EQ(target.front().GetTag(), "tok");
    EXPECT_FALSE(target.front().HasAttribute("note"));
    EXPECT_TRUE(target.back().HasAttribute("note"));
    TypeParam copy(source);
    EXPECT_TRUE(copy.front().HasAttribute("note"));
    EXPECT_TRUE(copy.back().HasAttribute("note"));
}

TYPED_TEST(TokenList, CopyAndCloneTakeTokensTagAndAttributes) {
    Attributed<TypeParam> b;
    b.SetTag("tb");
    b = "p q";
    Ostrel::string marker("m");
    b.setAttribute("theirs", &marker);
    TypeParam c(b);
    EXPECT_EQ(texts(c), Texts({"p", "q"}));
    EXPECT_EQ(c.GetTag(), "tb");
    EXPECT_TRUE(c.HasAttribute("theirs"));
    std::unique_ptr<XObject> copy(c.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(typeid(*copy), typeid(TypeParam));
    auto& typed = static_cast<TypeParam&>(*copy);
    EXPECT_EQ(texts(typed), Texts({"p", "q"}));
    EXPECT_EQ(typed.GetTag(), "tb");
    EXPECT_TRUE(typed.HasAttribute("theirs"));
    // The copy is deep: changing it leaves the original alone.
    typed.front() = "changed";
    EXPECT_EQ(texts(c), Texts({"p", "q"}));
}

TEST(TokenLists, BothKindsSplitTheSameWay) {
    NMTOKENS names;
    IDREFS refs;
    const char* text = " r1\tr2\r\n r3\f";
    EXPECT_TRUE(names.SetValueFromString(text));
    EXPECT_TRUE(refs.SetValueFromString(text));
    EXPECT_EQ(texts(names), texts(refs));
    EXPECT_EQ(texts(names), Texts({"r1", "r2", "\n", "r3"}));
}
