#pragma once

#include <QList>
#include <QListView>
#include <QStringListModel>
#include <functional>

#include "main/favorites_file.h"

namespace main_window {

// A favorites file too long for a menu (a menu item per line costs Qt time
// that grows with the square of the lines, and the menu would spread over
// dozens of columns) shows in the star's menu as one scrolling list, built
// in time linear in the lines. Separator lines show as lines and cannot be
// chosen.
class TFavoritesList : public QListView {
    Q_OBJECT
  public:
    TFavoritesList(const QList<Favorite>& favorites, int mostHeight, QWidget* parent);

    // Called with the line's index when a favorite is chosen.
    std::function<void(int line)> chosen;
};

}  // namespace main_window
