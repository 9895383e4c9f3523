// Every simple value in one document, as attribute and as element: xmllint reads it as
// well-formed, and the values it hands back read in as the values written.
#include "support/file_util.h"
#include "support/test_element.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace Ostrel;
using ostrel_test::elementOf;

namespace {

std::string run(const std::string& command, int* status = nullptr) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        const int rc = pclose(pipe);
        if (status) *status = rc;
    } else if (status) {
        *status = -1;
    }
    return out;
}

// One value of each class, and how to make a fresh one of the same class from text.
struct Sample {
    std::string name;
    std::unique_ptr<XObject> value;
    std::function<std::unique_ptr<XObject>(const std::string&)> fromText;
};

template <class T>
Sample sample(const char* name, const char* text) {
    auto make = [name](const std::string& t) {
        auto v = std::make_unique<T>();
        v->SetTag(name);
        EXPECT_TRUE(v->SetValueFromString(t.c_str())) << name << ": " << t;
        return std::unique_ptr<XObject>(std::move(v));
    };
    return Sample{name, make(text), make};
}

} // namespace

TEST(ValueDocument, ReadBackByXmllint) {
#ifdef _WIN32
    GTEST_SKIP() << "xmllint runs on the build machine, out of a Windows program's reach";
#endif
    int status = 0;
    run("xmllint --version 2>&1", &status);
    ASSERT_EQ(status, 0) << "xmllint is missing (scripts/setup.sh installs libxml2-utils)";

    std::vector<Sample> samples;
    samples.push_back(sample<Ostrel::string>("title", "Tom & 'Jerry' <\"co\">"));
    samples.push_back(sample<NMTOKENS>("names", " R&D  <x>\t'q' \"w\" "));
    samples.push_back(sample<IDREFS>("refs", "id1 id2\fid3"));
    samples.push_back(sample<boolean>("flag", "true"));
    samples.push_back(sample<integer>("count", "-2147483648"));
    samples.push_back(sample<non_negative_integer>("size", "4294967295"));
    samples.push_back(sample<positive_integer>("rank", "1"));
    samples.push_back(sample<non_positive_integer>("debt", "-5"));
    samples.push_back(sample<negative_integer>("below", "-1"));
    samples.push_back(sample<real>("pi", "3.14159265"));
    samples.push_back(sample<decimal>("tiny", "-0.000123456789"));

    ostrel_test::Element root("doc");
    for (Sample& s : samples) {
        root.setAttribute(s.name, s.value.get());
        root.add(s.value->clone());
    }
    ostrel_test::TempFile file("simple_values.xml");
    ASSERT_TRUE(root.EmitXMLToFile(file.path(), ""));
    run("xmllint --noout " + file.path() + " 2>&1", &status);
    ASSERT_EQ(status, 0) << ostrel_test::readFile(file.path());

    // xmllint ends what it prints with a line end of its own.
    auto xpath = [&file](const std::string& expression) {
        std::string out = run("xmllint --xpath '" + expression + "' " + file.path());
        if (!out.empty() && out.back() == '\n') out.pop_back();
        return out;
    };
    for (Sample& s : samples) {
        const std::string asAttribute = xpath("string(/doc/@" + s.name + ")");
        const std::string asElement = xpath("string(/doc/" + s.name + ")");
        // Whatever the parser hands back reads in as the value that was written.
        const std::string expected = elementOf(*s.value);
        EXPECT_EQ(elementOf(*s.fromText(asAttribute)), expected) << s.name << " attribute";
        EXPECT_EQ(elementOf(*s.fromText(asElement)), expected) << s.name << " element";
    }
}
