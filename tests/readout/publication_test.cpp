#include <gtest/gtest.h>

#include <vector>

#include "readout/publication.h"

namespace veltro {
namespace {

struct RecordingStore : SettingsStore {
    std::vector<std::vector<std::string>> writes;
    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& name, const std::string& value) override {
        writes.push_back({application, section, name, value});
    }
};

TEST(ReadingPublication, WritesReadingAndActiveUnderTheSharedSection) {
    RecordingStore store;
    ReadingPublication publication(store);
    publication.setActive(false);
    publication.publishReading("43.9");
    publication.publishReading(" 0.0");
    publication.setActive(true);
    const std::vector<std::vector<std::string>> expected = {
        {"RAREduzo", "Settings", "Active", "N"},
        {"RAREduzo", "Settings", "Reading", "43.9"},
        {"RAREduzo", "Settings", "Reading", " 0.0"},
        {"RAREduzo", "Settings", "Active", "Y"},
    };
    EXPECT_EQ(store.writes, expected);
}

}  // namespace
}  // namespace veltro
