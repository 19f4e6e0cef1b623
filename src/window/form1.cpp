#include "window/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>

#include "readout/publication.h"
#include "window/assets.h"
#include "window/cached_frame_style.h"
#include "window/check_mark_menu.h"
#include "window/twips.h"

namespace veltro {
namespace {

constexpr int kTimer1IntervalMs = 200;

}  // namespace

Form1::Form1(Form1Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
    if (services_.store) {
        publication_ = std::make_unique<ReadingPublication>(*services_.store);
    }
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
    bindControls();
    setUpScales();
    setUpKeyboard();
    layoutControls();
    resizeToDesign();

    // Created running, as designed; ticks do nothing while the port is closed.
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimer1IntervalMs);
    Timer1->setTimerType(Qt::PreciseTimer);  // a coarse timer may fire a little early
    Timer1->start();

    connectPollHandlers();
    connectSettingsHandlers();
    connectConnectionHandlers();
    connectViewHandlers();
    connectRecoveryHandlers();
}

Form1::~Form1() {
    disconnectRecoveryHandlers();
}

void Form1::useCachedBoxFrames() {
    auto* boxStyle = new CachedFrameStyle(style()->name());
    boxStyle->setParent(this);
    for (QLineEdit* box : client_->findChildren<QLineEdit*>()) {
        if (!qobject_cast<QComboBox*>(box->parentWidget())) {
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
