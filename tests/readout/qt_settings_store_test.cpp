#include <gtest/gtest.h>

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/qt_settings_store.h"

namespace veltro {
namespace {

#ifndef Q_OS_WIN
class QtSettingsStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(configHome_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", configHome_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", saved_); }

    QString expectedFile() const { return configHome_.path() + "/RAREduzo/RAREduzo.ini"; }

    QTemporaryDir configHome_;
    QByteArray saved_;
};

TEST_F(QtSettingsStoreTest, WritesIniInTheUserConfigFolderAtOnce) {
    EXPECT_EQ(QtSettingsStore::storageLocation("RAREduzo"), expectedFile());
    QtSettingsStore store;
    store.saveSetting("RAREduzo", "Settings", "Active", "N");
    store.saveSetting("RAREduzo", "Settings", "Reading", "43.9");
    ASSERT_TRUE(QFileInfo::exists(expectedFile()));

    // Another reader sees the values without the store going away.
    QSettings reader(expectedFile(), QSettings::IniFormat);
    EXPECT_EQ(reader.value("Settings/Active").toString(), "N");
    EXPECT_EQ(reader.value("Settings/Reading").toString(), "43.9");
}

TEST_F(QtSettingsStoreTest, OverwritesAndKeepsOtherValuesAndLeadingSpaces) {
    QtSettingsStore store;
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
