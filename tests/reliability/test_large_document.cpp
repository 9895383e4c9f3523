// A generated XKB registry of 500 MB (OSTREL_LARGE_MB overrides the size) is imported and
// written back in memory bounded by its tree: the scanner's buffers and the writer's
// stay constant, so the peak during the import is the finished tree plus a fixed margin,
// and writing adds no more than that margin.
#include "support/file_util.h"

#include "../bench/xkb_generator.h"
#include "xkb/xkb_importer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr long long kMiB = 1024 * 1024;
// Room for the scanner's and writer's buffers, allocator slack and the test's own needs.
constexpr long long kMargin = 64 * kMiB;

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"); -1 when there is none.
long long statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::atoll(line.c_str() + field.size() + 1) * 1024;
    return -1;
}

// Starts a new peak (VmHWM) at the current resident size; the resident size then.
long long resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    return clear << "5" << std::flush ? statusBytes("VmRSS") : -1;
}

} // namespace

TEST(LargeDocument, ImportsAndWritesBackInMemoryBoundedByTheTree) {
    const char* size = std::getenv("OSTREL_LARGE_MB");
    const long long megabytes = size ? std::atoll(size) : 500;
    if (resetPeak() < 0 || statusBytes("VmHWM") < 0) GTEST_SKIP() << "no peak memory figures here";
    ostrel_test::TempFile input("large.xml"), output("large.out.xml");
    const long long bytes = static_cast<long long>(
        ostrel_bench::generateXkbRegistry(input.path(), megabytes * kMiB, 8));

    xkb::RegisterCreateFunctions();
    const long long baseline = resetPeak();
    xkb::XkbImporter importer;
    importer.ImportFromFile(input.path(), true);
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    ASSERT_NE(root, nullptr);
    const long long importPeak = statusBytes("VmHWM") - baseline;
    const long long tree = statusBytes("VmRSS") - baseline;
    EXPECT_GT(tree, bytes / 4) << "the tree cannot be much smaller than the text it holds";
    EXPECT_LE(importPeak, tree + kMargin) << "tree " << tree / kMiB << " MiB";

    const long long beforeWrite = resetPeak();
    root->EmitXMLToFile(output.path(), "xkb.dtd");
    EXPECT_LE(statusBytes("VmHWM") - beforeWrite, kMargin);

    // What was written is the whole tree: read back, it has every element again.
    root.reset();
    std::remove(input.path().c_str());
    xkb::XkbImporter again;
    again.ImportFromFile(output.path(), true);
    std::unique_ptr<Ostrel::XObject> reread(again.GetXObject());
    EXPECT_EQ(again.elementCount(), importer.elementCount());
}
