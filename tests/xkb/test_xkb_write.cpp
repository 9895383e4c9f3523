// EmitXMLToFile writes exactly what the same tree writes to a string stream: the
// project's sample, the system's registry, and a tree whose lines cross every buffer.
#include "support/file_util.h"
#include "xkb/xkb_importer.h"
#include "xkb_sample_tree.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>

using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::textOnDisk;

namespace {

// The document as the header and EmitXML write it to a string stream.
std::string inMemory(Ostrel::XObject& root, const std::string& dtd) {
    std::ostringstream os;
    root.EmitXMLHeader(os, dtd);
    root.EmitXML(os, 0);
    return os.str();
}

// The document as EmitXMLToFile puts it on disk.
std::string onDisk(Ostrel::XObject& root, const std::string& dtd) {
    TempFile file("xkb_write.xml");
    EXPECT_TRUE(root.EmitXMLToFile(file.path(), dtd));
    return readFile(file.path());
}

std::unique_ptr<xkb::xkbConfigRegistry> importRegistry(const std::string& path) {
    xkb::RegisterCreateFunctions();
    xkb::XkbImporter importer;
    importer.ImportFromFile(path, true);
    return std::unique_ptr<xkb::xkbConfigRegistry>(importer.GetRegistry());
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Text of length bytes with a special character now and then, so that escaped runs and
// entities fall on every position of the buffers.
std::string varied(std::size_t length, std::size_t seed) {
    static const char alphabet[] = "abc &<>\"' xyz\xC3\xA9";
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) text[i] = alphabet[(i * 7 + seed) % (sizeof alphabet - 1)];
    return text;
}

} // namespace

TEST(XkbWrite, FileHoldsTheStreamOutputOfTheSample) {
    auto registry = xkb_test::sampleRegistry();
    EXPECT_EQ(onDisk(*registry, "xkb.dtd"), textOnDisk(inMemory(*registry, "xkb.dtd")));
    auto imported = importRegistry(std::string(XKB_TEST_DATA) + "/sample.xml");
    EXPECT_EQ(onDisk(*imported, ""), textOnDisk(inMemory(*imported, "")));
}

TEST(XkbWrite, FileHoldsTheStreamOutputOfTheSystemRegistry) {
    const std::string base = "/usr/share/X11/xkb/rules/base.xml";
    if (!exists(base)) GTEST_SKIP() << "no " << base << " on this system";
    auto registry = importRegistry(base);
    const std::string expected = inMemory(*registry, "xkb.dtd");
    EXPECT_GT(expected.size(), 64u * 1024u) << "smaller than one file buffer";
    EXPECT_EQ(onDisk(*registry, "xkb.dtd"), textOnDisk(expected));
}

TEST(XkbWrite, FileHoldsTheStreamOutputWhateverTheLengthsOfLinesAndTexts) {
    // Texts from empty to beyond the file buffer (64 KiB), lines beyond a written line's
    // own buffer (256 bytes), attributes and deep lists in between.
    xkb::xkbConfigRegistry registry;
    auto models = std::make_unique<xkb::modelList>();
    for (std::size_t i = 0; i < 400; ++i) {
        auto model = std::make_unique<xkb::model>();
        model->SetConfigItem(xkb_test::item(varied(i % 300, i)));
        model->GetConfigItem()->SetDescription(varied((i * 997) % 3000, i + 1));
        if (i % 3 == 0) model->GetConfigItem()->SetPopularity(varied(i % 260, i + 2));
        if (i % 50 == 7) model->GetConfigItem()->SetVendor(varied(70000 + i, i + 3));
        auto countries = std::make_unique<xkb::countryList>();
        for (std::size_t c = 0; c < i % 5; ++c) countries->AddIso3166Id(varied(c + 1, i + c));
        model->GetConfigItem()->SetCountryList(std::move(countries));
        models->GetModels().Add(std::move(model));
    }
    registry.SetModelList(std::move(models));
    const std::string expected = inMemory(registry, "xkb.dtd");
    EXPECT_GT(expected.size(), 20u * 64u * 1024u);
    EXPECT_EQ(onDisk(registry, "xkb.dtd"), textOnDisk(expected));
}

namespace {

// A registry of many models, the given one among them.
std::unique_ptr<xkb::xkbConfigRegistry> manyModels(std::size_t count, std::size_t special,
                                                   std::unique_ptr<xkb::configItem> item) {
    auto registry = std::make_unique<xkb::xkbConfigRegistry>();
    auto models = std::make_unique<xkb::modelList>();
    for (std::size_t i = 0; i < count; ++i) {
        auto model = std::make_unique<xkb::model>();
        if (i == special)
            model->SetConfigItem(std::move(item));
        else
            model->SetConfigItem(xkb_test::item("model " + std::to_string(i)));
        models->GetModels().Add(std::move(model));
    }
    registry->SetModelList(std::move(models));
    return registry;
}

// An attribute value that fails while it is written.
class FailingValue : public Ostrel::XObject {
public:
    bool EmitXML(std::ostream&, int) override { return true; }
    bool EmitAsAttribute(std::ostream& os) override {
        os << " half='";
        OSTREL_THROW(std::string("Error: Cannot write 'half'"));
    }
    Ostrel::XObject* clone() const override { return new FailingValue(*this); }
};

class ItemWithFailingAttribute : public xkb::configItem {
public:
    ItemWithFailingAttribute() {
        FailingValue value;
        setAttribute("half", &value);
    }
};

} // namespace

TEST(XkbWrite, ExceptionLeavesInTheFileWhatTheStreamHadTaken) {
    // The failure comes after several file buffers' worth of lines.
    auto registry = manyModels(5000, 4000, std::make_unique<ItemWithFailingAttribute>());
    std::ostringstream os;
    registry->EmitXMLHeader(os, "xkb.dtd");
    EXPECT_THROW(registry->EmitXML(os, 0), Ostrel::XException);
    const std::string taken = os.str();
    ASSERT_GT(taken.size(), 4u * 64u * 1024u);
    const std::string end = "\t\t\t<configItem half='";
    EXPECT_EQ(taken.substr(taken.size() - end.size()), end);

    TempFile file("xkb_partial.xml");
    try {
        registry->EmitXMLToFile(file.path(), "xkb.dtd");
        ADD_FAILURE() << "no exception";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Cannot write 'half'");
    }
    EXPECT_EQ(readFile(file.path()), textOnDisk(taken));
}

TEST(XkbWrite, FullDeviceIsReportedForALargeDocument) {
    if (!exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    auto registry = manyModels(20000, 0, xkb_test::item("first"));
    try {
        registry->EmitXMLToFile("/dev/full", "xkb.dtd");
        ADD_FAILURE() << "no exception";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Unable to write file '/dev/full' for XML output.");
    }
}

TEST(XkbWrite, PendingWidthPadsTheIndentationOfTheStartAndEndTags) {
    xkb::countryList countries;
    countries.AddIso3166Id("DE");
    std::ostringstream os;
    os << std::setfill('.') << std::setw(3);
    countries.EmitXML(os, 1);
    EXPECT_EQ(os.str(), "..\t<countryList>\n\t\t<iso3166Id>DE</iso3166Id>\n\t</countryList>\n");

    xkb::modelList empty;
    std::ostringstream one;
    one << std::setw(2);
    empty.EmitXML(one, 0);
    EXPECT_EQ(one.str(), "  <modelList></modelList>\n");
}
