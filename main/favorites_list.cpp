#include "main/favorites_list.h"

#include <QStringList>

namespace main_window {

namespace {

constexpr int kListWidth = 420;
const QString kSeparatorText = QStringLiteral("────────────────");

// The titles, with the separator lines greyed out and not selectable.
class TFavoriteTitles : public QStringListModel {
  public:
    TFavoriteTitles(const QStringList& titles, QList<bool> separators, QObject* parent)
        : QStringListModel(titles, parent), separators_(std::move(separators)) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        if (index.isValid() && separators_.value(index.row()))
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

  private:
    QList<bool> separators_;
};

}  // namespace

TFavoritesList::TFavoritesList(const QList<Favorite>& favorites, int mostHeight, QWidget* parent)
    : QListView(parent) {
    setObjectName(QStringLiteral("FavoritesList"));
    QStringList titles;
    QList<bool> separators;
    titles.reserve(favorites.size());
    separators.reserve(favorites.size());
    for (const Favorite& favorite : favorites) {
        titles << (favorite.separator ? kSeparatorText : favorite.title);
        separators << favorite.separator;
    }
    setModel(new TFavoriteTitles(titles, separators, this));
    // Every row alike: the view lays out only the rows it shows.
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    const int rowHeight = sizeHintForRow(0) > 0 ? sizeHintForRow(0) : fontMetrics().height();
    setFixedSize(kListWidth, std::min(mostHeight, rowHeight * int(favorites.size()) + 2));
    connect(this, &QListView::clicked, this, [this](const QModelIndex& index) {
        if (chosen && index.isValid() && (index.flags() & Qt::ItemIsEnabled))
            chosen(index.row());
    });
}

}  // namespace main_window
