// View styles, always on top and the Help messages.
#include <QAction>
#include <QMenu>
#include <QStyleOptionMenuItem>
#include <QWindow>

#include "platform/qt_window_manager.h"

#include "window/check_mark_menu.h"
#include "window/startup_fixture.h"
#include "window/value_check_box.h"

namespace veltro {
namespace {

class Form1Views : public testing::StartupFixture {
  protected:
    void SetUp() override {
        StartupFixture::SetUp();
        writeConfig();
        start();
        saves.clear();
    }
    std::vector<QAction*> checkedStyles() const {
        std::vector<QAction*> checked;
        for (QAction* item : {form.mnuSmall, form.mnuVector, form.mnuSetup}) {
            if (isMarked(item)) {
                checked.push_back(item);
            }
        }
        return checked;
    }
};

struct StyleCase {
    const char* name;
    QAction* Form1::*item;
    float heightTwips;
};

TEST_F(Form1Views, StyleCommandsSetTheHeightOnlyMarkOneItemAndSave) {
    const StyleCase cases[] = {
        {"Small", &Form1::mnuSmall, 3200},
        {"Vector", &Form1::mnuVector, 3700},
        {"Setup", &Form1::mnuSetup, 5250},
        {"Setup again", &Form1::mnuSetup, 5250},  // the style in force: all the same
        {"Small again", &Form1::mnuSmall, 3200},
    };
    form.move(form.x() - 45, form.y() + 20);
    form.resize(form.width() + 17, form.height());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QRect before = form.frameGeometry();
        saves.clear();
        (form.*c.item)->trigger();

        const QRect after = form.frameGeometry();
        EXPECT_NEAR(storedHeightTwips(), c.heightTwips, twipsPerPixelY());
        EXPECT_EQ(after.width(), before.width());
        EXPECT_EQ(after.topLeft(), before.topLeft());
        EXPECT_EQ(checkedStyles(), std::vector<QAction*>{form.*c.item});
        EXPECT_EQ(saves.size(), 1);
        EXPECT_EQ(configLine(3), "Height=" + std::to_string(static_cast<int>(c.heightTwips)));
        const std::string setup = isMarked(form.mnuSetup) ? "True" : "False";
        EXPECT_EQ(configLine(4), "mnuSetup=" + setup);
    }
}

// A maximized window: a port choice leaves it so; a Style command restores
// it first, also when its normal height is already the style's.
TEST_F(Form1Views, MaximizedWindowByPortChoiceAndStyles) {
    const struct {
        const char* name;
        void (Form1::*before)();  // while normal
        void (Form1::*action)();  // while maximized
        bool staysMaximized;
    } rows[] = {
        {"port choice", &Form1::mnuSetup_Click, &Form1::Combo1_Click, true},
        {"another style", &Form1::mnuSetup_Click, &Form1::mnuSmall_Click, false},
        {"the same style", &Form1::mnuSetup_Click, &Form1::mnuSetup_Click, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        (form.*row.before)();
        form.showMaximized();
        QCoreApplication::processEvents();
        (form.*row.action)();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.isMaximized(), row.staysMaximized);
    }
}

TEST_F(Form1Views, StoredHeightsAndHandStretchedOnesComeBackTheSame) {
    const struct {
        float stored;
        int stretch;  // pixels the operator adds by hand
    } rows[] = {{3200, 0}, {3203.5f, 0}, {5250, 0}, {5250, 7}, {3700, -3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stored + row.stretch);
        form.placeStoredFrame(1500, 1500, row.stored);
        form.resize(form.width(), form.height() + row.stretch);
        const int shown = form.clientArea()->height();
        form.SaveSettings();
        const float saved = std::stof(configLine(3).substr(std::string("Height=").size()));
        if (row.stretch == 0) {
            EXPECT_EQ(saved, row.stored);
        }
        form.placeStoredFrame(std::nullopt, std::nullopt, 9000);
        form.placeStoredFrame(std::nullopt, std::nullopt, saved);
        EXPECT_EQ(form.clientArea()->height(), shown);
    }
}

// Records each change of a Style item's mark, in the order it happens.
class MarkLog : public QObject {
  public:
    std::vector<std::string> changes;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DynamicPropertyChange) {
            auto* item = static_cast<QAction*>(watched);
            changes.push_back(item->objectName().toStdString() + (isMarked(item) ? "+" : "-"));
        }
        return false;
    }
};

