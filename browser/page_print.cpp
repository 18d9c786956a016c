#include "browser/page_print.h"

#include <QEventLoop>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>
#include <QWebEngineView>

namespace browser {

namespace {

// One print job: it owns its printer until the engine has finished with it.
class TPrintJob : public QObject {
  public:
    explicit TPrintJob(QWebEngineView& view) : QObject(&view), view_(&view) {
        setObjectName(QString::fromLatin1(kObjectName));
    }
    static constexpr char kObjectName[] = "PrintJob";
    bool printing = false;

    void ShowDialog() {
        auto* dialog = new QPrintDialog(&printer_, view_->window());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(dialog, &QDialog::accepted, this, &TPrintJob::Print);
        connect(dialog, &QDialog::rejected, this, &QObject::deleteLater);
        dialog->open();
    }

  private:
    void Print() {
        if (!view_)
            return deleteLater();
        printing = true;
        const bool toFile =
            printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty();
        if (toFile) {
            connect(view_, &QWebEngineView::pdfPrintingFinished, this, &QObject::deleteLater);
            view_->printToPdf(printer_.outputFileName(), printer_.pageLayout(),
                              printer_.pageRanges());
        } else {
            connect(view_, &QWebEngineView::printFinished, this, &QObject::deleteLater);
            view_->print(&printer_);
        }
    }

    QPointer<QWebEngineView> view_;
    QPrinter printer_;
};

}  // namespace

void PrintPage(QWebEngineView& view) {
    (new TPrintJob(view))->ShowDialog();
}

void FinishPrinting(QWebEngineView& view) {
    for (QObject* child : view.children()) {
        auto* job = child->objectName() == QLatin1String(TPrintJob::kObjectName)
                        ? static_cast<TPrintJob*>(child)
                        : nullptr;
        if (!job || !job->printing)
            continue;
        QEventLoop wait;
        QObject::connect(&view, &QWebEngineView::pdfPrintingFinished, &wait, &QEventLoop::quit);
        QObject::connect(&view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
        QTimer::singleShot(10000, &wait, &QEventLoop::quit);
        wait.exec();
        return;
    }
}

}  // namespace browser
