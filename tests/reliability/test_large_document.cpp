// A generated XKB registry of 500 MB (OSTREL_LARGE_MB overrides the size) is imported and
// written back in memory bounded by its tree: the scanner's buffers and the writer's
// stay constant, so the peak during the import is the finished tree plus a fixed margin,
// and writing adds no more than that margin.
#include "support/file_util.h"

#include "../bench/xkb_generator.h"
#include "xkb/xkb_importer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr long long kMiB = 1024 * 1024;
// Room for the scanner's and writer's buffers, allocator slack and the test's own needs.
constexpr long long kMargin = 64 * kMiB;

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
long long statusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0)
            return std::atoll(line.c_str() + key.size()) * 1024;
    return -1;
}

// Starts a new peak (VmHWM) at the current resident size.
bool resetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long long mib(long long bytes) { return bytes / kMiB; }

} // namespace

TEST(LargeDocument, ImportsAndWritesBackInMemoryBoundedByTheTree) {
    const char* sizeText = std::getenv("OSTREL_LARGE_MB");
    const long long megabytes = sizeText ? std::atoll(sizeText) : 500;
    ASSERT_GT(megabytes, 0);
    if (!resetPeak() || statusBytes("VmHWM") < 0) GTEST_SKIP() << "no peak memory figures here";

    ostrel_test::TempFile input("large.xml"), output("large.out.xml");
    auto start = std::chrono::steady_clock::now();
    const long long bytes = static_cast<long long>(
        ostrel_bench::generateXkbRegistry(input.path(), megabytes * kMiB, 8));
    std::printf("generated %lld MiB in %.1f s\n", mib(bytes), secondsSince(start));

    xkb::RegisterCreateFunctions();
    const long long baseline = statusBytes("VmRSS");
    ASSERT_TRUE(resetPeak());
    start = std::chrono::steady_clock::now();
    xkb::XkbImporter importer;
    importer.ImportFromFile(input.path(), true);
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    ASSERT_NE(root, nullptr);
    const double importSeconds = secondsSince(start);
    const long long importPeak = statusBytes("VmHWM") - baseline;
    const long long tree = statusBytes("VmRSS") - baseline;
    std::printf("imported %lld elements in %.1f s: tree %lld MiB, peak %lld MiB\n",
                importer.elementCount(), importSeconds, mib(tree), mib(importPeak));
    EXPECT_GT(tree, bytes / 4) << "the tree cannot be much smaller than the text it holds";
    EXPECT_LE(importPeak, tree + kMargin);

    const long long beforeWrite = statusBytes("VmRSS");
    ASSERT_TRUE(resetPeak());
    start = std::chrono::steady_clock::now();
    root->EmitXMLToFile(output.path(), "xkb.dtd");
    const long long writePeak = statusBytes("VmHWM") - beforeWrite;
    std::printf("written in %.1f s, peak above the tree %lld MiB\n", secondsSince(start),
                mib(writePeak));
    EXPECT_LE(writePeak, kMargin);

    // What was written is the whole tree: read back, it has every element again.
    const long long elements = importer.elementCount();
    root.reset();
    std::remove(input.path().c_str());
    xkb::XkbImporter again;
    again.ImportFromFile(output.path(), true);
    std::unique_ptr<Ostrel::XObject> reread(again.GetXObject());
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(again.elementCount(), elements);
}
