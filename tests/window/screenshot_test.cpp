// Saves a picture of the window showing a live reading, for the README,
// when VELTRO_SCREENSHOT names a PNG path; otherwise only checks that the
// window renders with the reading on it.
#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include "meter/status_frame.h"
#include "window/check_mark_menu.h"
#include "window/fakes.h"
#include "window/form1.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

TEST(Screenshot, WindowWithALiveReading) {
    testing::FakePort port;
    Form1 form{Form1Services{QString(), &port, nullptr, nullptr}};
    form.Timer1->stop();
    setMarked(form.mnuSetup, true);
    form.Check2->setValue(1);
    form.panel().setRangeMode(2);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    FrameFields reading;
    reading.forwardPower = 1200;
    reading.impedance = 56.3;
    reading.phase = 12.4;
    reading.alarmSetting = 2;
    reading.callsign = "W1AW";
    reading.powerMode = 1;
    reading.powerDbm = 60.8;
    reading.swr = 1.35;
    port.incoming = buildFrame(reading);
    form.Timer1_Timer();
    QApplication::processEvents();

    ASSERT_TRUE(form.Picture5->isVisibleTo(&form));
    const QImage picture = form.grab().toImage();
    ASSERT_FALSE(picture.isNull());
    const QString path = qEnvironmentVariable("VELTRO_SCREENSHOT");
    if (!path.isEmpty()) {
        EXPECT_TRUE(picture.save(path, "PNG"));
    }
}

}  // namespace
}  // namespace veltro
