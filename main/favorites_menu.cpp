#include "main/favorites_menu.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QWidgetAction>

#include "common/application.h"
#include "common/default_applications.h"
#include "common/message_boxes.h"
#include "main/favorites_file.h"
#include "main/favorites_list.h"
#include "main/file_replace.h"

namespace main_window {

namespace {
// The menu shows this far below the pointer.
constexpr int kMenuOffsetY = 18;
}  // namespace

TFavoritesMenu::TFavoritesMenu(const ShellParts& parts)
    : QObject(&parts.form), parts_(parts), homePage_(parts), menu_(new QMenu(&parts.form)) {
    setObjectName(QStringLiteral("FavoritesMenu"));
    menu_->setObjectName(QStringLiteral("PopmenuSCJ"));
    AddFixedItem("PopFavoritesAdd", QStringLiteral("加入收藏夹"),
                 &TFavoritesMenu::PopFavoritesAddClick);
    AddFixedItem("PopFavoritesEdit", QStringLiteral("编辑收藏夹"),
                 &TFavoritesMenu::PopFavoritesEditClick);
    AddHomePageItem("PopMainpage", QStringLiteral("浏览主页"),
                    &THomePageCommands::PopMainpageClick);
    AddHomePageItem("PopFavoritesSetMain", QStringLiteral("设置当前页为主页"),
                    &THomePageCommands::PopFavoritesSetMainClick);
    AddHomePageItem("N1", QStringLiteral("设置主页为空白页"), &THomePageCommands::N1Click);
    // A caption "-" makes a separator line; a Qt separator with a text would
    // show it as a section title, so separators carry none.
    menu_->addSeparator()->setObjectName(QStringLiteral("N4"));
}

void TFavoritesMenu::AddFixedItem(const char* name, const QString& caption,
                                  void (TFavoritesMenu::*click)()) {
    QAction* item = menu_->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    connect(item, &QAction::triggered, this, [this, click] { (this->*click)(); });
}

void TFavoritesMenu::AddHomePageItem(const char* name, const QString& caption,
                                     void (THomePageCommands::*click)()) {
    QAction* item = menu_->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    connect(item, &QAction::triggered, this, [this, click] { (homePage_.*click)(); });
}

void TFavoritesMenu::ImageFavoriteClick() {
    common::RunHandler([this] {
        RemoveGeneratedItems();
        if (QFileInfo::exists(FavoritesFilePath()))
            AddGeneratedItems();
        PopUpUnderPointer();
    });
}

void TFavoritesMenu::RemoveGeneratedItems() {
    const QList<QAction*> items = menu_->actions();
    for (qsizetype i = kFixedItems; i < items.size(); ++i)
        delete items[i];
}

// Every line gets an item named after its index, separators too, so item
// "Ai" always stands for line i; a file too long for that shows as a list.
void TFavoritesMenu::AddGeneratedItems() {
    const QList<Favorite> favorites = ReadFavorites(FavoritesFilePath());
    favoriteUrls.clear();
    favoriteUrls.reserve(favorites.size());
    if (favorites.size() > kMostMenuItems) {
        for (const Favorite& favorite : favorites)
            favoriteUrls << favorite.url;
        AddFavoritesList(favorites);
        return;
    }
    for (qsizetype i = 0; i < favorites.size(); ++i) {
        const Favorite& favorite = favorites[i];
        auto* item = new QAction(&parts_.form);
        item->setObjectName(QStringLiteral("A%1").arg(i));
        if (favorite.separator) {
            item->setSeparator(true);
        } else {
            item->setText(favorite.title);
            connect(item, &QAction::triggered, this, [this, item] { MyClick(item); });
        }
        menu_->addAction(item);
        favoriteUrls << favorite.url;
    }
}

void TFavoritesMenu::AddFavoritesList(const QList<Favorite>& favorites) {
    auto* item = new QWidgetAction(&parts_.form);
    item->setObjectName(QStringLiteral("AList"));
    const QScreen* screen = parts_.form.screen();
    const int mostHeight = screen ? screen->availableGeometry().height() * 2 / 3 : 600;
    auto* list = new TFavoritesList(favorites, mostHeight, menu_);
    list->chosen = [this](int line) {
        menu_->close();
        if (line >= 0 && line < favoriteUrls.size())
            parts_.crm.Load(favoriteUrls[line]);
    };
    item->setDefaultWidget(list);
    menu_->addAction(item);
}

void TFavoritesMenu::PopUpUnderPointer() {
    const QPoint pointer = QCursor::pos();
    const int width = menu_->sizeHint().width();
    menu_->popup(QPoint(pointer.x() - width / 2, pointer.y() + kMenuOffsetY));
}

// An item whose name does not lead to a slot (the file changed since the
// menu was built cannot do that, but a stray name could) loads nothing.
void TFavoritesMenu::MyClick(QAction* item) {
    bool isNumber = false;
    const int index = item->objectName().mid(1).toInt(&isNumber);
    if (!isNumber || index < 0 || index >= favoriteUrls.size())
        return;
    parts_.crm.Load(favoriteUrls[index]);
}

void TFavoritesMenu::PopFavoritesAddClick() {
    common::RunHandler([this] {
        const QString url = parts_.CurrentUrl();
        if (!url.isEmpty()) {
            if (AddFavorite(FavoritesFilePath(), parts_.Caption(), url) ==
                AddFavoriteResult::AlreadyThere)
                common::ShowInformationBox(QStringLiteral("收藏过此网页，无需再次收藏！"));
            else
                common::ShowInformationBox(QStringLiteral("成功收藏到收藏夹最上面！"));
        }
        parts_.ShowNormalStar();
    });
}

void TFavoritesMenu::PopFavoritesEditClick() {
    common::RunHandler([this] {
        const QString path = FavoritesFilePath();
        CreateFileIfMissing(path);
        if (!common::OpenFileWithDefaultApplication(path))
            common::ShowErrorBox(QStringLiteral("No program to open \"%1\" was found.").arg(path));
        parts_.ShowNormalStar();
    });
}

}  // namespace main_window
