// A list box of a dialog template: the user picks a line with the mouse or the keyboard.
#pragma once

#include <QListWidget>
#include <functional>

namespace kt::ui::qt {

class ListBox : public QListWidget {
 public:
  // `onPick(line)` runs for a click on a line and for each move of the current line by a key
  // (arrows, Page Up/Down, Home, End, typing a line's first letters), as a click there would.
  // Lines set by the program move nothing.
  ListBox(QWidget* parent, std::function<void(int)> onPick);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void(int)> onPick_;
};

}  // namespace kt::ui::qt