struct MenuPeek : CheckMarkMenu {
    using CheckMarkMenu::initStyleOption;
};

TEST_F(Form1Views, StyleHandlersSetTheMarksInTheirOrderAndTheMenuDrawsThem) {
    form.mnuVector->trigger();
    MarkLog log;
    for (QAction* item : {form.mnuSmall, form.mnuVector, form.mnuSetup}) {
        item->installEventFilter(&log);
    }
    form.mnuSmall->trigger();
    form.mnuSetup->trigger();
    form.mnuSetup->trigger();  // already in force: no mark flickers
    EXPECT_EQ(log.changes,
              (std::vector<std::string>{"mnuSmall+", "mnuVector-", "mnuSetup+", "mnuSmall-"}));

    auto* menu = static_cast<MenuPeek*>(form.mnuStyle->menu());
    QStyleOptionMenuItem option;
    menu->initStyleOption(&option, form.mnuSetup);
    EXPECT_EQ(option.checkType, QStyleOptionMenuItem::NonExclusive);
    EXPECT_TRUE(option.checked);
    menu->initStyleOption(&option, form.mnuSmall);
    EXPECT_FALSE(option.checked);
}

TEST_F(Form1Views, OnTopBoxTogglesTheWindowManagerAndSavesEachTime) {
    const QRect before = form.frameGeometry();
    QTest::mouseClick(form.chkOnTop, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(windowManager.calls, std::vector<bool>{true});
    EXPECT_EQ(saves.size(), 1);
    EXPECT_EQ(configLine(11), "OnTop=1");

    QTest::mouseClick(form.chkOnTop, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(windowManager.calls, (std::vector<bool>{true, false}));
    EXPECT_EQ(saves.size(), 2);
    EXPECT_EQ(configLine(11), "OnTop=0");
    EXPECT_EQ(form.frameGeometry(), before);

    form.chkOnTop->setValue(2);  // greyed is not on top
    EXPECT_EQ(windowManager.calls, (std::vector<bool>{true, false, false}));
}

// The hint goes to the native window in place: recreating it would hide
// the window and make it flicker.
TEST(QtWindowManagerTopmost, SetsTheHintWithoutRecreatingTheWindow) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QWindow* handle = window.windowHandle();
    QtWindowManager manager;
    for (const bool onTop : {true, false}) {
        manager.setTopmost(window, onTop);
        EXPECT_EQ(window.windowHandle(), handle) << onTop;
        EXPECT_TRUE(window.isVisible()) << onTop;
        EXPECT_EQ(handle->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
    }
}

TEST_F(Form1Views, HelpMessages) {
    form.mnuAbout->trigger();
    form.mnuIndex->trigger();
    ASSERT_EQ(messages.shown.size(), 2u);

    const std::string& about = messages.shown[0];
    const auto crlf = about.find("\r\n");
    ASSERT_NE(crlf, std::string::npos);
    const std::string first = about.substr(0, crlf);
    const std::string second = about.substr(crlf + 2);
    EXPECT_EQ(first.find_first_not_of(' '), 23u) << "[" << first << "]";
    EXPECT_NE(first.find("Veltro"), std::string::npos);
    EXPECT_FALSE(second.empty());
    EXPECT_EQ(second.find_first_of("\r\n"), std::string::npos) << "two lines only";

    const std::string lead =
        "For help, refer to the Software section of the appropriate manual at ";
    const std::string& index = messages.shown[1];
    ASSERT_EQ(index.rfind(lead, 0), 0u) << index;
    EXPECT_GT(index.size(), lead.size()) << "a web address follows";
    EXPECT_EQ(saves.size(), 0);
}

}  // namespace
}  // namespace veltro
