#pragma once

#include <QObject>
#include <QStringList>

#include "main/favorites_file.h"
#include "main/home_page_commands.h"
#include "main/shell_parts.h"

class QAction;
class QMenu;

namespace main_window {

// The star's pop-up menu `PopmenuSCJ`: five fixed commands and a separator,
// then one generated item per line of the favorites file, rebuilt from the
// file at every click on the star so that changes made by hand show at once.
// The menu and every item belong to the main window.
class TFavoritesMenu : public QObject {
    Q_OBJECT
  public:
    explicit TFavoritesMenu(const ShellParts& parts);

    QMenu* PopmenuSCJ() const { return menu_; }

    // Slot i holds the URL of line i of the favorites file as last read for
    // the menu, empty for a separator line; item "Ai" opens slot i.
    QStringList favoriteUrls;

    // Rebuilds the generated items from the file and pops the menu up 18
    // pixels below the pointer, centred on it.
    void ImageFavoriteClick();
    // Loads the URL of the generated item that was chosen.
    void MyClick(QAction* item);
    // "加入收藏夹": the current page becomes the favorites file's first line.
    void PopFavoritesAddClick();
    // "编辑收藏夹": opens the favorites file in the desktop's program for
    // text files, without waiting for it.
    void PopFavoritesEditClick();

  private:
    static constexpr int kFixedItems = 6;
    // More lines than this show as one scrolling list instead of items.
    static constexpr qsizetype kMostMenuItems = 1000;

    void AddFixedItem(const char* name, const QString& caption, void (TFavoritesMenu::*click)());
    void AddHomePageItem(const char* name, const QString& caption,
                         void (THomePageCommands::*click)());
    void RemoveGeneratedItems();
    void AddGeneratedItems();
    void AddFavoritesList(const QList<Favorite>& favorites);
    void PopUpUnderPointer();

    ShellParts parts_;
    THomePageCommands homePage_;
    QMenu* menu_;
};

}  // namespace main_window
