#include "display_check.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace veltro {
namespace {

QtMessageHandler previousHandler = nullptr;

void sayNoDisplay(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplayMessage, stderr);
        std::_Exit(1);
    }
    const std::string_view category = context.category != nullptr ? context.category : "";
    if (category.starts_with("qt.qpa.")) {
        return;
    }
    previousHandler(type, context, message);
}

}  // namespace

NoDisplayExit::NoDisplayExit() { previousHandler = qInstallMessageHandler(sayNoDisplay); }

NoDisplayExit::~NoDisplayExit() { qInstallMessageHandler(previousHandler); }

}  // namespace veltro
