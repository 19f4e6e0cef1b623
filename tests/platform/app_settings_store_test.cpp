#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/app_settings_store.h"

namespace veltro {
namespace {

#ifndef Q_OS_WIN
class AppSettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.isValid());
        saved_ = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved_); }

    QString expectedFile() const { return runtime_.path() + "/RAREduzo/RAREduzo.ini"; }

    QTemporaryDir runtime_;
    QByteArray saved_;
};

TEST_F(AppSettingsStoreTest, WritesIniInTheUserRuntimeFolderAtOnce) {
    AppSettingsStore store;
    EXPECT_EQ(store.storageLocation("RAREduzo"), expectedFile());
    store.saveSetting("RAREduzo", "Settings", "Active", "N");
    store.saveSetting("RAREduzo", "Settings", "Reading", "43.9");
    ASSERT_TRUE(QFileInfo::exists(expectedFile()));

    // Another reader sees the values without the store going away.
    QSettings reader(expectedFile(), QSettings::IniFormat);
    EXPECT_EQ(reader.value("Settings/Active").toString(), "N");
    EXPECT_EQ(reader.value("Settings/Reading").toString(), "43.9");
}

TEST_F(AppSettingsStoreTest, OverwritesAndKeepsOtherValuesAndLeadingSpaces) {
    AppSettingsStore store;
    store.saveSetting("RAREduzo", "Settings", "Active", "Y");
    store.saveSetting("RAREduzo", "Settings", "Reading", " 9.5");
    store.saveSetting("RAREduzo", "Settings", "Reading", "60.0");
    store.saveSetting("RAREduzo", "Other", "Reading", "x");

    QSettings reader(expectedFile(), QSettings::IniFormat);
    EXPECT_EQ(reader.value("Settings/Active").toString(), "Y");
    EXPECT_EQ(reader.value("Settings/Reading").toString(), "60.0");
    EXPECT_EQ(reader.value("Other/Reading").toString(), "x");

    store.saveSetting("RAREduzo", "Settings", "Reading", " 9.5");
    reader.sync();
    EXPECT_EQ(reader.value("Settings/Reading").toString(), " 9.5");
}
#endif

}  // namespace
}  // namespace veltro
