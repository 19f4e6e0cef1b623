// Saves a picture of the window for the README when VELTRO_SCREENSHOT names
// a PNG path; otherwise only checks that the window renders.
#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "window/form1.h"

namespace veltro {
namespace {

TEST(Screenshot, WindowRendersAndIsSaved) {
    Form1 form;
    form.show();
    QApplication::processEvents();
    const QImage picture = form.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QString path = qEnvironmentVariable("VELTRO_SCREENSHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(picture.save(path, "PNG"));
    }
}

}  // namespace
}  // namespace veltro
