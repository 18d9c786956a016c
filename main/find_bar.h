#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;

namespace browser {
class TChromium;
}

namespace main_window {

// The small bar below the page that finds text in it: typing finds as one
// types, Enter the next match, Shift+Enter the one before, Escape or the
// close button ends the search and clears the highlight.
class TFindBar : public QWidget {
    Q_OBJECT
  public:
    TFindBar(browser::TChromium& crm, QWidget* parent);

    // Shows the bar with its text selected and the keyboard in it.
    void Open();
    void Close();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Find(bool backward);
    void ShowResult(const QWebEngineFindTextResult& result);

    browser::TChromium& crm_;
    QLineEdit* text_;
    QLabel* matches_;
};

}  // namespace main_window
