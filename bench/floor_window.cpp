// The floor the panel's running cost is compared with: a bare Qt Widgets
// window of the panel's size, with a menu bar, 60 labels and three bars, that
// polls a serial device at a fixed interval and, from each reply, sets as
// many labels and bars as the panel sets from a frame: the frame text, six
// figures (power, SWR, four impedance figures) and three bars. A steady meter
// repeats its frame, so then nothing changes on either side. Nothing else:
// no decoding, no publication.
//
//   veltro-bench-floor DEVICE [INTERVAL_MS]
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSerialPort>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kLabelCount = 60;
constexpr int kColumns = 6;
constexpr int kFigures = 6;
constexpr qsizetype kFrameLength = 43;

// The least a bar can do: fill its share and ask for one deferred repaint
// when the value changes (QProgressBar repaints the window at once instead).
class FloorBar : public QWidget {
  public:
    using QWidget::QWidget;
    void setValue(int value) {
        if (value != value_) {
            value_ = value;
            update();
        }
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        painter.fillRect(0, 0, width() * value_ / 255, height(),
                         palette().color(QPalette::Highlight));
    }

  private:
    int value_ = 0;
};

class FloorWindow : public QMainWindow {
  public:
    explicit FloorWindow(const QString& device, int intervalMs) {
        menuBar()
            ->addMenu(QStringLiteral("&File"))
            ->addAction(QStringLiteral("E&xit"), this, &QWidget::close);
        menuBar()->addMenu(QStringLiteral("&Setup"));
        menuBar()->addMenu(QStringLiteral("&Help"));
        auto* central = new QWidget(this);
        auto* grid = new QGridLayout(central);
        for (int i = 0; i < kLabelCount; ++i) {
            labels_[i] = new QLabel(QStringLiteral("Label %1").arg(i), central);
            grid->addWidget(labels_[i], i / kColumns, i % kColumns);
        }
        for (int i = 0; i < 3; ++i) {
            bars_[i] = new FloorBar(central);
            bars_[i]->setFixedHeight(13);
            grid->addWidget(bars_[i], kLabelCount / kColumns + i, 0, 1, kColumns);
        }
        setCentralWidget(central);
        resize(389, 308 + menuBar()->sizeHint().height());  // the panel's size at 96 dpi
        // Fixed geometry, as the panel's controls have: a new text repaints
        // its label and does not lay the window out again.
        layout()->activate();
        for (QLabel* label : labels_) {
            label->setFixedSize(label->size());
        }

        port_.setPortName(device);
        port_.setBaudRate(QSerialPort::Baud115200);  // the simulated meter's default speed
        if (!port_.open(QIODevice::ReadWrite)) {
            std::fprintf(stderr, "veltro-bench-floor: cannot open %s\n", qPrintable(device));
        }
        connect(&timer_, &QTimer::timeout, this, &FloorWindow::poll);
        timer_.start(intervalMs);
    }

  private:
    void poll() {
        reply_ += port_.readAll();
        if (reply_.size() >= kFrameLength) {
            const QByteArray frame = reply_.left(kFrameLength);
            reply_.clear();
            labels_[0]->setText(QString::fromLatin1(frame));
            // Figures that change exactly when the frame does.
            for (int i = 1; i <= kFigures; ++i) {
                labels_[i]->setText(QString::number(qHash(frame, i) % 100000 / 100.0, 'f', 2));
            }
            for (int i = 0; i < 3; ++i) {
                bars_[i]->setValue(static_cast<int>(qHash(frame, kFigures + i) % 256));
            }
        }
        port_.write("P");  // the short dialect, as the panel set to Version=1
    }

    QLabel* labels_[kLabelCount] = {};
    FloorBar* bars_[3] = {};
    QSerialPort port_;
    QTimer timer_;
    QByteArray reply_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: veltro-bench-floor DEVICE [INTERVAL_MS]\n");
        return 2;
    }
    FloorWindow window(QString::fromLocal8Bit(argv[1]), argc > 2 ? std::atoi(argv[2]) : 50);
    window.show();
    return app.exec();
}
