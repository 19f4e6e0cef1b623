// The floor the panel's running cost is compared with: a bare Qt Widgets
// window of the panel's size, with a menu bar, 60 labels and three bars, that
// polls a serial device at a fixed interval and writes each reply into one
// label and one bar. Nothing else: no decoding, no publication.
//
//   veltro-bench-floor DEVICE [INTERVAL_MS]
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QSerialPort>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kLabelCount = 60;
constexpr int kColumns = 6;
constexpr qsizetype kFrameLength = 43;

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
            bars_[i] = new QProgressBar(central);
            bars_[i]->setRange(0, 255);
            bars_[i]->setTextVisible(false);
            grid->addWidget(bars_[i], kLabelCount / kColumns + i, 0, 1, kColumns);
        }
        setCentralWidget(central);
        resize(389, 308 + menuBar()->sizeHint().height());  // the panel's size at 96 dpi

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
            bars_[0]->setValue(static_cast<unsigned char>(frame.at(frame.size() / 2)));
        }
        port_.write("P");  // the short dialect, as the panel set to Version=1
    }

    QLabel* labels_[kLabelCount] = {};
    QProgressBar* bars_[3] = {};
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
