// EmitXMLToFile writes exactly what the same tree writes to a string stream, for a tree
// whose lines cross every buffer (the project's documents are written in edits.txt), and
// after a value that fails to write (a full disk: reliability/test_io_faults).
#include "support/file_util.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ostrel_test;

namespace {

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

// Texts from empty to beyond the file buffer (64 KiB), lines beyond a written line's own
// buffer (256 bytes), attributes and deep lists in between; a value of the last model's
// fails, so the file holds what the stream had taken up to the exception.
TEST(XkbWrite, FileHoldsTheStreamOutputWhateverTheLengthsOfLinesAndTextsUpToAnException) {
    auto registry = models(400, [](xkb::configItem& item, std::size_t i) {
        item.SetName(varied(i % 300, i));
        item.SetDescription(varied((i * 997) % 3000, i + 1));
        if (i % 3 == 0) item.SetPopularity(varied(i % 260, i + 2));
        if (i % 50 == 7) item.SetVendor(varied(70000 + i, i + 3));
        item.SetCountryList(std::make_unique<xkb::countryList>());
        for (std::size_t c = 0; c < i % 5; ++c) item.GetCountryList()->AddIso3166Id(varied(c + 1, i + c));
        if (i == 399) ostrel_test::Attributes::set(item, "half", FailingValue());
    });
    std::ostringstream os;
    registry->EmitXMLHeader(os, "xkb.dtd");
    EXPECT_THROW(registry->EmitXML(os, 0), Ostrel::XException);
    const std::string taken = os.str(), end = "\t\t\t<configItem half='";
    ASSERT_GT(taken.size(), 20u * 64u * 1024u);
    EXPECT_EQ(taken.substr(taken.size() - end.size()), end);
    ostrel_test::TempFile file("xkb_write.xml");
    EXPECT_EQ(ostrel_test::messageOf([&] { registry->EmitXMLToFile(file.path(), "xkb.dtd"); }),
              "Error: Cannot write 'half'");
    EXPECT_EQ(readFile(file.path()), textOnDisk(taken));
}
