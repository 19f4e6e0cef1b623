// A menu whose check marks only the program sets.
#pragma once

#include <QMenu>

namespace veltro {

// Qt ticks a checkable item by itself before its handler runs. Items of this menu are plain
// commands to Qt; their marks are kept apart and drawn by the menu, so a handler sets them in
// the order it chooses and no item ever ticks itself.
class CheckMarkMenu : public QMenu {
  public:
    using QMenu::QMenu;

  protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
};

// Gives the item a check mark (drawn by a CheckMarkMenu) or takes it away.
void setMarked(QAction* item, bool marked);
bool isMarked(const QAction* item);

}  // namespace veltro
