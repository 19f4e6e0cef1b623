#include "window/check_mark_menu.h"

#include <QAction>
#include <QStyleOptionMenuItem>
#include <QWidget>

namespace veltro {
namespace {

constexpr const char* kMarkProperty = "veltroCheckMark";

}  // namespace

void CheckMarkMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const {
    QMenu::initStyleOption(option, action);
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr) {
        return;
    }
    option->menuHasCheckableItems = true;
    option->checkType = QStyleOptionMenuItem::NonExclusive;
    option->checked = isMarked(action);
}

void setMarked(QAction* item, bool marked) {
    if (isMarked(item) == marked) {
        return;
    }
    item->setProperty(kMarkProperty, marked);
    for (QObject* shown : item->associatedObjects()) {
        if (auto* widget = qobject_cast<QWidget*>(shown)) {
            widget->update();
        }
    }
}

bool isMarked(const QAction* item) {
    return item->property(kMarkProperty).toBool();
}

}  // namespace veltro
