#include "platform/qt_message_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QString>

namespace veltro {
namespace {

// Lines break only at spaces. Qt would also break inside a word, after the
// "//" of a web address or at a hyphen; a word joiner between the
// characters of each word keeps the word whole.
QString unbrokenWords(const QString& text) {
    constexpr QChar kWordJoiner(0x2060);
    QString shown;
    shown.reserve(2 * text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (i > 0 && !c.isSpace() && !text.at(i - 1).isSpace() && !c.isLowSurrogate() &&
            !c.isMark()) {
            shown += kWordJoiner;
        }
        shown += c;
    }
    return shown;
}

// Copying the message (Ctrl+C) gives its text without the joiners, so a
// copied web address opens as it reads.
class MessageDialog : public QMessageBox {
  public:
    MessageDialog(const QString& text, QWidget* parent)
        : QMessageBox(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle),
                      unbrokenWords(text), QMessageBox::Ok, parent),
          text_(text) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(text_);
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

  private:
    QString text_;
};

}  // namespace

void QtMessageBox::show(const std::string& text) {
    MessageDialog box(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                      parent_);
    box.setTextFormat(Qt::PlainText);
    // A dialog: title and close button, nothing to minimize or maximize.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    box.exec();
}

}  // namespace veltro
