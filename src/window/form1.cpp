#include "window/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>

#include "window/assets.h"
#include "window/cached_frame_style.h"
#include "platform/serial_port.h"
#include "window/check_mark_menu.h"
#include "window/twips.h"

namespace veltro {

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), panel_(panelServices()) {
    setObjectName("Form1");
    setProperty("className", QString::fromLatin1(kFormClassName));
    setWindowTitle(QString::fromLatin1(kFormCaption));
    setWindowIcon(QIcon(QPixmap::fromImage(makeWindowIcon())));
    // The panel is watched while the operator works in another program.
    setAttribute(Qt::WA_AlwaysShowToolTips);

    buildMenu();
    client_ = new QWidget(this);
    client_->setObjectName("Form1_client");
    setCentralWidget(client_);
    createControls();
    useCachedBoxFrames();
    setUpScales();
    setUpKeyboard();
    layoutControls();
    resizeToDesign();

    // Created running, as designed; ticks do nothing while the port is closed.
    Timer1->start();

    connectPollHandlers();
    connectSettingsHandlers();
    connectConnectionHandlers();
    connectViewHandlers();
    connectRecoveryHandlers();
    showControls();
}

Form1::~Form1() {
    if (services_.port != nullptr) {
        services_.port->onDeviceLost({});
    }
}

PanelServices Form1::panelServices() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimer1IntervalAtCreation);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire a little early
    retryTimer_ = new QTimer(this);
    retryTimer_->setObjectName("RetryTimer");
    // Precise: a coarse timer may fire early, and the retries are promised
    // at most once a second.
    retryTimer_->setTimerType(Qt::PreciseTimer);
    retryTimer_->setInterval(services_.intervals.portRetryMs);
    timer1Control_.emplace(*Timer1);
    retryControl_.emplace(*retryTimer_);

    PanelServices panel;
    panel.port = services_.port;
    panel.store = services_.store;
    panel.timer1 = &*timer1Control_;
    panel.retryTimer = &*retryControl_;
    panel.settingsFile = settingsFile();
    panel.frame = [this] { return savedFrame(); };
    panel.saved = [this](bool written) { emit settingsSaved(written); };
    panel.setTopmost = [this](bool onTop) { SetTopmost(*this, onTop); };
    return panel;
}

void Form1::useCachedBoxFrames() {
    auto* boxStyle = new CachedFrameStyle(style()->name());
    boxStyle->setParent(this);
    for (const auto& [entry, control] : created_) {
        if (auto* box = qobject_cast<QLineEdit*>(control)) {
            box->setStyle(boxStyle);
        }
    }
}

void Form1::buildMenu() {
    auto addMenu = [this](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto addItem = [](QMenu* menu, const char* name, const char* caption) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = addMenu("mnuFile", "&File");
    mnuFile = file->menuAction();
    mnuExit = addItem(file, "mnuExit", "&Exit");

    auto* style = new CheckMarkMenu(QString::fromLatin1("&Style"), this);
    style->setObjectName("mnuStyle");
    style->menuAction()->setObjectName("mnuStyle");
    menuBar()->addMenu(style);
    mnuStyle = style->menuAction();
    mnuSmall = addItem(style, "mnuSmall", "&Small");
    mnuVector = addItem(style, "mnuVector", "&Vector");
    mnuSetup = addItem(style, "mnuSetup", "&Setup");

    QMenu* help = addMenu("mnuHelp", "&Help");
    mnuHelp = help->menuAction();
    mnuIndex = addItem(help, "mnuIndex", "&Index");
    mnuAbout = addItem(help, "mnuAbout", "&About");
}

void Form1::resizeToDesign() {
    const int width = twipsToPixelsX(client_, kDesignClientWidthTwips);
    const int height = twipsToPixelsY(client_, kDesignClientHeightTwips);
    resize(width, height + menuBar()->sizeHint().height());
}

}  // namespace veltro
