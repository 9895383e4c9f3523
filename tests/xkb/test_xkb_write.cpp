// EmitXMLToFile writes exactly what the same tree writes to a string stream: the
// project's documents, the system's registry, and a tree whose lines cross every buffer.
#include "support/file_util.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iomanip>

using namespace ostrel_test;

namespace {

// Expects the file EmitXMLToFile writes to hold what the header and EmitXML write to a
// string stream; gives that text.
std::string checkOnDisk(Ostrel::XObject& root) {
    std::ostringstream os;
    root.EmitXMLHeader(os, "xkb.dtd");
    root.EmitXML(os, 0);
    ostrel_test::TempFile file("xkb_write.xml");
    EXPECT_TRUE(root.EmitXMLToFile(file.path(), "xkb.dtd"));
    EXPECT_EQ(readFile(file.path()), textOnDisk(os.str()));
    return os.str();
}

// Text of length bytes with a special character now and then, so that escaped runs and
// entities fall on every position of the buffers.
std::string varied(std::size_t length, std::size_t seed) {
    static const char alphabet[] = "abc &<>\"' xyz\xC3\xA9";
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) text[i] = alphabet[(i * 7 + seed) % (sizeof alphabet - 1)];
    return text;
}

// A registry of count models, each configItem given to fill with its index.
std::unique_ptr<xkb::xkbConfigRegistry> models(std::size_t count,
                                               const std::function<void(xkb::configItem&, std::size_t)>& fill) {
    auto registry = std::make_unique<xkb::xkbConfigRegistry>();
    registry->SetModelList(std::make_unique<xkb::modelList>());
    for (std::size_t i = 0; i < count; ++i) {
        auto model = std::make_unique<xkb::model>();
        model->SetConfigItem(std::make_unique<xkb::configItem>());
        fill(*model->GetConfigItem(), i);
        registry->GetModelList()->GetModels().Add(std::move(model));
    }
    return registry;
}

// An attribute value that fails while it is written.
struct FailingValue : Ostrel::XObject {
    bool EmitXML(std::ostream&, int) override { return true; }
    bool EmitAsAttribute(std::ostream& os) override {
        os << " half='";
        OSTREL_THROW(std::string("Error: Cannot write 'half'"));
    }
    Ostrel::XObject* clone() const override { return new FailingValue(*this); }
};

} // namespace

TEST(XkbWrite, FileHoldsTheStreamOutputOfRealDocuments) {
    checkOnDisk(*xkb_test::load("built.xml"));
    checkOnDisk(*xkb_test::load("sample.xml"));
    const std::string base = "/usr/share/X11/xkb/rules/base.xml";
    if (!std::ifstream(base)) GTEST_SKIP() << "no " << base << " on this system";
    EXPECT_GT(checkOnDisk(*xkb_test::load(base)).size(), 64u * 1024u) << "smaller than a buffer";
}

TEST(XkbWrite, FileHoldsTheStreamOutputWhateverTheLengthsOfLinesAndTexts) {
    // Texts from empty to beyond the file buffer (64 KiB), lines beyond a written line's
    // own buffer (256 bytes), attributes and deep lists in between.
    auto registry = models(400, [](xkb::configItem& item, std::size_t i) {
        item.SetName(varied(i % 300, i));
        item.SetDescription(varied((i * 997) % 3000, i + 1));
        if (i % 3 == 0) item.SetPopularity(varied(i % 260, i + 2));
        if (i % 50 == 7) item.SetVendor(varied(70000 + i, i + 3));
        item.SetCountryList(std::make_unique<xkb::countryList>());
        for (std::size_t c = 0; c < i % 5; ++c) item.GetCountryList()->AddIso3166Id(varied(c + 1, i + c));
    });
    EXPECT_GT(checkOnDisk(*registry).size(), 20u * 64u * 1024u);
}

TEST(XkbWrite, ExceptionLeavesInTheFileWhatTheStreamHadTaken) {
    auto registry = models(5000, [](xkb::configItem& item, std::size_t i) {
        item.SetName("model " + std::to_string(i));
        if (i == 4000) ostrel_test::Attributes::set(item, "half", FailingValue());
    });
    std::ostringstream os;
    registry->EmitXMLHeader(os, "xkb.dtd");
    EXPECT_THROW(registry->EmitXML(os, 0), Ostrel::XException);
    const std::string taken = os.str(), end = "\t\t\t<configItem half='";
    ASSERT_GT(taken.size(), 4u * 64u * 1024u);  // after several file buffers' worth of lines
    EXPECT_EQ(taken.substr(taken.size() - end.size()), end);
    ostrel_test::TempFile file("xkb_partial.xml");
    EXPECT_EQ(ostrel_test::messageOf([&] { registry->EmitXMLToFile(file.path(), "xkb.dtd"); }),
              "Error: Cannot write 'half'");
    EXPECT_EQ(readFile(file.path()), textOnDisk(taken));
    if (!std::ifstream("/dev/full")) GTEST_SKIP() << "no /dev/full";
    registry = models(20000, [](xkb::configItem& item, std::size_t) { item.SetName("x"); });
    EXPECT_EQ(ostrel_test::messageOf([&] { registry->EmitXMLToFile("/dev/full", "xkb.dtd"); }),
              "Error: Unable to write file '/dev/full' for XML output.");
}

TEST(XkbWrite, PendingWidthPadsTheIndentationOfTheStartAndEndTags) {
    xkb::countryList countries;
    countries.AddIso3166Id("DE");
    std::ostringstream os;
    os << std::setfill('.') << std::setw(3);
    countries.EmitXML(os, 1);
    xkb::modelList empty;
    os << std::setfill(' ') << std::setw(2);
    empty.EmitXML(os, 0);
    EXPECT_EQ(os.str(), "..\t<countryList>\n\t\t<iso3166Id>DE</iso3166Id>\n\t</countryList>\n"
                        "  <modelList></modelList>\n");
}
